// The settings record, its static initial values and the derived sizes.
#include "settings/settings.h"

#include <cstdint>

// The values the record holds before the load. Only the pair keys and
// interval can keep them through a load: every single-integer key is assigned
// from the file or its default.
static constexpr Settings make_initial_settings() {
    Settings s{};
    s.size = {0, 0};
    s.magnify = 200;
    s.position = {14, 14};
    s.interval = 10;
    s.ttdisp = 1;
    s.hotkey = {17, 0};
    s.marker = 1;
    s.waddjust = 10;
    s.maruwin = {0, 1};
    return s;
}

Settings settings = make_initial_settings();
IntPair half_size = {0, 0};
float size_aspect = 1.0f;
IntPair zoomed_size = {0, 0};
char settings_path[kAnsiPathBytes] = "";

Settings initial_settings() {
    return make_initial_settings();
}

// Products and quotients are taken in 64 bits and brought back to 32, so an
// oversized operand wraps as 32-bit arithmetic does instead of being
// undefined behaviour.
IntPair scale_point(IntPair p, int32_t k) {
    return {int32_t(uint32_t(int64_t(p.x) * k)), int32_t(uint32_t(int64_t(p.y) * k))};
}

// k is never 0 here: the callers divide by 2 and by 100.
IntPair divide_point(IntPair p, int32_t k) {
    return {int32_t(uint32_t(int64_t(p.x) / k)), int32_t(uint32_t(int64_t(p.y) / k))};
}

IntPair compute_zoomed_size(IntPair size, int32_t magnify) {
    return divide_point(scale_point(size, magnify), 100);
}

void update_derived_sizes(AspectUpdate aspect) {
    zoomed_size = compute_zoomed_size(settings.size, settings.magnify);
    half_size = divide_point(settings.size, 2);
    if (aspect == AspectUpdate::Recompute) size_aspect = compute_size_aspect(settings.size);
}

float compute_size_aspect(IntPair size) {
    float width = float(size.x);
    float height = float(size.y);
    if (size.x < size.y) return width / height;
    // Sizes are odd after the load, so never 0; a record changed by hand
    // elsewhere still must not divide by zero.
    if (size.x == 0) return 1.0f;
    return height / width;
}

void replace_settings(const Settings& changed) {
    settings = changed;
}
