// Text form of the hotkey and the poll's recognition rules.
#include "dialogs/hotkey_text.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool is_f_key(int key) {
    return key >= kVkF1 && key <= kVkF12;
}

// Appends to out (capacity out_size, already terminated) without overflowing.
void append(char* out, size_t out_size, const char* text) {
    size_t used = std::strlen(out);
    if (used + 1 >= out_size) return;
    std::snprintf(out + used, out_size - used, "%s", text);
}

void append_f_key(char* out, size_t out_size, int key) {
    char name[16];
    std::snprintf(name, sizeof name, "F%d", key - (kVkF1 - 1));
    append(out, out_size, name);
}

void append_plus_char(char* out, size_t out_size, int key) {
    char name[3] = {'+', static_cast<char>(static_cast<unsigned char>(key)), '\0'};
    append(out, out_size, name);
}

// atoi's reading of the digits after "F" (leading blanks, sign, digits),
// without atoi's undefined result on overflow.
long leading_number(const char* text) {
    errno = 0;
    long n = std::strtol(text, nullptr, 10);
    return errno == ERANGE ? 0 : n;
}

} // namespace

const char* modifier_name(int modifier) {
    switch (modifier) {
    case kVkShift: return "Shift";
    case kVkControl: return "Ctrl";
    case kVkAlt: return "Alt";
    default: return nullptr;
    }
}

void format_hotkey_text(IntPair hotkey, char* out, size_t out_size) {
    if (out_size == 0) return;
    if (out_size > kHotkeyTextSize) out_size = kHotkeyTextSize;
    out[0] = '\0';
    if (const char* name = modifier_name(hotkey.x)) append(out, out_size, name);
    if (is_f_key(hotkey.y)) {
        if (out[0] != '\0') append(out, out_size, "+");
        append_f_key(out, out_size, hotkey.y);
    } else if (hotkey.y != 0) {
        append_plus_char(out, out_size, hotkey.y);
    }
}

IntPair parse_hotkey_text(const char* text) {
    char buf[kHotkeyTextSize];
    std::snprintf(buf, sizeof buf, "%s", text ? text : "");

    const char* rest = buf;
    if (char* plus = std::strchr(buf, '+')) {
        *plus = '\0';
        rest = plus + 1;
    }
    IntPair result = {0, 0};
    if (std::strcmp(buf, "Shift") == 0)
        result.x = kVkShift;
    else if (std::strcmp(buf, "Ctrl") == 0)
        result.x = kVkControl;
    else if (std::strcmp(buf, "Alt") == 0)
        result.x = kVkAlt;

    size_t length = std::strlen(rest);
    if (rest[0] == 'F' && length >= 2) {
        long n = leading_number(rest + 1);
        result.y = (n >= 1 && n <= 12) ? static_cast<int32_t>(kVkF1 - 1 + n) : 0;
    } else if (length == 1) {
        // Unsigned, so a byte above 0x7F reads back as the code it was shown from.
        result.y = static_cast<unsigned char>(rest[0]);
    }
    return result;
}

PolledKeys poll_hotkey_keys(KeyDown pressed, void* context) {
    PolledKeys keys = {0, 0};
    if (pressed(kVkControl, context))
        keys.modifier = kVkControl;
    else if (pressed(kVkAlt, context))
        keys.modifier = kVkAlt;
    else if (pressed(kVkShift, context))
        keys.modifier = kVkShift;

    static const int ranges[3][2] = {{kVkF1, kVkF12}, {'A', 'Z'}, {'0', '9'}};
    for (const auto& range : ranges) {
        for (int vk = range[0]; vk <= range[1]; ++vk) {
            if (pressed(vk, context)) {
                keys.key = vk;
                return keys;
            }
        }
    }
    return keys;
}

bool polled_hotkey_text(PolledKeys now, PolledKeys last, char* out, size_t out_size) {
    if (out_size == 0) return false;
    bool new_modifier = now.modifier != 0 && now.modifier != last.modifier;
    bool new_key = now.key != 0 && now.key != last.key;
    if (!new_modifier && !new_key) return false;

    if (out_size > kHotkeyTextSize) out_size = kHotkeyTextSize;
    out[0] = '\0';
    // A key pressed just after its modifier was let go still pairs with it.
    const char* name = modifier_name(now.modifier != 0 ? now.modifier : last.modifier);
    if (name) append(out, out_size, name);

    if (is_f_key(now.key)) {
        if (out[0] != '\0') append(out, out_size, "+");
        append_f_key(out, out_size, now.key);
    } else if (now.key != 0) {
        if (out[0] == '\0') return false; // a letter or digit alone is no hotkey
        append_plus_char(out, out_size, now.key);
    }
    return out[0] != '\0';
}
