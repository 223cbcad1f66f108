// Tray icon, tooltip window and teardown.
#pragma once
#include <windows.h>

void register_taskbar_created();
void add_tray_icon(HWND loupe);
void remove_tray_icon();
HWND create_tooltip(HWND loupe);
void on_tray_notify(HWND loupe, WPARAM wparam, LPARAM lparam);
void release_resources(HWND loupe);
