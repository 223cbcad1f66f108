// The notification-area icon.
#pragma once
#include <windows.h>

void register_taskbar_created();
void add_tray_icon(HWND loupe);
// Removes the icon and destroys its image.
void remove_tray_icon();
void on_tray_notify(HWND loupe, WPARAM wparam, LPARAM lparam);
