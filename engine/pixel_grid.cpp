// The pixel grid's geometry, shared by the paint and its tests.
#include "engine/pixel_grid.h"

PixelGrid pixel_grid(int32_t grid, int32_t gridzoom, int32_t magnify, IntPair zoomed) {
    PixelGrid g = {0, zoomed};
    if (grid == 0 || magnify % 100 != 0 || magnify < gridzoom) return g;
    const int cell = magnify / 100;
    if (cell < 2) return g;
    g.cell = cell;
    return g;
}

// Offset from the image's first column or row, or -1 outside the image.
static int image_offset(int client, int extent) {
    const int offset = client - kFrameWidth;
    return offset >= 0 && offset < extent ? offset : -1;
}

bool on_grid_line(const PixelGrid& grid, int x, int y) {
    if (grid.cell == 0) return false;
    const int u = image_offset(x, grid.image.x);
    const int v = image_offset(y, grid.image.y);
    if (u < 0 || v < 0) return false;
    return (u > 0 && u % grid.cell == 0) || (v > 0 && v % grid.cell == 0);
}

bool grid_fill_marks(const PixelGrid& grid, GridFill fill, int x) {
    if (grid.cell == 0) return false;
    const int phase = ((x - kFrameWidth) % grid.cell + grid.cell) % grid.cell;
    return (phase == 0) == (fill == GRID_LINES);
}
