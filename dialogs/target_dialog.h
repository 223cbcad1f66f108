// The per-window settings dialog's list helpers (the dialog procedure is in
// dialogs/dialogs.h).
#pragma once
#include <windows.h>

// Columns "クラス名", "タイトル", "タイプ", then one row per rule in table order.
void init_rule_list(HWND dialog);
// Appends a row; type_index is the combo index (visibility type - 1).
void add_rule_row(HWND dialog, const char* class_name, const char* title_pattern, int type_index);
// Replaces the rule table with the list's rows, in list order.
void commit_rule_list(HWND dialog);
// LVM_SORTITEMSEX callback; click_record is the LVN_COLUMNCLICK record with
// the direction (1 ascending) placed in its lParam.
int CALLBACK compare_rule_rows(LPARAM row1, LPARAM row2, LPARAM click_record);
// Back to the program-start state of the header directions (for tests).
void reset_rule_sort_directions();
