// Creation and re-creation of the loupe's work buffers (capture, source,
// zoom). Each buffer is one bitmap selected into its own memory DC; the
// bitmap selected before is deleted. The actual size of each buffer is
// recorded, so code that writes pixels directly can refuse a buffer that is
// smaller than it needs (a failed creation keeps the old, smaller bitmap).
#pragma once
#include <windows.h>

extern SIZE capture_buffer_size;
extern SIZE source_buffer_size;
extern SIZE zoom_buffer_size;

// 24-bit top-down DIB section (rows padded to 4 bytes) made against dc.
HBITMAP create_dib24(HDC dc, int width, int height, BYTE** bits);
// FillRect (0, 0, width, height) with the stock black brush.
void fill_black(HDC dc, int width, int height);

// Capture buffer of width x height: a DIB when smooth is on, else a bitmap
// compatible with the screen; filled black. Creates capture_dc when missing.
void recreate_capture_buffer(int width, int height);
// The normal capture size (size + 3) or, in magnifying-glass mode with
// snapshot_mode, the virtual screen + 3.
void recreate_capture_buffer_for_mode();
// Source buffer DIB of (width + 3) x (height + 3) on source_dc, filled black.
void recreate_source_buffer(HWND loupe, int width, int height);
// Zoom buffer DIB of width x height on zoom_dc (not filled).
void recreate_zoom_buffer(int width, int height);

// Memory DCs compatible with the screen.
HDC create_screen_compatible_dc();
// Deletes source_dc and source_bitmap (when they exist) and clears them.
void delete_source_buffer();
// Deletes zoom_dc and zoom_bitmap (when they exist) and clears them.
void delete_zoom_buffer();
