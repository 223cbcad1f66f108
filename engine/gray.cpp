// Gray conversion of the smoothing source block (after the optional
// inversion, which the copy into the block already did).
#include "engine/gray.h"

uint8_t gray_value(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((76u * red + 150u * green + 30u * blue) >> 8);
}

void convert_to_gray(uint8_t* bits, int width, int height, int stride) {
    for (int y = 0; y < height; ++y) {
        uint8_t* p = bits + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < width; ++x, p += 3) {
            const uint8_t g = gray_value(p[2], p[1], p[0]);
            p[0] = g;
            p[1] = g;
            p[2] = g;
        }
    }
}
