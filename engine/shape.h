// The loupe's shape and overlays: round region, frame, centre marker.
#pragma once
#include <windows.h>

// Black client area, then an elliptic region one pixel beyond the window.
void set_round_region(HWND loupe);
// The elliptic region alone, the content left as it is.
void apply_round_region(HWND loupe);
// Whether the loupe is round in the current mode (maruwin and loupe).
bool loupe_is_round();
// Image at (2, 2), frame (etched rectangle or two ellipses), XOR marker.
void paint_loupe(HWND loupe, HDC dc);
