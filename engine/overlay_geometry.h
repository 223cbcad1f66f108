// Pixel geometry of the loupe's overlays, shared by the paint and its tests.
#pragma once
#include <cstdint>
#include "settings/settings.h"

// Outline of the centre marker in client coordinates: the square with corners
// (x0, y0) and (x1, y1); its inside is the m x m block of the cursor pixel,
// m = magnify / 100.
struct MarkerSquare {
    int x0, y0, x1, y1;
};
MarkerSquare marker_square(IntPair zoomed, int32_t magnify);

// The loupe is round in the mode it is in: maruwin.x in normal mode,
// maruwin.y in magnifying-glass mode.
bool round_in_mode(int32_t loupe, IntPair maruwin);

enum FrameColour { FRAME_NONE, FRAME_LIGHT, FRAME_GRAY };

// The pens of the two frames: colours as COLORREF values (0x00BBGGRR), one
// pixel wide but the round frame's outer ring.
constexpr uint32_t kLightFrameColour = 0x00FFF8F8; // rectangular, light side
constexpr uint32_t kGrayFrameColour = 0x00808080;  // rectangular, shaded side
constexpr uint32_t kLightRoundColour = 0x00FAF0F0; // round, inner ring
constexpr uint32_t kDarkRoundColour = 0x008C8080;  // round, outer ring
constexpr int kDarkRoundPenWidth = 2;

// One line of the etched rectangular frame: MoveToEx (x0, y0), LineTo (x1, y1)
// with the pen of `colour`; LineTo leaves out its end point.
struct FrameLine {
    int x0, y0, x1, y1;
    FrameColour colour;
};
constexpr int kFrameLineCount = 8;
// The eight lines in drawing order (later lines cover earlier ones) for a
// right x bottom client area.
void frame_lines(int right, int bottom, FrameLine lines[kFrameLineCount]);

// Colour that the etched rectangular frame gives client pixel (x, y) of a
// right x bottom client area: outer ring light on top and left, gray on bottom
// and right; inner ring the other way round. FRAME_NONE inside the frame and
// outside the client area.
FrameColour frame_pixel(int x, int y, int right, int bottom);
