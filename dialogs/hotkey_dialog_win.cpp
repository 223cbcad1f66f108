// The hotkey dialog (HOTKEYDLG). The user does not type the combination:
// while the read-only field has the focus, a 100 ms timer polls the keyboard
// and shows what is held (dialogs/hotkey_text.h has the rules). The field is
// subclassed so that it never shows a caret and repaints in its focus colour.
#include <windows.h>

#include "dialogs/dialogs.h"
#include "dialogs/hotkey_dialog.h"
#include "dialogs/hotkey_text.h"
#include "resources/resource.h"
#include "settings/settings.h"

namespace {

constexpr UINT_PTR TIMER_KEY_POLL = 1;
constexpr UINT kKeyPollPeriod = 100;

Settings* edited = nullptr; // the caller's copy of the settings
HWND hotkey_edit = nullptr;
WNDPROC hotkey_edit_prev_proc = nullptr;
PolledKeys last_keys = {0, 0};
HBRUSH idle_brush = nullptr;
HBRUSH focus_brush = nullptr;

bool async_key_pressed(int vk, void*) {
    return GetAsyncKeyState(vk) != 0;
}

HotkeyKeyQuery key_query = async_key_pressed;
void* key_query_context = nullptr;

void init_hotkey(HWND dialog, LPARAM record) {
    edited = reinterpret_cast<Settings*>(record);
    char text[kHotkeyTextSize];
    format_hotkey_text(edited->hotkey, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_HOTKEY_FIELD, text);
    last_keys = {0, 0};

    hotkey_edit = GetDlgItem(dialog, IDC_HOTKEY_FIELD);
    hotkey_edit_prev_proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hotkey_edit, GWLP_WNDPROC));
    SetWindowLongPtrA(hotkey_edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hotkey_edit_proc));

    idle_brush = GetSysColorBrush(COLOR_WINDOW);
    focus_brush = GetSysColorBrush(COLOR_INFOBK);
    SetFocus(hotkey_edit);
    SetTimer(dialog, TIMER_KEY_POLL, kKeyPollPeriod, nullptr);
}

void poll_keys(HWND dialog) {
    PolledKeys now = poll_hotkey_keys(key_query, key_query_context);
    // Keys held while another control has the focus are not recorded.
    if (GetFocus() != GetDlgItem(dialog, IDC_HOTKEY_FIELD)) return;
    char text[kHotkeyTextSize];
    if (polled_hotkey_text(now, last_keys, text, sizeof text))
        SetDlgItemTextA(dialog, IDC_HOTKEY_FIELD, text);
    last_keys = now;
}

void store_hotkey(HWND dialog) {
    char text[kHotkeyTextSize] = "";
    GetDlgItemTextA(dialog, IDC_HOTKEY_FIELD, text, sizeof text);
    edited->hotkey = parse_hotkey_text(text);
}

} // namespace

void set_hotkey_key_query(HotkeyKeyQuery query, void* context) {
    key_query = query ? query : async_key_pressed;
    key_query_context = query ? context : nullptr;
}

LRESULT CALLBACK hotkey_edit_proc(HWND field, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS) {
        // Swallowed, so the edit never creates its caret; the repaint picks
        // up the colour of the new focus state.
        InvalidateRect(field, nullptr, TRUE);
        return 0;
    }
    return CallWindowProcA(hotkey_edit_prev_proc, field, message, wparam, lparam);
}

INT_PTR CALLBACK hotkey_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_INITDIALOG: init_hotkey(dialog, lparam); return FALSE;
    case WM_TIMER: poll_keys(dialog); return TRUE;
    case WM_DESTROY: KillTimer(dialog, TIMER_KEY_POLL); return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lparam) != GetDlgItem(dialog, IDC_HOTKEY_FIELD)) return FALSE;
        SetBkMode(reinterpret_cast<HDC>(wparam), TRANSPARENT);
        return reinterpret_cast<INT_PTR>(GetFocus() == reinterpret_cast<HWND>(lparam) ? focus_brush
                                                                                      : idle_brush);
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK:
            store_hotkey(dialog);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}
