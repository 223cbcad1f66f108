// Reading the settings file once at start-up. A missing or unreadable file,
// or a missing key, yields the defaults; nothing is reported.
#include "settings/settings.h"
#include "settings/rules.h"
#include "settings/scan_int.h"
#include "settings/settings_keys.h"
#include "platform/ini_reader.h"

// A pair is read as text and parsed only when the text is not empty, so a
// key that is present but empty keeps the fields' values from before the
// load; a value with one number sets only the first field.
static void load_pair(const SettingKey& key, IntPair* pair) {
    char text[80];
    if (ini_read_string(kOptionSection, key.name, key.pair_default, text, sizeof text,
                        settings_path) != 0) {
        scan_int_pair(text, &pair->x, &pair->y);
    }
}

static void load_key(const SettingKey& key, Settings* loaded) {
    if (key.pair) {
        IntPair* pair = &(loaded->*key.pair);
        load_pair(key, pair);
        if (key.normalise_pair) key.normalise_pair(pair);
    } else {
        int32_t* field = &(loaded->*key.integer);
        int32_t def = key.default_is_current ? *field : key.integer_default;
        int32_t value = ini_read_int(kOptionSection, key.name, def, settings_path);
        *field = key.normalise_integer ? key.normalise_integer(value) : value;
    }
}

void load_settings() {
    Settings loaded = settings;
    for (size_t i = 0; i < kSettingKeyCount; ++i)
        load_key(kSettingKeys[i], &loaded);
    // size (made odd) and magnify (at least 100) are now as read; keep a
    // hand-edited file from asking for an absurd capture or image.
    bound_size_and_magnify(&loaded.size, &loaded.magnify);
    replace_settings(loaded);
    update_derived_sizes(AspectUpdate::Recompute);
    load_rules();
}
