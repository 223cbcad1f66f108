// Gray conversion of the smoothing source block (after the optional
// inversion, which the copy into the block already did).
//
// Two loops with the same bytes: plain C++ and SSE2, the latter wherever
// pixels/pixel_path.h names SSE2 or wider. The SSE2 loop does sixteen pixels
// at a time; at the default 40 x 40 block it takes about two thirds of the
// plain loop's time.
#include "pixels/gray.h"

#include <emmintrin.h>

#include <cstddef>

#include "pixels/pixel_path.h"

uint8_t gray_value(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((76u * red + 150u * green + 30u * blue) >> 8);
}

namespace {

void gray_pixels(uint8_t* p, int count) {
    for (int x = 0; x < count; ++x, p += 3) {
        const uint8_t g = gray_value(p[2], p[1], p[0]);
        p[0] = g;
        p[1] = g;
        p[2] = g;
    }
}

#define SSE2 __attribute__((target("sse2")))

// The bytes of the stream a b moved down by n (byte i of the result is byte
// i + n of the stream), and the stream before a moved up by n.
#define STREAM_DOWN(a, b, n) _mm_or_si128(_mm_srli_si128(a, n), _mm_slli_si128(b, 16 - (n)))
#define STREAM_UP(before, a, n) _mm_or_si128(_mm_slli_si128(a, n), _mm_srli_si128(before, 16 - (n)))

// 30 b + 150 g + 76 r, shifted down by 8, for eight 16-bit values of each.
SSE2 inline __m128i weigh_words(__m128i b, __m128i g, __m128i r) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(b, _mm_set1_epi16(30)),
                                                    _mm_mullo_epi16(g, _mm_set1_epi16(150))),
                                      _mm_mullo_epi16(r, _mm_set1_epi16(76)));
    return _mm_srli_epi16(sum, 8);
}

// For each byte position i of x, (30 x[i] + 150 x[i + 1] + 76 x[i + 2]) >> 8,
// with x1 and x2 the stream moved down by one and two: the gray value of a
// pixel starting at i. The sum is at most 255 * 256, so 16 bits hold it.
SSE2 inline __m128i weigh_bytes(__m128i x, __m128i x1, __m128i x2) {
    const __m128i zero = _mm_setzero_si128();
    return _mm_packus_epi16(weigh_words(_mm_unpacklo_epi8(x, zero), _mm_unpacklo_epi8(x1, zero),
                                        _mm_unpacklo_epi8(x2, zero)),
                            weigh_words(_mm_unpackhi_epi8(x, zero), _mm_unpackhi_epi8(x1, zero),
                                        _mm_unpackhi_epi8(x2, zero)));
}

// Byte i of the result is byte i - i % 3 of the weighed stream, the gray value
// of the pixel that byte belongs to. first, second and third mark the byte
// positions that start a pixel, the second and the third byte of one.
SSE2 inline __m128i spread(__m128i t, __m128i t_before, __m128i first, __m128i second,
                           __m128i third) {
    return _mm_or_si128(_mm_and_si128(t, first),
                        _mm_or_si128(_mm_and_si128(STREAM_UP(t_before, t, 1), second),
                                     _mm_and_si128(STREAM_UP(t_before, t, 2), third)));
}

// The stack is realigned: this is an entry point from plain code, which on
// 32-bit Windows may come with a stack aligned to 4 bytes only.
__attribute__((target("sse2"), force_align_arg_pointer)) void
convert_rows_sse2(uint8_t* bits, int width, int height, int stride) {
    // Pixels start at every third byte: in the first register of 48 bytes at
    // 0, 3, ...; in the second at 2, 5, ... (16 = 3 * 5 + 1); in the third at
    // 1, 4, ... .
    const __m128i at0 = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1);
    const __m128i at1 = _mm_slli_si128(at0, 1), at2 = _mm_slli_si128(at0, 2);
    const __m128i zero = _mm_setzero_si128();
    for (int y = 0; y < height; ++y) {
        uint8_t* p = bits + static_cast<ptrdiff_t>(y) * stride;
        int x = 0;
        for (; x + 16 <= width; x += 16, p += 48) {
            __m128i* q = reinterpret_cast<__m128i*>(p);
            const __m128i a = _mm_loadu_si128(q), b = _mm_loadu_si128(q + 1),
                          c = _mm_loadu_si128(q + 2);
            const __m128i ta = weigh_bytes(a, STREAM_DOWN(a, b, 1), STREAM_DOWN(a, b, 2));
            const __m128i tb = weigh_bytes(b, STREAM_DOWN(b, c, 1), STREAM_DOWN(b, c, 2));
            const __m128i tc = weigh_bytes(c, STREAM_DOWN(c, zero, 1), STREAM_DOWN(c, zero, 2));
            _mm_storeu_si128(q, spread(ta, zero, at0, at1, at2));
            _mm_storeu_si128(q + 1, spread(tb, ta, at2, at0, at1));
            _mm_storeu_si128(q + 2, spread(tc, tb, at1, at2, at0));
        }
        gray_pixels(p, width - x);
    }
}

} // namespace

void convert_to_gray(uint8_t* bits, int width, int height, int stride) {
    if (pixel_path() != PixelPath::plain) {
        convert_rows_sse2(bits, width, height, stride);
        return;
    }
    for (int y = 0; y < height; ++y)
        gray_pixels(bits + static_cast<ptrdiff_t>(y) * stride, width);
}
