// The loupe window: its procedure and its creation set-up.
#pragma once
#include <windows.h>

LRESULT CALLBACK loupe_window_proc(HWND loupe, UINT message, WPARAM wparam, LPARAM lparam);
// Creation set-up: pens, menu, tray icon, tooltip, buffers, snapshot, region.
void setup_loupe_window(HWND loupe);
// Teardown (WM_DESTROY): everything setup_loupe_window built, released in
// the reverse order, and the single-instance name.
void release_resources(HWND loupe);
