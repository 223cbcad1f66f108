// The per-window settings dialog (TARGETDLG). The list view is a working copy
// of the rule table, made when the dialog opens; OK replaces the table with
// the list's rows, Cancel drops them. The class name cannot be typed: it comes
// from a selected row or from the window the user clicks after pressing the
// window-information button.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "dialogs/dialogs.h"
#include "dialogs/rule_rows.h"
#include "dialogs/target_dialog.h"
#include "platform/ansi_text.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/rules.h"
#include "settings/settings.h"

namespace {

constexpr int kClassColumnWidth = 120;
constexpr int kTitleColumnWidth = 150;
constexpr DWORD kCaptureDelay = 100; // ms, for the clicked window to come forward

// Set by the window-information button, cleared by the capture and by every
// opening of the dialog.
BYTE capture_pending = 0;
// One flag per column, inverted by each header click; kept while the program
// runs so the next click on a column reverses its last order.
uint8_t column_ascending[3] = {0, 0, 0};

// The column widths are pixels at 96 DPI, where the dialog's 9-point font is
// 12 pixels high; they grow with the font the system chose for the dialog,
// so that at 144 DPI (18 pixels) the headers and texts still fit.
constexpr LONG kFontHeightAt96Dpi = 12;

int font_scaled(HWND dialog, int pixels_at_96_dpi) {
    LOGFONTA font = {};
    HFONT dialog_font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (!dialog_font || !GetObjectA(dialog_font, sizeof font, &font) || font.lfHeight == 0)
        return pixels_at_96_dpi;
    LONG height = font.lfHeight < 0 ? -font.lfHeight : font.lfHeight;
    return static_cast<int>(pixels_at_96_dpi * height / kFontHeightAt96Dpi);
}

HWND rule_list(HWND dialog) {
    return GetDlgItem(dialog, IDC_RULE_LIST);
}

void insert_column(HWND list, int index, const char* header, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = const_cast<char*>(header);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

// A text read into a fixed buffer may end in half a double-byte character;
// that half goes, so no stored rule ever holds one.
void keep_whole_chars(char* text) {
    text[whole_char_length(text, std::strlen(text))] = '\0';
}

// A dialog field read whole up to size - 1 bytes, cut on a character.
void field_text(HWND dialog, int id, char* buf, int size) {
    buf[0] = '\0';
    GetDlgItemTextA(dialog, id, buf, size);
    keep_whole_chars(buf);
}

void cell_text(HWND list, int row, int column, char* buf, int size) {
    buf[0] = '\0';
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buf;
    item.cchTextMax = size;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    // A text longer than the buffer may come back cut but unterminated.
    buf[size - 1] = '\0';
    keep_whole_chars(buf);
}

void set_cell_text(HWND list, int row, int column, const char* text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int first_selected_row(HWND list) {
    return static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0)));
}

// The row to change: there when exactly one row is selected.
int single_selected_row(HWND list) {
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) != 1) return -1;
    return first_selected_row(list);
}

// Text of the type cell for a combo index: the item's text, or the type's
// number when the box has no such item (a hand-edited type).
void type_cell_for_index(HWND dialog, int index, char* buf, int size) {
    HWND combo = GetDlgItem(dialog, IDC_RULE_TYPE);
    LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    if (index >= 0 && index < count &&
        SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0) < size) {
        SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(buf));
        return;
    }
    rule_type_cell_text(index + kVisibleShown, buf, static_cast<size_t>(size));
}

void selected_type_cell(HWND dialog, char* buf, int size) {
    int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_RULE_TYPE, CB_GETCURSEL, 0, 0));
    type_cell_for_index(dialog, index, buf, size);
}

int find_type_item(HWND dialog, const char* text) {
    // An empty text would match the first item as a prefix.
    if (text[0] == '\0') return CB_ERR;
    return static_cast<int>(SendDlgItemMessageA(dialog, IDC_RULE_TYPE, CB_FINDSTRING,
                                                static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>(text)));
}

