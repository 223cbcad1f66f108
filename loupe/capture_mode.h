// How the loupe gets the screen without magnifying itself, as plain rules
// over the settings. A layered loupe is left out of a screen copy made
// without CAPTUREBLT, so where that holds the screen is simply copied live.
// Otherwise magnifying-glass mode (the loupe covers what it shows) either
// pans a snapshot of the whole screen taken as the loupe appears, or cuts a
// hole into the loupe for the moment of each copy (peep window).
// Pure logic: no <windows.h>.
#pragma once
#include <cstdint>

// Layered windows exist and the copy leaves them out (`layered` off).
bool live_copy_leaves_loupe_out(int layered_supported, int32_t layered);

// The snapshot way is chosen (loupetype 0) and needed: the live copy would
// hold the loupe. Set at start-up and when the options dialog is confirmed.
bool snapshot_mode_for(int32_t loupetype, int32_t layered, int layered_supported);

// Magnifying-glass mode with snapshot_mode: the capture buffer holds the
// snapshot of the virtual screen and the tick copies nothing.
bool capture_is_snapshot(int32_t loupe, int snapshot_mode);

// Click-through is offered in magnifying-glass mode with a live copy: in
// every other way the loupe needs its own clicks or is out of the picture.
bool click_through_offered(int32_t loupe, int layered_supported, int32_t layered);
