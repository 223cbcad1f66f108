// The loupe's paint (image, pixel grid, etched or round frame, XOR marker) into a memory
// DC, and the elliptic window region on a real window.
#include <gtest/gtest.h>

#include <memory>

#include "engine/grid_paint.h"
#include "engine/shape.h"
#include "loupe/state.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;

namespace {

constexpr COLORREF kLight = 0x00FFF8F8;
constexpr COLORREF kGray = 0x00808080;
constexpr COLORREF kDarkRound = 0x008C8080;
constexpr COLORREF kLightRound = 0x00FAF0F0;
constexpr COLORREF kUntouched = RGB(1, 2, 3);

class PaintTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_engine_state(); }
    void TearDown() override { release_engine_buffers(); }

    // Paints a loupe of the current settings (fresh buffers, capture block
    // filled with the pattern) into a client-sized image that starts out
    // kUntouched everywhere.
    static std::unique_ptr<Dib24> paint() {
        release_engine_buffers();
        create_engine_buffers();
        const int r = zoomed_size.x + 4, b = zoomed_size.y + 4;
        HWND window = create_popup(0, 0, r, b, false);
        auto image = std::make_unique<Dib24>(r, b);
        image->fill(kUntouched);
        paint_loupe(window, image->dc());
        DestroyWindow(window);
        return image;
    }

    // Image pixel at client (x, y) for a whole-number magnification without
    // marker: the area pixel repeated m x m.
    static COLORREF image_pixel(int x, int y) {
        const int m = settings.magnify / 100;
        const COLORREF c = pattern((x - 2) / m + 1, (y - 2) / m + 1);
        return settings.invertbmp ? inverted(c) : c;
    }
};

TEST_F(PaintTest, RectangularFrameIsEtchedTwoPixelsWide) {
    const auto image = paint();
    const Dib24& img = *image;
    const int r = img.width(), b = img.height();
    ASSERT_EQ(115, r);
    ASSERT_EQ(115, b);
    for (int x = 0; x < r; ++x) {
        EXPECT_EQ(kLight, img.at(x, 0)) << "row 0, x " << x;
        EXPECT_EQ(kGray, img.at(x, b - 1)) << "bottom row, x " << x;
    }
    for (int y = 1; y <= b - 2; ++y) {
        EXPECT_EQ(kLight, img.at(0, y)) << "column 0, y " << y;
        EXPECT_EQ(kGray, img.at(r - 1, y)) << "right column, y " << y;
    }
    for (int x = 1; x <= r - 2; ++x) {
        EXPECT_EQ(kGray, img.at(x, 1)) << "row 1, x " << x;
        EXPECT_EQ(kLight, img.at(x, b - 2)) << "row B-2, x " << x;
    }
    for (int y = 2; y <= b - 3; ++y)
        EXPECT_EQ(kGray, img.at(1, y)) << "column 1, y " << y;
    for (int y = 2; y <= b - 2; ++y)
        EXPECT_EQ(kLight, img.at(r - 2, y)) << "column R-2, y " << y;
}

TEST_F(PaintTest, MarkerInvertsItsOutlineOnceAroundTheCursorPixel) {
    struct Case {
        IntPair size;
        int magnify;
        int x0, x1; // marker outline (a square, so the same for y)
    };
    const Case cases[] = {{{37, 37}, 300, 55, 59}, {{37, 37}, 150, 28, 30}, {{5, 5}, 1000, 21, 32}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size.x << " magnify " << c.magnify);
        settings.size = c.size;
        settings.magnify = c.magnify;
        settings.marker = 0;
        const auto plain = paint();
        settings.marker = 1;
        const auto marked = paint();
        int wrong = 0;
        for (int y = 0; y < plain->height(); ++y) {
            for (int x = 0; x < plain->width(); ++x) {
                const bool on_outline = x >= c.x0 && x <= c.x1 && y >= c.x0 && y <= c.x1 &&
                                        (x == c.x0 || x == c.x1 || y == c.x0 || y == c.x1);
                const COLORREF want = on_outline ? inverted(plain->at(x, y)) : plain->at(x, y);
                if (marked->at(x, y) != want) ++wrong;
            }
        }
        EXPECT_EQ(0, wrong);
        // The inside of the square is the magnified cursor pixel, and only it.
        const COLORREF cursor = pattern(settings.size.x / 2 + 1, settings.size.y / 2 + 1);
        for (int y = c.x0 + 1; y < c.x1; ++y)
            for (int x = c.x0 + 1; x < c.x1; ++x)
                EXPECT_EQ(cursor, marked->at(x, y));
        EXPECT_NE(cursor, marked->at(c.x1 + 1, c.x1 + 1));
        EXPECT_NE(cursor, marked->at(c.x0 - 1, c.x0 - 1));
    }
}

