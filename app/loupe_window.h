// The loupe window: its class, its procedure and the helpers the menu, the
// tray and the dialogs share with it.
#pragma once
#include <windows.h>

LRESULT CALLBACK loupe_window_proc(HWND loupe, UINT message, WPARAM wparam, LPARAM lparam);
// Creation set-up: pens, menu, tray icon, tooltip, buffers, snapshot, region.
void setup_loupe_window(HWND loupe);
// Sets or clears WS_EX_TRANSPARENT from addhole; no other style bit changes.
void apply_click_through(HWND loupe);
