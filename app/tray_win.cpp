// The notification-area icon, the pixel-information tooltip window and the
// teardown of everything the loupe window built.
#include <windows.h>
#include <shellapi.h>
#include <cstring>
#include "app/loupe_window.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/modal.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/resource.h"
#include "resources/texts.h"

// The shell broadcasts this message when it restarts; its number is known
// only at run time, and is registered before the entry point runs.
void register_taskbar_created() {
    taskbar_created_msg = RegisterWindowMessageA("TaskbarCreated");
}

static const bool taskbar_created_registered = (register_taskbar_created(), true);

// Our one icon in the notification area.
constexpr UINT kTrayIconId = 1;
// The tooltip is created above the top of the screen, out of sight until it
// tracks.
constexpr int kTooltipCreatedY = -40;

void add_tray_icon(HWND loupe) {
    // Only the latest icon is destroyed at teardown: free the one before.
    if (tray_icon) DestroyIcon(tray_icon);
    // At the system's small-icon size (20, 24, 32 ... pixels at 125-200 %),
    // so the shell shows it crisp instead of scaling a 16 x 16 image.
    tray_icon = static_cast<HICON>(LoadImageA(instance_handle, IDI_APP_ICON, IMAGE_ICON,
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
}

HWND create_tooltip(HWND loupe) {
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, kTooltipCreatedY, CW_USEDEFAULT,
                        CW_USEDEFAULT, nullptr, nullptr, instance_handle, nullptr);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    std::memset(&tool_info, 0, sizeof(tool_info));
    tool_info.cbSize = TTTOOLINFOA_V2_SIZE; // 44 bytes, through lParam
    tool_info.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool_info.hwnd = loupe;
    tool_info.uId = reinterpret_cast<UINT_PTR>(loupe);
    tool_info.hinst = instance_handle;
    tool_info.lpszText = const_cast<char*>(texts::kTooltipInitial); // copied, never written
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool_info))) {
        // Owned by the loupe and guarded like every modal window of ours: the
        // tray icon already exists and answers while the box is open.
        ModalScope scope = enter_modal(loupe, false);
        show_message_box(loupe, texts::kTooltipFailed, texts::kAppName, MB_OK);
        leave_modal(loupe, scope);
        // Without a tooltip the program goes on; no window is left behind.
        if (tooltip) DestroyWindow(tooltip);
        return nullptr;
    }
    SendMessageA(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(0, 0));
    SendMessageA(tooltip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool_info));
    return tooltip;
}

static void open_tray_menu(HWND loupe) {
    ModalScope scope = enter_modal(loupe, true);
    Sleep(1);
    // Foreground first, or the menu does not close when the user clicks elsewhere.
    SetForegroundWindow(tray_data.hWnd);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(popup_menu, 0, cursor.x, cursor.y, 0, loupe, nullptr);
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
            show_loupe(loupe, loupe_shown ? 0 : 1);
            toggle_on = toggle_on ? 0 : 1;
        } else if (settings.visible == kVisibleShown) {
            start_tracking(loupe); // resumes after a double click stopped it
        }
        break;
    case WM_RBUTTONUP: open_tray_menu(loupe); break;
    default: break;
    }
}

void release_resources(HWND loupe) {
    stop_tracking(loupe);
    DeleteObject(light_frame_pen);
    DeleteObject(gray_frame_pen);
    DestroyMenu(popup_menu);
    DestroyMenu(menu_resource);
    release_work_buffers();
    DeleteObject(light_round_pen);
    DeleteObject(dark_round_pen);
    remove_tray_icon();
    DestroyIcon(tray_icon);
    // The cursor is visible after exit whatever mode the loupe was in.
    loupe_shown = 0;
    apply_cursor_rule();
    // Released and closed: while a handle stays open the name exists, and a
    // copy started before this process has quite ended would be refused.
    if (single_instance_mutex) {
        ReleaseMutex(single_instance_mutex);
        CloseHandle(single_instance_mutex);
        single_instance_mutex = nullptr;
    }

    // Nothing may point at the freed objects afterwards.
    light_frame_pen = gray_frame_pen = light_round_pen = dark_round_pen = nullptr;
    popup_menu = menu_resource = nullptr;
    tray_icon = nullptr;
}
