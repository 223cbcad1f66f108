// The mouse wheel over the loupe in magnifying-glass mode: zoom steps,
// resize steps of the captured area, and where the window goes afterwards.
#pragma once
#include <cstdint>
#include "settings/settings.h"

// Bits of the key state (low word of wParam) that the wheel tells apart.
constexpr unsigned kWheelRightButton = 0x0002;
constexpr unsigned kWheelShift = 0x0004;
constexpr unsigned kWheelControl = 0x0008;

// Key state that makes a resize step: exactly one of the right button, Shift
// or Ctrl. Anything else zooms.
bool wheel_is_resize(unsigned keys);

// New magnify for one notch; delta > 0 (away from the user) zooms out.
// With smoothing the step is waddjust, without it whole hundreds. A step
// that would make the image larger than kMaxImageSide is refused.
int32_t wheel_zoom_step(IntPair size, int32_t magnify, int delta, int32_t smooth, int32_t waddjust);

// One resize notch: the longer side (the width when equal) changes by 2, the
// other follows size_aspect and is kept odd. Returns false, leaving *size
// alone, when shrinking a side of 5 or less, or when growing past the limits.
bool wheel_resize_step(IntPair* size, int32_t magnify, int delta, float size_aspect);

// Window position that centres the image on the pointer.
IntPair wheel_window_position(IntPair pointer, IntPair zoomed);
