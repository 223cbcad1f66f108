// Copies the magnified image to the clipboard as a CF_DIB block: a 40-byte
// BITMAPINFOHEADER (32 bits, BI_RGB, no colour table) followed by W x H
// pixels of 4 bytes, bottom row first, rows never padded.
//
// The image is rendered again from the capture buffer, exactly as the paint
// draws it (same inversion, gray and smoothing) but at (0, 0), without frame,
// marker or round clipping.
//
// The clipboard is opened with the loupe as owner and emptied before the
// bitmap is placed: SetClipboardData fails after an EmptyClipboard made
// without an owner, and leaving older formats (text, another picture) beside
// the new bitmap would make other programs paste something the user did not
// just copy.
#include "engine/clipboard.h"

#include <cstring>

#include "engine/modal.h"
#include "engine/render.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/texts.h"
#include "settings/settings.h"

static BITMAPINFOHEADER image_header(int width, int height) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height; // positive: bottom-up rows
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// The magnified image as a movable global block in CF_DIB layout, or null
// when a bitmap or the memory could not be had.
static HGLOBAL render_image_block(HWND loupe, int width, int height) {
    HDC window_dc = GetDC(loupe);
    HDC memory_dc = CreateCompatibleDC(window_dc);
    ReleaseDC(loupe, window_dc);
    if (!memory_dc) return nullptr;

    BITMAPINFO info = {};
    info.bmiHeader = image_header(width, height);
    void* pixels = nullptr;
    HBITMAP image = CreateDIBSection(memory_dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!image || !pixels) {
        if (image) DeleteObject(image);
        DeleteDC(memory_dc);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(memory_dc, image);
    const POINT source = image_source_origin();
    render_magnified(memory_dc, 0, 0, width, height, capture_dc, source.x, source.y,
                     settings.size.x, settings.size.y, image_raster_op());
    GdiFlush();
    SelectObject(memory_dc, previous);
    DeleteDC(memory_dc);

    const size_t pixel_bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
    HGLOBAL block =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, sizeof(BITMAPINFOHEADER) + pixel_bytes);
    if (block) {
        BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
        if (bytes) {
            std::memcpy(bytes, &info.bmiHeader, sizeof(BITMAPINFOHEADER));
            std::memcpy(bytes + sizeof(BITMAPINFOHEADER), pixels, pixel_bytes);
            GlobalUnlock(block);
        } else {
            GlobalFree(block);
            block = nullptr;
        }
    }
    DeleteObject(image);
    return block;
}

void(WINAPI* clipboard_retry_pause)(DWORD milliseconds) = Sleep;

// Owned by the loupe, so a tray click can bring it to the front; the loupe
// is hidden and the tick stopped while it is open, as for a dialog.
void report_copy_failure(HWND loupe, const char* text) {
    ModalScope scope = enter_modal(loupe, true);
    show_message_box(loupe, text, texts::kAppName, MB_OK);
    leave_modal(loupe, scope);
}

// Clipboard histories, managers and remote-desktop redirection open the
// clipboard for a moment after every change: a few tries, a moment apart,
// before the clipboard counts as busy (at most about 80 ms).
bool open_clipboard_soon(HWND owner) {
    constexpr int kTries = 5;
    constexpr DWORD kPauseMs = 20;
    for (int attempt = 1;; ++attempt) {
        if (OpenClipboard(owner)) return true;
        if (attempt == kTries) return false;
        clipboard_retry_pause(kPauseMs);
    }
}

// No copy while a modal window of ours is open: one busy message at a time.
void copy_image_to_clipboard(HWND loupe) {
    if (modal_depth > 0) return;
    HGLOBAL block = render_image_block(loupe, zoomed_size.x, zoomed_size.y);
    if (!block) {
        report_copy_failure(loupe, texts::kImageTooLarge);
        return;
    }
    if (!open_clipboard_soon(loupe)) {
        GlobalFree(block);
        report_copy_failure(loupe, texts::kClipboardBusy);
        return;
    }
    EmptyClipboard();
    // On success the clipboard owns the block; otherwise it is still ours.
    if (!SetClipboardData(CF_DIB, block)) GlobalFree(block);
    CloseClipboard();
}
