// The wheel's arithmetic in magnifying-glass mode.
#include <gtest/gtest.h>
#include "app/wheel.h"

TEST(WheelKeys, OnlyASingleResizeKeyResizes) {
    EXPECT_TRUE(wheel_is_resize(2)); // right button
    EXPECT_TRUE(wheel_is_resize(4)); // Shift
    EXPECT_TRUE(wheel_is_resize(8)); // Ctrl
    EXPECT_FALSE(wheel_is_resize(0));
    EXPECT_FALSE(wheel_is_resize(4 | 8)); // Shift+Ctrl zooms
    EXPECT_FALSE(wheel_is_resize(1));     // left button
}

TEST(WheelZoom, WithoutSmoothingStepsByWholeHundreds) {
    IntPair size = {37, 37};
    EXPECT_EQ(wheel_zoom_step(size, 300, -120, 0, 10), 400); // towards the user zooms in
    EXPECT_EQ(wheel_zoom_step(size, 250, -120, 0, 10), 300);
    EXPECT_EQ(wheel_zoom_step(size, 250, 120, 0, 10), 200); // away zooms out
    EXPECT_EQ(wheel_zoom_step(size, 300, 120, 0, 10), 200);
    EXPECT_EQ(wheel_zoom_step(size, 200, 120, 0, 10), 100);
    EXPECT_EQ(wheel_zoom_step(size, 100, 120, 0, 10), 100);
}

TEST(WheelZoom, WithSmoothingStepsByWaddjustAndNeverBelow100) {
    IntPair size = {37, 37};
    EXPECT_EQ(wheel_zoom_step(size, 105, 120, 1, 10), 100); // 95 becomes 100
    EXPECT_EQ(wheel_zoom_step(size, 300, -120, 2, 10), 310);
    EXPECT_EQ(wheel_zoom_step(size, 100, 120, 1, 10), 100); // not above 100: unchanged
    EXPECT_EQ(wheel_zoom_step(size, 300, -120, 1, 0), 300); // a zero step changes nothing
}

TEST(WheelZoom, RefusesAnImageBeyondTheLimit) {
    IntPair size = {37, 37};
    int32_t magnify = 100;
    for (int notch = 0; notch < 1000; ++notch) {
        magnify = wheel_zoom_step(size, magnify, -120, 0, 10);
    }
    EXPECT_LE(size.x * magnify / 100, kMaxImageSide);
    EXPECT_GT(size.x * (magnify + 100) / 100, kMaxImageSide); // it did grow as far as allowed
}

TEST(WheelResize, LongerSideMovesByTwoAndTheOtherFollowsTheAspect) {
    IntPair size = {37, 37};
    EXPECT_TRUE(wheel_resize_step(&size, 300, -120, 1.0f));
    EXPECT_EQ(size, (IntPair{39, 39}));

    size = {41, 21};
    float aspect = 21.0f / 41.0f;
    EXPECT_TRUE(wheel_resize_step(&size, 300, -120, aspect));
    EXPECT_EQ(size, (IntPair{43, 23})); // 43 * 0.512 = 22, even, so 23

    size = {21, 41}; // taller than wide: the height moves
    EXPECT_TRUE(wheel_resize_step(&size, 300, 120, aspect));
    EXPECT_EQ(size, (IntPair{19, 39})); // 39 * 0.512 = 19.97 -> 19, already odd
}

TEST(WheelResize, ShrinkRefusedAtFiveAndGrowthBounded) {
    IntPair size = {5, 37};
    EXPECT_FALSE(wheel_resize_step(&size, 300, 120, 5.0f / 37.0f));
    EXPECT_EQ(size, (IntPair{5, 37}));

    size = {37, 37};
    int steps = 0;
    while (wheel_resize_step(&size, 300, -120, 1.0f))
        ++steps;
    EXPECT_GT(steps, 0);
    EXPECT_LE(size.x * 300 / 100, kMaxImageSide);
    EXPECT_EQ(size.x % 2, 1);
}

TEST(WheelTail, WindowCentresTheImageOnThePointer) {
    // 37 at 400 % gives 148; the window is 152 wide and its image centre is the pointer.
    IntPair position = wheel_window_position({500, 400}, {148, 148});
    EXPECT_EQ(position, (IntPair{500 - 74 - 2, 400 - 74 - 2}));
    EXPECT_EQ(wheel_window_position({3, 3}, {111, 111}), (IntPair{3 - 55 - 2, 3 - 55 - 2}));
}
