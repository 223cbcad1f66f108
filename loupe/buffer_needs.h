// Which work buffers the settings ask for, and of which size: as plain data,
// so the rule is written once and tested natively. Pure logic: no <windows.h>.
#pragma once
#include "settings/settings.h"

struct BufferNeeds {
    IntPair capture;    // the capture block, size + 3, or the whole snapshot, virtual screen + 3
    bool capture_dib;   // smoothing reads the captured pixels; else a screen-compatible bitmap
    bool source;        // gray or smoothing works on a copy of the block
    IntPair source_box; // that copy: size + 3
    bool zoom;          // smoothing interpolates into an image of its own
    IntPair zoom_box;   // that image: the magnified size
};

// snapshot: the capture buffer holds the snapshot (capture_is_snapshot).
BufferNeeds buffer_needs(IntPair size, IntPair zoomed, int32_t smooth, int32_t graybmp,
                         bool snapshot, IntPair virtual_screen_size);
