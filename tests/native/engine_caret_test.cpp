// Caret following's arithmetic: the caret's rectangle on the screen, its
// checks, the focused control's point, the view's dead zone and smoothing,
// and who leads, tick by tick.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "engine/caret_follow.h"

// Found by argument-dependent lookup, so beside PixelRect's namespace.
static bool operator==(PixelRect a, PixelRect b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

static std::ostream& operator<<(std::ostream& out, PixelRect r) {
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

namespace {

// How the system maps a window that is not DPI aware on a scaled monitor:
// logical pixels count from the monitor's corner at 96 DPI. (The monitor's
// corner stays where it is; whole pixels are cut toward the corner.)
struct ScaledMonitor {
    IntPair corner;
    int percent; // 150 for 144 DPI
    bool fails = false;

    static bool to_logical(IntPair* p, void* self) {
        auto* m = static_cast<ScaledMonitor*>(self);
        if (m->fails) return false;
        *p = {m->corner.x + (p->x - m->corner.x) * 100 / m->percent,
              m->corner.y + (p->y - m->corner.y) * 100 / m->percent};
        return true;
    }
    static bool to_physical(IntPair* p, void* self) {
        auto* m = static_cast<ScaledMonitor*>(self);
        *p = {m->corner.x + (p->x - m->corner.x) * m->percent / 100,
              m->corner.y + (p->y - m->corner.y) * m->percent / 100};
        return true;
    }
};

} // namespace

TEST(CaretRect, OriginTakenToLogicalPixelsAndEachCornerBack) {
    struct Case {
        PixelRect client;      // the caret in the window's logical client pixels
        IntPair origin;        // the client area's corner, physical
        ScaledMonitor monitor; // percent 0: no maps (XP)
        PixelRect want;
    };
    const Case cases[] = {
        {{10, 5, 11, 21}, {300, 210}, {{0, 0}, 0}, {310, 215, 311, 231}},
        {{10, 5, 11, 21}, {300, 210}, {{0, 0}, 100}, {310, 215, 311, 231}}, // aware window
        // 150 %: logical origin (200, 140); corners (210, 145) and (211, 161).
        {{10, 5, 11, 21}, {300, 210}, {{0, 0}, 150}, {315, 217, 316, 241}},
        // 200 % left of the primary: logical origin (-1710, 200).
        {{8, 4, 10, 24}, {-1500, 400}, {{-1920, 0}, 200}, {-1484, 408, -1480, 448}},
        {{0, 0, 2, 16}, {100, -900}, {{0, -1080}, 125}, {100, -900, 102, -880}},  // above it
        {{10, 5, 11, 21}, {300, 210}, {{0, 0}, 150, true}, {310, 215, 311, 231}}, // map fails
    };
    for (const Case& c : cases) {
        ScaledMonitor monitor = c.monitor;
        const bool maps = monitor.percent != 0;
        EXPECT_EQ(caret_rect_on_screen(c.client, c.origin,
                                       maps ? ScaledMonitor::to_logical : nullptr,
                                       maps ? ScaledMonitor::to_physical : nullptr, &monitor),
                  c.want)
            << "case " << (&c - cases);
    }
}

TEST(CaretRect, FittedToItsWindowOrRefused) {
    const PixelRect window = {100, 100, 400, 300};
    struct Case {
        const char* what;
        PixelRect caret;
        bool usable;
        PixelRect fitted;
    };
    const Case cases[] = {
        {"inside", {150, 120, 151, 136}, true, {150, 120, 151, 136}},
        {"no width, some height", {150, 120, 150, 136}, true, {150, 120, 150, 136}},
        {"empty at the origin", {0, 0, 0, 0}, false, {}},
        {"no height", {150, 120, 151, 120}, false, {}},
        {"upside down", {150, 136, 151, 120}, false, {}},
        {"negative width", {151, 120, 150, 136}, false, {}},
        {"left of the window", {99, 120, 100, 136}, false, {}},
        {"at the right edge (exclusive)", {400, 120, 401, 136}, false, {}},
        {"middle below the window", {150, 290, 151, 320}, false, {}},
        {"sticks out below", {150, 280, 151, 310}, true, {150, 280, 151, 300}},
        {"sticks out above and right", {395, 95, 410, 111}, true, {395, 100, 400, 111}},
        {"absurd values", {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false, {}},
        {"absurd but centred", {150, INT_MIN + 400, 151, INT_MAX}, true, {150, 100, 151, 300}},
    };
    for (const Case& c : cases) {
        PixelRect caret = c.caret;
        EXPECT_EQ(fit_caret_to_window(&caret, window), c.usable) << c.what;
        if (c.usable) {
            EXPECT_EQ(caret, c.fitted) << c.what;
        }
    }
    EXPECT_EQ(caret_point({150, 120, 151, 136}), (IntPair{150, 128}));
    EXPECT_EQ(caret_point({-50, -21, -49, -5}), (IntPair{-50, -13}));
}

TEST(FocusPoint, TheStartOfSmallControlsOnly) {
    const IntPair area = {37, 37};
    struct Case {
        const char* what;
        PixelRect control;
        bool followed;
        IntPair point;
    };
    const Case cases[] = {
        {"button", {200, 100, 270, 123}, true, {218, 111}},
        {"check box smaller than the area", {10, 10, 30, 26}, true, {20, 18}},
        {"twice the area", {0, 0, 74, 74}, true, {18, 18}},
        {"wider than twice the area", {0, 0, 75, 20}, false, {}},
        {"a whole window", {0, 0, 800, 600}, false, {}},
        {"empty", {5, 5, 5, 30}, false, {}},
        {"left of and above the primary", {-300, -200, -250, -180}, true, {-282, -190}},
    };
    for (const Case& c : cases) {
        IntPair point = {-1, -1};
        EXPECT_EQ(focus_point(c.control, area, &point), c.followed) << c.what;
        if (c.followed) {
            EXPECT_EQ(point, c.point) << c.what;
        }
    }
}

TEST(CaretView, StaysWhileTheCaretIsInTheMiddleThenPutsItAThirdIn) {
    const IntPair area = {37, 37}; // dead zone 11 each way; a third in is 6 from the centre
    struct Case {
        const char* what;
        IntPair goal, caret, want;
    };
    const Case cases[] = {
        {"in the middle", {500, 300}, {511, 300}, {500, 300}},
        {"left edge of the middle", {500, 300}, {489, 300}, {500, 300}},
        {"leaves right: a third from the left edge", {500, 300}, {512, 300}, {518, 300}},
        {"leaves left: a third from the right edge", {500, 300}, {488, 300}, {482, 300}},
        {"the next line is centred at once", {500, 300}, {503, 316}, {500, 316}},
        {"far away", {500, 300}, {-40, 700}, {-46, 700}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(view_goal(c.goal, c.caret, area), c.want) << c.what;
    // A wider area has a wider middle.
    EXPECT_EQ(view_goal({500, 300}, {530, 300}, {101, 37}), (IntPair{500, 300}));
    EXPECT_EQ(view_goal({500, 300}, {531, 300}, {101, 37}), (IntPair{548, 300}));
}

TEST(CaretView, MovesSmoothlyOverShortDistancesAndJumpsOverLongOnes) {
    const IntPair area = {37, 37};
    std::vector<int> xs;
    IntPair view = {500, 300};
    for (int tick = 0; tick < 12 && view.x != 530; ++tick) {
        view = view_step(view, {530, 316}, area);
        xs.push_back(view.x);
    }
    EXPECT_EQ(xs, (std::vector<int>{509, 515, 519, 522, 524, 525, 526, 527, 528, 529, 530}));
    EXPECT_EQ(view.y, 316);
    EXPECT_EQ(view_step({500, 300}, {499, 300}, area), (IntPair{499, 300})) << "a last pixel";
    EXPECT_EQ(view_step({500, 300}, {500, 300}, area), (IntPair{500, 300}));
    EXPECT_EQ(view_step({500, 300}, {538, 300}, area), (IntPair{538, 300}))
        << "wider than the area";
    EXPECT_EQ(view_step({500, 300}, {510, 260}, area), (IntPair{510, 260})) << "higher than it";
    EXPECT_EQ(view_step({500, 300}, {537, 263}, area), (IntPair{511, 289}));
    EXPECT_EQ(view_step({INT_MIN, 0}, {INT_MAX, 0}, area), (IntPair{INT_MAX, 0}));
}

namespace {

// One tick's reading and what follow_step must answer.
struct Tick {
    uint32_t at; // ms since following started
    IntPair cursor;
    bool target;      // a caret (or focused control) was seen...
    IntPair caret;    // ...here
    uintptr_t window; // ...in this window
    bool button = false;
    bool menu = false;
    // Expected:
    bool caret_leads = false;
    IntPair point = {0, 0}; // when the caret leads (else the cursor)
};

void run_ticks(const std::vector<Tick>& ticks) {
    FollowState state;
    for (size_t i = 0; i < ticks.size(); ++i) {
        const Tick& t = ticks[i];
        FollowInput in = {};
        in.now = 0xFFFFFF00u + t.at; // the millisecond count wraps meanwhile
        in.cursor = t.cursor;
        in.button_down = t.button;
        in.menu_or_drag = t.menu;
        in.target = t.target;
        in.target_point = t.caret;
        in.target_id = t.window;
        in.area = {37, 37};
        const FollowResult got = follow_step(&state, in);
        EXPECT_EQ(got.caret_leads, t.caret_leads) << "tick " << i << " at " << t.at;
        EXPECT_EQ(got.point, t.caret_leads ? t.point : t.cursor) << "tick " << i << " at " << t.at;
    }
}

const IntPair kMouse = {100, 100};
const uintptr_t kEditor = 7, kOther = 8;

} // namespace

TEST(WhoLeads, TypingTakesOverOnlyOnceTheMouseHasRested) {
    run_ticks({
        {0, kMouse, true, {500, 300}, kEditor},   // what is there at the start is no change
        {100, kMouse, true, {508, 300}, kEditor}, // typed, but the mouse rested only 100 ms
        {499, kMouse, true, {516, 300}, kEditor},
        {500, kMouse, true, {524, 300}, kEditor, false, false, true, {524, 300}},
        {510, kMouse, true, {532, 300}, kEditor, false, false, true, {524, 300}}, // dead zone
        // Out of the middle: headed for 546 (the caret a third in), 30 % a tick.
        {520, kMouse, true, {540, 300}, kEditor, false, false, true, {530, 300}},
        {530, kMouse, true, {540, 300}, kEditor, false, false, true, {534, 300}},
        {540, kMouse, true, {540, 300}, kEditor, false, false, true, {537, 300}},
        // Nothing changes: the caret keeps the lead, the view settles.
        {5000, kMouse, true, {540, 300}, kEditor, false, false, true, {539, 300}},
        {5010, kMouse, true, {540, 300}, kEditor, false, false, true, {541, 300}},
    });
}

TEST(WhoLeads, TheMouseTakesBackTheLeadTheMomentItMoves) {
    run_ticks({
        {0, kMouse, false, {}, 0},
        {600, kMouse, true, {500, 300}, kEditor, false, false, true, {500, 300}},
        {610, {102, 98}, true, {500, 300}, kEditor, false, false, true, {500, 300}}, // jitter
        {620, {103, 100}, true, {500, 300}, kEditor},                                // moved
        // A caret change right after the move does not take the lead back...
        {700, {103, 100}, true, {508, 300}, kEditor},
        // ...one after the mouse rested again does.
        {1120, {103, 100}, true, {516, 300}, kEditor, false, false, true, {516, 300}},
    });
}

TEST(WhoLeads, ButtonsMenusAndWindowMovesKeepTheMouse) {
    run_ticks({
        {0, kMouse, true, {500, 300}, kEditor},
        {600, kMouse, true, {508, 300}, kEditor, false, false, true, {508, 300}},
        // A click (no move) that puts the caret elsewhere: the mouse leads...
        {610, kMouse, true, {200, 400}, kEditor, true},
        // ...and the caret it placed does not take over after the release,
        // even when the program moves it a moment later.
        {620, kMouse, true, {200, 400}, kEditor},
        {700, kMouse, true, {204, 400}, kEditor},
        {1200, kMouse, true, {204, 400}, kEditor},
        {1300, kMouse, true, {200, 410}, kOther, false, true}, // a menu is open
        {1400, kMouse, true, {200, 420}, kOther, false, false, true, {200, 420}},
        {1410, kMouse, true, {200, 430}, kOther, false, true}, // a window is dragged
    });
}

TEST(WhoLeads, AVanishedCaretHoldsTheViewForAMoment) {
    run_ticks({
        {0, kMouse, true, {500, 300}, kEditor},
        {600, kMouse, true, {508, 300}, kEditor, false, false, true, {508, 300}},
        {700, kMouse, false, {}, 0, false, false, true, {508, 300}}, // text selected
        {1690, kMouse, false, {}, 0, false, false, true, {508, 300}},
        {1695, kMouse, true, {512, 300}, kEditor, false, false, true, {508, 300}}, // back
        {1700, kMouse, false, {}, 0, false, false, true, {508, 300}},
        {2699, kMouse, false, {}, 0, false, false, true, {508, 300}},
        {2700, kMouse, false, {}, 0}, // a second without it: the mouse again
        // Its return is a change: it leads again.
        {2710, kMouse, true, {512, 300}, kEditor, false, false, true, {512, 300}},
    });
}

TEST(WhoLeads, AnotherWindowAtTheSamePointIsAChange) {
    run_ticks({
        {0, kMouse, true, {500, 300}, kEditor},
        {600, kMouse, true, {500, 300}, kEditor},
        {610, kMouse, true, {500, 300}, kOther, false, false, true, {500, 300}},
        {620, kMouse, true, {505, 290}, kOther, false, false, true, {500, 297}},
    });
}
