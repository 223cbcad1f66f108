// Screen capture into the capture buffer and showing/hiding the loupe, with
// real windows on the (virtual) screen: a window of ours paints a known
// pattern, and the capture must hold exactly those pixels where it should.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "engine/capture.h"
#include "engine/presence.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;

namespace {

constexpr COLORREF kDarkGray = RGB(0x40, 0x40, 0x40); // DKGRAY_BRUSH
constexpr COLORREF kLoupeColour = RGB(250, 0, 250);

// Pixels of the capture block (size + 3 square) that differ from
// pattern(bx + dx, by + dy); off-screen pixels are expected dark gray.
int block_mismatches(int dx, int dy, int window_x, int window_y) {
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    int wrong = 0;
    for (int by = 0; by < settings.size.y + 3; ++by) {
        for (int bx = 0; bx < settings.size.x + 3; ++bx) {
            const int sx = window_x + bx + dx, sy = window_y + by + dy;
            const bool on_screen = sx >= 0 && sy >= 0 && sx < screen_w && sy < screen_h;
            const COLORREF want = on_screen ? pattern(bx + dx, by + dy) : kDarkGray;
            if (GetPixel(capture_dc, bx, by) != want) ++wrong;
        }
    }
    return wrong;
}

class CaptureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        reset_engine_state();
        create_engine_buffers();
        const IntPair window = loupe_window_size(zoomed_size);
        loupe_ = create_popup(600, 400, window.x, window.y, false, kLoupeColour);
    }
    void TearDown() override {
        DestroyWindow(loupe_);
        pump_messages();
        release_engine_buffers();
    }
    HWND loupe_ = nullptr;
};

TEST_F(CaptureTest, DirectCopyHoldsTheAreaWithOneMarginLeftAndTopTwoRightAndBottom) {
    ForeignPatternWindow below(200, 150, 300, 200);
    // Normal mode, and magnifying-glass mode on a layered loupe without CAPTUREBLT.
    for (int loupe = 0; loupe <= 1; ++loupe) {
        SCOPED_TRACE(testing::Message() << "loupe " << loupe);
        settings.loupe = loupe;
        settings.layered = 0;
        startup.layered_supported = 1;
        fill_capture_with_pattern(40, 40, 1000, 1000); // stale content
        tick_memory.capture_origin = {200 + 50, 150 + 40};
        capture_tick_area(loupe_);
        EXPECT_EQ(0, block_mismatches(50 - 1, 40 - 1, 200, 150));
        EXPECT_EQ(pattern(50 + 18, 40 + 18), GetPixel(capture_dc, 19, 19)); // the cursor pixel
    }
}

TEST_F(CaptureTest, DirectCopyLeavesDarkGrayWhereTheScreenIsNot) {
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    ForeignPatternWindow top_left(0, 0, 100, 100);
    tick_memory.capture_origin = {-10, -5};
    capture_tick_area(loupe_);
    EXPECT_EQ(0, block_mismatches(-11, -6, 0, 0));
    EXPECT_EQ(kDarkGray, GetPixel(capture_dc, 0, 0));

    ForeignPatternWindow bottom_right(screen_w - 100, screen_h - 100, 100, 100);
    tick_memory.capture_origin = {screen_w - 20, screen_h - 30};
    capture_tick_area(loupe_);
    EXPECT_EQ(0, block_mismatches(80 - 1, 70 - 1, screen_w - 100, screen_h - 100));
    EXPECT_EQ(kDarkGray, GetPixel(capture_dc, 39, 39));
}

