// Placement of the loupe and its tooltip, the tooltip's text and sample
// point, and the colour copied as text.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "engine/colour_text.h"
#include "engine/placement.h"
#include "engine/tooltip_text.h"

namespace {

const IntPair kZoomed{111, 111}; // size 37,37 at 300 %: the window is 115 x 115
const Bounds kScreen{0, 0, 1024, 768};
const int kTip = 20;

double default_distance() {
    return startup_loupe_distance(kZoomed, 16);
}

Placement normal(IntPair cursor, int angle, Bounds monitor = kScreen, bool fit = true) {
    return place_normal(cursor, kZoomed, angle, default_distance(), monitor, fit, kTip);
}

} // namespace

TEST(LoupeDistance, StartupAndOptions) {
    EXPECT_NEAR(default_distance(), std::sqrt(57.0 * 57 * 2) + 16, 1e-12);
    EXPECT_NEAR(default_distance(), 96.61, 0.005);
    EXPECT_NEAR(options_loupe_distance(kZoomed, 16), default_distance() + 2.8, 1e-12);
    // Integer halves of the image: 55 / 2 + 2 = 29.
    EXPECT_NEAR(startup_loupe_distance({55, 110}, 0), std::sqrt(29.0 * 29 + 57.0 * 57), 1e-12);
}

TEST(PlaceNormal, DefaultPositionBelowRight) {
    const Placement p = normal({500, 400}, 135);
    EXPECT_EQ(p.x, 511);
    EXPECT_EQ(p.y, 411);
    EXPECT_EQ(p.tip_y, 527);
}

TEST(PlaceNormal, MirrorsAtTheRightEdge) {
    const Placement p = normal({1000, 400}, 135);
    EXPECT_EQ(p.x, 874); // trunc(1000 - 68.31) - 57
    EXPECT_EQ(p.y, 411);
}

TEST(PlaceNormal, StraightBelowNearTheBottomMirrorsAbove) {
    const Placement p = normal({500, 700}, 180);
    // 180 x 0.01745329252 is a hair beyond pi, so sin is a tiny negative
    // and the truncation lands one pixel left of the cursor's column.
    EXPECT_EQ(p.x, 499 - 57);
    EXPECT_EQ(p.y, 603 - 57);           // trunc(700 - 96.61) - 57
    EXPECT_EQ(p.tip_y, 546 - kTip - 1); // the loupe now stands above: tooltip above it
}

TEST(PlaceNormal, StraightAboveAtTheLeftEdgeClamps) {
    const Placement p = normal({10, 400}, 0);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 303 - 57);
    // And at the right edge.
    EXPECT_EQ(normal({1020, 400}, 0).x, 1024 - 115);
}

TEST(PlaceNormal, MonitorsLeftOfAndAbovePrimary) {
    // Truncation goes toward zero on negative coordinates too.
    const Bounds left_monitor{-1280, 0, 0, 1024};
    Placement p = normal({-20, 400}, 135, left_monitor);
    EXPECT_EQ(p.x, -88 - 57); // mirrored: trunc(-20 - 68.31) = -88
    EXPECT_EQ(p.y, 411);
    p = normal({-1200, 400}, 135, left_monitor);
    EXPECT_EQ(p.x, -1131 - 57); // trunc(-1200 + 68.31) = trunc(-1131.69)

    // Angle 90: beside the cursor, so a vertical overflow clamps to the
    // monitor's (negative) top.
    const Bounds upper_monitor{1024, -300, 2048, 468};
    p = normal({1500, -290}, 90, upper_monitor);
    EXPECT_EQ(p.x, 1596 - 57);
    EXPECT_EQ(p.y, -300);
    EXPECT_EQ(p.tip_y, -300 + 115 + 1);
    // Angle 60: above but mostly beside (|trunc(dy)| = 48 < 57); no room for
    // the tooltip above, so it goes to the monitor's top and the loupe under it.
    p = normal({1500, -190}, 60, upper_monitor);
    EXPECT_EQ(p.x, 1583 - 57);
    EXPECT_EQ(p.tip_y, -300);
    EXPECT_EQ(p.y, -300 + kTip + 1);
    EXPECT_EQ(normal({1500, -190}, 60, upper_monitor, false).y, -238 - 57);
}

