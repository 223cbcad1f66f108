// Pixel prediction of the loupe over the test picture (see loupe_image.h).
#include "tests/e2e/loupe_image.h"

#include "tests/e2e/picture.h"

#include <cstdio>
#include <utility>

namespace e2e {

namespace {
constexpr uint32_t kLightFrame = 0xF8F8FF; // pen 0x00FFF8F8 as 0xRRGGBB
constexpr uint32_t kGrayFrame = 0x808080;

// Frame colour at client (x, y) of an R x B window, or false inside it. Outer
// ring light on top and left and gray on bottom and right, inner ring the
// other way round.
bool frame_colour(int x, int y, int R, int B, uint32_t* c) {
    if (y == 0) return *c = kLightFrame, true;
    if (y == B - 1) return *c = kGrayFrame, true;
    if (x == 0) return *c = kLightFrame, true;
    if (x == R - 1) return *c = kGrayFrame, true;
    if (y == 1) return *c = kGrayFrame, true;
    if (y == B - 2) return *c = kLightFrame, true;
    if (x == 1) return *c = kGrayFrame, true;
    if (x == R - 2) return *c = kLightFrame, true;
    return false;
}
} // namespace

uint32_t shown_colour(uint32_t rgb, Colours c) {
    if (c == Colours::inverted || c == Colours::inverted_gray) rgb ^= 0xFFFFFF;
    if (c == Colours::gray || c == Colours::inverted_gray) {
        const uint32_t g = (76 * (rgb >> 16) + 150 * ((rgb >> 8) & 255) + 30 * (rgb & 255)) >> 8;
        rgb = (g << 16) | (g << 8) | g;
    }
    return rgb;
}

int loupe_mismatches(const Grab& g, const LoupeLayout& l, std::string* report) {
    const int W = l.area * l.zoom, R = W + 4;
    const int m = l.zoom;
    const int x0 = (W - m) / 2 + 1, x1 = x0 + m + 1; // marker outline, client coordinates
    int bad = 0;
    std::string text;
    if (g.area.right - g.area.left != R || g.area.bottom - g.area.top != R) {
        if (report) *report = "grab is not the loupe's size: " + describe(g.area);
        return R * R;
    }
    for (int cy = 0; cy < R; ++cy)
        for (int cx = 0; cx < R; ++cx) {
            uint32_t want;
            const char* what = "image";
            if (frame_colour(cx, cy, R, R, &want)) {
                if (!l.frame) continue;
                what = "frame";
            } else {
                if (!l.image) continue;
                const int sx = l.origin_x + (cx - 2) / m, sy = l.origin_y + (cy - 2) / m;
                POINT sp{sx, sy};
                if (PtInRect(&l.unpredictable, sp)) continue;
                const uint32_t area_pixel =
                    l.screen ? l.screen->at(sx, sy) : TestPicture::colour(sx, sy);
                want = shown_colour(area_pixel, l.colours);
                const bool on_marker = ((cy == x0 || cy == x1) && cx >= x0 && cx <= x1) ||
                                       ((cx == x0 || cx == x1) && cy >= x0 && cy <= x1);
                if (l.marker && on_marker) {
                    want ^= 0xFFFFFF;
                    what = "marker";
                }
            }
            const uint32_t got = g.at(g.area.left + cx, g.area.top + cy);
            if (got == want) continue;
            if (++bad <= 8) {
                char line[160];
                std::snprintf(line, sizeof line, "\n  %s pixel (%d, %d): got %s, want %s", what, cx,
                              cy, rgb_text(got).c_str(), rgb_text(want).c_str());
                text += line;
            }
        }
    if (report) *report = text;
    return bad;
}

LoupeLayout layout_around(int x, int y, const RECT& unpredictable) {
    LoupeLayout l;
    l.origin_x = x - l.area / 2;
    l.origin_y = y - l.area / 2;
    l.unpredictable = unpredictable;
    return l;
}

::testing::AssertionResult loupe_shows(HWND loupe, const LoupeLayout& layout, Grab* shot) {
    Grab last;
    std::string report;
    int bad = 0;
    wait_until(
        [&] {
            last = grab_window(loupe);
            bad = loupe_mismatches(last, layout, &report);
            return bad == 0;
        },
        kPatience, 50);
    if (shot) *shot = std::move(last);
    if (bad == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << bad << " pixels differ:" << report;
}

} // namespace e2e
