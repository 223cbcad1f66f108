// Where the loupe window and its tooltip stand relative to the cursor.
// All positions are screen coordinates; floating-point results are truncated
// toward zero.
#pragma once
#include <cstdint>
#include "settings/settings.h"

// A monitor rectangle (right and bottom exclusive).
struct Bounds {
    int left, top, right, bottom;
};

// Top-left corner of the loupe window and the tooltip's vertical position.
struct Placement {
    int x, y, tip_y;
};

// Distance from the cursor to the loupe's centre set up when the loupe window
// is created: sqrt(a^2 + b^2) + distance, a = W / 2 + kFrameWidth,
// b = H / 2 + kFrameWidth (integer halves of the magnified image size).
double startup_loupe_distance(IntPair zoomed, int32_t distance);
// The value the options dialog sets when applied: the same plus 2.8.
double options_loupe_distance(IntPair zoomed, int32_t distance);

// Magnifying-glass mode: the image centred on the cursor, never clamped to
// the monitor; the tooltip goes below the loupe, or above it near the bottom.
Placement place_magnifying_glass(IntPair cursor, IntPair zoomed, Bounds monitor, int tip_height);

// Normal mode: at `distance` from the cursor in the direction `angle`
// (degrees clockwise from straight up), kept on the monitor by clamping or
// by mirroring to the other side of the cursor. With fit_tooltip the tooltip
// is fitted above or below the loupe, which may move the loupe again; without
// it tip_y is still worked out (above a loupe that stands above the cursor,
// else below) but nothing is moved for it.
Placement place_normal(IntPair cursor, IntPair zoomed, int32_t angle, double distance,
                       Bounds monitor, bool fit_tooltip, int tip_height);

// Horizontal position of the tooltip from the loupe's x.
int tooltip_x(int loupe_x, int cursor_x, int tip_width, Bounds monitor);

// lParam of TTM_TRACKPOSITION: the tooltip's corner goes to (tip_x + 1, tip_y).
uint32_t tooltip_track_position(int tip_x, int tip_y);
