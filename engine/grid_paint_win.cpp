// The grid is drawn with two pattern brushes one cell wide (the lines and the
// gaps between them), so a whole image takes one call for the vertical lines
// and two for each horizontal one, however many cells it has.
#include "engine/grid_paint.h"

#include <vector>

namespace {

// A one-row 24-bit DIB pattern, mid-gray where `fill` marks the column and
// black (no change under XOR) elsewhere. The pattern repeats from the
// device context's brush origin, the client area's left edge.
HBRUSH make_fill_brush(const PixelGrid& grid, GridFill fill) {
    const int stride = (grid.cell * 3 + 3) & ~3;
    std::vector<BYTE> packed(sizeof(BITMAPINFOHEADER) + stride, 0);
    BITMAPINFOHEADER* header = reinterpret_cast<BITMAPINFOHEADER*>(packed.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = grid.cell;
    header->biHeight = 1;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    BYTE* row = packed.data() + sizeof(BITMAPINFOHEADER);
    for (int x = 0; x < grid.cell; ++x) {
        if (!grid_fill_marks(grid, fill, x)) continue;
        row[x * 3 + 0] = GetBValue(kGridXorColour);
        row[x * 3 + 1] = GetGValue(kGridXorColour);
        row[x * 3 + 2] = GetRValue(kGridXorColour);
    }
    return CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
}

} // namespace

void paint_pixel_grid(HDC dc, const PixelGrid& grid) {
    if (grid.cell == 0) return;
    HBRUSH lines = make_fill_brush(grid, GRID_LINES);
    HBRUSH gaps = make_fill_brush(grid, GRID_GAPS);
    HGDIOBJ before = SelectObject(dc, lines);
    for_each_grid_stroke(grid, [&](const GridStroke& s) {
        SelectObject(dc, s.fill == GRID_LINES ? lines : gaps);
        PatBlt(dc, s.x, s.y, s.width, s.height, PATINVERT);
    });
    SelectObject(dc, before);
    DeleteObject(lines);
    DeleteObject(gaps);
}
