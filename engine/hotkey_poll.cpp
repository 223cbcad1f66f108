// The tick's keyboard poll. Every query goes through `down` in a fixed order
// and stops as soon as the answer is known, because each GetAsyncKeyState call
// also consumes the key's "pressed since the last call" bit.
#include "engine/hotkey_poll.h"

namespace {

struct Keys {
    KeyDown down;
    void* context;
    bool operator()(int vk) const { return down(vk, context); }
};

// The modifier alone: the chosen one down, the other two up (asked Ctrl,
// Shift, Alt). No modifier never passes.
bool modifier_alone(int modifier, const Keys& down) {
    switch (modifier) {
    case kVkControl: return down(kVkControl) && !down(kVkShift) && !down(kVkAlt);
    case kVkShift: return !down(kVkControl) && down(kVkShift) && !down(kVkAlt);
    case kVkAlt: return !down(kVkControl) && !down(kVkShift) && down(kVkAlt);
    default: return false;
    }
}

bool is_function_key(int vk) {
    return vk >= kVkF1 && vk <= kVkF12;
}

// Any other key of the keyboard down (Escape to 9, the letters and the
// Windows/application keys, the keypad and F1-F12; the modifiers are not in
// these ranges). The hotkey's own key is skipped.
bool other_key_down(int key, const Keys& down) {
    static const int ranges[3][2] = {{kVkEscape, '9'}, {'A', kVkApps}, {kVkNumpad0, kVkF12}};
    for (const auto& range : ranges)
        for (int vk = range[0]; vk <= range[1]; ++vk)
            if (vk != key && down(vk)) return true;
    return false;
}

bool hotkey_held(IntPair hotkey, const Keys& down) {
    const int modifier = hotkey.x;
    const int key = hotkey.y;
    bool held;
    if (modifier != 0 && key != 0) {
        if (!down(key)) return false;
        held = modifier_alone(modifier, down);
    } else if (is_function_key(key)) {
        // Without a modifier only a function key pressed alone counts.
        if (!down(key)) return false;
        if (down(kVkControl) || down(kVkShift) || down(kVkAlt)) return false;
        held = true;
    } else {
        // A plain key without a modifier never counts; no key means the
        // modifier alone is the hotkey.
        held = modifier_alone(modifier, down);
    }
    return held && !other_key_down(key, down);
}

} // namespace

KeyboardPoll poll_keyboard(IntPair hotkey, KeyDown down, void* context) {
    const Keys keys{down, context};
    if (keys(kVkControl) && keys(kVkPrintScreen)) {
        // Shift picks the colour instead of the image.
        if (keys(kVkShift)) return {false, true, false};
        return {true, false, false};
    }
    return {false, false, hotkey_held(hotkey, keys)};
}

bool copy_once_per_press(bool combination_held, uint8_t* latch) {
    const bool first = combination_held && *latch == 0;
    *latch = combination_held ? 1 : 0;
    return first;
}
