// Enlarging the capture block with interpolation (bilinear or bicubic).
//
// The block holds the cw x ch area plus one pixel of margin on the left and
// top and two on the right and bottom, so every interpolation neighbourhood
// stays inside it. Target pixel (0, 0) samples area pixel (0, 0): the left
// and top edges are aligned, with no half-pixel shift.
#pragma once
#include <cstdint>

// src: block of (cw + 3) x (ch + 3) 24-bit BGR pixels, top-down, row stride
// (3 * cw + 12) & ~3, read from block position (src_x, src_y) on.
// dst: w x h pixels, row stride (3 * w + 3) & ~3; every pixel is written.
// mode 2 = bicubic, any other value = bilinear. Nothing happens when a side
// is below 1. False, with dst untouched, when the memory to work in could not
// be had (the caller then shows the block without smoothing).
bool smooth_scale(const uint8_t* src, int src_x, int src_y, int cw, int ch, uint8_t* dst, int w,
                  int h, int mode);

// The same result computed pixel by pixel, exactly as the formulas read, with
// no caching. Slow; kept as the yardstick for the tests and the benchmark.
void smooth_scale_reference(const uint8_t* src, int src_x, int src_y, int cw, int ch, uint8_t* dst,
                            int w, int h, int mode);

// For the tests, never the program: while set, every request for work memory
// is refused, as when the address space has no room left.
void smooth_scale_refuse_memory(bool refuse);

// Cubic convolution kernel with a = -1: t^3 - 2t^2 + 1 on [0, 1),
// -t^3 + 5t^2 - 8t + 4 on [1, 2), 0 beyond. t is never negative.
double bicubic_weight(double t);
