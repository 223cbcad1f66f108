// Keyboard poll, visibility requests and the idle path of the tracking tick.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "engine/hotkey_poll.h"
#include "engine/rest.h"
#include "engine/visibility.h"

namespace {

// A keyboard whose held keys are fixed, recording every query in order.
struct FakeKeyboard {
    std::set<int> held;
    std::vector<int> queries;

    static bool down(int vk, void* context) {
        auto* self = static_cast<FakeKeyboard*>(context);
        self->queries.push_back(vk);
        return self->held.count(vk) != 0;
    }
    KeyboardPoll poll(IntPair hotkey) {
        queries.clear();
        return poll_keyboard(hotkey, &FakeKeyboard::down, this);
    }
    bool hotkey_held(IntPair hotkey, std::set<int> keys) {
        held = std::move(keys);
        return poll(hotkey).hotkey_held;
    }
};

// The exclusivity scan over the other keys, skipping the hotkey's own key.
std::vector<int> scan_without(int key) {
    std::vector<int> v;
    for (int r : {27, 65, 96}) {
        const int last = r == 27 ? 57 : (r == 65 ? 93 : 123);
        for (int vk = r; vk <= last; ++vk)
            if (vk != key) v.push_back(vk);
    }
    return v;
}

std::vector<int> concat(std::vector<int> a, const std::vector<int>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(HotkeyPoll, CtrlAloneIsHeldOnlyWithoutOtherKeys) {
    FakeKeyboard kb;
    const IntPair ctrl{17, 0};
    EXPECT_TRUE(kb.hotkey_held(ctrl, {17}));
    EXPECT_FALSE(kb.hotkey_held(ctrl, {}));
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, 16}));  // Ctrl+Shift
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, 18}));  // Ctrl+Alt
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, 'A'})); // Ctrl+letter
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, '0'})); // Ctrl+digit
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, 123})); // Ctrl+F12, end of the scan
    EXPECT_FALSE(kb.hotkey_held(ctrl, {17, 27}));  // Ctrl+Escape, start of the scan
    EXPECT_TRUE(kb.hotkey_held(ctrl, {17, 20}));   // Caps Lock is not in the scan
    EXPECT_TRUE(kb.hotkey_held(ctrl, {17, 160}));  // nor the left/right modifier codes
}

TEST(HotkeyPoll, ModifierWithKey) {
    FakeKeyboard kb;
    const IntPair shift_f{16, 'F'};
    EXPECT_TRUE(kb.hotkey_held(shift_f, {16, 'F'}));
    EXPECT_FALSE(kb.hotkey_held(shift_f, {16}));
    EXPECT_FALSE(kb.hotkey_held(shift_f, {'F'}));
    EXPECT_FALSE(kb.hotkey_held(shift_f, {16, 17, 'F'}));
    EXPECT_FALSE(kb.hotkey_held(shift_f, {16, 'F', 'G'}));
    const IntPair alt_f5{18, 116};
    EXPECT_TRUE(kb.hotkey_held(alt_f5, {18, 116}));
    EXPECT_FALSE(kb.hotkey_held(alt_f5, {18, 116, 117}));
    // An unknown modifier never passes.
    EXPECT_FALSE(kb.hotkey_held({20, 'F'}, {20, 'F'}));
}

TEST(HotkeyPoll, FunctionKeyAloneWithoutModifier) {
    FakeKeyboard kb;
    const IntPair f2{0, 113};
    EXPECT_TRUE(kb.hotkey_held(f2, {113}));
    EXPECT_FALSE(kb.hotkey_held(f2, {113, 17}));
    EXPECT_FALSE(kb.hotkey_held(f2, {113, 16}));
    EXPECT_FALSE(kb.hotkey_held(f2, {113, 18}));
    EXPECT_FALSE(kb.hotkey_held(f2, {113, 112}));
    EXPECT_FALSE(kb.hotkey_held(f2, {}));
}

TEST(HotkeyPoll, PlainLetterWithoutModifierIsNeverHeld) {
    FakeKeyboard kb;
    EXPECT_FALSE(kb.hotkey_held({0, 65}, {65}));
    EXPECT_FALSE(kb.hotkey_held({0, 65}, {65, 17}));
    EXPECT_FALSE(kb.hotkey_held({0, 0}, {}));
    EXPECT_EQ(kb.queries, (std::vector<int>{17})) << "only the Ctrl+PrintScreen check asks";
}

