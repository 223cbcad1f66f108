// Getting screen pixels into the capture buffer.
#pragma once
#include <windows.h>

// SRCCOPY, plus CAPTUREBLT when `layered` is on.
DWORD screen_raster_op();
// Fills capture_dc dark gray and copies the whole virtual screen to (1, 1).
void take_screen_snapshot();
// Refreshes capture_dc for capture_origin (direct copy, peep window or snapshot).
void capture_tick_area(HWND loupe);
