// The work buffers the settings ask for. Every buffer that is read with one
// pixel of margin on the left and top and two on the right and bottom is
// three pixels larger than the area it holds.
#include "loupe/buffer_needs.h"

BufferNeeds buffer_needs(IntPair size, IntPair zoomed, int32_t smooth, int32_t graybmp,
                         bool snapshot, IntPair virtual_screen_size) {
    const IntPair captured = snapshot ? virtual_screen_size : size;
    BufferNeeds needs = {};
    needs.capture = {captured.x + 3, captured.y + 3};
    needs.capture_dib = smooth != kSmoothNone;
    needs.source = graybmp != 0 || smooth != kSmoothNone;
    needs.source_box = {size.x + 3, size.y + 3};
    needs.zoom = smooth != kSmoothNone;
    needs.zoom_box = zoomed;
    return needs;
}
