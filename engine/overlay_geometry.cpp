// Geometry of the centre marker and the etched frame of the rectangular loupe.
#include "engine/overlay_geometry.h"

MarkerSquare marker_square(IntPair zoomed, int32_t magnify) {
    // The cursor pixel is magnified to m x m pixels in the middle of the
    // image, which starts at (kFrameWidth, kFrameWidth) of the client area;
    // the outline runs one pixel outside that block.
    const int m = magnify / 100;
    MarkerSquare s;
    s.x0 = kFrameWidth + (zoomed.x - m) / 2 - 1;
    s.y0 = kFrameWidth + (zoomed.y - m) / 2 - 1;
    s.x1 = s.x0 + m + 1;
    s.y1 = s.y0 + m + 1;
    return s;
}

// Two rings of one-pixel lines fill the frame.
static_assert(kFrameWidth == 2, "the rectangular frame is drawn as two rings");

void frame_lines(int right, int bottom, FrameLine lines[kFrameLineCount]) {
    const int r = right;
    const int b = bottom;
    const FrameLine order[kFrameLineCount] = {
        {0, 0, r, 0, FRAME_LIGHT},             // outer top
        {0, 1, 0, b - 1, FRAME_LIGHT},         // outer left
        {1, b - 2, r - 1, b - 2, FRAME_LIGHT}, // inner bottom
        {r - 2, b - 2, r - 2, 1, FRAME_LIGHT}, // inner right, drawn upward
        {1, 1, r - 1, 1, FRAME_GRAY},          // inner top
        {1, 2, 1, b - 2, FRAME_GRAY},          // inner left
        {0, b - 1, r, b - 1, FRAME_GRAY},      // outer bottom
        {r - 1, 1, r - 1, b - 1, FRAME_GRAY},  // outer right
    };
    for (int i = 0; i < kFrameLineCount; ++i)
        lines[i] = order[i];
}

namespace {

// Whether a horizontal or vertical line drawn from (x0, y0) up to but not
// including (x1, y1) covers (x, y).
bool line_covers(const FrameLine& l, int x, int y) {
    if (l.y0 == l.y1) {
        if (y != l.y0) return false;
        return l.x0 <= l.x1 ? (x >= l.x0 && x < l.x1) : (x <= l.x0 && x > l.x1);
    }
    if (x != l.x0) return false;
    return l.y0 <= l.y1 ? (y >= l.y0 && y < l.y1) : (y <= l.y0 && y > l.y1);
}

} // namespace

FrameColour frame_pixel(int x, int y, int right, int bottom) {
    if (x < 0 || y < 0 || x >= right || y >= bottom) return FRAME_NONE;
    FrameLine lines[kFrameLineCount];
    frame_lines(right, bottom, lines);
    FrameColour colour = FRAME_NONE;
    for (const FrameLine& l : lines)
        if (line_covers(l, x, y)) colour = l.colour;
    return colour;
}

bool round_in_mode(int32_t loupe, IntPair maruwin) {
    return (loupe != 0 ? maruwin.y : maruwin.x) != 0;
}