TEST(HotkeyPoll, QueriesInOrderAndStopEarly) {
    FakeKeyboard kb;

    kb.held = {17};
    kb.poll({17, 0});
    EXPECT_EQ(kb.queries, concat({17, 44, 17, 16, 18}, scan_without(0)));

    kb.held = {};
    kb.poll({17, 0});
    EXPECT_EQ(kb.queries, (std::vector<int>{17, 17}));

    kb.held = {17, 16};
    kb.poll({17, 0});
    EXPECT_EQ(kb.queries, (std::vector<int>{17, 44, 17, 16}));

    kb.held = {};
    kb.poll({17, 'A'}); // the key first, then the modifiers
    EXPECT_EQ(kb.queries, (std::vector<int>{17, 'A'}));

    kb.held = {16, 'F'};
    kb.poll({16, 'F'});
    EXPECT_EQ(kb.queries, concat({17, 'F', 17, 16, 18}, scan_without('F')));

    kb.held = {113};
    kb.poll({0, 113});
    EXPECT_EQ(kb.queries, concat({17, 113, 17, 16, 18}, scan_without(113)));

    kb.held = {113, 16};
    kb.poll({0, 113});
    EXPECT_EQ(kb.queries, (std::vector<int>{17, 113, 17, 16}));

    // The scan stops at the first other key down.
    kb.held = {17, 30};
    kb.poll({17, 0});
    EXPECT_EQ(kb.queries, (std::vector<int>{17, 44, 17, 16, 18, 27, 28, 29, 30}));
}

TEST(HotkeyPoll, CtrlPrintScreenCopiesTheImageAndWithShiftTheColour) {
    struct Case {
        std::set<int> held;
        bool image, colour;
        std::vector<int> queries;
    };
    const Case cases[] = {
        {{17, 44}, true, false, {17, 44, 16}},
        {{17, 16, 44}, false, true, {17, 44, 16}},
        {{16, 44}, false, false, {17, 17}}, // Shift+PrintScreen alone: the hotkey test
        {{44}, false, false, {17, 17}},
    };
    FakeKeyboard kb;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
        kb.held = c.held;
        const KeyboardPoll p = kb.poll({17, 0});
        EXPECT_EQ(p.copy_image, c.image);
        EXPECT_EQ(p.copy_colour, c.colour);
        EXPECT_FALSE(p.hotkey_held); // a copy counts as the hotkey released
        EXPECT_EQ(kb.queries, c.queries);
    }
}

namespace {

// The tick's use of the request: S follows what was asked.
struct Loupe {
    int shown = 0;
    int toggle_on = 0;
    uint8_t latch = 0;
    int tick(int type, bool held) {
        const int r = visibility_request(type, held, shown, &toggle_on, &latch);
        if (r == REQUEST_SHOW) shown = 1;
        if (r == REQUEST_HIDE) shown = 0;
        return r;
    }
};

} // namespace

TEST(Visibility, NormallyShownAndNormallyHidden) {
    Loupe l;
    l.shown = 1;
    l.latch = 1;
    EXPECT_EQ(l.tick(kVisibleShown, false), REQUEST_NOTHING);
    EXPECT_EQ(l.latch, 0);
    EXPECT_EQ(l.tick(kVisibleShown, true), REQUEST_HIDE);
    EXPECT_EQ(l.tick(kVisibleShown, true), REQUEST_NOTHING);
    EXPECT_EQ(l.tick(kVisibleShown, false), REQUEST_SHOW);

    EXPECT_EQ(l.tick(kVisibleHidden, false), REQUEST_HIDE);
    EXPECT_EQ(l.tick(kVisibleHidden, false), REQUEST_NOTHING);
    EXPECT_EQ(l.tick(kVisibleHidden, true), REQUEST_SHOW);
    l.latch = 1;
    EXPECT_EQ(l.tick(kVisibleHidden, true), REQUEST_NOTHING);
    EXPECT_EQ(l.latch, 0);
}

TEST(Visibility, ToggleFlipsOnReleaseOncePerPress) {
    Loupe l; // hidden, toggle off
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_NOTHING);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(l.tick(kVisibleToggle, true), REQUEST_NOTHING) << "held";
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_SHOW); // released
    EXPECT_EQ(l.toggle_on, 1);
    EXPECT_EQ(l.latch, 0);
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_NOTHING);
    EXPECT_EQ(l.tick(kVisibleToggle, true), REQUEST_NOTHING);
    EXPECT_EQ(l.tick(kVisibleToggle, true), REQUEST_NOTHING);
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_HIDE);
    EXPECT_EQ(l.toggle_on, 0);
    EXPECT_EQ(l.shown, 0);
}

TEST(Visibility, ToggleFollowsToggleOnChangedElsewhere) {
    // The window procedure may flip toggle_on (tray click) or hide the loupe.
    Loupe l;
    l.toggle_on = 1;
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_SHOW);
    l.shown = 0;
    EXPECT_EQ(l.tick(kVisibleToggle, true), REQUEST_SHOW); // press: latch set, follows toggle_on
    l.shown = 0;
    EXPECT_EQ(l.tick(kVisibleToggle, true), REQUEST_SHOW); // still held: follows again
    // Release with toggle on and the loupe shown: flips off and hides.
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_HIDE);
    // A release that flips on while the loupe is already shown asks nothing.
    l.toggle_on = 0;
    l.shown = 1;
    l.latch = 1;
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_NOTHING);
    EXPECT_EQ(l.toggle_on, 1);
}

