// Freezing: the key's once-per-press edge, what ends a freeze, and pointing
// at a cell of the frozen image.
#include <gtest/gtest.h>

#include "engine/freeze.h"

TEST(Freeze, KeyActsOncePerPressAndNeverWithoutAKey) {
    struct Case {
        int32_t key;
        bool held[5];
        bool pressed[5];
    } cases[] = {
        {19, {false, true, true, false, true}, {false, true, false, false, true}},
        {0, {true, true, false, true, true}, {false, false, false, false, false}},
    };
    for (const Case& c : cases) {
        uint8_t latch = 0;
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(freeze_key_pressed(c.key, c.held[i], &latch), c.pressed[i])
                << "key " << c.key << " poll " << i;
    }
}

TEST(Freeze, WhatEndsIt) {
    struct Case {
        FreezeEvent event;
        bool ends;
    } cases[] = {
        {FREEZE_KEY_AGAIN, true},     {FREEZE_MENU_ITEM, true},    {FREEZE_LOUPE_HIDDEN, true},
        {FREEZE_WHEEL, true},         {FREEZE_OPTIONS_OK, true},   {FREEZE_DISPLAY, true},
        {FREEZE_MODE_SWITCH, true},   {FREEZE_MENU_SWITCH, false}, {FREEZE_HOTKEY_OK, false},
        {FREEZE_IMAGE_COPIED, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(event_ends_freeze(c.event), c.ends) << c.event;
}

TEST(Freeze, CellUnderAClientPoint) {
    struct Case {
        IntPair size, zoomed, client;
        bool inside;
        IntPair cell;
    } cases[] = {
        {{37, 37}, {111, 111}, {2, 2}, true, {0, 0}},       // first image pixel
        {{37, 37}, {111, 111}, {4, 5}, true, {0, 1}},       // a cell is 3 pixels
        {{37, 37}, {111, 111}, {112, 112}, true, {36, 36}}, // last image pixel
        {{37, 37}, {111, 111}, {113, 50}, false, {0, 0}},   // right frame
        {{37, 37}, {111, 111}, {50, 1}, false, {0, 0}},     // top frame
        {{37, 37}, {111, 111}, {-40, 50}, false, {0, 0}},   // left of the window
        {{37, 21}, {111, 63}, {59, 64}, true, {19, 20}},    // non-square
        {{37, 37}, {55, 55}, {56, 3}, true, {36, 0}},       // 150 %: truncated
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.client.x << ", " << c.client.y);
        IntPair cell = {0, 0};
        ASSERT_EQ(frozen_cell(c.client, c.size, c.zoomed, &cell), c.inside);
        if (c.inside) {
            EXPECT_EQ(cell, c.cell);
        }
    }
}

TEST(Freeze, MarkerEnclosesThePointedCellAtWholeZooms) {
    // The centre cell's outline is the centre marker's.
    const MarkerSquare centre = cell_marker({18, 18}, {37, 37}, {111, 111}, 300);
    const MarkerSquare fixed = marker_square({111, 111}, 300);
    EXPECT_TRUE(centre.x0 == fixed.x0 && centre.y0 == fixed.y0 && centre.x1 == fixed.x1);
    for (int32_t magnify : {200, 300, 800}) {
        const int m = magnify / 100;
        const IntPair size = {5, 3}, zoomed = {5 * m, 3 * m};
        for (int x = kFrameWidth; x < kFrameWidth + zoomed.x; ++x) {
            IntPair cell = {0, 0};
            ASSERT_TRUE(frozen_cell({x, kFrameWidth}, size, zoomed, &cell));
            const MarkerSquare s = cell_marker(cell, size, zoomed, magnify);
            EXPECT_TRUE(s.x0 < x && x < s.x1 && s.x1 - s.x0 == m + 1) << magnify << " " << x;
        }
    }
}
