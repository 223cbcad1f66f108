// Rewriting the whole settings file: [option] from the record, a blank line,
// then [target] with the rule table. The content goes to a scratch file that
// replaces brisvane.ini only once it is complete, so a failed save (full disk,
// read-only folder, file in use) leaves the user's settings as they were.
#include "settings/settings.h"
#include "settings/rules.h"
#include "settings/settings_keys.h"
#include "platform/file_replace.h"

#include <cstdio>

void save_settings() {
    FILE* file = begin_replacement(settings_path);
    if (!file) return; // e.g. a read-only folder: the program runs on unsaved
    std::fprintf(file, "[%s]\n", kOptionSection);
    for (size_t i = 0; i < kSettingKeyCount; ++i) {
        const SettingKey& key = kSettingKeys[i];
        if (key.pair) {
            const IntPair& pair = settings.*key.pair;
            std::fprintf(file, "%s=%d,%d\n", key.name, int(pair.x), int(pair.y));
        } else {
            std::fprintf(file, "%s=%d\n", key.name, int(settings.*key.integer));
        }
    }
    std::fprintf(file, "\n[%s]\n", kTargetSection);
    std::fprintf(file, "count=%d\n", rule_count());
    write_rules(file);
    finish_replacement(file, settings_path);
}
