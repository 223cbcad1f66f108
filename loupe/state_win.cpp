// Definitions of the loupe window's runtime state, with the values it has
// before the entry point runs.
#include "loupe/state.h"

HINSTANCE instance_handle = nullptr;
HANDLE single_instance_mutex = nullptr;
char help_path[kAnsiPathBytes] = "";
SIZE screen_size = {0, 0};
RECT virtual_screen = {0, 0, 0, 0};
int(WINAPI* system_metric)(int index) = GetSystemMetrics;
BOOL(WINAPI* read_cursor_pos)(POINT* point) = GetCursorPos;
int layered_supported = 0;
HWND loupe_hwnd = nullptr;

int loupe_shown = 0;
int toggle_on = 0;
int first_tick = 1;
int tip_active = 0;
double loupe_distance = 0.0;
BYTE snapshot_mode = 0;
POINT last_cursor_pos = {-1, -1};
bool full_refresh_due = false;
int modal_depth = 0;

HPEN light_frame_pen = nullptr;
HPEN gray_frame_pen = nullptr;
HPEN light_round_pen = nullptr;
HPEN dark_round_pen = nullptr;

HMENU menu_resource = nullptr;
HMENU popup_menu = nullptr;

int still_ticks = -1;
BYTE toggle_latch = 0;
BYTE copy_latch = 0;
int tip_height = 0;
POINT capture_origin = {0, 0};

HWND tooltip_hwnd = nullptr;
UINT taskbar_created_msg = 0;
HICON tray_icon = nullptr;
NOTIFYICONDATAA tray_data = {};
TOOLINFOA tool_info = {};

void read_screen_metrics() {
    screen_size.cx = system_metric(SM_CXSCREEN);
    screen_size.cy = system_metric(SM_CYSCREEN);
    virtual_screen.left = system_metric(SM_XVIRTUALSCREEN);
    virtual_screen.top = system_metric(SM_YVIRTUALSCREEN);
    virtual_screen.right = virtual_screen.left + system_metric(SM_CXVIRTUALSCREEN);
    virtual_screen.bottom = virtual_screen.top + system_metric(SM_CYVIRTUALSCREEN);
}
