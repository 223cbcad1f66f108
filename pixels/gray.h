// Gray conversion of 24-bit BGR pixels, integer arithmetic only.
#pragma once
#include <cstdint>

// (76 r + 150 g + 30 b) >> 8; the weights add up to 256, so white stays 255.
uint8_t gray_value(uint8_t red, uint8_t green, uint8_t blue);

// Replaces every pixel of a width x height top-down BGR buffer whose rows
// start `stride` bytes apart by its gray value in all three bytes.
void convert_to_gray(uint8_t* bits, int width, int height, int stride);
