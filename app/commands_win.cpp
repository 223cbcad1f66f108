// The popup menu's commands. A switch changes its setting and its check mark
// at once; nothing is saved until "終了" or a dialog confirmed with OK.
#include <windows.h>
#include <shellapi.h>
#include <initializer_list>
#include "app/commands.h"
#include "app/loupe_window.h"
#include "app/menu_state.h"
#include "dialogs/dialogs.h"
#include "engine/capture.h"
#include "engine/clipboard.h"
#include "engine/modal.h"
#include "engine/shape.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "settings/settings.h"

// A short pause after a dialog closes, before the tick runs again (ms).
constexpr DWORD kAfterDialogPause = 10;

static void check_item(UINT id, bool checked) {
    CheckMenuItem(popup_menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

static void enable_item(UINT id, bool enabled) {
    EnableMenuItem(popup_menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void set_initial_menu_state(HWND loupe) {
    InitialMenuState state = initial_menu_state(settings, layered_supported);
    for (UINT id : {IDM_VISIBLE_SHOWN, IDM_VISIBLE_HIDDEN, IDM_VISIBLE_TOGGLE}) {
        check_item(id, static_cast<int>(id) == state.visibility_item);
    }
    check_item(IDM_POINT_INFO, state.point_info);
    check_item(IDM_LOUPE_MODE, state.loupe_mode);
    check_item(IDM_MARKER, state.marker);
    if (state.click_through_grayed) {
        enable_item(IDM_CLICK_THROUGH, false);
        settings.addhole = 0;
    } else if (state.click_through_checked) {
        check_item(IDM_CLICK_THROUGH, true);
        apply_click_through(loupe);
    }
    check_item(IDM_GRAY, state.gray);
    check_item(IDM_INVERT, state.invert);
    check_item(IDM_USE_RULES, state.use_rules);
}

// Flips a boolean setting and shows the new value in its check mark.
static void toggle_setting(int32_t* setting, UINT id) {
    *setting = *setting != 0 ? 0 : 1;
    check_item(id, *setting != 0);
}

HINSTANCE(WINAPI* shell_open)
(HWND, const char*, const char*, const char*, const char*, INT) = ShellExecuteA;

// One modal window of ours at a time: a command that arrives while one is
// open (posted before it opened, or sent from outside) only brings that one
// forward and opens nothing.
static bool modal_already_open(HWND loupe) {
    if (modal_depth == 0) return false;
    bring_modal_to_front(loupe);
    return true;
}

// The tick must not run inside the dialog's own message loop, and the loupe
// stays hidden while the dialog is open.
static void run_dialog_sequence(HWND loupe, UINT command) {
    if (modal_already_open(loupe)) return;
    ModalScope scope = enter_modal(loupe, true);
    INT_PTR result = 0;
    switch (command) {
    case IDM_OPTIONS: result = run_options_dialog(loupe); break;
    case IDM_HOTKEY:
        result = DialogBoxParamA(instance_handle, IDD_HOTKEY, loupe, hotkey_dialog_proc, 0);
        break;
    case IDM_WINDOW_RULES:
        result = DialogBoxParamA(instance_handle, IDD_WINDOW_RULES, loupe, target_dialog_proc, 0);
        break;
    case IDM_ABOUT: DialogBoxParamA(instance_handle, IDD_ABOUT, loupe, about_dialog_proc, 0); break;
    default: break;
    }
    if (command != IDM_ABOUT) {
        if (result == IDOK) save_settings();
        Sleep(kAfterDialogPause);
    }
    leave_modal(loupe, scope);
}

static void set_visibility_type(int32_t visible) {
    settings.visible = visible;
    check_item(IDM_VISIBLE_SHOWN, visible == kVisibleShown);
    check_item(IDM_VISIBLE_HIDDEN, visible == kVisibleHidden);
    check_item(IDM_VISIBLE_TOGGLE, visible == kVisibleToggle);
}

static void switch_loupe_mode(HWND loupe) {
    if (settings.loupe != 0) {
        check_item(IDM_LOUPE_MODE, false);
        settings.loupe = 0;
        apply_cursor_rule();
        // The item is grayed in normal mode, so its setting must not stay on
        // where the user can no longer switch it off.
        check_item(IDM_CLICK_THROUGH, false);
        enable_item(IDM_CLICK_THROUGH, false);
        settings.addhole = 0;
        apply_click_through(loupe);
        apply_mode_region(loupe);
        return;
    }
    check_item(IDM_LOUPE_MODE, true);
    // Click-through is offered only where the loupe copies the screen
    // directly, as at start-up.
    enable_item(IDM_CLICK_THROUGH, click_through_offered(1, layered_supported, settings.layered));
    settings.loupe = 1;
    apply_cursor_rule(); // hidden only if the loupe is shown
    if (capture_is_snapshot()) {
        int was_shown = loupe_shown;
        show_loupe(loupe, 0);
        fit_work_buffers(BufferRefresh::Anew); // the snapshot size, now that the mode is on
        take_screen_snapshot();
        if (was_shown) show_loupe(loupe, 1);
    }
    apply_mode_region(loupe);
}

// Gray needs the source buffer, which smoothing may already hold.
static void switch_gray() {
    toggle_setting(&settings.graybmp, IDM_GRAY);
    fit_work_buffers(BufferRefresh::KeepCapture);
}

static void switch_point_info() {
    int value;
    if (settings.ttdisp != 0) {
        check_item(IDM_POINT_INFO, false);
        settings.ttdisp = 0;
        value = 0;
    } else {
        check_item(IDM_POINT_INFO, true);
        settings.ttdisp = 1;
        value = loupe_shown;
    }
    tip_active = value;
    SendMessageA(tooltip_hwnd, TTM_TRACKACTIVATE, value, reinterpret_cast<LPARAM>(&tool_info));
}

// The shell may show a window of its own on our thread (a security prompt
// for a downloaded help file, an "Open with" box): it is guarded as a dialog.
static void open_help(HWND loupe) {
    if (modal_already_open(loupe)) return;
    ModalScope scope = enter_modal(loupe, true);
    shell_open(loupe, nullptr, help_path, nullptr, nullptr, SW_SHOW);
    leave_modal(loupe, scope);
}

void close_program(HWND loupe) {
    save_settings();
    DestroyWindow(loupe);
}

bool run_menu_command(HWND loupe, UINT command) {
    switch (command) {
    case IDM_EXIT: close_program(loupe); return true;
    case IDM_OPTIONS:
    case IDM_HOTKEY:
    case IDM_WINDOW_RULES:
    case IDM_ABOUT: run_dialog_sequence(loupe, command); return true;
    case IDM_LOUPE_MODE: switch_loupe_mode(loupe); return true;
    case IDM_POINT_INFO: switch_point_info(); return true;
    case IDM_VISIBLE_SHOWN:
        set_visibility_type(kVisibleShown);
        show_loupe(loupe, 1);
        toggle_on = 1;
        return true;
    case IDM_VISIBLE_HIDDEN: // the tick hides the loupe on its next run
        set_visibility_type(kVisibleHidden);
        toggle_on = 0;
        return true;
    case IDM_VISIBLE_TOGGLE: set_visibility_type(kVisibleToggle); return true;
    case IDM_HELP: open_help(loupe); return true;
    case IDM_MARKER: toggle_setting(&settings.marker, IDM_MARKER); return true;
    case IDM_CLICK_THROUGH:
        toggle_setting(&settings.addhole, IDM_CLICK_THROUGH);
        apply_click_through(loupe);
        return true;
    case IDM_GRAY: switch_gray(); return true;
    case IDM_INVERT: toggle_setting(&settings.invertbmp, IDM_INVERT); return true;
    case IDM_USE_RULES: toggle_setting(&settings.winset, IDM_USE_RULES); return true;
    case IDM_COPY_IMAGE: copy_image_to_clipboard(loupe); return true;
    default: return false;
    }
}