TEST(PlaceNormal, TooltipFitting) {
    // Above the cursor with no room for the tooltip above: mirrored below.
    Placement p = normal({500, 160}, 0);
    EXPECT_EQ(p.y, 256 - 57);
    EXPECT_EQ(p.tip_y, 199 + 115 + 1);
    // Without the tooltip the loupe stays above.
    EXPECT_EQ(normal({500, 160}, 0, kScreen, false).y, 63 - 57);
    // Room above: the tooltip goes there.
    p = normal({500, 200}, 0);
    EXPECT_EQ(p.y, 46);
    EXPECT_EQ(p.tip_y, 46 - kTip - 1);
    // Beside the cursor near the bottom: tooltip at the bottom edge, the loupe
    // lifted above it.
    p = normal({500, 700}, 90);
    EXPECT_EQ(p.tip_y, 768 - kTip);
    EXPECT_EQ(p.y, 768 - kTip - 115 - 1);
    EXPECT_EQ(normal({500, 700}, 90, kScreen, false).y, 643);
    // Below the cursor with no room for the tooltip below: mirrored above.
    p = normal({500, 600}, 180);
    EXPECT_EQ(p.y, 503 - 57);
    EXPECT_EQ(p.tip_y, 446 - kTip - 1);
    EXPECT_EQ(normal({500, 600}, 180, kScreen, false).y, 696 - 57);
}

TEST(PlaceNormal, HugeDistanceDoesNotOverflow) {
    const Placement p =
        place_normal({500, 400}, kZoomed, 135, 2147483647.0 + 100, kScreen, true, kTip);
    // Mirrored far off to the other side; what matters is a defined result.
    EXPECT_LT(p.x, -1000000);
    EXPECT_LT(p.y, -1000000);
}

TEST(PlaceMagnifyingGlass, CentredEvenOffScreen) {
    Placement p = place_magnifying_glass({5, 5}, kZoomed, kScreen, kTip);
    EXPECT_EQ(p.x, 5 - 55 - 2);
    EXPECT_EQ(p.y, 5 - 55 - 2);
    EXPECT_EQ(p.tip_y, p.y + 111 + 5);
    p = place_magnifying_glass({1020, 760}, kZoomed, kScreen, kTip);
    EXPECT_EQ(p.x, 1020 - 57);
    EXPECT_EQ(p.tip_y, 760 - 57 - kTip - 1);
    // The tooltip moves above once the cursor is below bottom - H/2 - tip - 4.
    EXPECT_EQ(place_magnifying_glass({500, 689}, kZoomed, kScreen, kTip).tip_y, 689 - 57 + 116);
    EXPECT_EQ(place_magnifying_glass({500, 690}, kZoomed, kScreen, kTip).tip_y, 690 - 57 - 21);
    // Even sides: integer halves.
    p = place_magnifying_glass({100, 100}, {50, 50}, Bounds{-500, -500, 0, 0}, kTip);
    EXPECT_EQ(p.x, 73);
    EXPECT_EQ(p.tip_y, 73 - kTip - 1);
}

TEST(TooltipPosition, HorizontalAndTrackParameter) {
    EXPECT_EQ(tooltip_x(511, 500, 150, kScreen), 511);
    EXPECT_EQ(tooltip_x(900, 1000, 150, kScreen), 1024 - 151);
    EXPECT_EQ(tooltip_x(-52, 5, 150, kScreen), 0);
    const Bounds left_monitor{-1280, 0, 0, 1024};
    EXPECT_EQ(tooltip_x(-1300, -1270, 150, left_monitor), -1280);
    EXPECT_EQ(tooltip_x(-100, -20, 150, left_monitor), -151);

    EXPECT_EQ(tooltip_track_position(511, 527), (527u << 16) | 512u);
    EXPECT_EQ(tooltip_track_position(-5, -3), 0xFFFDFFFCu);
    EXPECT_EQ(tooltip_track_position(-1, 0), 0u);
}

