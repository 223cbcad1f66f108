// The popup menu's check marks and gray state for a settings record, as plain data.
#pragma once
#include "settings/settings.h"

struct MenuState {
    int visibility_item; // the checked one of the three visibility items
    bool point_info;     // 40005
    bool loupe_mode;     // 40004
    bool marker;         // 40012
    bool gray;           // 40015
    bool invert;         // 40016
    bool use_rules;      // 40019
    bool follow_caret;   // 40021
    // 40013 is grayed (and addhole cleared) unless layered windows exist,
    // magnifying-glass mode is on and layered capture is off.
    bool click_through_grayed;
    bool click_through_checked; // when not grayed and addhole is on
};

MenuState menu_state(const Settings& s, int layered_supported);
