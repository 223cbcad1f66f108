// The pixel-information tooltip's sample point and text.
#include "engine/tooltip_text.h"

#include <cstdio>

#include "resources/texts.h"

IntPair pixel_sample_point(bool snapshot, IntPair cursor, int virtual_left, int virtual_top,
                           IntPair half_size) {
    // Screen pixel (sx, sy) sits at (sx - origin x + 1, sy - origin y + 1) of
    // the buffer: one pixel of margin on the left and top.
    if (snapshot) return {cursor.x - virtual_left + 1, cursor.y - virtual_top + 1};
    return {half_size.x + 1, half_size.y + 1};
}

int format_tooltip_text(char* buf, int buf_size, bool hex, int32_t magnify, IntPair cursor, int red,
                        int green, int blue) {
    if (buf == nullptr || buf_size <= 0) return 0;
    int n;
    if (hex)
        n = std::snprintf(buf, static_cast<size_t>(buf_size), texts::kTipFormatHex,
                          static_cast<int>(magnify), static_cast<int>(cursor.x),
                          static_cast<int>(cursor.y), static_cast<unsigned>(red),
                          static_cast<unsigned>(green), static_cast<unsigned>(blue));
    else
        n = std::snprintf(buf, static_cast<size_t>(buf_size), texts::kTipFormatDecimal,
                          static_cast<int>(magnify), static_cast<int>(cursor.x),
                          static_cast<int>(cursor.y), red, green, blue);
    if (n < 0) {
        buf[0] = '\0';
        return 0;
    }
    return n < buf_size ? n : buf_size - 1;
}
