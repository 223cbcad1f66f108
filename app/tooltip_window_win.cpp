// The pixel-information tooltip: one tracking tool on the loupe, positioned
// by the tick beside the loupe.
#include "app/tooltip_window.h"

#include <commctrl.h>
#include <cstring>

#include "engine/modal.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/texts.h"

static char initial_tip_text[] = "(...)";

HWND create_tooltip(HWND loupe) {
    INITCOMMONCONTROLSEX controls = {sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND tooltip = CreateWindowExA(0, "tooltips_class32", nullptr, WS_POPUP, 0, -40, CW_USEDEFAULT,
                                   CW_USEDEFAULT, nullptr, nullptr, instance_handle, nullptr);
    SetWindowPos(tooltip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    std::memset(&tool_info, 0, sizeof(tool_info));
    tool_info.cbSize = TTTOOLINFOA_V2_SIZE; // 44 bytes, through lParam
    tool_info.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool_info.hwnd = loupe;
    tool_info.uId = reinterpret_cast<UINT_PTR>(loupe);
    tool_info.hinst = instance_handle;
    tool_info.lpszText = initial_tip_text;
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

void destroy_tooltip() {
    if (tooltip_hwnd) DestroyWindow(tooltip_hwnd);
    tooltip_hwnd = nullptr;
}
