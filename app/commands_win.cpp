// The popup menu's commands. A switch changes its setting (and through the
// settings-change path its check mark) at once; nothing is saved until "終了"
// or a dialog confirmed with OK.
#include <windows.h>
#include <shellapi.h>
#include "app/commands.h"
#include "app/loupe_window.h"
#include "app/settings_change.h"
#include "dialogs/dialogs.h"
#include "engine/capture.h"
#include "engine/clipboard.h"
#include "engine/colour_copy.h"
#include "engine/freeze_control.h"
#include "engine/modal.h"
#include "engine/presence.h"
#include "engine/shape.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "settings/settings.h"

// A short pause after a dialog closes, before the tick runs again (ms).
constexpr DWORD kAfterDialogPause = 10;

// A switch of the menu: the setting flipped on a copy, then the one path
// that brings everything else (its check mark among it) in line.
static void toggle_setting(HWND loupe, int32_t Settings::*setting) {
    Settings changed = settings;
    changed.*setting = changed.*setting != 0 ? 0 : 1;
    apply_settings(loupe, changed, SettingsSource::Menu);
}

static void set_visibility_type(HWND loupe, int32_t visible) {
    Settings changed = settings;
    changed.visible = visible;
    apply_settings(loupe, changed, SettingsSource::Menu);
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
    Settings edited = settings; // the dialogs edit a copy
    INT_PTR result = 0;
    switch (command) {
    case IDM_OPTIONS:
        result = run_options_dialog(loupe, &edited);
        if (result == IDOK) apply_settings(loupe, edited, SettingsSource::Options);
        break;
    case IDM_HOTKEY:
        result = DialogBoxParamA(startup.instance_handle, IDD_HOTKEY, loupe, hotkey_dialog_proc,
                                 reinterpret_cast<LPARAM>(&edited));
        if (result == IDOK) apply_settings(loupe, edited, SettingsSource::Hotkey);
        break;
    case IDM_WINDOW_RULES:
        result = DialogBoxParamA(startup.instance_handle, IDD_WINDOW_RULES, loupe,
                                 target_dialog_proc, 0);
        break;
    case IDM_ABOUT:
        DialogBoxParamA(startup.instance_handle, IDD_ABOUT, loupe, about_dialog_proc, 0);
        break;
    default: break;
    }
    if (command != IDM_ABOUT) {
        if (result == IDOK) save_settings();
        Sleep(kAfterDialogPause);
    }
    leave_modal(loupe, scope);
}

// The shell may show a window of its own on our thread (a security prompt
// for a downloaded help file, an "Open with" box): it is guarded as a dialog.
static void open_help(HWND loupe) {
    if (modal_already_open(loupe)) return;
    ModalScope scope = enter_modal(loupe, true);
    shell_open(loupe, nullptr, startup.help_path, nullptr, nullptr, SW_SHOW);
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
    case IDM_LOUPE_MODE: toggle_setting(loupe, &Settings::loupe); return true;
    case IDM_POINT_INFO: toggle_setting(loupe, &Settings::ttdisp); return true;
    case IDM_VISIBLE_SHOWN:
        set_visibility_type(loupe, kVisibleShown);
        show_loupe(loupe, 1);
        want_loupe(1);
        return true;
    case IDM_VISIBLE_HIDDEN: // the tick hides the loupe on its next run
        set_visibility_type(loupe, kVisibleHidden);
        want_loupe(0);
        return true;
    case IDM_VISIBLE_TOGGLE: set_visibility_type(loupe, kVisibleToggle); return true;
    case IDM_HELP: open_help(loupe); return true;
    case IDM_MARKER: toggle_setting(loupe, &Settings::marker); return true;
    case IDM_PIXEL_GRID: toggle_setting(loupe, &Settings::grid); return true;
    case IDM_FREEZE: end_freeze_on(loupe, FREEZE_MENU_ITEM); return true;
    case IDM_CLICK_THROUGH: toggle_setting(loupe, &Settings::addhole); return true;
    // Gray needs the source buffer, which smoothing may already hold.
    case IDM_GRAY: toggle_setting(loupe, &Settings::graybmp); return true;
    case IDM_INVERT: toggle_setting(loupe, &Settings::invertbmp); return true;
    case IDM_USE_RULES: toggle_setting(loupe, &Settings::winset); return true;
    case IDM_FOLLOW_CARET: toggle_setting(loupe, &Settings::caret); return true;
    case IDM_COPY_IMAGE: copy_image_to_clipboard(loupe); return true;
    case IDM_COPY_COLOUR: copy_colour_to_clipboard(loupe); return true;
    default: return false;
    }
}
