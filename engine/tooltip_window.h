// The pixel-information tooltip window: a tracking tooltip with one tool on
// the loupe. Every call does nothing harmful when it could not be made.
#pragma once
#include <windows.h>

// Makes the tooltip, inactive, in tooltip_state; leaves it null (after
// telling the user) when the control refuses the tool.
void create_tooltip(HWND loupe);
// Destroys the tooltip made at start-up.
void destroy_tooltip();
// Starts or stops its tracking (shown beside the loupe, or hidden).
void track_tooltip(int active);
// Its text (copied by the control).
void set_tooltip_text(char* text);
// Its top-left corner on the screen.
void move_tooltip(int x, int y);
