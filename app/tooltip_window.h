// The pixel-information tooltip window.
#pragma once
#include <windows.h>

// The tracking tooltip with its one tool on the loupe, inactive; null (after
// telling the user) when the control refuses the tool.
HWND create_tooltip(HWND loupe);
// Destroys the tooltip window made at start-up.
void destroy_tooltip();
