// Placement arithmetic of the loupe window and its tooltip.
//
// The loupe window is the magnified image plus a frame of kFrameWidth pixels
// on every side (loupe_window_size). Doubles become pixels by truncation
// toward zero, which is what a plain (int) conversion does.
#include "engine/placement.h"

#include <cmath>
#include <cstdlib>

namespace {

// Degrees to radians with the constant the placement has always used (not a
// more precise pi / 180), so positions do not shift by a pixel.
constexpr double kRadiansPerDegree = 0.01745329252;

double half_diagonal(IntPair zoomed) {
    const double a = zoomed.x / 2 + kFrameWidth;
    const double b = zoomed.y / 2 + kFrameWidth;
    return std::sqrt(a * a + b * b);
}

// Truncation toward zero. A hand-edited distance can be any 32-bit value, so
// the result is held within +-2^30 (far beyond any screen) instead of letting
// the conversion overflow; ordinary positions are untouched.
int trunc_int(double v) {
    constexpr double kLimit = 1073741824.0;
    if (v >= kLimit) return static_cast<int>(kLimit);
    if (v <= -kLimit) return -static_cast<int>(kLimit);
    return static_cast<int>(v);
}

// One axis of the normal placement: centre at cursor + d, kept inside
// [low, high) by clamping when the loupe sits mostly across the axis from the
// cursor (|d| less than half the window), otherwise by mirroring to the other
// side of the cursor. The mirrored position is not tested again.
int place_axis(int cursor, double d, int size, int low, int high) {
    const int half = size / 2;
    int pos = trunc_int(cursor + d) - half;
    if (pos < low || pos + size > high) {
        if (std::abs(trunc_int(d)) < half)
            pos = pos < low ? low : high - size;
        else
            pos = trunc_int(cursor - d) - half;
    }
    return pos;
}

} // namespace

double startup_loupe_distance(IntPair zoomed, int32_t distance) {
    return half_diagonal(zoomed) + distance;
}

double options_loupe_distance(IntPair zoomed, int32_t distance) {
    return half_diagonal(zoomed) + distance + 2.8;
}

Placement place_magnifying_glass(IntPair cursor, IntPair zoomed, Bounds monitor, int tip_height) {
    const int half_w = zoomed.x / 2;
    const int half_h = zoomed.y / 2;
    Placement p;
    p.x = cursor.x - half_w - kFrameWidth;
    p.y = cursor.y - half_h - kFrameWidth;
    if (cursor.y > monitor.bottom - half_h - tip_height - 2 * kFrameWidth)
        p.tip_y = p.y - tip_height - 1; // no room below: above the loupe
    else
        p.tip_y = p.y + loupe_window_size(zoomed).y + 1; // one pixel below the loupe's lower edge
    return p;
}

Placement place_normal(IntPair cursor, IntPair zoomed, int32_t angle, double distance,
                       Bounds monitor, bool fit_tooltip, int tip_height) {
    const int ww = loupe_window_size(zoomed).x;
    const int wh = loupe_window_size(zoomed).y;
    const double theta = angle * kRadiansPerDegree;
    const double dx = std::sin(theta) * distance;
    const double dy = -std::cos(theta) * distance;

    Placement p;
    p.x = place_axis(cursor.x, dx, ww, monitor.left, monitor.right);
    p.y = place_axis(cursor.y, dy, wh, monitor.top, monitor.bottom);

    const bool above = p.y < cursor.y - wh / 2;
    const bool beside = std::abs(trunc_int(dy)) < wh / 2;
    if (above) {
        p.tip_y = p.y - tip_height - 1;
        if (fit_tooltip && p.tip_y < monitor.top) {
            if (beside) {
                // Tooltip at the top edge, the loupe pushed down under it.
                p.tip_y = monitor.top;
                p.y = tip_height + monitor.top + 1;
            } else {
                p.y = trunc_int(cursor.y - dy) - wh / 2; // mirrored below the cursor
                p.tip_y = p.y + wh + 1;
            }
        }
    } else {
        p.tip_y = p.y + wh + 1;
        if (fit_tooltip && p.tip_y + tip_height > monitor.bottom) {
            if (beside) {
                p.tip_y = monitor.bottom - tip_height;
                p.y = p.tip_y - wh - 1;
            } else {
                p.y = trunc_int(cursor.y - dy) - wh / 2; // mirrored above the cursor
                p.tip_y = p.y - tip_height - 1;
            }
        }
    }
    return p;
}

int tooltip_x(int loupe_x, int cursor_x, int tip_width, Bounds monitor) {
    if (loupe_x < monitor.left && cursor_x >= monitor.left) return monitor.left;
    if (loupe_x + tip_width + 1 > monitor.right) return monitor.right - tip_width - 1;
    return loupe_x;
}

uint32_t tooltip_track_position(int tip_x, int tip_y) {
    const uint32_t y = static_cast<uint32_t>(tip_y) & 0xFFFFu;
    const uint32_t x = (static_cast<uint32_t>(tip_x) + 1u) & 0xFFFFu;
    return (y << 16) | x;
}
