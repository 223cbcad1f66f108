// The [option] keys in the order the settings file lists them, with their
// defaults and load-time normalisations. Load and save both walk this table,
// so a key cannot be read under one name and written under another.
#pragma once
#include <cstddef>
#include <cstdint>
#include "settings/settings.h"

struct SettingKey {
    const char* name;
    // Exactly one of these is set.
    int32_t Settings::*integer;
    IntPair Settings::*pair;
    // Default of an integer key; ignored when default_is_current is set
    // (the key then falls back on the field's value before the load).
    int32_t integer_default;
    bool default_is_current;
    // Default text of a pair key, parsed like a value from the file.
    const char* pair_default;
    // Applied after reading; nullptr when the value is kept as read.
    int32_t (*normalise_integer)(int32_t);
    void (*normalise_pair)(IntPair*);
};

extern const SettingKey kSettingKeys[];
extern const size_t kSettingKeyCount;

// Section of the record and of the rules in the settings file.
constexpr const char* kOptionSection = "option";
constexpr const char* kTargetSection = "target";