TEST_F(CaptureTest, SnapshotStrategyKeepsTheBuffer) {
    ForeignPatternWindow below(200, 150, 300, 200);
    settings.loupe = 1;
    settings.loupetype = 0;
    struct Case {
        int layered_supported, layered;
    };
    for (Case c : {Case{0, 0}, Case{1, 1}}) {
        startup.layered_supported = c.layered_supported;
        settings.layered = c.layered;
        fill_capture_with_pattern(40, 40, 1000, 1000);
        tick_memory.capture_origin = {250, 190};
        capture_tick_area(loupe_);
        EXPECT_EQ(pattern(1000, 1000), GetPixel(capture_dc, 0, 0));
        EXPECT_EQ(pattern(1019, 1019), GetPixel(capture_dc, 19, 19));
    }
}

TEST_F(CaptureTest, SnapshotHoldsTheVirtualScreenAtOneOneWithDarkGrayMargins) {
    ForeignPatternWindow below(300, 200, 120, 80);
    // virtual_screen is the system's, as the reset read it.
    const int vw = geometry.virtual_screen.right - geometry.virtual_screen.left;
    const int vh = geometry.virtual_screen.bottom - geometry.virtual_screen.top;
    recreate_capture_buffer(vw + 3, vh + 3);
    take_screen_snapshot();
    int wrong = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if (GetPixel(capture_dc, 300 + x - geometry.virtual_screen.left + 1,
                         200 + y - geometry.virtual_screen.top + 1) != pattern(x, y))
                ++wrong;
    EXPECT_EQ(0, wrong);
    for (int y = 0; y < vh + 3; y += 7) {
        EXPECT_EQ(kDarkGray, GetPixel(capture_dc, 0, y));
        EXPECT_EQ(kDarkGray, GetPixel(capture_dc, vw + 1, y));
        EXPECT_EQ(kDarkGray, GetPixel(capture_dc, vw + 2, y));
    }
    for (int x = 0; x < vw + 3; x += 7) {
        EXPECT_EQ(kDarkGray, GetPixel(capture_dc, x, 0));
        EXPECT_EQ(kDarkGray, GetPixel(capture_dc, x, vh + 2));
    }
}

class PeepWindowTest : public CaptureTest {
  protected:
    void SetUp() override {
        CaptureTest::SetUp();
        settings.loupe = 1;
        settings.loupetype = 1;
        startup.layered_supported = 0;
    }
    // Window region of the loupe, or null when it has none.
    HRGN window_region() {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        if (GetWindowRgn(loupe_, region) == ERROR) {
            DeleteObject(region);
            return nullptr;
        }
        return region;
    }
};

TEST_F(PeepWindowTest, RectangularLoupeGetsNoRegionBackAfterTheCopy) {
    settings.maruwin = {0, 0};
    tick_memory.capture_origin = {600 + 40, 400 + 40};
    capture_tick_area(loupe_);
    EXPECT_EQ(nullptr, window_region());
}