TEST(Visibility, UnknownTypeChangesNothing) {
    Loupe l;
    l.latch = 1;
    l.toggle_on = 1;
    for (int type : {0, 4, -1})
        for (bool held : {false, true})
            EXPECT_EQ(l.tick(type, held), REQUEST_NOTHING);
    EXPECT_EQ(l.latch, 1);
    EXPECT_EQ(l.toggle_on, 1);
}

TEST(Visibility, FirstTick) {
    EXPECT_TRUE(first_tick_shows(kVisibleShown, 0));
    EXPECT_FALSE(first_tick_shows(kVisibleHidden, 1));
    EXPECT_TRUE(first_tick_shows(kVisibleToggle, 1));
    EXPECT_FALSE(first_tick_shows(kVisibleToggle, 0));
    // A toggle with toggledef on: the first tick shows and toggle_on = 1;
    // the next hotkey press and release hides.
    Loupe l;
    l.shown = first_tick_shows(kVisibleToggle, 1) ? 1 : 0;
    l.toggle_on = l.shown;
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_NOTHING);
    l.tick(kVisibleToggle, true);
    EXPECT_EQ(l.tick(kVisibleToggle, false), REQUEST_HIDE);
}

TEST(Visibility, CtrlPrintScreenCopiesOncePerPressAndCompletesAToggle) {
    // A toggle, Ctrl alone as the hotkey: Ctrl is held (press), then
    // PrintScreen joins it; that tick copies and counts as a release.
    FakeKeyboard kb;
    Loupe l;
    const IntPair ctrl{17, 0};
    kb.held = {17};
    KeyboardPoll p = kb.poll(ctrl);
    EXPECT_EQ(l.tick(kVisibleToggle, p.hotkey_held), REQUEST_NOTHING);
    uint8_t copy_latch = 0;
    kb.held = {17, 44};
    p = kb.poll(ctrl);
    EXPECT_TRUE(copy_once_per_press(p.copy_image, &copy_latch));
    EXPECT_EQ(l.tick(kVisibleToggle, p.hotkey_held), REQUEST_SHOW);
    p = kb.poll(ctrl); // still both down: no second copy, no second toggle
    EXPECT_FALSE(copy_once_per_press(p.copy_image, &copy_latch));
    EXPECT_EQ(l.tick(kVisibleToggle, p.hotkey_held), REQUEST_NOTHING);
    EXPECT_EQ(l.shown, 1);
    // Released, then pressed again: the next press copies once more.
    kb.held = {17};
    EXPECT_FALSE(copy_once_per_press(kb.poll(ctrl).copy_image, &copy_latch));
    kb.held = {17, 44};
    EXPECT_TRUE(copy_once_per_press(kb.poll(ctrl).copy_image, &copy_latch));
}

TEST(Visibility, CtrlShiftPrintScreenCopiesTheColourOnlyWhateverIsLetGoFirst) {
    // The tick's use: one press of either combination, one copy.
    FakeKeyboard kb;
    uint8_t latch = 0;
    std::vector<std::string> copies;
    auto tick = [&](std::set<int> held) {
        kb.held = std::move(held);
        const KeyboardPoll p = kb.poll({17, 0});
        if (copy_once_per_press(p.copy_image || p.copy_colour, &latch))
            copies.push_back(p.copy_colour ? "colour" : "image");
    };
    tick({17, 16});
    tick({17, 16, 44});
    tick({17, 16, 44});
    tick({17, 44}); // Shift let go before PrintScreen
    tick({17});
    tick({});
    EXPECT_EQ(copies, (std::vector<std::string>{"colour"}));
    tick({17, 44});
    EXPECT_EQ(copies, (std::vector<std::string>{"colour", "image"}));
}

TEST(Rest, TwelveStillTicksRefreshAtFiveAndTen) {
    int still = 0;
    EXPECT_EQ(rest_decision(true, false, true, &still), REST_FULL_REFRESH);
    std::vector<int> refreshes;
    for (int tick = 1; tick <= 12; ++tick) {
        const RestAction a = rest_decision(false, false, true, &still);
        if (a == REST_FULL_REFRESH)
            refreshes.push_back(tick);
        else
            EXPECT_EQ(a, REST_KEEP_ON_TOP) << tick;
    }
    EXPECT_EQ(refreshes, (std::vector<int>{5, 10}));
    EXPECT_EQ(still, 2);
    // A move refreshes at once and starts the count again.
    EXPECT_EQ(rest_decision(true, false, true, &still), REST_FULL_REFRESH);
    EXPECT_EQ(still, 0);
}

TEST(Rest, MagnifyingGlassWithoutDirectCaptureWaitsForAMove) {
    int still = 3;
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(rest_decision(false, true, false, &still), REST_NOTHING);
    EXPECT_EQ(still, 3);
    EXPECT_EQ(rest_decision(true, true, false, &still), REST_FULL_REFRESH);
    EXPECT_EQ(still, 0);
    // With the direct copy the magnifying glass refreshes at rest like normal mode.
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(rest_decision(false, true, true, &still), REST_KEEP_ON_TOP);
    EXPECT_EQ(rest_decision(false, true, true, &still), REST_FULL_REFRESH);
}