void init_target(HWND dialog) {
    InitCommonControls();
    HWND combo = GetDlgItem(dialog, IDC_RULE_TYPE);
    for (const char* name : texts::kVisibilityTypeNames)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendMessageA(rule_list(dialog), LVM_SETEXTENDEDLISTVIEWSTYLE,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    capture_pending = 0;
    init_rule_list(dialog);
}

void show_selected_row(HWND dialog) {
    HWND list = rule_list(dialog);
    int row = first_selected_row(list);
    if (row < 0) {
        EnableWindow(GetDlgItem(dialog, IDC_RULE_CHANGE), FALSE);
        return;
    }
    char class_name[kRuleClassSize], title[kRuleTextSize], type[kRuleTextSize];
    cell_text(list, row, 0, class_name, sizeof class_name);
    cell_text(list, row, 1, title, sizeof title);
    cell_text(list, row, 2, type, sizeof type);
    SetDlgItemTextA(dialog, IDC_RULE_CLASS, class_name);
    SetDlgItemTextA(dialog, IDC_RULE_TITLE, title);
    SendDlgItemMessageA(dialog, IDC_RULE_TYPE, CB_SETCURSEL,
                        static_cast<WPARAM>(find_type_item(dialog, type)), 0);
    EnableWindow(GetDlgItem(dialog, IDC_RULE_CHANGE), TRUE);
}

void on_item_changed(HWND dialog, const NMLISTVIEW* change) {
    bool newly_selected =
        !(change->uOldState & LVIS_SELECTED) && (change->uNewState & LVIS_SELECTED);
    if (newly_selected && SendMessageA(rule_list(dialog), LVM_GETSELECTEDCOUNT, 0, 0) == 1)
        show_selected_row(dialog);
    else
        EnableWindow(GetDlgItem(dialog, IDC_RULE_CHANGE), FALSE);
}

void on_column_click(HWND dialog, NMLISTVIEW* click) {
    click->lParam = toggle_sort_direction(column_ascending, click->iSubItem);
    SendMessageA(rule_list(dialog), LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(click),
                 reinterpret_cast<LPARAM>(compare_rule_rows));
}

void add_from_fields(HWND dialog) {
    char class_name[kRuleClassSize], title[kRuleTextSize];
    field_text(dialog, IDC_RULE_CLASS, class_name, sizeof class_name);
    field_text(dialog, IDC_RULE_TITLE, title, sizeof title);
    int index = static_cast<int>(SendDlgItemMessageA(dialog, IDC_RULE_TYPE, CB_GETCURSEL, 0, 0));
    add_rule_row(dialog, class_name, title, index);
}

void change_from_fields(HWND dialog) {
    HWND list = rule_list(dialog);
    int row = single_selected_row(list);
    if (row < 0) return;
    char class_name[kRuleClassSize], title[kRuleTextSize], type[kRuleTextSize];
    field_text(dialog, IDC_RULE_CLASS, class_name, sizeof class_name);
    field_text(dialog, IDC_RULE_TITLE, title, sizeof title);
    selected_type_cell(dialog, type, sizeof type);
    set_cell_text(list, row, 0, class_name);
    set_cell_text(list, row, 1, title);
    set_cell_text(list, row, 2, type);
}

void delete_selected_rows(HWND dialog) {
    HWND list = rule_list(dialog);
    for (int row = first_selected_row(list); row >= 0; row = first_selected_row(list))
        SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
}

void start_capture(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_RULE_CLASS, texts::kCapturePrompt);
    SetDlgItemTextA(dialog, IDC_RULE_TITLE, "");
    capture_pending = 1;
}

// The dialog lost activation after the window-information button: the window
// the user clicked is (after a moment) the foreground window.
void finish_capture(HWND dialog) {
    Sleep(kCaptureDelay);
    HWND target = GetForegroundWindow();
    char class_name[kRuleClassSize] = "", title[kRuleTextSize] = "";
    GetClassNameA(target, class_name, sizeof class_name);
    GetWindowTextA(target, title, sizeof title);
    keep_whole_chars(class_name);
    keep_whole_chars(title);
    SetDlgItemTextA(dialog, IDC_RULE_CLASS, class_name);
    SetDlgItemTextA(dialog, IDC_RULE_TITLE, title);
    capture_pending = 0;
}

