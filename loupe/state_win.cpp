// Definitions of the loupe window's runtime state, with the values it has
// before the entry point runs.
#include "loupe/state.h"

StartupState startup;
Geometry geometry;
int(WINAPI* system_metric)(int index) = GetSystemMetrics;
BOOL(WINAPI* read_cursor_pos)(POINT* point) = GetCursorPos;
Presence presence;
int modal_depth = 0;
TickMemory tick_memory;
LoupeHandles handles;
TooltipState tooltip_state;

void read_screen_metrics() {
    geometry.screen_size.cx = system_metric(SM_CXSCREEN);
    geometry.screen_size.cy = system_metric(SM_CYSCREEN);
    RECT& screen = geometry.virtual_screen;
    screen.left = system_metric(SM_XVIRTUALSCREEN);
    screen.top = system_metric(SM_YVIRTUALSCREEN);
    screen.right = screen.left + system_metric(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + system_metric(SM_CYVIRTUALSCREEN);
}
