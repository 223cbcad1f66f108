// The 32-bit program is built for any x86, so the vector loops are compiled
// for their sets function by function and chosen here at run time: without
// them it would run the plain loops on the x87 unit at a fraction of the
// speed.
#include "pixels/pixel_path.h"

#include "pixels/cpu_features.h"

namespace {

PixelPath widest_path() {
    if (cpu_has_avx()) return PixelPath::avx;
    if (cpu_has_sse2()) return PixelPath::sse2;
    return PixelPath::plain;
}

// Asked once, when the program starts: the paint then only reads a value.
const PixelPath machine_path = widest_path();
PixelPath active_path = machine_path;

} // namespace

PixelPath pixel_path() {
    return active_path;
}

bool pixel_path_available(PixelPath path) {
    return path <= machine_path;
}

void force_pixel_path(PixelPath path) {
    if (pixel_path_available(path)) active_path = path;
}
