// Arithmetic of the options dialog: the odd-keeping width and height arrows
// and the values OK derives before the running loupe is brought in line.
// Pure logic, no Windows.
#pragma once
#include <cstdint>
#include "settings/settings.h"

// Range of the width and height arrows (and of the other numeric fields).
constexpr int32_t kOptionsFieldMax = 9999;

// New width or height after an arrow press of delta steps: each step moves
// the value by 2 and keeps it odd. Only the low 16 bits of the current value
// take part; the result never leaves 1..kOptionsFieldMax.
uint32_t step_odd_value(uint32_t current, int32_t delta);

// The clamps OK applies to what was stored: magnify at least 100, size and
// magnify within bound_size_and_magnify, distance and angle at least 1.
void clamp_options(Settings* s);