TEST_F(PeepWindowTest, RoundLoupeGetsItsEllipseBackEvenWhenTheHoleCornersStickOut) {
    // At magnify 100 the square hole is as large as the image, so its
    // corners lie outside the ellipse and are added for the moment of the copy.
    settings.maruwin = {0, 1};
    settings.magnify = 100;
    release_engine_buffers();
    create_engine_buffers();
    const int w = loupe_window_size(zoomed_size).x, h = loupe_window_size(zoomed_size).y;
    SetWindowPos(loupe_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    set_round_region(loupe_);
    tick_memory.capture_origin = {600 + 2, 400 + 2};
    capture_tick_area(loupe_);
    HRGN region = window_region();
    ASSERT_NE(nullptr, region);
    HRGN ellipse = CreateEllipticRgn(-1, -1, w + 1, h + 1);
    EXPECT_TRUE(same_region(region, ellipse));
    DeleteObject(ellipse);
    DeleteObject(region);
}

TEST_F(PeepWindowTest, RoundLoupeIsNotPaintedBlackByTheCopy) {
    settings.maruwin = {0, 1};
    set_round_region(loupe_);
    ShowWindow(loupe_, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(wait_until([&] { return screen_pixel(657, 457) == kLoupeColour; }));
    tick_memory.capture_origin = {100, 100}; // the hole lies far from the loupe
    capture_tick_area(loupe_);
    EXPECT_EQ(kLoupeColour, screen_pixel(657, 457));
}

TEST_F(PeepWindowTest, CopiesWhatIsUnderTheLoupeThroughTheHole) {
    ForeignPatternWindow below(500, 300, 400, 300);
    SetWindowPos(loupe_, HWND_TOPMOST, 600, 400, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(loupe_, SW_SHOWNOACTIVATE);
    ASSERT_TRUE(wait_until([&] { return screen_pixel(657, 457) == kLoupeColour; }));
    // Cursor at the loupe's centre: the area is entirely under the loupe.
    tick_memory.capture_origin = {600 + 57 - 18, 400 + 57 - 18};
    capture_tick_area(loupe_);
    EXPECT_EQ(0, block_mismatches(tick_memory.capture_origin.x - 1 - 500,
                                  tick_memory.capture_origin.y - 1 - 300, 500, 300));
    EXPECT_EQ(nullptr, window_region());

    // A window below that does not answer holds the copy up only briefly.
    below.stall(2000);
    const DWORD start = GetTickCount();
    capture_tick_area(loupe_);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

// show_loupe ------------------------------------------------------------------

// A stand-in tooltip that records the TTM_TRACKACTIVATE messages it gets.
struct TrackActivate {
    WPARAM active;
    LPARAM tool;
};
std::vector<TrackActivate> track_messages;

LRESULT CALLBACK recording_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == TTM_TRACKACTIVATE) track_messages.push_back({wparam, lparam});
    return DefWindowProcA(window, message, wparam, lparam);
}

HWND create_recording_tooltip() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = recording_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "EngineTestTooltip";
        RegisterClassA(&wc);
        registered = true;
    }
    track_messages.clear();
    return CreateWindowExA(0, "EngineTestTooltip", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

class ShowLoupeTest : public CaptureTest {
  protected:
    void SetUp() override {
        CaptureTest::SetUp();
        saved_count_ = cursor_display_count();
    }
    void TearDown() override {
        if (tooltip_state.tooltip_hwnd) DestroyWindow(tooltip_state.tooltip_hwnd);
        tooltip_state.tooltip_hwnd = nullptr;
        set_cursor_display_count(saved_count_);
        CaptureTest::TearDown();
    }
    int saved_count_ = 0;
};

TEST_F(ShowLoupeTest, MagnifyingGlassModeHidesTheCursorExactlyWhileShown) {
    settings.loupe = 1;
    struct Case {
        int before, shown, hidden;
    };
    // Whatever the count was, showing drives it below zero and hiding back
    // to zero or above; a count already below zero stays.
    for (Case c : {Case{0, -1, 0}, Case{2, -1, 0}, Case{-3, -3, 0}}) {
        SCOPED_TRACE(testing::Message() << "count before " << c.before);
        set_cursor_display_count(c.before);
        show_loupe(loupe_, 1);
        EXPECT_EQ(c.shown, cursor_display_count());
        EXPECT_EQ(1, presence.loupe_shown);
        EXPECT_TRUE(IsWindowVisible(loupe_));
        show_loupe(loupe_, 1); // already shown: nothing changes
        EXPECT_EQ(c.shown, cursor_display_count());
        show_loupe(loupe_, 0);
        EXPECT_EQ(c.hidden, cursor_display_count());
        EXPECT_EQ(0, presence.loupe_shown);
        EXPECT_FALSE(IsWindowVisible(loupe_));
        show_loupe(loupe_, 0);
        EXPECT_EQ(c.hidden, cursor_display_count());
    }
}

TEST_F(ShowLoupeTest, NormalModeLeavesTheCursorAndTheFocusAlone) {
    settings.loupe = 0;
    set_cursor_display_count(0);
    HWND user_window = create_popup(0, 0, 50, 50, false, 0, 0);
    ShowWindow(user_window, SW_SHOW);
    SetForegroundWindow(user_window);
    show_loupe(loupe_, 1);
    EXPECT_EQ(user_window, GetForegroundWindow()) << "the loupe took the keyboard focus";
    DestroyWindow(user_window);
    EXPECT_EQ(0, cursor_display_count());
    EXPECT_TRUE(IsWindowVisible(loupe_));
    show_loupe(loupe_, 0);
    EXPECT_EQ(0, cursor_display_count());
    EXPECT_FALSE(IsWindowVisible(loupe_));
}

TEST_F(ShowLoupeTest, TooltipFollowsTheLoupeOnlyWhenPointInformationIsOn) {
    tooltip_state.tooltip_hwnd = create_recording_tooltip();
    settings.ttdisp = 1;
    show_loupe(loupe_, 1);
    show_loupe(loupe_, 1);
    show_loupe(loupe_, 0);
    ASSERT_EQ(2u, track_messages.size());
    EXPECT_EQ(1u, track_messages[0].active);
    EXPECT_EQ(0u, track_messages[1].active);
    EXPECT_EQ(reinterpret_cast<LPARAM>(&tooltip_state.tool_info), track_messages[0].tool);
    EXPECT_EQ(0, presence.tip_active);

    // Off: neither the tooltip nor tip_active is touched.
    settings.ttdisp = 0;
    track_messages.clear();
    presence.tip_active = 1;
    show_loupe(loupe_, 1);
    show_loupe(loupe_, 0);
    EXPECT_TRUE(track_messages.empty());
    EXPECT_EQ(1, presence.tip_active);

    // On without a tooltip window: the state still follows.
    DestroyWindow(tooltip_state.tooltip_hwnd);
    tooltip_state.tooltip_hwnd = nullptr;
    settings.ttdisp = 1;
    show_loupe(loupe_, 1);
    EXPECT_EQ(1, presence.tip_active);
    show_loupe(loupe_, 0);
    EXPECT_EQ(0, presence.tip_active);
}

TEST_F(ShowLoupeTest, SnapshotIsTakenWhileTheLoupeIsStillHidden) {
    settings.loupe = 1;
    geometry.snapshot_mode = 1;
    geometry.virtual_screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    recreate_capture_buffer(geometry.virtual_screen.right + 3, geometry.virtual_screen.bottom + 3);
    auto below = std::make_unique<ForeignPatternWindow>(550, 350, 250, 250);
    // The loupe stands over the pattern; the snapshot must show the pattern.
    show_loupe(loupe_, 1);
    EXPECT_EQ(pattern(57, 57), GetPixel(capture_dc, 607 + 1, 407 + 1));
    EXPECT_TRUE(wait_until([&] { return screen_pixel(657, 457) == kLoupeColour; }));

    // Shown again over the same place: the snapshot still holds what is
    // below the loupe, not the loupe itself.
    show_loupe(loupe_, 0);
    EXPECT_TRUE(wait_until([&] { return screen_pixel(657, 457) == pattern(107, 107); }));
    FillRect(capture_dc, &geometry.virtual_screen,
             static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    show_loupe(loupe_, 1);
    EXPECT_EQ(pattern(57, 57), GetPixel(capture_dc, 607 + 1, 407 + 1));

    // Each show takes a new snapshot: the pattern window is gone the next time.
    show_loupe(loupe_, 0);
    below.reset();
    EXPECT_TRUE(wait_until([&] { return screen_pixel(560, 360) != pattern(10, 10); }));
    show_loupe(loupe_, 1);
    EXPECT_EQ(screen_pixel(560, 360), GetPixel(capture_dc, 560 + 1, 360 + 1));
    EXPECT_NE(pattern(10, 10), GetPixel(capture_dc, 560 + 1, 360 + 1));
    show_loupe(loupe_, 0);
}

} // namespace
