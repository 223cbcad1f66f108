// The colour copy. The text goes on the clipboard in both the ANSI and the
// Unicode format, so that no program has to rely on the system's conversion
// (which would need a locale); it is plain ASCII, identical in both.
#include "engine/colour_copy.h"

#include "engine/clipboard.h"
#include "engine/colour_text.h"
#include "engine/freeze_control.h"
#include "engine/tooltip_text.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/texts.h"
#include "settings/settings.h"

COLORREF captured_colour_at(POINT point, IntPair area_pixel) {
    IntPair sample =
        pixel_sample_point(capture_is_snapshot(), {point.x, point.y}, geometry.virtual_screen.left,
                           geometry.virtual_screen.top, area_pixel);
    return GetPixel(capture_dc, sample.x, sample.y);
}

// A movable block holding `length` characters and a terminating zero.
template <typename Char> static HGLOBAL text_block(const char* text, int length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, (length + 1) * sizeof(Char));
    if (!block) return nullptr;
    Char* chars = static_cast<Char*>(GlobalLock(block));
    if (!chars) {
        GlobalFree(block);
        return nullptr;
    }
    for (int i = 0; i <= length; ++i)
        chars[i] = static_cast<Char>(static_cast<unsigned char>(text[i]));
    GlobalUnlock(block);
    return block;
}

static void free_block(HGLOBAL block) {
    if (block) GlobalFree(block);
}

// No copy while a modal window of ours is open: one busy message at a time.
void copy_colour_to_clipboard(HWND loupe) {
    if (modal_depth > 0) return;
    // The pixel the tooltip reports: the cell pointed at in a frozen image,
    // else the point the capture buffer was last filled for, half the
    // captured area inside its origin.
    const IntPair cell = reported_area_pixel();
    const POINT point = {tick_memory.capture_origin.x + cell.x,
                         tick_memory.capture_origin.y + cell.y};
    const COLORREF colour = captured_colour_at(point, cell);
    char text[16];
    const int length = format_colour_text(text, sizeof(text), settings.hexcolor != 0,
                                          GetRValue(colour), GetGValue(colour), GetBValue(colour));
    HGLOBAL ansi = text_block<char>(text, length);
    HGLOBAL wide = text_block<WCHAR>(text, length);
    if (!ansi || !wide) {
        // A few bytes that could not be had: nothing to put there.
        free_block(ansi);
        free_block(wide);
        return;
    }
    if (!open_clipboard_soon(loupe)) {
        GlobalFree(ansi);
        GlobalFree(wide);
        report_copy_failure(loupe, texts::kClipboardBusy);
        return;
    }
    // Emptied first, as for the image: what other programs paste is the colour.
    EmptyClipboard();
    // On success the clipboard owns a block; otherwise it is still ours.
    if (!SetClipboardData(CF_UNICODETEXT, wide)) GlobalFree(wide);
    if (!SetClipboardData(CF_TEXT, ansi)) GlobalFree(ansi);
    CloseClipboard();
}
