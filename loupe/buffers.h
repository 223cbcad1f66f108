// The loupe's work buffers: capture, conversion/smoothing source, smoothing
// output. Each buffer is one bitmap selected into its own memory DC; the
// bitmap selected before is deleted. The actual size of each buffer is
// recorded, so code that writes pixels directly can refuse a buffer that is
// smaller than it needs (a failed creation keeps the old, smaller bitmap).
// fit_work_buffers brings all three to what the settings ask for
// (loupe/buffer_needs.h); the primitives below it stay public for tests that
// build one buffer alone.
#pragma once
#include <windows.h>

extern HDC capture_dc;           // the captured block, or the snapshot of the whole screen
extern HBITMAP capture_bitmap;   // selected into capture_dc
extern void* capture_bits;       // its pixels when it is a DIB (smoothing on), else null
extern SIZE capture_buffer_size; // its real size
extern HDC source_dc;            // the block copied for gray and smoothing; null while unused
extern HBITMAP source_bitmap;    // selected into source_dc
extern BYTE* source_bits;        // its pixels (24-bit top-down DIB)
extern SIZE source_buffer_size;  // its real size
extern HDC zoom_dc;              // the smoothed image; null while smoothing is off
extern HBITMAP zoom_bitmap;      // selected into zoom_dc
extern BYTE* zoom_bits;          // its pixels (24-bit top-down DIB)
extern SIZE zoom_buffer_size;    // its real size

// How far fit_work_buffers goes. The capture buffer's content is shown
// until the next capture or snapshot, so it is re-created (black) only when
// asked for; the source and zoom buffers are rewritten whole on every paint.
enum class BufferRefresh {
    KeepCapture, // the capture buffer as it is (nothing that sizes it changed), the others fitted
    Fit,         // each buffer re-created only when missing or of another size or kind
    Anew,        // each wanted buffer re-created, the capture buffer black
};
// Brings the three buffers to what the settings ask for now: wanted ones
// created or re-created as `refresh` says, unwanted ones deleted.
void fit_work_buffers(BufferRefresh refresh);
// Deletes all three buffers and their DCs and clears their records.
void release_work_buffers();

// 24-bit top-down DIB section (rows padded to 4 bytes) made against dc.
HBITMAP create_dib24(HDC dc, int width, int height, BYTE** bits);
// FillRect (0, 0, width, height) with the stock black brush.
void fill_black(HDC dc, int width, int height);

// Capture buffer of width x height: a DIB when smooth is on, else a bitmap
// compatible with the screen; filled black. Creates capture_dc when missing.
void recreate_capture_buffer(int width, int height);
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
