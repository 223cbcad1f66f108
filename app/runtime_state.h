// Runtime state of the loupe window, shared by the window procedure, the
// menu commands, the tray, the tracking tick, the renderer and the dialogs.
// Process-wide and never saved; one GUI thread touches it, so nothing is locked.
#pragma once
#include <windows.h>
#include <commctrl.h>
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
extern HINSTANCE instance_handle;
extern HANDLE single_instance_mutex;
extern char help_path[260]; // settings_path lives with the settings record
extern SIZE screen_size;
extern RECT virtual_screen;
// Where the screen geometry is read from: GetSystemMetrics, or a stand-in in
// tests (a display change cannot be made under test).
extern int(WINAPI* system_metric)(int index);
extern int layered_supported;
extern HWND loupe_hwnd;

// Loupe window.
extern int loupe_shown;
extern int toggle_on;
extern int first_tick;
extern int tip_active;
extern double loupe_distance;
extern BYTE snapshot_mode;
extern POINT last_cursor_pos;
// Dialogs, message boxes and popup menus of ours open now (nested count).
extern int modal_depth;

extern HPEN light_frame_pen;
extern HPEN gray_frame_pen;
extern HPEN light_round_pen;
extern HPEN dark_round_pen;

extern HMENU menu_resource;
extern HMENU popup_menu;

// Work buffers: capture, conversion/smoothing source, smoothing output.
extern HDC capture_dc;
extern HBITMAP capture_bitmap;
extern void* capture_bits;
extern HDC source_dc;
extern HBITMAP source_bitmap;
extern BYTE* source_bits;
extern HDC zoom_dc;
extern HBITMAP zoom_bitmap;
extern BYTE* zoom_bits;

// Tracking tick.
extern int still_ticks;
extern BYTE toggle_latch;
extern BYTE copy_latch; // Ctrl+PrintScreen already seen held in this press
extern int tip_height;
extern POINT capture_origin;

// Tray icon and tooltip.
extern HWND tooltip_hwnd;
extern UINT taskbar_created_msg;
extern HICON tray_icon;
extern NOTIFYICONDATAA tray_data;
extern TOOLINFOA tool_info;
