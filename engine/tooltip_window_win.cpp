// The pixel-information tooltip: one tracking tool on the loupe, positioned
// by the tick beside the loupe. The one owner of tooltip_state.
#include "engine/tooltip_window.h"

#include <commctrl.h>

#include "engine/modal.h"
#include "engine/placement.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/texts.h"

// Created above the top of the screen, out of sight until it tracks.
constexpr int kCreatedY = -40;

static LPARAM tool() {
    return reinterpret_cast<LPARAM>(&tooltip_state.tool_info);
}

void create_tooltip(HWND loupe) {
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND tooltip =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, 0, kCreatedY, CW_USEDEFAULT,
                        CW_USEDEFAULT, nullptr, nullptr, startup.instance_handle, nullptr);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    TOOLINFOA& info = tooltip_state.tool_info;
    info = {};
    info.cbSize = TTTOOLINFOA_V2_SIZE; // 44 bytes, through lParam
    info.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    info.hwnd = loupe;
    info.uId = reinterpret_cast<UINT_PTR>(loupe);
    info.hinst = startup.instance_handle;
    info.lpszText = const_cast<char*>(texts::kTooltipInitial); // copied, never written
    if (!SendMessageA(tooltip, TTM_ADDTOOLA, 0, tool())) {
        // Owned by the loupe and guarded like every modal window of ours: the
        // tray icon already exists and answers while the box is open.
        ModalScope scope = enter_modal(loupe, false);
        show_message_box(loupe, texts::kTooltipFailed, texts::kAppName, MB_OK);
        leave_modal(loupe, scope);
        // Without a tooltip the program goes on; no window is left behind.
        if (tooltip) DestroyWindow(tooltip);
        tooltip_state.tooltip_hwnd = nullptr;
        return;
    }
    SendMessageA(tooltip, TTM_TRACKPOSITION, 0, MAKELPARAM(0, 0));
    SendMessageA(tooltip, TTM_TRACKACTIVATE, FALSE, tool());
    tooltip_state.tooltip_hwnd = tooltip;
}

void destroy_tooltip() {
    if (tooltip_state.tooltip_hwnd) DestroyWindow(tooltip_state.tooltip_hwnd);
    tooltip_state.tooltip_hwnd = nullptr;
}

void track_tooltip(int active) {
    if (tooltip_state.tooltip_hwnd)
        SendMessageA(tooltip_state.tooltip_hwnd, TTM_TRACKACTIVATE, WPARAM(active), tool());
}

void set_tooltip_text(char* text) {
    // The control copies the text during the call; the pointer is not kept.
    tooltip_state.tool_info.lpszText = text;
    SendMessageA(tooltip_state.tooltip_hwnd, TTM_SETTOOLINFOA, 0, tool());
    tooltip_state.tool_info.lpszText = nullptr;
}

void move_tooltip(int x, int y) {
    SendMessageA(tooltip_state.tooltip_hwnd, TTM_TRACKPOSITION, 0,
                 static_cast<LPARAM>(tooltip_track_position(x, y)));
}
