// Helpers that the settings tests of both suites share, the native one and
// the Win32 one under Wine: the rule table as plain rows to compare, and a
// scratch-file stream on which every write fails. Plain C++, no <windows.h>.
#pragma once
#include <cstdint>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "settings/rules.h"

// One rule as the table holds it.
struct Rule {
    std::string class_name;
    std::string title_pattern;
    int32_t type;
    bool operator==(const Rule& o) const {
        return class_name == o.class_name && title_pattern == o.title_pattern && type == o.type;
    }
};

inline std::ostream& operator<<(std::ostream& os, const Rule& r) {
    return os << "{" << r.class_name << ", " << r.title_pattern << ", " << r.type << "}";
}

// The rules of the table, in table order.
inline std::vector<Rule> table_rules() {
    std::vector<Rule> rules;
    for (const auto& entry : rule_table)
        rules.push_back({entry.first, entry.second.title_pattern, entry.second.type});
    return rules;
}

// An open hook for the settings file replacement: it creates the scratch
// file and hands back a stream on it opened for reading, so every write fails.
inline FILE* open_unwritable(const char* temp_path) {
    FILE* create = std::fopen(temp_path, "wt");
    if (!create) return nullptr;
    std::fclose(create);
    return std::fopen(temp_path, "rt");
}
