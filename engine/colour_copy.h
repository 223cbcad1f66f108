// The colour of the pixel at the loupe's point, as the pixel-information
// tooltip shows it and as the colour copy puts it on the clipboard.
#pragma once
#include <windows.h>

// The captured pixel at the point (0x00BBGGRR), as the capture buffer holds
// it: before smoothing, gray or inversion, which only the paint applies.
// The point is the one the capture buffer was last filled for.
COLORREF captured_colour_at(POINT point);

// Puts the colour of the last captured point on the clipboard as text
// (CF_TEXT and CF_UNICODETEXT): "#RRGGBB" when hexcolor is on, "R, G, B"
// otherwise. A busy clipboard is handled as for the image copy.
void copy_colour_to_clipboard(HWND loupe);
