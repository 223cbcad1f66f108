// The tracking tick: the timer procedure of TIMER_TRACK.
#pragma once
#include <windows.h>

void CALLBACK tracking_tick(HWND loupe, UINT message, UINT_PTR timer_id, DWORD time);
// Starts TIMER_TRACK with the current interval; never while a modal window
// of ours is open (its message loop would run the tick inside it).
void start_tracking(HWND loupe);
void stop_tracking(HWND loupe);
// The next tick that runs places, captures and redraws as if the cursor had
// moved (after a change of size, zoom or screen).
void request_full_refresh();
// First visible window below start (never start itself) whose rectangle
// contains (x, y), edges inclusive; null when the z-order walk ends.
HWND find_visible_window_below(HWND start, int x, int y);
// Follows GetParent to the top; null for null.
HWND top_level_ancestor(HWND window);
