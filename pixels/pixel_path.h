// The instruction set the pixel loops run on. The smoothing has plain, SSE2
// and AVX loops and the gray conversion plain and SSE2 ones; both ask here
// rather than each other, so that one choice, made once, holds for all of
// them and the tests can force it in one place.
#pragma once

// The instruction sets, narrowest first. Every loop gives the same bytes on
// each of them.
enum class PixelPath { plain, sse2, avx };

// The set to use: the widest that this processor and operating system run,
// chosen once when the program starts. A loop that has no version for it
// runs its widest narrower one.
PixelPath pixel_path();

// Whether this machine runs `path` (plain and every narrower set always).
bool pixel_path_available(PixelPath path);

// For the tests and the benchmark, never the program: from now on use `path`
// if this machine runs it (otherwise nothing changes).
void force_pixel_path(PixelPath path);
