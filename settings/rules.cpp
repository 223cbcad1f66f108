// The per-window rule table and its [target] section.
#include "settings/rules.h"

#include <cstring>
#include <string>
#include "settings/scan_int.h"
#include "settings/settings.h"
#include "settings/settings_keys.h"
#include "platform/ansi_text.h"
#include "platform/ini_reader.h"

RuleTable rule_table;

// The tick takes class name and title from buffers of kWindowNameBytes, so no
// more than this many bytes of either ever reach a comparison.
static constexpr size_t kLookupBytes = kWindowNameBytes - 1;
// Each [target] value is read into this many bytes, terminator included: room
// for the longest rule the tick can match (a type, 127 bytes of class name,
// 127 of title and the separators), quoted, with plenty to spare.
static constexpr uint32_t kRuleValueBytes = 512;

// What a line of the file can hold: a CR or LF (a captured title may have
// one) would end the line, so each becomes a blank; a lead byte left alone at
// the end would take the separator or line end after it as its second byte.
static std::string storable_text(const char* text, size_t length) {
    std::string stored(text, whole_char_length(text, length));
    for (char& c : stored)
        if (c == '\r' || c == '\n') c = ' ';
    return stored;
}

static std::string storable_text(const char* text) {
    return storable_text(text, std::strlen(text));
}

void insert_rule(const char* class_name, const char* title_pattern, int32_t type) {
    // A multimap places a new key after every equal one, which keeps rules of
    // one class in the order they were inserted.
    rule_table.emplace(storable_text(class_name), RuleValue{storable_text(title_pattern), type});
}

void clear_rules() {
    rule_table.clear();
}

int rule_count() {
    return int(rule_table.size());
}

bool lookup_rule(const char* class_name, const char* title, int32_t* type) {
    // Compared as they would be stored, so a rule captured from a title
    // with a line break matches that same window.
    std::string wanted_class = storable_text(class_name, strnlen(class_name, kLookupBytes));
    std::string seen_title = storable_text(title, strnlen(title, kLookupBytes));
    auto range = rule_table.equal_range(wanted_class);
    for (auto it = range.first; it != range.second; ++it) {
        if (seen_title.find(it->second.title_pattern) != std::string::npos) {
            *type = it->second.type;
            return true;
        }
    }
    return false;
}

// "type,class/title": the type is the number the value starts with
// (kVisibleShown when there is none), the title everything after the first '/', the class
// everything between the first ',' and that '/' (or all of it before the '/'
// when there is no comma). Never rejects a value.
static void insert_rule_from_value(char* value) {
    int32_t type = kVisibleShown;
    const char* after_number;
    if (!scan_int(value, &type, &after_number)) type = kVisibleShown;

    const char* title = "";
    if (char* slash = std::strchr(value, '/')) {
        *slash = '\0';
        title = slash + 1;
    }
    const char* class_name = value;
    if (const char* comma = std::strchr(value, ',')) class_name = comma + 1;
    insert_rule(class_name, title, type);
}

void load_rules() {
    // Keys 0, 1, 2, ... until the first one that is missing or empty; the
    // count line is written for people, never read.
    for (int index = 0;; ++index) {
        char key[16];
        std::snprintf(key, sizeof key, "%d", index);
        // Cleared first: when a value is cut inside a double-byte character,
        // the system's reader may leave one byte before its terminator as the
        // buffer held it.
        char value[kRuleValueBytes] = {};
        if (ini_read_string(kTargetSection, key, "", value, sizeof value, settings_path) == 0)
            break;
        insert_rule_from_value(value); // a half character at the end goes on insert
    }
}

// The reader drops blanks (space, tab, VT, FF, Ctrl-Z) at the end of a value
// but takes a value in double quotes without them and keeps what is inside.
// Only a value that ends in such a byte is quoted, so every other line keeps
// its plain form.
static bool needs_quotes(const std::string& title_pattern) {
    return !title_pattern.empty() && static_cast<unsigned char>(title_pattern.back()) <= ' ';
}

void write_rules(FILE* file) {
    int index = 0;
    for (const auto& rule : rule_table) {
        const char* quote = needs_quotes(rule.second.title_pattern) ? "\"" : "";
        std::fprintf(file, "%d=%s%d,%s/%s%s\n", index++, quote, int(rule.second.type),
                     rule.first.c_str(), rule.second.title_pattern.c_str(), quote);
    }
}
