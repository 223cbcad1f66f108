// Keyboard polling of the tracking tick: Ctrl+PrintScreen, Ctrl+Shift+
// PrintScreen and the hotkey.
// The key state comes through a callback so the order of the queries (which
// is observable through GetAsyncKeyState's "pressed since last call" bit) is
// fixed here and can be checked without a keyboard.
#pragma once
#include <cstdint>
#include "settings/settings.h"

struct KeyboardPoll {
    bool copy_image;  // Ctrl+PrintScreen is held (see copy_once_per_press)
    bool copy_colour; // Ctrl+Shift+PrintScreen is held (never with copy_image)
    bool hotkey_held; // the configured hotkey is held (never with a copy)
};

// Whether the virtual key is down (GetAsyncKeyState(vk) != 0 on Windows).
using KeyDown = bool (*)(int virtual_key, void* context);

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;
constexpr int kVkPrintScreen = 44;
constexpr int kVkF1 = 112;
constexpr int kVkF12 = 123;
// The ends of the ranges of other keys (see poll_keyboard).
constexpr int kVkEscape = 27;
constexpr int kVkApps = 93;
constexpr int kVkNumpad0 = 96;

// hotkey.x = modifier (16 Shift, 17 Ctrl, 18 Alt, 0 none), hotkey.y = key
// (0 none, 112-123 F1-F12, or a letter or digit). Queries stop as soon as the
// outcome is known. A held hotkey is dropped again when any other key of the
// ranges 27-57, 65-93 and 96-123 is down.
KeyboardPoll poll_keyboard(IntPair hotkey, KeyDown down, void* context);

// Whether this tick copies: only the first poll of each Ctrl+PrintScreen
// press does, however long it is held, so a held press does not flood the
// clipboard (and any clipboard history) with a copy per tick. *latch keeps
// the press from one poll to the next. Both copy combinations share one
// press: Shift let go before PrintScreen does not add an image copy to the
// colour copy, nor Shift pressed late a colour copy to the image copy.
bool copy_once_per_press(bool combination_held, uint8_t* latch);
