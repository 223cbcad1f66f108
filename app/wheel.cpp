#include "app/wheel.h"

bool wheel_is_resize(unsigned keys) {
    return keys == kWheelRightButton || keys == kWheelShift || keys == kWheelControl;
}

static bool image_fits(IntPair size, int32_t magnify) {
    if (size.x > kMaxSizeSide || size.y > kMaxSizeSide) return false;
    // 64-bit products: the check itself must not overflow.
    return int64_t(size.x) * magnify / 100 <= kMaxImageSide &&
           int64_t(size.y) * magnify / 100 <= kMaxImageSide;
}

int32_t wheel_zoom_step(IntPair size, int32_t magnify, int delta, int32_t smooth,
                        int32_t waddjust) {
    int64_t next = magnify;
    if (smooth != kSmoothNone) {
        if (delta <= 0) {
            next = int64_t(magnify) + waddjust;
        } else if (magnify > 100) {
            next = int64_t(magnify) - waddjust;
        }
        if (next < 100) next = 100;
    } else if (delta <= 0) {
        next = (int64_t(magnify) / 100 + 1) * 100;
    } else {
        next = ((int64_t(magnify) + 99) / 100) * 100;
        if (next > 100) next -= 100;
    }
    if (next > INT32_MAX || !image_fits(size, int32_t(next))) return magnify;
    return int32_t(next);
}

static int32_t make_odd(int32_t value) {
    return value % 2 == 0 ? value + 1 : value;
}

bool wheel_resize_step(IntPair* size, int32_t magnify, int delta, float size_aspect) {
    bool shrink = delta > 0;
    if (shrink && !(size->x > 5 && size->y > 5)) return false;
    int32_t step = shrink ? -2 : 2;
    IntPair next = *size;
    if (next.x < next.y) {
        next.y += step;
        next.x = make_odd(int32_t(next.y * size_aspect));
    } else {
        next.x += step;
        next.y = make_odd(int32_t(next.x * size_aspect));
    }
    if (!image_fits(next, magnify)) return false;
    *size = next;
    return true;
}

IntPair wheel_window_position(IntPair pointer, IntPair zoomed) {
    return {pointer.x - zoomed.x / 2 - kFrameWidth, pointer.y - zoomed.y / 2 - kFrameWidth};
}