TEST(TooltipText, DecimalAndHex) {
    char buf[80];
    int n = format_tooltip_text(buf, sizeof buf, false, 300, {512, 384}, 255, 128, 0);
    EXPECT_EQ(std::string(buf), "[300%](512, 384) 255, 128, 0");
    EXPECT_EQ(n, 28);
    format_tooltip_text(buf, sizeof buf, true, 300, {512, 384}, 255, 128, 0);
    EXPECT_EQ(std::string(buf), "[300%](512, 384) FF, 80, 00");
    format_tooltip_text(buf, sizeof buf, true, 150, {-1280, -5}, 255, 0, 0);
    EXPECT_EQ(std::string(buf), "[150%](-1280, -5) FF, 00, 00");
    format_tooltip_text(buf, sizeof buf, false, 150, {-1280, -5}, 255, 0, 0);
    EXPECT_EQ(std::string(buf), "[150%](-1280, -5) 255, 0, 0");
}

TEST(TooltipText, LongestFitsAndShortBuffersTruncate) {
    char buf[kTooltipTextBytes];
    const int n = format_tooltip_text(buf, sizeof buf, false, INT32_MIN, {INT32_MIN, INT32_MIN},
                                      255, 255, 255);
    EXPECT_EQ(std::string(buf), "[-2147483648%](-2147483648, -2147483648) 255, 255, 255");
    EXPECT_EQ(n, static_cast<int>(std::string(buf).size()));
    char small[8];
    EXPECT_EQ(format_tooltip_text(small, sizeof small, false, 300, {1, 2}, 3, 4, 5), 7);
    EXPECT_EQ(std::string(small), "[300%](");
    EXPECT_EQ(format_tooltip_text(small, 0, false, 300, {1, 2}, 3, 4, 5), 0);
}

TEST(TooltipText, SamplePoint) {
    // The capture block: the cursor pixel behind the one-pixel margin.
    EXPECT_EQ(pixel_sample_point(false, {500, 400}, -1280, -200, {18, 18}), (IntPair{19, 19}));
    // The snapshot of a virtual screen that starts left of and above primary.
    EXPECT_EQ(pixel_sample_point(true, {-1000, 50}, -1280, -200, {18, 18}), (IntPair{281, 251}));
    EXPECT_EQ(pixel_sample_point(true, {-1280, -200}, -1280, -200, {18, 18}), (IntPair{1, 1}));
}

TEST(ColourText, HexAndDecimalOfTheSamePixel) {
    struct Case {
        bool hex;
        int r, g, b;
        const char* text;
    };
    const Case cases[] = {
        {true, 255, 128, 0, "#FF8000"},    {false, 255, 128, 0, "255, 128, 0"},
        {true, 0, 0, 0, "#000000"},        {false, 0, 0, 0, "0, 0, 0"},
        {true, 1, 2, 171, "#0102AB"},      {false, 255, 255, 255, "255, 255, 255"},
        {true, 0x1FF, -1, 256, "#FFFF00"}, // only the low byte of a channel counts
    };
    for (const Case& c : cases) {
        char buf[16];
        const int n = format_colour_text(buf, sizeof buf, c.hex, c.r, c.g, c.b);
        EXPECT_EQ(std::string(buf), c.text);
        EXPECT_EQ(n, static_cast<int>(std::string(c.text).size())) << c.text;
    }
    char small[5];
    EXPECT_EQ(format_colour_text(small, sizeof small, true, 255, 128, 0), 4);
    EXPECT_EQ(std::string(small), "#FF8");
    EXPECT_EQ(format_colour_text(small, 0, true, 255, 128, 0), 0);
}
