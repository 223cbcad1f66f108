// Centre marker and etched frame geometry.
#include <gtest/gtest.h>

#include <string>

#include "engine/overlay_geometry.h"

namespace {

std::string frame_picture(int right, int bottom) {
    std::string s;
    for (int y = 0; y < bottom; ++y) {
        for (int x = 0; x < right; ++x) {
            const FrameColour c = frame_pixel(x, y, right, bottom);
            s += c == FRAME_LIGHT ? 'L' : (c == FRAME_GRAY ? 'G' : '.');
        }
        s += '\n';
    }
    return s;
}

} // namespace

TEST(Marker, Geometry) {
    // 37 at 300 %: the outline around image pixels 56 ... 58.
    MarkerSquare m = marker_square({111, 111}, 300);
    EXPECT_EQ(m.x0, 55);
    EXPECT_EQ(m.y0, 55);
    EXPECT_EQ(m.x1, 59);
    EXPECT_EQ(m.y1, 59);
    // 37 at 150 %: m = 1, the single image pixel (29, 29) inside.
    m = marker_square({55, 55}, 150);
    EXPECT_EQ(m.x0, 28);
    EXPECT_EQ(m.x1, 30);
    // 5 at 1000 %: the inside 22 ... 31 is the 10 x 10 block of the cursor pixel.
    m = marker_square({50, 50}, 1000);
    EXPECT_EQ(m.x0, 21);
    EXPECT_EQ(m.x1, 32);
    // Non-square area: each axis on its own.
    m = marker_square({111, 55}, 300);
    EXPECT_EQ(m.x0, 55);
    EXPECT_EQ(m.y0, 27);
    EXPECT_EQ(m.y1, 31);
}

TEST(Frame, EtchedPixels) {
    // Outer ring light on top and left, gray on bottom and right; inner ring
    // the other way round; each LineTo stops short of its end point.
    EXPECT_EQ(frame_picture(7, 6), "LLLLLLL\n"
                                   "LGGGGGG\n"
                                   "LG...LG\n"
                                   "LG...LG\n"
                                   "LLLLLLG\n"
                                   "GGGGGGG\n");
}

TEST(Frame, DefaultLoupeEdges) {
    const int r = 115, b = 115;
    for (int x = 0; x < r; ++x) {
        EXPECT_EQ(frame_pixel(x, 0, r, b), FRAME_LIGHT) << x;
        EXPECT_EQ(frame_pixel(x, b - 1, r, b), FRAME_GRAY) << x;
    }
    for (int y = 1; y <= b - 2; ++y) {
        EXPECT_EQ(frame_pixel(0, y, r, b), FRAME_LIGHT) << y;
        EXPECT_EQ(frame_pixel(r - 1, y, r, b), FRAME_GRAY) << y;
    }
    EXPECT_EQ(frame_pixel(1, 1, r, b), FRAME_GRAY);
    EXPECT_EQ(frame_pixel(1, b - 2, r, b), FRAME_LIGHT);
    EXPECT_EQ(frame_pixel(r - 2, 1, r, b), FRAME_GRAY);
    EXPECT_EQ(frame_pixel(r - 2, 2, r, b), FRAME_LIGHT);
    // The image (2, 2) ... (112, 112) is untouched, and so is the outside.
    EXPECT_EQ(frame_pixel(2, 2, r, b), FRAME_NONE);
    EXPECT_EQ(frame_pixel(112, 112, r, b), FRAME_NONE);
    EXPECT_EQ(frame_pixel(-1, 0, r, b), FRAME_NONE);
    EXPECT_EQ(frame_pixel(r, 0, r, b), FRAME_NONE);
}