bool on_command(HWND dialog, int id) {
    switch (id) {
    case IDC_RULE_ADD: add_from_fields(dialog); return true;
    case IDC_RULE_CHANGE: change_from_fields(dialog); return true;
    case IDC_RULE_DELETE: delete_selected_rows(dialog); return true;
    case IDC_RULE_CLEAR: SendMessageA(rule_list(dialog), LVM_DELETEALLITEMS, 0, 0); return true;
    case IDC_RULE_CAPTURE: start_capture(dialog); return true;
    case IDOK:
        commit_rule_list(dialog);
        EndDialog(dialog, IDOK);
        return true;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return true;
    default: return false;
    }
}

} // namespace

void init_rule_list(HWND dialog) {
    HWND list = rule_list(dialog);
    int class_width = font_scaled(dialog, kClassColumnWidth);
    int title_width = font_scaled(dialog, kTitleColumnWidth);
    insert_column(list, 0, texts::kRuleColumnNames[0], class_width);
    RECT client;
    GetClientRect(list, &client);
    insert_column(list, 1, texts::kRuleColumnNames[1], title_width);
    insert_column(list, 2, texts::kRuleColumnNames[2], client.right - class_width - title_width);
    for (const auto& rule : rule_table)
        add_rule_row(dialog, rule.first.c_str(), rule.second.title_pattern.c_str(),
                     rule.second.type - kVisibleShown);
}

void add_rule_row(HWND dialog, const char* class_name, const char* title_pattern, int type_index) {
    HWND list = rule_list(dialog);
    int row = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(class_name);
    row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0) return;
    char type[kRuleTextSize];
    type_cell_for_index(dialog, type_index, type, sizeof type);
    set_cell_text(list, row, 1, title_pattern);
    set_cell_text(list, row, 2, type);
}

void commit_rule_list(HWND dialog) {
    clear_rules();
    HWND list = rule_list(dialog);
    int rows = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        char class_name[kRuleClassSize], title[kRuleTextSize], type[kRuleTextSize];
        cell_text(list, row, 0, class_name, sizeof class_name);
        cell_text(list, row, 1, title, sizeof title);
        cell_text(list, row, 2, type, sizeof type);
        int index = find_type_item(dialog, type);
        int32_t visibility =
            index != CB_ERR ? index + kVisibleShown : unmatched_type_from_cell(type);
        insert_rule(class_name, title, visibility);
    }
}

int CALLBACK compare_rule_rows(LPARAM row1, LPARAM row2, LPARAM click_record) {
    const NMLISTVIEW* click = reinterpret_cast<const NMLISTVIEW*>(click_record);
    if (click->iSubItem < 0 || click->iSubItem > 2) return 0;
    char a[3][kRuleTextSize], b[3][kRuleTextSize];
    for (int column = 0; column < 3; ++column) {
        int size = column == 0 ? static_cast<int>(kRuleClassSize) : static_cast<int>(kRuleTextSize);
        cell_text(click->hdr.hwndFrom, static_cast<int>(row1), column, a[column], size);
        cell_text(click->hdr.hwndFrom, static_cast<int>(row2), column, b[column], size);
    }
    const char* pa[3] = {a[0], a[1], a[2]};
    const char* pb[3] = {b[0], b[1], b[2]};
    return compare_rule_cells(pa, pb, click->iSubItem, static_cast<int>(click->lParam));
}

INT_PTR CALLBACK target_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: init_target(dialog); return FALSE;
    case WM_ACTIVATE:
        if (capture_pending == 1 && LOWORD(wparam) == WA_INACTIVE) finish_capture(dialog);
        return TRUE; // no focus saving and restoring by the dialog manager
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lparam);
        if (header->idFrom == IDC_RULE_LIST) {
            if (header->code == LVN_ITEMCHANGED)
                on_item_changed(dialog, reinterpret_cast<NMLISTVIEW*>(lparam));
            else if (header->code == LVN_COLUMNCLICK)
                on_column_click(dialog, reinterpret_cast<NMLISTVIEW*>(lparam));
        }
        return TRUE;
    }
    case WM_COMMAND: return on_command(dialog, LOWORD(wparam)) ? TRUE : FALSE;
    default: return FALSE;
    }
}

void reset_rule_sort_directions() {
    for (uint8_t& flag : column_ascending)
        flag = 0;
}
