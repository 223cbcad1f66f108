// The steps of start-up that the entry point runs in order; separate so the
// Win32 tests can build a real loupe window the same way.
#pragma once
#include <windows.h>

bool register_loupe_class();
// 1 when the system's major version is 5 or higher (layered windows exist).
int detect_layered_support();
// The hidden topmost tool window (layered where supported), sized for
// loupe_window_size(zoomed_size); WM_CREATE builds everything else. Null on failure.
HWND create_loupe_window();
