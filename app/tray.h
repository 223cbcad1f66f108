// The notification-area icon.
#pragma once
#include <windows.h>

void register_taskbar_created();
// The shell's restart broadcast (registered before the entry point runs).
UINT taskbar_created_message();
// The icon's image as last added; null before and after.
HICON tray_icon_image();
void add_tray_icon(HWND loupe);
// Removes the icon and destroys its image.
void remove_tray_icon();
void on_tray_notify(HWND loupe, WPARAM wparam, LPARAM lparam);
