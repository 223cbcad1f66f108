// The loupe's work buffers. A buffer is replaced by selecting the new bitmap
// into its DC and deleting the one we owned before; when creation fails the
// old bitmap stays selected and its recorded size stays as it was, so direct
// pixel writers never assume a buffer larger than the one really there.
#include "loupe/buffers.h"
#include "loupe/buffer_needs.h"
#include "loupe/state.h"

HDC capture_dc = nullptr;
HBITMAP capture_bitmap = nullptr;
void* capture_bits = nullptr;
SIZE capture_buffer_size = {0, 0};
HDC source_dc = nullptr;
HBITMAP source_bitmap = nullptr;
BYTE* source_bits = nullptr;
SIZE source_buffer_size = {0, 0};
HDC zoom_dc = nullptr;
HBITMAP zoom_bitmap = nullptr;
BYTE* zoom_bits = nullptr;
SIZE zoom_buffer_size = {0, 0};

HBITMAP create_dib24(HDC dc, int width, int height, BYTE** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bits) *bits = bitmap ? static_cast<BYTE*>(pixels) : nullptr;
    return bitmap;
}

void fill_black(HDC dc, int width, int height) {
    RECT area = {0, 0, width, height};
    FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

HDC create_screen_compatible_dc() {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    return dc;
}

// Selects bitmap into dc in place of *owned; returns false (and keeps the old
// one) when the bitmap could not be created or selected.
static bool replace_bitmap(HDC dc, HBITMAP bitmap, HBITMAP* owned) {
    if (!dc || !bitmap || !SelectObject(dc, bitmap)) {
        if (bitmap) DeleteObject(bitmap);
        return false;
    }
    if (*owned) DeleteObject(*owned);
    *owned = bitmap;
    return true;
}

void recreate_capture_buffer(int width, int height) {
    if (!capture_dc) capture_dc = create_screen_compatible_dc();
    HBITMAP bitmap;
    BYTE* bits = nullptr;
    if (settings.smooth != kSmoothNone) {
        bitmap = create_dib24(capture_dc, width, height, &bits);
    } else {
        HDC screen = GetDC(nullptr);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
    }
    if (!replace_bitmap(capture_dc, bitmap, &capture_bitmap)) return;
    capture_bits = bits;
    capture_buffer_size = {width, height};
    fill_black(capture_dc, width, height);
}

void recreate_source_buffer(HWND, int width, int height) {
    if (!source_dc) source_dc = create_screen_compatible_dc();
    BYTE* bits = nullptr;
    HBITMAP bitmap = create_dib24(source_dc, width + 3, height + 3, &bits);
    if (!replace_bitmap(source_dc, bitmap, &source_bitmap)) return;
    source_bits = bits;
    source_buffer_size = {width + 3, height + 3};
    fill_black(source_dc, width + 3, height + 3);
}

void recreate_zoom_buffer(int width, int height) {
    if (!zoom_dc) zoom_dc = create_screen_compatible_dc();
    BYTE* bits = nullptr;
    HBITMAP bitmap = create_dib24(zoom_dc, width, height, &bits);
    if (!replace_bitmap(zoom_dc, bitmap, &zoom_bitmap)) return;
    zoom_bits = bits;
    zoom_buffer_size = {width, height};
}

// Deletes one buffer's DC and bitmap and clears its records.
static void delete_buffer(HDC* dc, HBITMAP* bitmap, SIZE* size) {
    if (*dc) DeleteDC(*dc);
    if (*bitmap) DeleteObject(*bitmap);
    *dc = nullptr;
    *bitmap = nullptr;
    *size = {0, 0};
}

void delete_source_buffer() {
    delete_buffer(&source_dc, &source_bitmap, &source_buffer_size);
    source_bits = nullptr;
}

void delete_zoom_buffer() {
    delete_buffer(&zoom_dc, &zoom_bitmap, &zoom_buffer_size);
    zoom_bits = nullptr;
}

static bool has_size(SIZE real, IntPair wanted) {
    return real.cx == wanted.x && real.cy == wanted.y;
}

void fit_work_buffers(BufferRefresh refresh) {
    const IntPair screen = {geometry.virtual_screen.right - geometry.virtual_screen.left,
                            geometry.virtual_screen.bottom - geometry.virtual_screen.top};
    const BufferNeeds needs = buffer_needs(settings.size, zoomed_size, settings.smooth,
                                           settings.graybmp, capture_is_snapshot(), screen);
    const bool anew = refresh == BufferRefresh::Anew;
    const bool capture_fits = capture_bitmap && has_size(capture_buffer_size, needs.capture) &&
                              (capture_bits != nullptr) == needs.capture_dib;
    if (anew || (refresh == BufferRefresh::Fit && !capture_fits)) {
        recreate_capture_buffer(needs.capture.x, needs.capture.y);
    }
    if (!needs.source) {
        delete_source_buffer();
    } else if (anew || !source_bitmap || !has_size(source_buffer_size, needs.source_box)) {
        recreate_source_buffer(nullptr, settings.size.x, settings.size.y);
    }
    if (!needs.zoom) {
        delete_zoom_buffer();
    } else if (anew || !zoom_bitmap || !has_size(zoom_buffer_size, needs.zoom_box)) {
        recreate_zoom_buffer(needs.zoom_box.x, needs.zoom_box.y);
    }
}

void release_work_buffers() {
    delete_buffer(&capture_dc, &capture_bitmap, &capture_buffer_size);
    capture_bits = nullptr;
    delete_source_buffer();
    delete_zoom_buffer();
}
