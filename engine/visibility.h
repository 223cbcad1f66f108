// Whether the tick should show or hide the loupe, from the visibility type
// (settings.h), the hotkey and the current state. kVisibleToggle flips
// toggle_on when the hotkey is released, once per press.
#pragma once
#include <cstdint>

enum VisibilityRequest { REQUEST_NOTHING = 0, REQUEST_SHOW = 1, REQUEST_HIDE = 2 };

// type: T of this tick; held: the hotkey is held; shown: loupe_shown.
// Updates *toggle_on (kVisibleToggle only) and *toggle_latch (each of the
// three types; any other type leaves both alone). Returns a VisibilityRequest.
int visibility_request(int type, bool held, int shown, int* toggle_on, uint8_t* toggle_latch);

// Whether the first tick shows the loupe: visible kVisibleShown, or
// kVisibleToggle with toggledef on.
bool first_tick_shows(int visible, int toggledef);
