// Freezing and unfreezing the loupe, and pointing at its frozen image. The
// one owner of the freeze state (engine/freeze.h).
#pragma once
#include <windows.h>
#include "engine/freeze.h"

// Polls the freeze key (settings.freezekey): its first poll of a press
// freezes a shown loupe, or ends the freeze.
void poll_freeze_key(HWND loupe);
// Freezes the shown loupe where it stands, with the image it shows.
void begin_freeze(HWND loupe);
// Ends the freeze when `event` is one that ends it; the next tick follows
// the pointer again, placing and capturing anew.
void end_freeze_on(HWND loupe, FreezeEvent event);
// The pointer at screen point `cursor`: which cell of the frozen image it
// points at, if any. Returns whether that changed; the loupe is then
// repainted (the marker follows it).
bool point_at_frozen_image(HWND loupe, POINT cursor);
// Whether the pointer reads a cell of the frozen image now.
bool reading_frozen_cell();
// The area pixel of the capture block that the tooltip and the colour copy
// report: the cell pointed at in a frozen image, else the centre.
IntPair reported_area_pixel();
