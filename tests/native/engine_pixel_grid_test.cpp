// The pixel grid: when it is drawn, where its lines lie, and that the strokes
// the paint XORs cover each line pixel exactly once and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/pixel_grid.h"

namespace {

std::string grid_picture(const PixelGrid& grid) {
    std::string s;
    for (int y = 0; y < grid.image.y + 2 * kFrameWidth; ++y) {
        for (int x = 0; x < grid.image.x + 2 * kFrameWidth; ++x)
            s += on_grid_line(grid, x, y) ? '#' : '.';
        s += '\n';
    }
    return s;
}

} // namespace

TEST(PixelGrid, DrawnOnlyWhenOnAtAWholeZoomOfAtLeastGridzoom) {
    struct Case {
        int32_t grid, gridzoom, magnify;
        int cell;
    } cases[] = {
        {0, 800, 800, 0},   // off
        {1, 800, 800, 8},   // at gridzoom
        {1, 800, 1600, 16}, // above it
        {1, 800, 700, 0},   // below it
        {1, 800, 850, 0},   // not a whole zoom
        {1, 800, 1650, 0},  // not a whole zoom, above gridzoom
        {5, 400, 400, 4},   // any non-zero grid is on
        {1, 100, 100, 0},   // one-pixel cells leave no room for a line
        {1, 0, 200, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.grid << " " << c.gridzoom << " " << c.magnify);
        EXPECT_EQ(pixel_grid(c.grid, c.gridzoom, c.magnify, {10, 10}).cell, c.cell);
    }
}

TEST(PixelGrid, LinesBetweenCellsNeverOnTheFrame) {
    // 3 x 2 source pixels at 300 %: a 9 x 6 image inside the two-pixel frame.
    EXPECT_EQ(grid_picture(pixel_grid(1, 300, 300, {9, 6})), ".............\n"
                                                             ".............\n"
                                                             ".....#..#....\n"
                                                             ".....#..#....\n"
                                                             ".....#..#....\n"
                                                             "..#########..\n"
                                                             ".....#..#....\n"
                                                             ".....#..#....\n"
                                                             ".............\n"
                                                             ".............\n");
    EXPECT_EQ(grid_picture(pixel_grid(0, 300, 300, {9, 6})).find('#'), std::string::npos);
}

TEST(PixelGrid, StrokesCoverEachLinePixelOnce) {
    const PixelGrid grids[] = {
        pixel_grid(1, 200, 200, {6, 6}),     // smallest cell
        pixel_grid(1, 300, 300, {9, 6}),     // non-square
        pixel_grid(1, 800, 800, {296, 296}), // the default area at 800 %
        pixel_grid(1, 800, 1600, {16, 48}),  // a single column of cells
        pixel_grid(1, 800, 800, {8, 8}),     // a single cell: no line
    };
    for (const PixelGrid& grid : grids) {
        SCOPED_TRACE(testing::Message() << grid.cell << " " << grid.image.x << "x" << grid.image.y);
        const int right = grid.image.x + 2 * kFrameWidth;
        const int bottom = grid.image.y + 2 * kFrameWidth;
        std::vector<int> count(right * bottom, 0);
        for_each_grid_stroke(grid, [&](const GridStroke& s) {
            ASSERT_GE(s.x, 0);
            ASSERT_GE(s.y, 0);
            ASSERT_LE(s.x + s.width, right);
            ASSERT_LE(s.y + s.height, bottom);
            for (int y = s.y; y < s.y + s.height; ++y)
                for (int x = s.x; x < s.x + s.width; ++x)
                    if (grid_fill_marks(grid, s.fill, x)) ++count[y * right + x];
        });
        int lines = 0;
        for (int y = 0; y < bottom; ++y)
            for (int x = 0; x < right; ++x) {
                ASSERT_EQ(count[y * right + x], on_grid_line(grid, x, y) ? 1 : 0)
                    << "(" << x << ", " << y << ")";
                lines += count[y * right + x];
            }
        const int across = grid.image.x / grid.cell - 1;
        const int down = grid.image.y / grid.cell - 1;
        EXPECT_EQ(lines, across * grid.image.y + down * grid.image.x - across * down);
    }
}
