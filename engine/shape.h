// The loupe's shape and overlays: round region, click-through, frame, centre marker.
#pragma once
#include <windows.h>

// Black client area, then an elliptic region one pixel beyond the window.
void set_round_region(HWND loupe);
// The elliptic region alone, the content left as it is.
void apply_round_region(HWND loupe);
// Whether the loupe is round in the current mode (maruwin and loupe).
bool loupe_is_round();
// The region of the current mode: round (set_round_region) or none.
void apply_mode_region(HWND loupe);
// Sets or clears WS_EX_TRANSPARENT from addhole; no other style bit changes.
void apply_click_through(HWND loupe);
// Image at (2, 2), pixel grid, frame (etched rectangle or two ellipses), XOR marker.
void paint_loupe(HWND loupe, HDC dc);
