// The options dialog (OPTDLG): the general settings. The controls are filled
// from the caller's copy of the settings when the dialog opens and written
// back into that copy only on OK; the caller applies it to the running loupe.
#include <windows.h>
#include <commctrl.h>

#include "dialogs/dialogs.h"
#include "dialogs/options_dialog.h"
#include "dialogs/options_logic.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/settings.h"

namespace {

Settings* edited = nullptr; // the caller's copy of the settings

UINT field_value(HWND dialog, int id) {
    return GetDlgItemInt(dialog, id, nullptr, FALSE);
}

void show_value(HWND dialog, int id, int32_t value) {
    SetDlgItemInt(dialog, id, static_cast<UINT>(value), FALSE);
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// Where the live copy leaves the loupe out, the snapshot/peep choice means
// nothing: that copy is used whatever the choice.
void enable_loupe_type_buttons(HWND dialog, int32_t layered) {
    BOOL enable = !live_copy_leaves_loupe_out(startup.layered_supported, layered);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_SNAPSHOT), enable);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_PEEP), enable);
}

void init_options(HWND dialog, LPARAM record) {
    edited = reinterpret_cast<Settings*>(record);
    show_value(dialog, IDC_OPT_MAGNIFY, edited->magnify);
    show_value(dialog, IDC_OPT_DISTANCE, edited->position.x);
    show_value(dialog, IDC_OPT_ANGLE, edited->position.y);

    show_value(dialog, IDC_OPT_WIDTH, edited->size.x);
    narrow_spin(GetDlgItem(dialog, IDC_OPT_WIDTH_SPIN), 1);
    show_value(dialog, IDC_OPT_HEIGHT, edited->size.y);
    narrow_spin(GetDlgItem(dialog, IDC_OPT_HEIGHT_SPIN), 1);

    HWND smooth = GetDlgItem(dialog, IDC_OPT_SMOOTH);
    for (const char* name : texts::kSmoothNames)
        SendMessageA(smooth, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    SendMessageA(smooth, CB_SETCURSEL, static_cast<WPARAM>(edited->smooth), 0);

    show_value(dialog, IDC_OPT_WHEEL_STEP, edited->waddjust);
    narrow_spin(GetDlgItem(dialog, IDC_OPT_WHEEL_STEP_SPIN), 1);
    apply_wheel_step_enable(dialog, edited->smooth);

    if (edited->maruwin.x != 0) CheckDlgButton(dialog, IDC_OPT_ROUND_NORMAL, BST_CHECKED);
    if (edited->maruwin.y != 0) CheckDlgButton(dialog, IDC_OPT_ROUND_LOUPE, BST_CHECKED);
    CheckDlgButton(dialog, edited->loupetype != 0 ? IDC_OPT_PEEP : IDC_OPT_SNAPSHOT, BST_CHECKED);

    // Layered capture exists only where the system can do it.
    if (startup.layered_supported == 0) {
        EnableWindow(GetDlgItem(dialog, IDC_OPT_LAYERED), FALSE);
    } else if (edited->layered != 0) {
        CheckDlgButton(dialog, IDC_OPT_LAYERED, BST_CHECKED);
    }
    enable_loupe_type_buttons(dialog, edited->layered);

    narrow_spin(GetDlgItem(dialog, IDC_OPT_MAGNIFY_SPIN), 100);
    narrow_spin(GetDlgItem(dialog, IDC_OPT_DISTANCE_SPIN), 1);
    narrow_spin(GetDlgItem(dialog, IDC_OPT_ANGLE_SPIN), 0);

    if (edited->toggledef != 0) CheckDlgButton(dialog, IDC_OPT_TOGGLEDEF, BST_CHECKED);
    if (edited->hexcolor != 0) CheckDlgButton(dialog, IDC_OPT_HEXCOLOR, BST_CHECKED);
}

// OK: every field back into the record, in the dialog's fixed order.
void store_options(HWND dialog) {
    edited->size.x = static_cast<int32_t>(field_value(dialog, IDC_OPT_WIDTH) | 1);
    edited->size.y = static_cast<int32_t>(field_value(dialog, IDC_OPT_HEIGHT) | 1);
    edited->magnify = static_cast<int32_t>(field_value(dialog, IDC_OPT_MAGNIFY));
    edited->position.x = static_cast<int32_t>(field_value(dialog, IDC_OPT_DISTANCE));
    edited->position.y = static_cast<int32_t>(field_value(dialog, IDC_OPT_ANGLE));
    edited->loupetype = checked(dialog, IDC_OPT_SNAPSHOT) ? 0 : 1;
    edited->layered = checked(dialog, IDC_OPT_LAYERED) ? 1 : 0;
    edited->toggledef = checked(dialog, IDC_OPT_TOGGLEDEF) ? 1 : 0;
    // No selection (a smoothing mode the box has no item for) keeps the mode.
    LRESULT smooth = SendDlgItemMessageA(dialog, IDC_OPT_SMOOTH, CB_GETCURSEL, 0, 0);
    if (smooth != CB_ERR) edited->smooth = static_cast<int32_t>(smooth);
    edited->waddjust = static_cast<int32_t>(field_value(dialog, IDC_OPT_WHEEL_STEP));
    edited->maruwin.x = checked(dialog, IDC_OPT_ROUND_NORMAL) ? 1 : 0;
    edited->maruwin.y = checked(dialog, IDC_OPT_ROUND_LOUPE) ? 1 : 0;
    edited->hexcolor = checked(dialog, IDC_OPT_HEXCOLOR) ? 1 : 0;
}

// The width and height arrows have no buddy integer: they step their edit by
// two, keeping it odd, whatever the arrow's own (unused) position says.
bool step_size_field(HWND dialog, const NMUPDOWN* change) {
    int edit;
    if (change->hdr.idFrom == IDC_OPT_WIDTH_SPIN)
        edit = IDC_OPT_WIDTH;
    else if (change->hdr.idFrom == IDC_OPT_HEIGHT_SPIN)
        edit = IDC_OPT_HEIGHT;
    else
        return false;
    SetDlgItemInt(dialog, edit, step_odd_value(field_value(dialog, edit), change->iDelta), FALSE);
    return true;
}

void on_command(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_OPT_LAYERED:
        enable_loupe_type_buttons(dialog, checked(dialog, IDC_OPT_LAYERED) ? 1 : 0);
        break;
    case IDC_OPT_SMOOTH:
        if (code == CBN_SELCHANGE) {
            apply_wheel_step_enable(dialog, static_cast<int>(SendDlgItemMessageA(
                                                dialog, IDC_OPT_SMOOTH, CB_GETCURSEL, 0, 0)));
        }
        break;
    case IDOK:
        store_options(dialog);
        EndDialog(dialog, IDOK);
        break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break;
    default: break;
    }
}

} // namespace

