#include "engine/colour_text.h"

#include <cstdio>

#include "resources/texts.h"

int format_colour_text(char* buf, int buf_size, bool hex, int red, int green, int blue) {
    if (buf == nullptr || buf_size <= 0) return 0;
    const unsigned r = static_cast<unsigned>(red) & 0xFF;
    const unsigned g = static_cast<unsigned>(green) & 0xFF;
    const unsigned b = static_cast<unsigned>(blue) & 0xFF;
    const int n =
        std::snprintf(buf, static_cast<size_t>(buf_size),
                      hex ? texts::kColourFormatHex : texts::kColourFormatDecimal, r, g, b);
    if (n < 0) {
        buf[0] = '\0';
        return 0;
    }
    return n < buf_size ? n : buf_size - 1;
}
