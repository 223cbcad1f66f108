// Where the pixel grid lies over the magnified image: one-pixel lines on the
// first column and the first row of every cell (the block of one source
// pixel) but those of the first column and row of cells, so no line touches
// the frame. The paint XORs the lines with mid-gray, which shows on any
// colour, and never draws a pixel twice; what is read back from the capture
// (the tooltip, the clipboard) never sees the grid.
#pragma once
#include <cstdint>
#include "settings/settings.h"

struct PixelGrid {
    int cell;      // side of one cell in pixels; 0 when no grid is drawn
    IntPair image; // size of the magnified image (zoomed_size)
};

// The grid for these settings: drawn when `grid` is on and the zoom is a
// whole multiple of 100 % of at least `gridzoom`; cells of one pixel have no
// room for a line, so 100 % never shows it.
PixelGrid pixel_grid(int32_t grid, int32_t gridzoom, int32_t magnify, IntPair zoomed);

// Whether client pixel (x, y) of the loupe window lies on a grid line.
bool on_grid_line(const PixelGrid& grid, int x, int y);

// The paint XORs rectangles with a pattern one cell wide, repeated from the
// client area's left edge: GRID_LINES marks the first column of each cell,
// GRID_GAPS every other column.
enum GridFill { GRID_LINES, GRID_GAPS };
// Whether `fill` marks client column x.
bool grid_fill_marks(const PixelGrid& grid, GridFill fill, int x);

struct GridStroke {
    int x, y, width, height;
    GridFill fill;
};

// Every stroke of the grid, in drawing order: one for all the vertical lines,
// then two for each horizontal line (its pixel in the first column and the
// rest without the crossings the vertical lines already drew).
template <typename Draw> void for_each_grid_stroke(const PixelGrid& grid, Draw draw) {
    if (grid.cell == 0) return;
    const int left = kFrameWidth;
    const int top = kFrameWidth;
    draw(GridStroke{left + 1, top, grid.image.x - 1, grid.image.y, GRID_LINES});
    for (int y = top + grid.cell; y < top + grid.image.y; y += grid.cell) {
        draw(GridStroke{left, y, 1, 1, GRID_LINES});
        draw(GridStroke{left + 1, y, grid.image.x - 1, 1, GRID_GAPS});
    }
}
