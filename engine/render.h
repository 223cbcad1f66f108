// Turning the capture block into the magnified image.
#pragma once
#include <windows.h>

// Draws the magnified image of the capture block whose top-left margin pixel
// is (sx, sy) in source into the w x h rectangle at (tx, ty) of target.
void render_magnified(HDC target, int tx, int ty, int w, int h, HDC source, int sx, int sy, int cw,
                      int ch, DWORD rop);
// The source position of the capture block in capture_dc: (0, 0), or the
// cursor area inside the snapshot in magnifying-glass mode with snapshot_mode.
POINT image_source_origin();
// NOTSRCCOPY when invertbmp is on, else SRCCOPY.
DWORD image_raster_op();
