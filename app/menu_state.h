// The popup menu's check marks and gray state for a settings record, as plain data.
#pragma once
#include "settings/settings.h"

struct MenuState {
    int visibility_item; // the checked one of the three visibility items
    bool point_info;     // IDM_POINT_INFO
    bool loupe_mode;     // IDM_LOUPE_MODE
    bool marker;         // IDM_MARKER
    bool pixel_grid;     // IDM_PIXEL_GRID
    bool gray;           // IDM_GRAY
    bool invert;         // IDM_INVERT
    bool use_rules;      // IDM_USE_RULES
    bool follow_caret;   // IDM_FOLLOW_CARET
    // IDM_CLICK_THROUGH is grayed (and addhole cleared) unless layered windows exist,
    // magnifying-glass mode is on and layered capture is off.
    bool click_through_grayed;
    bool click_through_checked; // when not grayed and addhole is on
};

MenuState menu_state(const Settings& s, int layered_supported);
