// Freezing the loupe in place: while frozen it keeps its place and its image
// (no capture, no placement, no per-window rules), and the pointer may move
// over the frozen image to read the source pixel of any of its cells.
// Pure logic; the state itself is owned by engine/freeze_win.cpp.
#pragma once
#include <cstdint>
#include "engine/overlay_geometry.h"
#include "settings/settings.h"

struct FreezeState {
    bool frozen = false;   // the loupe keeps its place and image
    uint8_t key_latch = 0; // the freeze key already seen held in this press
    bool pointing = false; // the pointer is over the frozen image
    IntPair cell = {0, 0}; // the cell it points at (area pixel), when pointing
};
// Owner: engine/freeze_win.cpp.
extern FreezeState freeze;

// What may end a freeze; event_ends_freeze says which do.
enum FreezeEvent {
    FREEZE_KEY_AGAIN,    // the freeze key pressed while frozen
    FREEZE_MENU_ITEM,    // the menu item that shows the frozen state
    FREEZE_LOUPE_HIDDEN, // the hotkey or a click hid the loupe
    FREEZE_WHEEL,        // a wheel zoom or resize
    FREEZE_OPTIONS_OK,   // the options dialog confirmed
    FREEZE_DISPLAY,      // the display changed
    FREEZE_MODE_SWITCH,  // normal and magnifying-glass mode switched
    FREEZE_MENU_SWITCH,  // any other menu switch (marker, grid, colours ...)
    FREEZE_HOTKEY_OK,    // the hotkey dialog confirmed
    FREEZE_IMAGE_COPIED, // the image copied to the clipboard
};
bool event_ends_freeze(FreezeEvent event);

// Whether this poll is the first of a press of the freeze key (0: no key).
bool freeze_key_pressed(int32_t freezekey, bool key_held, uint8_t* latch);

// The area pixel shown at client point `client` of the loupe window, for an
// area of `size` magnified to `zoomed`; false over the frame and outside.
// Exact at whole-number zooms, where each cell is magnify / 100 pixels wide.
bool frozen_cell(IntPair client, IntPair size, IntPair zoomed, IntPair* cell);

// The marker's outline around the cell of area pixel `cell`: one pixel
// outside its magnify / 100 block, as the centre marker is around the centre.
MarkerSquare cell_marker(IntPair cell, IntPair size, IntPair zoomed, int32_t magnify);
