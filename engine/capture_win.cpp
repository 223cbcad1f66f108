// Getting screen pixels into the capture buffer, and showing or hiding the
// loupe with what goes along with it (cursor, snapshot, tooltip).
//
// A capture block of cw x ch screen pixels is stored with one pixel of margin
// on the left and top and two on the right and bottom, (cw + 3) x (ch + 3) in
// all, so that the interpolation always finds its neighbours. Where the
// screen is not (off the edge of the virtual screen) the block stays dark gray.
//
// The loupe must not magnify itself: loupe/capture_mode.h says which way the
// screen is copied (live, through a peep hole, or not at all: a snapshot).
#include "engine/capture.h"

#include <commctrl.h>

#include "engine/modal.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "settings/settings.h"

DWORD screen_raster_op() {
    return settings.layered ? (SRCCOPY | CAPTUREBLT) : SRCCOPY;
}

void show_loupe(HWND loupe, int show) {
    if (show == loupe_shown) return;
    // The window is still hidden here, so the snapshot does not hold it.
    if (show && capture_is_snapshot()) take_screen_snapshot();
    if (show) {
        // Shown without activation, so the user's window keeps the keyboard
        // focus, and on top of the topmost band, where activating used to
        // bring it.
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(loupe, SW_HIDE);
    }
    loupe_shown = show;
    apply_cursor_rule();
    if (settings.ttdisp) {
        tip_active = show;
        if (tooltip_hwnd) {
            SendMessageA(tooltip_hwnd, TTM_TRACKACTIVATE, static_cast<WPARAM>(show),
                         reinterpret_cast<LPARAM>(&tool_info));
        }
    }
}

void take_screen_snapshot() {
    const int width = virtual_screen.right - virtual_screen.left;
    const int height = virtual_screen.bottom - virtual_screen.top;
    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    // The whole buffer, margins included, in buffer coordinates: the virtual
    // screen's own rectangle would miss the right and bottom margins, and
    // most of the buffer when a monitor lies left of or above the primary.
    RECT whole = {0, 0, width + 3, height + 3};
    FillRect(capture_dc, &whole, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    BitBlt(capture_dc, 1, 1, width, height, screen, virtual_screen.left, virtual_screen.top,
           screen_raster_op());
    ReleaseDC(desktop, screen);
}

// Fills the capture block dark gray and copies into it the part of the
// screen area that lies on the virtual screen. A copy whose source reaches
// beyond the screen can come back black as a whole (not just the part
// outside), which would blank the loupe whenever the cursor nears an edge;
// copying only the part on the screen keeps the rest dark gray instead.
static void copy_block(HDC screen, int block_w, int block_h, DWORD rop) {
    RECT block = {0, 0, block_w, block_h};
    FillRect(capture_dc, &block, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
    const int left = capture_origin.x - 1;
    const int top = capture_origin.y - 1;
    const RECT area = {left, top, left + block_w, top + block_h};
    RECT part;
    if (!IntersectRect(&part, &area, &virtual_screen)) return;
    BitBlt(capture_dc, part.left - left, part.top - top, part.right - part.left,
           part.bottom - part.top, screen, part.left, part.top, rop);
}

// The window's present outline as a fresh region in window coordinates.
static HRGN current_outline(HWND loupe) {
    if (loupe_is_round()) {
        HRGN outline = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(loupe, outline) != ERROR) return outline;
        // No region set (yet): an empty outline would leave the window
        // nothing but the hole, so treat it as the plain rectangle.
        DeleteObject(outline);
    }
    // The rectangle reaches past the window's right and bottom edges; the
    // system clips a window's region to the window, so that part does nothing.
    constexpr int kPastEdge = 4;
    RECT window_rect;
    GetWindowRect(loupe, &window_rect);
    return CreateRectRgn(0, 0, window_rect.right - window_rect.left + kPastEdge,
                         window_rect.bottom - window_rect.top + kPastEdge);
}

static void capture_through_peep_hole(HWND loupe, HDC screen, int block_w, int block_h, DWORD rop) {
    HRGN outline = current_outline(loupe);
    POINT corner = {capture_origin.x - 1, capture_origin.y - 1};
    ScreenToClient(loupe, &corner);
    HRGN hole = CreateRectRgn(corner.x, corner.y, corner.x + block_w, corner.y + block_h);
    // Cuts the hole out; parts of the hole outside the outline are added,
    // which does no harm for the moment of the copy.
    CombineRgn(outline, outline, hole, RGN_XOR);
    DeleteObject(hole);
    if (!SetWindowRgn(loupe, outline, TRUE)) DeleteObject(outline); // else the window owns it
    Sleep(1); // let the windows below repaint the uncovered area
    copy_block(screen, block_w, block_h, rop);
    if (loupe_is_round()) {
        // The content is still right: no black fill, which would flicker
        // until the next paint on every capture.
        apply_round_region(loupe);
    } else {
        SetWindowRgn(loupe, nullptr, TRUE);
    }
}

void capture_tick_area(HWND loupe) {
    const int block_w = settings.size.x + 3;
    const int block_h = settings.size.y + 3;
    const DWORD rop = screen_raster_op();
    const bool direct = settings.loupe == 0 || live_copy_leaves_loupe_out();
    // A snapshot: the buffer already holds it.
    if (!direct && snapshot_mode_for(settings.loupetype, settings.layered, layered_supported))
        return;

    HWND desktop = GetDesktopWindow();
    HDC screen = GetDC(desktop);
    if (direct) {
        copy_block(screen, block_w, block_h, rop);
    } else {
        capture_through_peep_hole(loupe, screen, block_w, block_h, rop);
    }
    ReleaseDC(desktop, screen);
}
