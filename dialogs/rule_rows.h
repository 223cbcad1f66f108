// Pure parts of the per-window settings dialog: the row ordering used when a
// column header is clicked, and the type cell's text. No Windows here.
#pragma once
#include <cstddef>
#include <cstdint>
#include "settings/rules.h"

// Cell and field buffers of the dialog. The tick compares no more of a class
// name and of a title than these hold, so the dialog keeps as much of each (an
// unedited rule passes OK whole); type texts fit easily.
constexpr size_t kRuleClassSize = kWindowNameBytes;
constexpr size_t kRuleTextSize = kWindowNameBytes;

// Byte-wise comparison as unsigned bytes, no locale, case-sensitive; a
// prefix sorts first. Returns -1, 0 or +1.
int compare_cell_bytes(const char* a, const char* b);

// The columns compared, in turn, after a click on column `clicked`
// (0: 0,1,2; 1: 1,0,2; 2: 2,0,1). Returns false for any other column.
bool rule_sort_columns(int clicked, int order[3]);

// Orders two rows given their three cell texts: the first differing column
// of the fixed order decides; descending (ascending == 0) negates it. A
// clicked column outside 0..2 leaves rows equal.
int compare_rule_cells(const char* const a[3], const char* const b[3], int clicked, int ascending);

// Header clicks: each column's direction flag, kept for the program's life.
// Returns the flag after inverting it (1 = ascending).
int toggle_sort_direction(uint8_t flags[3], int column);

// Text of the type cell for a stored visibility type: the combo item's text
// for each VisibilityType; a hand-edited type outside them shows as its number, so that it
// survives a round trip through the dialog.
void rule_type_cell_text(int32_t type, char* out, size_t out_size);

// Visibility type of a type cell when no combo item matches it: a cell that
// is a plain number (written by rule_type_cell_text) gives that number back,
// anything else 0.
int32_t unmatched_type_from_cell(const char* text);
