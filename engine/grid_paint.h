// Draws the pixel grid over the magnified image in a paint device context.
#pragma once
#include <windows.h>
#include "engine/pixel_grid.h"

// Mid-gray: XORed onto any colour it changes every channel by half its range.
constexpr COLORREF kGridXorColour = 0x00808080;

// XORs every line pixel of `grid` once with kGridXorColour; nothing when the
// grid is not drawn.
void paint_pixel_grid(HDC dc, const PixelGrid& grid);
