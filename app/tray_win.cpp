// The notification-area icon: added at start-up and after the shell
// restarts, removed at teardown, and its clicks.
#include <windows.h>
#include <shellapi.h>
#include <cstring>
#include "app/loupe_window.h"
#include "app/tray.h"
#include "engine/modal.h"
#include "engine/presence.h"
#include "engine/tick.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "resources/texts.h"

// The shell broadcasts this message when it restarts; its number is known
// only at run time, and is registered before the entry point runs.
static UINT taskbar_created_msg = 0;   // the shell's restart broadcast
static HICON tray_icon = nullptr;      // the icon shown in the notification area
static NOTIFYICONDATAA tray_data = {}; // the tray icon as last added

void register_taskbar_created() {
    taskbar_created_msg = RegisterWindowMessageA("TaskbarCreated");
}

UINT taskbar_created_message() {
    return taskbar_created_msg;
}

HICON tray_icon_image() {
    return tray_icon;
}

// Our one icon in the notification area.
constexpr UINT kTrayIconId = 1;

static const bool taskbar_created_registered = (register_taskbar_created(), true);

void add_tray_icon(HWND loupe) {
    // Only the latest icon is destroyed at teardown: free the one before.
    if (tray_icon) DestroyIcon(tray_icon);
    // At the system's small-icon size (20, 24, 32 ... pixels at 125-200 %),
    // so the shell shows it crisp instead of scaling a 16 x 16 image.
    tray_icon = static_cast<HICON>(LoadImageA(startup.instance_handle, IDI_APP_ICON, IMAGE_ICON,
                                              system_metric(SM_CXSMICON),
                                              system_metric(SM_CYSMICON), LR_DEFAULTCOLOR));
    std::memset(&tray_data, 0, sizeof(tray_data));
    tray_data.cbSize = NOTIFYICONDATAA_V1_SIZE; // 88 bytes: the oldest form every shell reads
    tray_data.hWnd = loupe;
    tray_data.uID = kTrayIconId;
    tray_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray_data.uCallbackMessage = WM_TRAY_NOTIFY;
    tray_data.hIcon = tray_icon;
    std::strcpy(tray_data.szTip, texts::kAppName);
    Shell_NotifyIconA(NIM_ADD, &tray_data);
}

void remove_tray_icon() {
    Shell_NotifyIconA(NIM_DELETE, &tray_data);
    DestroyIcon(tray_icon);
    tray_icon = nullptr;
}

static void open_tray_menu(HWND loupe) {
    ModalScope scope = enter_modal(loupe, true);
    Sleep(1);
    // Foreground first, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(tray_data.hWnd);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(handles.popup_menu, 0, cursor.x, cursor.y, 0, loupe, nullptr);
    leave_modal(loupe, scope);
    // Lets the next tray menu open and close properly.
    PostMessageA(loupe, WM_NULL, 0, 0);
}

void on_tray_notify(HWND loupe, WPARAM, LPARAM lparam) {
    const UINT mouse = static_cast<UINT>(lparam);
    if (modal_depth > 0) {
        // Nothing may run inside an open dialog, message box or menu of
        // ours: no second dialog, no exit, no tick restarted in its loop.
        if (mouse == WM_LBUTTONUP || mouse == WM_RBUTTONUP) bring_modal_to_front(loupe);
        return;
    }
    switch (mouse) {
    case WM_LBUTTONUP:
        if (settings.visible == kVisibleToggle) {
            toggle_loupe(loupe);
        } else if (settings.visible == kVisibleShown) {
            start_tracking(loupe); // resumes after a double click stopped it
        }
        break;
    case WM_RBUTTONUP: open_tray_menu(loupe); break;
    default: break;
    }
}
