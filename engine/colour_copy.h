// The colour of the pixel at the loupe's point, as the pixel-information
// tooltip shows it and as the colour copy puts it on the clipboard.
#pragma once
#include <windows.h>

#include "settings/settings.h"

// The captured pixel (0x00BBGGRR) at screen point `point`, which is area
// pixel `area_pixel` of the capture block (its centre, half_size, for the
// point the buffer was last filled for), as the buffer holds it: before
// smoothing, gray or inversion, which only the paint applies.
COLORREF captured_colour_at(POINT point, IntPair area_pixel);

// Puts the colour of the last captured point on the clipboard as text
// (CF_TEXT and CF_UNICODETEXT): "#RRGGBB" when hexcolor is on, "R, G, B"
// otherwise. A busy clipboard is handled as for the image copy.
void copy_colour_to_clipboard(HWND loupe);
