// Options dialog arithmetic: the odd-keeping arrows and the apply step's
// clamps and derived choices.
#include <gtest/gtest.h>

#include <climits>

#include "dialogs/options_logic.h"

namespace {

TEST(DialogOptionsStep, ArrowsMoveByTwoAndKeepOdd) {
    EXPECT_EQ(step_odd_value(40, 1), 43u); // even typed value: masked, stepped, made odd
    EXPECT_EQ(step_odd_value(41, 1), 43u);
    EXPECT_EQ(step_odd_value(41, -1), 39u);
    EXPECT_EQ(step_odd_value(40, -1), 39u);
    EXPECT_EQ(step_odd_value(41, 5), 51u); // accelerated presses
}

TEST(DialogOptionsStep, StaysWithinOneAnd9999) {
    EXPECT_EQ(step_odd_value(1, -1), 1u);
    EXPECT_EQ(step_odd_value(0, -1), 1u); // empty field
    EXPECT_EQ(step_odd_value(3, -7), 1u);
    EXPECT_EQ(step_odd_value(9999, 1), 9999u);
    EXPECT_EQ(step_odd_value(9998, 1), 9999u);
    EXPECT_EQ(step_odd_value(9997, 1), 9999u);
    EXPECT_EQ(step_odd_value(9999, -1), 9997u);
    EXPECT_EQ(step_odd_value(5, INT32_MAX), 9999u);
    EXPECT_EQ(step_odd_value(5, INT32_MIN), 1u);
    EXPECT_EQ(step_odd_value(UINT32_MAX, INT32_MIN), 1u);
}

TEST(DialogOptionsStep, OnlyTheLow16BitsOfATypedValueCount) {
    // 70001 & 0xFFFE = 4464
    EXPECT_EQ(step_odd_value(70001, 1), 4467u);
    EXPECT_EQ(step_odd_value(65536 + 100, -1), 99u);
}

TEST(DialogOptionsStep, ResultIsAlwaysOddAndInRange) {
    for (uint32_t v = 0; v < 70000; v += 7) {
        for (int32_t d = -3; d <= 3; ++d) {
            uint32_t r = step_odd_value(v, d);
            ASSERT_EQ(r % 2, 1u) << v << " " << d;
            ASSERT_GE(r, 1u);
            ASSERT_LE(r, 9999u);
        }
    }
}

Settings typed(IntPair size, int32_t magnify, IntPair position) {
    Settings s = initial_settings();
    s.size = size;
    s.magnify = magnify;
    s.position = position;
    return s;
}

TEST(DialogOptionsClamp, RaisesMagnifyDistanceAndAngle) {
    Settings s = typed({41, 41}, 50, {0, 0});
    clamp_options(&s);
    EXPECT_EQ(s.magnify, 100);
    EXPECT_EQ(s.position, (IntPair{1, 1}));
    EXPECT_EQ(s.size, (IntPair{41, 41}));

    // A field past 2^31 reads back negative: still raised to 1.
    s = typed({41, 41}, 300, {static_cast<int32_t>(3000000000u), 359});
    clamp_options(&s);
    EXPECT_EQ(s.position, (IntPair{1, 359}));
    EXPECT_EQ(s.magnify, 300);
}

TEST(DialogOptionsClamp, BoundsAbsurdSizesAndTheImage) {
    Settings s = typed({static_cast<int32_t>(4000000001u), 99999}, 9999, {10, 10});
    clamp_options(&s);
    EXPECT_GE(s.size.x, 1);
    EXPECT_LE(s.size.x, kMaxSizeSide);
    EXPECT_LE(s.size.y, kMaxSizeSide);
    EXPECT_EQ(s.size.x % 2, 1);
    EXPECT_EQ(s.size.y % 2, 1);
    EXPECT_GE(s.magnify, 100);
    IntPair image = compute_zoomed_size(s.size, s.magnify);
    EXPECT_LE(image.x, kMaxImageSide);
    EXPECT_LE(image.y, kMaxImageSide);
}

} // namespace
