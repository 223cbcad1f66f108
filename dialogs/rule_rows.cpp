// Row ordering and type-cell texts of the per-window settings dialog.
#include "dialogs/rule_rows.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "resources/texts.h"
#include "settings/settings.h"

int compare_cell_bytes(const char* a, const char* b) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;; ++p, ++q) {
        if (*p != *q) return *p < *q ? -1 : 1;
        if (*p == 0) return 0;
    }
}

bool rule_sort_columns(int clicked, int order[3]) {
    switch (clicked) {
    case 0: order[0] = 0, order[1] = 1, order[2] = 2; return true;
    case 1: order[0] = 1, order[1] = 0, order[2] = 2; return true;
    case 2: order[0] = 2, order[1] = 0, order[2] = 1; return true;
    default: return false;
    }
}

int compare_rule_cells(const char* const a[3], const char* const b[3], int clicked, int ascending) {
    int order[3];
    if (!rule_sort_columns(clicked, order)) return 0;
    for (int column : order) {
        int result = compare_cell_bytes(a[column], b[column]);
        if (result != 0) return ascending == 1 ? result : -result;
    }
    return 0;
}

int toggle_sort_direction(uint8_t flags[3], int column) {
    if (column < 0 || column > 2) return 0;
    flags[column] = flags[column] ? 0 : 1;
    return flags[column];
}

void rule_type_cell_text(int32_t type, char* out, size_t out_size) {
    if (out_size == 0) return;
    if (type >= kVisibleShown && type <= kVisibleToggle)
        std::snprintf(out, out_size, "%s", texts::kVisibilityTypeNames[type - kVisibleShown]);
    else
        std::snprintf(out, out_size, "%ld", static_cast<long>(type));
}

int32_t unmatched_type_from_cell(const char* text) {
    if (text == nullptr || *text == '\0') return 0;
    const char* digits = (*text == '-') ? text + 1 : text;
    if (*digits == '\0') return 0;
    for (const char* p = digits; *p; ++p)
        if (*p < '0' || *p > '9') return 0;
    errno = 0;
    long value = std::strtol(text, nullptr, 10);
    if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX) return 0;
    return static_cast<int32_t>(value);
}
