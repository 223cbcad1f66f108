// Turning the capture block into the magnified image.
//
// Without gray and smoothing the whole render is one StretchBlt out of the
// capture buffer, with the inversion folded into its raster operation. Gray
// and smoothing need the pixels in memory: the block is first copied (and
// inverted) into the source buffer, converted there, and then either
// stretched by GDI or interpolated into the zoom buffer.
//
// The source and zoom buffers are re-created when the size or magnification
// changes, and a failed re-creation leaves the previous bitmap selected. The
// direct pixel work therefore checks the actual buffer sizes first and falls
// back to a plain StretchBlt rather than write past the end of a bitmap that
// is too small, or read rows with the wrong stride out of one that is too
// wide. The smoothing itself can fail for want of memory to work in, and
// falls back the same way.
#include "engine/render.h"

#include "loupe/buffers.h"
#include "loupe/state.h"
#include "pixels/gray.h"
#include "pixels/smooth_scale.h"
#include "settings/settings.h"

POINT image_source_origin() {
    if (capture_is_snapshot()) {
        return {tick_memory.capture_origin.x - geometry.virtual_screen.left,
                tick_memory.capture_origin.y - geometry.virtual_screen.top};
    }
    return {0, 0};
}

DWORD image_raster_op() {
    return settings.invertbmp ? NOTSRCCOPY : SRCCOPY;
}

// Row stride of a 24-bit DIB section of the given width.
static int dib24_stride(int width) {
    return (3 * width + 3) & ~3;
}

// The source buffer can take a block of block_w x block_h pixels with the
// stride the smoothing assumes (rows of exactly block_w pixels).
static bool source_buffer_fits(int block_w, int block_h) {
    return source_dc && source_bits && source_buffer_size.cx == block_w &&
           source_buffer_size.cy >= block_h;
}

static bool zoom_buffer_fits(int w, int h) {
    return zoom_dc && zoom_bits && zoom_buffer_size.cx == w && zoom_buffer_size.cy >= h;
}

void render_magnified(HDC target, int tx, int ty, int w, int h, HDC source, int sx, int sy, int cw,
                      int ch, DWORD rop) {
    const int block_w = cw + 3;
    const int block_h = ch + 3;
    const bool gray = settings.graybmp != 0;
    const bool smooth = settings.smooth != kSmoothNone;

    // StretchBlt in the DC's default stretch mode repeats source pixels:
    // each area pixel becomes a block of the magnified size.
    if ((!gray && !smooth) || !source_buffer_fits(block_w, block_h)) {
        StretchBlt(target, tx, ty, w, h, source, sx + 1, sy + 1, cw, ch, rop);
        return;
    }

    BitBlt(source_dc, 0, 0, block_w, block_h, source, sx, sy, rop); // inverts, if asked
    GdiFlush(); // the copy must have landed before the pixels are touched
    if (gray) convert_to_gray(source_bits, block_w, block_h, dib24_stride(block_w));

    // The smoothing fails, writing nothing, when it finds no memory to work in.
    if (!smooth || !zoom_buffer_fits(w, h) ||
        !smooth_scale(source_bits, 0, 0, cw, ch, zoom_bits, w, h, settings.smooth)) {
        StretchBlt(target, tx, ty, w, h, source_dc, 1, 1, cw, ch, SRCCOPY);
        return;
    }
    BitBlt(target, tx, ty, w, h, zoom_dc, 0, 0, SRCCOPY);
}
