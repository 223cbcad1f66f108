// The loupe's runtime state: every value and handle the window procedure,
// the menu commands, the tray, the tracking tick, the renderer and the
// dialogs share. Process-wide and never saved; one GUI thread touches it, so
// nothing is locked. The work buffers are in loupe/buffers.h, the rules that
// follow from the capture settings in loupe/capture_mode.h.
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

// Start-up (entry point).
extern HINSTANCE instance_handle;      // this module: resources, dialogs, window class
extern HANDLE single_instance_mutex;   // held while this copy runs, named after the class
extern char help_path[kAnsiPathBytes]; // brisvane.chm beside the executable
extern int layered_supported;          // 1 where layered windows exist (Windows 2000 on)
extern HWND loupe_hwnd;                // the loupe window, once WM_CREATE has run

// Screen geometry, read at start-up and on every display change.
extern SIZE screen_size;    // the primary monitor, the fallback monitor of the tick
extern RECT virtual_screen; // all monitors: what a capture may copy, what a snapshot holds
// Where the geometry is read from: GetSystemMetrics, or a stand-in in tests
// (a display change cannot be made under test).
extern int(WINAPI* system_metric)(int index);
// Where the tick reads the cursor from: GetCursorPos, or a stand-in in tests
// (a locked session cannot be made under test).
extern BOOL(WINAPI* read_cursor_pos)(POINT* point);
// Reads screen_size and virtual_screen through system_metric.
void read_screen_metrics();

// Loupe window.
extern int loupe_shown;       // the loupe is visible now
extern int toggle_on;         // the toggle hotkey's state: the loupe is wanted
extern int first_tick;        // the next tick is the first: it decides the start-up show
extern int tip_active;        // the pixel-information tooltip is tracking
extern double loupe_distance; // cursor to loupe centre in normal mode, pixels
extern BYTE snapshot_mode;    // 1: magnifying-glass mode pans a snapshot of the screen
extern POINT last_cursor_pos; // the cursor at the last full refresh
extern bool full_refresh_due; // the next tick refreshes as if the cursor had moved
extern int modal_depth;       // our dialogs, message boxes and popup menus open now (nested)

extern HPEN light_frame_pen; // rectangular frame, light side
extern HPEN gray_frame_pen;  // rectangular frame, shaded side
extern HPEN light_round_pen; // round frame, inner ring
extern HPEN dark_round_pen;  // round frame, outer ring

extern HMENU menu_resource; // the loaded POPMENU resource
extern HMENU popup_menu;    // its first submenu: the tray and right-click menu

// Tracking tick.
extern int still_ticks;      // ticks the cursor has rested; -1 before the first refresh
extern BYTE toggle_latch;    // the hotkey already seen held in this press
extern BYTE copy_latch;      // Ctrl+PrintScreen already seen held in this press
extern int tip_height;       // the tooltip's height at the last placement
extern POINT capture_origin; // screen point of the capture block's first area pixel

// Tray icon and tooltip.
extern HWND tooltip_hwnd;         // the pixel-information tooltip; null when it failed
extern UINT taskbar_created_msg;  // the shell's restart broadcast, registered at load
extern HICON tray_icon;           // the icon shown in the notification area
extern NOTIFYICONDATAA tray_data; // the tray icon as last added
extern TOOLINFOA tool_info;       // the tooltip's one tool

// The capture rules applied to the state as it is now.
// The capture buffer holds a snapshot of the virtual screen.
inline bool capture_is_snapshot() {
    return capture_is_snapshot(settings.loupe, snapshot_mode);
}
// A live copy of the screen does not hold the (layered) loupe.
inline bool live_copy_leaves_loupe_out() {
    return live_copy_leaves_loupe_out(layered_supported, settings.layered);
}
