// The loupe's look: the optional elliptic window region and the paint of the
// client area (magnified image, pixel grid, two-pixel frame, centre marker).
//
// The client area is loupe_window_size for an image of W x H: the image sits
// at (kFrameWidth, kFrameWidth) and the two outer rows and columns on each
// side carry the frame.
// The window class has a hollow background, so the paint alone decides every
// pixel, and it redraws everything each time, so the XOR marker never piles up.
#include "engine/shape.h"

#include "engine/freeze_control.h"
#include "engine/grid_paint.h"
#include "engine/overlay_geometry.h"
#include "engine/render.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "settings/settings.h"

void set_round_region(HWND loupe) {
    // Whatever stays visible of the old content around the new shape until
    // the next paint is black.
    RECT client;
    GetClientRect(loupe, &client);
    HDC dc = GetDC(loupe);
    FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(loupe, dc);
    apply_round_region(loupe);
}

void apply_round_region(HWND loupe) {
    // The ellipse's box reaches one pixel beyond the window on every side,
    // so the round frame drawn at the client edge is not clipped away.
    RECT window_rect;
    GetWindowRect(loupe, &window_rect);
    const int w = window_rect.right - window_rect.left;
    const int h = window_rect.bottom - window_rect.top;
    HRGN ellipse = CreateEllipticRgn(-1, -1, w + 1, h + 1);
    if (!SetWindowRgn(loupe, ellipse, TRUE)) DeleteObject(ellipse); // else the window owns it
}

bool loupe_is_round() {
    return round_in_mode(settings.loupe, settings.maruwin);
}

void apply_mode_region(HWND loupe) {
    if (loupe_is_round()) {
        set_round_region(loupe);
    } else {
        SetWindowRgn(loupe, nullptr, TRUE);
    }
}

void apply_click_through(HWND loupe) {
    LONG ex_style = GetWindowLongA(loupe, GWL_EXSTYLE);
    if (settings.addhole != 0) {
        ex_style |= WS_EX_TRANSPARENT;
    } else {
        ex_style &= ~WS_EX_TRANSPARENT;
    }
    SetWindowLongA(loupe, GWL_EXSTYLE, ex_style);
}

// Etched border: the outer ring light on top and left and gray on bottom and
// right, the inner ring the other way round. Later lines cover earlier ones.
static void draw_rectangular_frame(HDC dc, int r, int b) {
    FrameLine lines[kFrameLineCount];
    frame_lines(r, b, lines);
    for (const FrameLine& line : lines) {
        // Frozen, the rings swap their colours: the loupe looks pressed in.
        const bool light = (line.colour == FRAME_LIGHT) != freeze.frozen;
        SelectObject(dc, light ? handles.light_frame_pen : handles.gray_frame_pen);
        MoveToEx(dc, line.x0, line.y0, nullptr);
        LineTo(dc, line.x1, line.y1); // the end point itself is not drawn
    }
}

static_assert(kFrameWidth == 2, "the round frame is drawn as two rings");

static void draw_round_frame(HDC dc, int r, int b) {
    SelectObject(dc, GetStockObject(NULL_BRUSH)); // outline only, keep the image
    // Frozen, the rings swap their pens: the loupe looks pressed in.
    SelectObject(dc, freeze.frozen ? handles.light_round_pen : handles.dark_round_pen);
    Ellipse(dc, 0, 0, r - 1, b - 1);
    SelectObject(dc, freeze.frozen ? handles.dark_round_pen : handles.light_round_pen);
    Ellipse(dc, 1, 1, r - 2, b - 2);
}

// Outline of the square around the magnified cursor pixel (on a frozen image
// the pixel pointed at), each of its pixels inverted once, so it shows on any
// image.
static void draw_centre_marker(HDC dc) {
    const MarkerSquare square =
        reading_frozen_cell()
            ? cell_marker(freeze.cell, settings.size, zoomed_size, settings.magnify)
            : marker_square(zoomed_size, settings.magnify);
    SetROP2(dc, R2_XORPEN);
    SelectObject(dc, GetStockObject(WHITE_PEN));
    MoveToEx(dc, square.x0, square.y0, nullptr);
    LineTo(dc, square.x1, square.y0);
    LineTo(dc, square.x1, square.y1);
    LineTo(dc, square.x0, square.y1);
    LineTo(dc, square.x0, square.y0);
}

void paint_loupe(HWND loupe, HDC dc) {
    RECT client;
    GetClientRect(loupe, &client);
    const POINT source = image_source_origin();
    render_magnified(dc, kFrameWidth, kFrameWidth, zoomed_size.x, zoomed_size.y, capture_dc,
                     source.x, source.y, settings.size.x, settings.size.y, image_raster_op());
    paint_pixel_grid(dc,
                     pixel_grid(settings.grid, settings.gridzoom, settings.magnify, zoomed_size));
    if (loupe_is_round()) {
        draw_round_frame(dc, client.right, client.bottom);
    } else {
        draw_rectangular_frame(dc, client.right, client.bottom);
    }
    if (settings.marker) draw_centre_marker(dc);
}