void narrow_spin(HWND spin, int low) {
    RECT rect;
    GetWindowRect(spin, &rect);
    int width = (rect.right - rect.left) * 3 / 4;
    SetWindowPos(spin, nullptr, 0, 0, width, rect.bottom - rect.top, SWP_NOZORDER | SWP_NOMOVE);
    SendMessageA(spin, UDM_SETRANGE32, static_cast<WPARAM>(low), kOptionsFieldMax);
}

void apply_wheel_step_enable(HWND dialog, int smooth_index) {
    BOOL enable = smooth_index != kSmoothNone;
    EnableWindow(GetDlgItem(dialog, IDC_OPT_WHEEL_STEP), enable);
    EnableWindow(GetDlgItem(dialog, IDC_OPT_WHEEL_STEP_SPIN), enable);
}

INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: init_options(dialog, lparam); return FALSE;
    case WM_COMMAND: on_command(dialog, LOWORD(wparam), HIWORD(wparam)); return FALSE;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lparam);
        if (header->code == UDN_DELTAPOS)
            step_size_field(dialog, reinterpret_cast<const NMUPDOWN*>(lparam));
        return FALSE; // the arrow may move its own position too
    }
    default: return FALSE;
    }
}

INT_PTR run_options_dialog(HWND loupe, Settings* edited_settings) {
    INT_PTR result =
        DialogBoxParamA(startup.instance_handle, IDD_OPTIONS, loupe, options_dialog_proc,
                        reinterpret_cast<LPARAM>(edited_settings));
    // The dialog's own bounds: typed sizes and zooms within what can be made.
    if (result == IDOK) clamp_options(edited_settings);
    return result;
}
