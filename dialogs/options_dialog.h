// Helpers of the options dialog beyond its procedure (dialogs/dialogs.h),
// shared with its tests.
#pragma once
#include <windows.h>
#include <cstdint>

// Narrows an up-down control to three quarters of its width (position and
// height kept) and sets its range to low..9999.
void narrow_spin(HWND spin, int low);
// The wheel-step field and its arrows are usable only while smoothing is on.
void apply_wheel_step_enable(HWND dialog, int smooth_index);
