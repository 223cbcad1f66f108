// The per-window rule table: class name -> (title pattern, visibility type),
// ordered by class name as unsigned bytes, rules of one class in insertion
// order. Stored in the [target] section of the settings file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>

struct RuleValue {
    std::string title_pattern;
    int32_t type; // a VisibilityType (settings.h); other values kept as they are
};

// std::string compares through char_traits<char>, which orders bytes as
// unsigned char; a new equal key goes after the existing ones (multimap).
using RuleTable = std::multimap<std::string, RuleValue>;

// A window's class name or title as the tick reads it: a buffer of this many
// bytes, terminator included, so at most one byte fewer is ever compared.
constexpr size_t kWindowNameBytes = 128;

extern RuleTable rule_table;

// Fills the table from [target] of settings_path (stops at the first gap).
void load_rules();
// Writes "n=type,class/title\n" for every rule, keys renumbered from 0; a
// value whose title ends in a blank is written in double quotes, which the
// reader removes, so that the blank survives.
void write_rules(FILE* file);
int rule_count();
// Visibility type of the first matching rule; false when none matches.
// At most kWindowNameBytes - 1 bytes of class_name and title are compared.
bool lookup_rule(const char* class_name, const char* title, int32_t* type);
// CR and LF become blanks and a lone lead byte at the end goes, so that what
// the table holds is what a save and a reload give back.
void insert_rule(const char* class_name, const char* title_pattern, int32_t type);
void clear_rules();
