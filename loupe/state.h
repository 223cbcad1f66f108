// The loupe's runtime state: the values and handles the window procedure,
// the menu commands, the tracking tick, the renderer and the dialogs share. Process-wide and never
// saved; one GUI thread touches it, so nothing is locked. The work buffers are in loupe/buffers.h,
// the rules that follow from the capture settings in loupe/capture_mode.h.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "loupe/capture_mode.h"
#include "settings/settings.h"

// Timers owned by the loupe window.
constexpr UINT_PTR TIMER_TRACK = 11;   // the tracking tick, every `interval` ms
constexpr UINT_PTR TIMER_TRIM = 101;   // one-shot working-set trim after start-up
constexpr UINT_PTR TIMER_RESHOW = 102; // re-show after the held button is released
constexpr UINT_PTR TIMER_CLICK = 513;  // single click that did not become a double click

// Tray icon callback message.
constexpr UINT WM_TRAY_NOTIFY = WM_USER + 10;
static_assert(WM_TRAY_NOTIFY == 1034, "the tray callback message is fixed");

// Each group below has one owner that writes it, named with the group;
// everyone else reads it or calls the owner. Tests reset a group with one
// assignment (`presence = {};`).

// What the entry point found before the window exists. Owner: the entry
// point (app/main_win.cpp).
struct StartupState {
    HINSTANCE instance_handle = nullptr; // this module: resources, dialogs, window class
    char help_path[kAnsiPathBytes] = ""; // brisvane.chm beside the executable
    int layered_supported = 0;           // 1 where layered windows exist (Windows 2000 on)
};
extern StartupState startup;

// The screen and where the loupe stands in it. Owners: read_screen_metrics
// below (the screen, at start-up and on every display change) and the
// settings-change path (app/settings_change.h: distance and snapshot mode).
struct Geometry {
    SIZE screen_size = {0, 0};          // the primary monitor, the fallback monitor of the tick
    RECT virtual_screen = {0, 0, 0, 0}; // all monitors: what a capture may copy, a snapshot holds
    double loupe_distance = 0.0;        // cursor to loupe centre in normal mode, pixels
    BYTE snapshot_mode = 0;             // 1: magnifying-glass mode pans a snapshot of the screen
};
extern Geometry geometry;
// Where the geometry is read from: GetSystemMetrics, or a stand-in in tests
// (a display change cannot be made under test).
extern int(WINAPI* system_metric)(int index);
// Where the tick reads the cursor from: GetCursorPos, or a stand-in in tests
// (a locked session cannot be made under test).
extern BOOL(WINAPI* read_cursor_pos)(POINT* point);
// Reads geometry.screen_size and geometry.virtual_screen through system_metric.
void read_screen_metrics();

// Whether the loupe is wanted and shown. Owner: engine/presence.h.
struct Presence {
    int loupe_shown = 0; // the loupe is visible now
    int toggle_on = 0;   // the toggle hotkey's state: the loupe is wanted
    int tip_active = 0;  // the pixel-information tooltip is tracking
};
extern Presence presence;

// Our dialogs, message boxes and popup menus open now (nested). Owner: the
// modal guard (engine/modal.h).
extern int modal_depth;

// What the tracking tick remembers from one tick to the next. Owner: the
// tick (engine/tick.h).
struct TickMemory {
    int first_tick = 1;               // the next tick is the first: it decides the start-up show
    POINT last_cursor_pos = {-1, -1}; // the cursor at the last full refresh
    bool full_refresh_due = false;    // the next tick refreshes as if the cursor had moved
    int still_ticks = -1;             // ticks the cursor has rested; -1 before the first refresh
    BYTE toggle_latch = 0;            // the hotkey already seen held in this press
    BYTE copy_latch = 0;              // Ctrl+PrintScreen already seen held in this press
    int tip_height = 0;               // the tooltip's height at the last placement
    POINT capture_origin = {0, 0};    // screen point of the capture block's first area pixel
    POINT tip_anchor = {0, 0};        // loupe x and tooltip y of the last placement
};
extern TickMemory tick_memory;

// What the loupe window builds at creation and releases at teardown.
// Owner: app/setup_win.cpp.
struct LoupeHandles {
    HWND loupe_hwnd = nullptr;      // the loupe window, once WM_CREATE has run
    HPEN light_frame_pen = nullptr; // rectangular frame, light side
    HPEN gray_frame_pen = nullptr;  // rectangular frame, shaded side
    HPEN light_round_pen = nullptr; // round frame, inner ring
    HPEN dark_round_pen = nullptr;  // round frame, outer ring
    HMENU menu_resource = nullptr;  // the loaded POPMENU resource
    HMENU popup_menu = nullptr;     // its first submenu: the tray and right-click menu
};
extern LoupeHandles handles;

// The pixel-information tooltip. Owner: its window (app/tooltip_window.h).
struct TooltipState {
    HWND tooltip_hwnd = nullptr; // null when it could not be made
    TOOLINFOA tool_info = {};    // its one tool
};
extern TooltipState tooltip_state;

// The capture rules applied to the state as it is now.
// The capture buffer holds a snapshot of the virtual screen.
inline bool capture_is_snapshot() {
    return capture_is_snapshot(settings.loupe, geometry.snapshot_mode);
}
// A live copy of the screen does not hold the (layered) loupe.
inline bool live_copy_leaves_loupe_out() {
    return live_copy_leaves_loupe_out(startup.layered_supported, settings.layered);
}
