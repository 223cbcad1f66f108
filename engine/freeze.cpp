// The freeze key's edge, the table of what ends a freeze, and the geometry
// of pointing at the frozen image.
#include "engine/freeze.h"

bool event_ends_freeze(FreezeEvent event) {
    switch (event) {
    case FREEZE_KEY_AGAIN:
    case FREEZE_MENU_ITEM:
    case FREEZE_LOUPE_HIDDEN:
    case FREEZE_WHEEL:
    case FREEZE_OPTIONS_OK:
    case FREEZE_DISPLAY:
    case FREEZE_MODE_SWITCH: return true;
    // These change nothing that the frozen image depends on: the paint
    // redraws it with the new look, the copy takes the frozen image.
    case FREEZE_MENU_SWITCH:
    case FREEZE_HOTKEY_OK:
    case FREEZE_IMAGE_COPIED: return false;
    }
    return false;
}

bool freeze_key_pressed(int32_t freezekey, bool key_held, uint8_t* latch) {
    const bool held = freezekey != 0 && key_held;
    const bool first = held && *latch == 0;
    *latch = held ? 1 : 0;
    return first;
}

// The area pixel under offset `offset` of an image axis `zoomed` long
// showing `size` pixels, or -1 outside the image.
static int32_t area_pixel(int offset, int32_t size, int32_t zoomed) {
    if (offset < 0 || offset >= zoomed) return -1;
    return int32_t(int64_t(offset) * size / zoomed);
}

bool frozen_cell(IntPair client, IntPair size, IntPair zoomed, IntPair* cell) {
    const int32_t x = area_pixel(client.x - kFrameWidth, size.x, zoomed.x);
    const int32_t y = area_pixel(client.y - kFrameWidth, size.y, zoomed.y);
    if (x < 0 || y < 0) return false;
    *cell = {x, y};
    return true;
}

MarkerSquare cell_marker(IntPair cell, IntPair size, IntPair zoomed, int32_t magnify) {
    const int m = magnify / 100;
    MarkerSquare s;
    s.x0 = kFrameWidth + int(int64_t(cell.x) * zoomed.x / size.x) - 1;
    s.y0 = kFrameWidth + int(int64_t(cell.y) * zoomed.y / size.y) - 1;
    s.x1 = s.x0 + m + 1;
    s.y1 = s.y0 + m + 1;
    return s;
}
