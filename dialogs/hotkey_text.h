// The hotkey's text form ("Ctrl", "Alt+F5", "Shift+A", "F7") and the rules
// by which the hotkey dialog recognises held keys. Pure logic, no Windows:
// the dialog supplies the key state through a callback.
#pragma once
#include <cstddef>
#include "engine/hotkey_poll.h" // virtual-key codes kVkShift .. kVkF12
#include "settings/settings.h"

// The dialog keeps the text in a buffer of this size (at most 31 characters).
constexpr size_t kHotkeyTextSize = 32;

// "Shift", "Ctrl" or "Alt" for 16, 17, 18; nullptr for anything else.
const char* modifier_name(int modifier);

// Text shown when the dialog opens: modifier name, then "+" and the key.
// A letter or digit always gets its "+", even without a modifier ("+A");
// an F key alone stands without one ("F5"). out receives at most
// kHotkeyTextSize - 1 characters.
void format_hotkey_text(IntPair hotkey, char* out, size_t out_size);

// The field's text back into (modifier, key): exact, case-sensitive names;
// F1..F12 or a single character after the "+"; anything else gives 0.
IntPair parse_hotkey_text(const char* text);

// One poll of the keyboard. pressed(vk, context) reports whether a key is
// held or was pressed since the last query; keys are asked in the order the
// recognition needs and no further (Ctrl, Alt, Shift; F1..F12, A..Z, 0..9).
struct PolledKeys {
    int modifier; // 17, 18, 16 or 0, by that priority
    int key;      // first pressed F key, else letter, else digit; 0 if none
};
PolledKeys poll_hotkey_keys(KeyDown pressed, void* context);

// What a poll shows in the field. Returns false when the field keeps its
// text (nothing new held, or a letter or digit without any modifier).
bool polled_hotkey_text(PolledKeys now, PolledKeys last, char* out, size_t out_size);
