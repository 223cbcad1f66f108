#include "settings/settings_keys.h"

// Both sides of size are odd so that the capture centres on one pixel; an
// even value (0 and negative ones included) is moved up by one.
static void make_odd(IntPair* size) {
    if (size->x % 2 == 0) size->x += 1;
    if (size->y % 2 == 0) size->y += 1;
}

static int32_t at_least_100(int32_t magnify) {
    return magnify < 100 ? 100 : magnify;
}

// Shown and hidden are kept; anything else means toggle.
static int32_t visibility_type(int32_t visible) {
    return visible == kVisibleShown || visible == kVisibleHidden ? visible : kVisibleToggle;
}

static int32_t smoothing_mode(int32_t smooth) {
    return smooth < kSmoothNone || smooth > kSmoothBicubic ? kSmoothNone : smooth;
}

static int32_t posat_value(int32_t posat) {
    return posat < 0 || posat > 3 ? 0 : posat;
}

static SettingKey integer_key(const char* name, int32_t Settings::*field, int32_t def,
                              int32_t (*normalise)(int32_t) = nullptr) {
    return {name, field, nullptr, def, false, nullptr, normalise, nullptr};
}

static SettingKey pair_key(const char* name, IntPair Settings::*field, const char* def,
                           void (*normalise)(IntPair*) = nullptr) {
    return {name, nullptr, field, 0, false, def, nullptr, normalise};
}

static SettingKey current_default_key(const char* name, int32_t Settings::*field) {
    return {name, field, nullptr, 0, true, nullptr, nullptr, nullptr};
}

const SettingKey kSettingKeys[] = {
    pair_key("size", &Settings::size, "37,37", make_odd),
    integer_key("magnify", &Settings::magnify, 300, at_least_100),
    pair_key("position", &Settings::position, "16,135"),
    current_default_key("interval", &Settings::interval),
    integer_key("ttdisp", &Settings::ttdisp, 1),
    pair_key("hotkey", &Settings::hotkey, "17,0"),
    integer_key("loupe", &Settings::loupe, 0),
    integer_key("loupetype", &Settings::loupetype, 0),
    integer_key("layered", &Settings::layered, 0),
    integer_key("visible", &Settings::visible, kVisibleShown, visibility_type),
    integer_key("toggledef", &Settings::toggledef, 1),
    integer_key("marker", &Settings::marker, 1),
    integer_key("addhole", &Settings::addhole, 0),
    integer_key("graybmp", &Settings::graybmp, 0),
    integer_key("invertbmp", &Settings::invertbmp, 0),
    integer_key("winset", &Settings::winset, 0),
    integer_key("smooth", &Settings::smooth, kSmoothNone, smoothing_mode),
    integer_key("posat", &Settings::posat, 0, posat_value),
    integer_key("waddjust", &Settings::waddjust, 10),
    pair_key("maruwin", &Settings::maruwin, "0,1"),
    integer_key("hexcolor", &Settings::hexcolor, 0),
    // Added after the others: a file written before them lacks their lines
    // and loads with each feature off, its other lines unchanged.
    integer_key("caret", &Settings::caret, 0),
    integer_key("grid", &Settings::grid, 0),
    integer_key("gridzoom", &Settings::gridzoom, 800),
    integer_key("freezekey", &Settings::freezekey, 19),
};

const size_t kSettingKeyCount = sizeof(kSettingKeys) / sizeof(kSettingKeys[0]);
