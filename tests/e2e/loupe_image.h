// What the loupe must show, pixel by pixel, over the test picture (or over
// any screen content grabbed for the purpose): the
// etched two-pixel frame, the magnified area (each area pixel as a block of
// zoom x zoom screen pixels) and the XOR-inverted outline of the centre
// marker. Used by the engine and shell checks.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdint>
#include <string>

#include "tests/e2e/probe.h"

namespace e2e {

enum class Colours { plain, inverted, gray, inverted_gray };

// A picture colour as the loupe shows it: inverted with NOTSRCCOPY, grayed
// with g = (76 r + 150 g + 30 b) >> 8, inversion first.
uint32_t shown_colour(uint32_t rgb, Colours c);

struct LoupeLayout {
    int area = 37;    // captured area, square
    int zoom = 3;     // magnify / 100, whole factors only
    int origin_x = 0; // screen position of the area's top-left pixel
    int origin_y = 0;
    bool marker = true;
    bool frame = true; // rectangular frame (the round loupe is not checked here)
    bool image = true; // the magnified area and the marker on it
    Colours colours = Colours::plain;
    // Area pixels whose screen position lies here are not predicted: under
    // Wine a screen copy includes layered windows, so where the captured
    // area overlaps the loupe itself, the loupe magnifies its own picture.
    RECT unpredictable{0, 0, 0, 0};
    // The area as the screen shows it, for content other than the test
    // picture (another program's window); null: the test picture.
    const Grab* screen = nullptr;
};

// Compares the loupe window's pixels (grabbed from the screen) with the
// prediction. Returns the number of differing pixels and describes the first
// few in *report.
int loupe_mismatches(const Grab& g, const LoupeLayout& layout, std::string* report);

// The default layout for the pointer at (x, y): the 37 x 37 area has its
// top-left pixel 18 pixels up and left of the pointer.
LoupeLayout layout_around(int x, int y, const RECT& unpredictable = RECT{0, 0, 0, 0});

// Waits (kPatience at most) until the loupe's pixels match the prediction. A
// failure counts and describes the differences in the last grab, which is
// also handed out in *shot when asked for.
::testing::AssertionResult loupe_shows(HWND loupe, const LoupeLayout& layout, Grab* shot = nullptr);

} // namespace e2e
