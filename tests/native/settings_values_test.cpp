// Derived sizes, the size bounds and the "%d,%d" scanner.
#include <gtest/gtest.h>

#include <climits>

#include "settings/scan_int.h"
#include "settings/settings.h"

TEST(SizeArithmetic, TruncatesTowardZero) {
    EXPECT_EQ(divide_point({37, -37}, 2), (IntPair{18, -18}));
    EXPECT_EQ(scale_point({37, 41}, 300), (IntPair{11100, 12300}));
    EXPECT_EQ(compute_zoomed_size({37, 41}, 250), (IntPair{92, 102}));
    EXPECT_EQ(compute_zoomed_size({-37, 1}, 150), (IntPair{-55, 1}));
    // An oversized product wraps as 32-bit arithmetic instead of being undefined.
    EXPECT_EQ(scale_point({65536, 1}, 65536).x, 0);
}

TEST(SizeArithmetic, AspectIsSmallerOverLarger) {
    EXPECT_FLOAT_EQ(compute_size_aspect({37, 41}), 37.0f / 41.0f);
    EXPECT_FLOAT_EQ(compute_size_aspect({41, 21}), 21.0f / 41.0f);
    EXPECT_FLOAT_EQ(compute_size_aspect({5, 5}), 1.0f);
    EXPECT_FLOAT_EQ(compute_size_aspect({0, 0}), 1.0f);
}

TEST(BoundSizeAndMagnify, LeavesOrdinaryValuesAlone) {
    for (IntPair size : {IntPair{1, 1}, IntPair{37, 37}, IntPair{201, 99}, IntPair{1, 9999}}) {
        for (int32_t magnify : {100, 300, 9999}) {
            IntPair image = compute_zoomed_size(size, magnify);
            if (image.x > kMaxImageSide || image.y > kMaxImageSide) continue;
            IntPair bounded = size;
            int32_t bounded_magnify = magnify;
            bound_size_and_magnify(&bounded, &bounded_magnify);
            EXPECT_EQ(bounded, size);
            EXPECT_EQ(bounded_magnify, magnify);
        }
    }
}

TEST(BoundSizeAndMagnify, ClampsSidesAndLowersMagnifyToTheLargestThatFits) {
    IntPair size = {INT32_MIN + 1, INT32_MAX};
    int32_t magnify = INT32_MAX;
    bound_size_and_magnify(&size, &magnify);
    EXPECT_EQ(size, (IntPair{1, kMaxSizeSide}));
    EXPECT_EQ(compute_zoomed_size(size, magnify).y, kMaxSizeSide * magnify / 100);
    EXPECT_LE(compute_zoomed_size(size, magnify).y, kMaxImageSide);
    EXPECT_GT(compute_zoomed_size(size, magnify + 1).y, kMaxImageSide);

    // 9999 wide at 300 % would be 29997: magnify becomes the largest that fits.
    size = {9999, 37};
    magnify = 300;
    bound_size_and_magnify(&size, &magnify);
    EXPECT_EQ(magnify, 163);
    EXPECT_EQ(compute_zoomed_size(size, magnify).x, 16298);

    // The image may be exactly kMaxImageSide wide.
    size = {1, 1};
    magnify = 1638499;
    bound_size_and_magnify(&size, &magnify);
    EXPECT_EQ(magnify, 1638499);
    EXPECT_EQ(compute_zoomed_size(size, magnify).x, kMaxImageSide);
    magnify = 1638500;
    bound_size_and_magnify(&size, &magnify);
    EXPECT_EQ(magnify, 1638499);
}

TEST(ScanInt, ReadsLikePercentD) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
        size_t consumed;
    } cases[] = {
        {"42", true, 42, 2},
        {"  \t-17,3", true, -17, 6},
        {"+8x", true, 8, 2},
        {"", false, 0, 0},
        {"-", false, 0, 0},
        {"x1", false, 0, 0},
        {"+ 1", false, 0, 0},
        {"2147483647", true, INT32_MAX, 10},
        {"2147483648", true, INT32_MAX, 10},
        {"-2147483648", true, INT32_MIN, 11},
        {"-99999999999999999999999", true, INT32_MIN, 24},
        {"000000000000000000000012", true, 12, 24},
    };
    for (const Case& c : cases) {
        int32_t value = 555;
        const char* end = c.text;
        EXPECT_EQ(scan_int(c.text, &value, &end), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 555) << c.text;
        EXPECT_EQ(size_t(end - c.text), c.consumed) << c.text;
    }
}

TEST(ScanInt, PairNeedsACommaRightAfterTheFirstNumber) {
    struct Case {
        const char* text;
        int assigned;
        IntPair result;
    } cases[] = {
        {"3,4", 2, {3, 4}}, {"3, 4", 2, {3, 4}}, {"3 ,4", 1, {3, 9}}, {"3,", 1, {3, 9}},
        {"3,x", 1, {3, 9}}, {"x,4", 0, {9, 9}},  {"", 0, {9, 9}},     {"-3,-4junk", 2, {-3, -4}},
    };
    for (const Case& c : cases) {
        IntPair pair = {9, 9};
        EXPECT_EQ(scan_int_pair(c.text, &pair.x, &pair.y), c.assigned) << c.text;
        EXPECT_EQ(pair, c.result) << c.text;
    }
}
