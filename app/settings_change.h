// One path for every change of the settings while the program runs. The
// caller (start-up, the wheel, a menu switch, the options or hotkey dialog)
// edits a copy of the record and hands it here; everything that follows from
// the settings is then brought in line in one place: derived sizes, the
// window's size, the distance, snapshot mode, work buffers, region,
// click-through, the tooltip's tracking, the cursor rule and the menu's
// check marks.
#pragma once
#include <windows.h>
#include "settings/settings.h"

// Where a change comes from; each keeps the few steps that are its own.
enum class SettingsSource {
    Startup, // the loaded settings, once the loupe window exists
    Options, // the options dialog confirmed
    Wheel,   // zoom or resize by the wheel in magnifying-glass mode
    Menu,    // a switch of the popup menu
    Hotkey,  // the hotkey dialog confirmed
};

// Makes `changed` the program's settings and brings the running loupe in
// line with them. `pointer` is where the wheel turned: the resized loupe is
// centred there.
void apply_settings(HWND loupe, const Settings& changed, SettingsSource source,
                    IntPair pointer = {0, 0});