// The grid only XORs its line pixels with mid-gray, under the marker as well,
// and leaves everything else as the paint without it drew it.
TEST_F(PaintTest, GridChangesOnlyItsLinePixelsByMidGray) {
    struct Case {
        IntPair size;
        int magnify, gridzoom;
        bool drawn;
    };
    const Case cases[] = {{{9, 7}, 800, 800, true},
                          {{5, 5}, 1600, 800, true},
                          {{9, 9}, 700, 800, false},
                          {{9, 9}, 850, 800, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "size " << c.size.x << " magnify " << c.magnify);
        settings.size = c.size;
        settings.magnify = c.magnify;
        settings.gridzoom = c.gridzoom;
        settings.marker = 1;
        settings.grid = 0;
        const auto plain = paint();
        settings.grid = 1;
        const auto gridded = paint();
        const PixelGrid grid = pixel_grid(1, c.gridzoom, c.magnify, zoomed_size);
        int wrong = 0, lines = 0;
        for (int y = 0; y < plain->height(); ++y) {
            for (int x = 0; x < plain->width(); ++x) {
                const bool line = on_grid_line(grid, x, y);
                lines += line;
                const COLORREF want = line ? plain->at(x, y) ^ kGridXorColour : plain->at(x, y);
                if (gridded->at(x, y) != want) ++wrong;
            }
        }
        EXPECT_EQ(0, wrong);
        EXPECT_EQ(c.drawn, lines > 0);
    }
}

TEST_F(PaintTest, InversionAppliesToTheImageOnly) {
    settings.invertbmp = 1;
    settings.marker = 1;
    const auto image = paint();
    const Dib24& img = *image;
    EXPECT_EQ(kLight, img.at(0, 0));
    EXPECT_EQ(kGray, img.at(1, 1));
    EXPECT_EQ(inverted(pattern(1, 1)), img.at(2, 2));
    // The marker inverts what lies under it: the inverted image.
    EXPECT_EQ(pattern(18, 19), img.at(55, 57));
    EXPECT_EQ(inverted(pattern(19, 19)), img.at(57, 57));
}

TEST_F(PaintTest, WithoutMarkerNothingIsInvertedAndTheMixModeStaysDefault) {
    settings.marker = 0;
    const auto image = paint();
    const Dib24& img = *image;
    int wrong = 0;
    for (int y = 2; y < img.height() - 2; ++y)
        for (int x = 2; x < img.width() - 2; ++x)
            if (img.at(x, y) != image_pixel(x, y)) ++wrong;
    EXPECT_EQ(0, wrong);
    EXPECT_EQ(R2_COPYPEN, GetROP2(img.dc()));
}

TEST_F(PaintTest, RoundLoupeDrawsTwoHollowEllipsesInsteadOfTheEtchedFrame) {
    struct Case {
        int loupe;
        IntPair maruwin;
        bool round;
    };
    const Case cases[] = {
        {0, {1, 0}, true}, {0, {0, 1}, false}, {1, {0, 1}, true}, {1, {1, 0}, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "loupe " << c.loupe << " maruwin " << c.maruwin.x << "," << c.maruwin.y);
        settings.loupe = c.loupe;
        settings.maruwin = c.maruwin;
        settings.marker = 0;
        EXPECT_EQ(c.round, loupe_is_round());
        const auto image = paint();
        const Dib24& img = *image;
        const int mid = img.width() / 2;
        if (!c.round) {
            EXPECT_EQ(kLight, img.at(0, 0));
            continue;
        }
        // The corners are not part of the ellipses: the image stays there
        // (the hollow brush does not fill it) and no etched frame is drawn.
        EXPECT_EQ(image_pixel(2, 2), img.at(2, 2));
        EXPECT_EQ(kUntouched, img.at(0, 0));
        EXPECT_EQ(image_pixel(mid, mid), img.at(mid, mid));
        // Top middle: the dark outer ellipse, then the light inner one.
        bool dark = false, light = false;
        for (int y = 0; y < 4; ++y) {
            dark = dark || img.at(mid, y) == kDarkRound;
            light = light || img.at(mid, y) == kLightRound;
        }
        EXPECT_TRUE(dark);
        EXPECT_TRUE(light);
    }
}

TEST(RoundRegion, IsTheEllipseOnePixelBeyondTheWindow) {
    for (SIZE size : {SIZE{115, 115}, SIZE{79, 151}}) {
        SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
        HWND window = create_popup(30, 40, size.cx, size.cy, false);
        set_round_region(window);
        HRGN actual = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(ERROR, GetWindowRgn(window, actual));
        HRGN wanted = CreateEllipticRgn(-1, -1, size.cx + 1, size.cy + 1);
        EXPECT_TRUE(same_region(actual, wanted));
        // Applying it again replaces the shape rather than shrinking it.
        set_round_region(window);
        GetWindowRgn(window, actual);
        EXPECT_TRUE(same_region(actual, wanted));
        // Not the plain rectangle: the corners are cut off.
        HRGN box = CreateRectRgn(-1, -1, size.cx + 1, size.cy + 1);
        EXPECT_FALSE(same_region(actual, box));
        DeleteObject(box);
        DeleteObject(wanted);
        DeleteObject(actual);
        DestroyWindow(window);
    }
}

} // namespace
