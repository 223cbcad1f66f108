// The SSE2 loops of smooth_scale: two doubles per instruction. Every function
// here is compiled for SSE2 by its own attribute; the i686 program runs them
// only on processors that have it (see smooth_scale.cpp).
#include <emmintrin.h>

#include <cstddef>

#include "engine/smooth_kernels.h"
#include "engine/smooth_store.h"

// Helpers, inlined into the entry points.
#define SSE2 __attribute__((target("sse2")))
// Entry points from plain code: realign a stack that may come aligned to 4
// bytes only (32-bit Windows threads and callbacks).
#define SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))

namespace {

SSE2 inline __m128i eight_bytes(const uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

SSE2_ENTRY void widen_row(const uint8_t* row, int count, double* wide, double* diff) {
    const __m128i zero = _mm_setzero_si128();
    const __m128d bias = _mm_set1_pd(kBias);
    int k = 0;
    for (; k + 8 <= count; k += 8) {
        const __m128i words = _mm_unpacklo_epi8(eight_bytes(row + k), zero);
        const __m128i lo = _mm_unpacklo_epi16(words, zero);
        const __m128i hi = _mm_unpackhi_epi16(words, zero);
        _mm_storeu_pd(wide + k, _mm_add_pd(_mm_cvtepi32_pd(lo), bias));
        _mm_storeu_pd(wide + k + 2, _mm_add_pd(_mm_cvtepi32_pd(_mm_srli_si128(lo, 8)), bias));
        _mm_storeu_pd(wide + k + 4, _mm_add_pd(_mm_cvtepi32_pd(hi), bias));
        _mm_storeu_pd(wide + k + 6, _mm_add_pd(_mm_cvtepi32_pd(_mm_srli_si128(hi, 8)), bias));
    }
    widen_tail(row, k, count, wide);
    if (!diff) return;
    const int n = count - 3;
    for (k = 0; k + 8 <= n; k += 8) {
        // Differences of bytes as signed 16-bit words, then sign-extended.
        const __m128i d = _mm_sub_epi16(_mm_unpacklo_epi8(eight_bytes(row + k + 3), zero),
                                        _mm_unpacklo_epi8(eight_bytes(row + k), zero));
        const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(d, d), 16);
        const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(d, d), 16);
        _mm_storeu_pd(diff + k, _mm_cvtepi32_pd(lo));
        _mm_storeu_pd(diff + k + 2, _mm_cvtepi32_pd(_mm_srli_si128(lo, 8)));
        _mm_storeu_pd(diff + k + 4, _mm_cvtepi32_pd(hi));
        _mm_storeu_pd(diff + k + 6, _mm_cvtepi32_pd(_mm_srli_si128(hi, 8)));
    }
    differences_tail(row, k, n, diff);
}

// Two target columns at a time: their six channel values are three pairs,
// (b, g) of the first, (r of the first, b of the second), (g, r) of the
// second. An odd last column is done alone.
SSE2_ENTRY void bilinear_column_sums(const double* wide, const double* diff, const ColumnTaps& taps,
                                     int w, double* out) {
    const int* off = taps.offset;
    const double* wt = taps.paired;
    int i = 0;
    for (; i + 2 <= w; i += 2, wt += 6) {
        const int p = off[i], q = off[i + 1];
        const __m128d v0 = _mm_loadu_pd(wide + p);
        const __m128d v1 = _mm_loadh_pd(_mm_load_sd(wide + p + 2), wide + q);
        const __m128d v2 = _mm_loadu_pd(wide + q + 1);
        const __m128d d0 = _mm_loadu_pd(diff + p);
        const __m128d d1 = _mm_loadh_pd(_mm_load_sd(diff + p + 2), diff + q);
        const __m128d d2 = _mm_loadu_pd(diff + q + 1);
        _mm_storeu_pd(out + 3 * i, _mm_add_pd(v0, _mm_mul_pd(_mm_loadu_pd(wt), d0)));
        _mm_storeu_pd(out + 3 * i + 2, _mm_add_pd(v1, _mm_mul_pd(_mm_loadu_pd(wt + 2), d1)));
        _mm_storeu_pd(out + 3 * i + 4, _mm_add_pd(v2, _mm_mul_pd(_mm_loadu_pd(wt + 4), d2)));
    }
    if (i < w) {
        const int p = off[i];
        const __m128d fx = _mm_set1_pd(taps.weight[i]);
        _mm_storeu_pd(out + 3 * i,
                      _mm_add_pd(_mm_loadu_pd(wide + p), _mm_mul_pd(fx, _mm_loadu_pd(diff + p))));
        _mm_store_sd(out + 3 * i + 2, _mm_add_sd(_mm_load_sd(wide + p + 2),
                                                 _mm_mul_sd(fx, _mm_load_sd(diff + p + 2))));
    }
}

SSE2_ENTRY void bicubic_column_sums(const double* wide, const ColumnTaps& taps, int w,
                                    double* out) {
    const int* off = taps.offset;
    const double* wt = taps.paired;
    int i = 0;
    for (; i + 2 <= w; i += 2) {
        const double* p = wide + off[i];
        const double* q = wide + off[i + 1];
        __m128d s0 = _mm_mul_pd(_mm_loadu_pd(wt), _mm_loadu_pd(p));
        __m128d s1 = _mm_mul_pd(_mm_loadu_pd(wt + 2), _mm_loadh_pd(_mm_load_sd(p + 2), q));
        __m128d s2 = _mm_mul_pd(_mm_loadu_pd(wt + 4), _mm_loadu_pd(q + 1));
        wt += 6;
        for (int t = 1; t < 4; ++t, wt += 6) {
            const double* pt = p + 3 * t;
            const double* qt = q + 3 * t;
            s0 = _mm_add_pd(s0, _mm_mul_pd(_mm_loadu_pd(wt), _mm_loadu_pd(pt)));
            s1 = _mm_add_pd(
                s1, _mm_mul_pd(_mm_loadu_pd(wt + 2), _mm_loadh_pd(_mm_load_sd(pt + 2), qt)));
            s2 = _mm_add_pd(s2, _mm_mul_pd(_mm_loadu_pd(wt + 4), _mm_loadu_pd(qt + 1)));
        }
        _mm_storeu_pd(out + 3 * i, s0);
        _mm_storeu_pd(out + 3 * i + 2, s1);
        _mm_storeu_pd(out + 3 * i + 4, s2);
    }
    if (i < w) {
        const double* p = wide + off[i];
        const double* wp = taps.weight + 4 * static_cast<ptrdiff_t>(i);
        __m128d s0 = _mm_mul_pd(_mm_set1_pd(wp[0]), _mm_loadu_pd(p));
        __m128d s1 = _mm_mul_sd(_mm_load_sd(wp), _mm_load_sd(p + 2));
        for (int t = 1; t < 4; ++t) {
            s0 = _mm_add_pd(s0, _mm_mul_pd(_mm_set1_pd(wp[t]), _mm_loadu_pd(p + 3 * t)));
            s1 = _mm_add_sd(s1, _mm_mul_sd(_mm_load_sd(wp + t), _mm_load_sd(p + 3 * t + 2)));
        }
        _mm_storeu_pd(out + 3 * i, s0);
        _mm_store_sd(out + 3 * i + 2, s1);
    }
}

// Adding 1.5 * 2^52 rounds a double of magnitude below 2^31 to the nearest
// integer and leaves that integer, two's complement, in the low 32 bits.
// Cheaper than cvtpd2dq, and it takes the four ints of two pairs with one
// shuffle.
SSE2 inline __m128i nearest_ints(__m128d v0, __m128d v1) {
    const __m128d magic = _mm_set1_pd(6755399441055744.0);
    const __m128 both =
        _mm_shuffle_ps(_mm_castpd_ps(_mm_add_pd(v0, magic)), _mm_castpd_ps(_mm_add_pd(v1, magic)),
                       _MM_SHUFFLE(2, 0, 2, 0));
    return _mm_castps_si128(both);
}

// Eight bytes from four pairs of biased values: the nearest integers, clamped
// to 0 ... 255 by signed saturation to 16 bits and unsigned saturation to
// bytes. A row shorter than eight bytes is computed in full and cut (the
// rows of sums are padded to whole blocks of sixteen).
SSE2 inline void store8(uint8_t* out, __m128d v0, __m128d v1, __m128d v2, __m128d v3, int n) {
    const __m128i words = _mm_packs_epi32(nearest_ints(v0, v1), nearest_ints(v2, v3));
    store_row_block(out, _mm_packus_epi16(words, words), n, 8);
}

SSE2_ENTRY void bilinear_rows(const double* top, const double* bottom, const double* fy, int rows,
                              uint8_t* dst, int stride, int n) {
    // Eight bytes at a time, for all rows of the group while the eight top
    // values and differences sit in registers.
    for (int next = 0; next < n; next += 8) {
        const int k = last_block(next, n, 8);
        const __m128d a0 = _mm_loadu_pd(top + k), a1 = _mm_loadu_pd(top + k + 2);
        const __m128d a2 = _mm_loadu_pd(top + k + 4), a3 = _mm_loadu_pd(top + k + 6);
        const __m128d d0 = _mm_sub_pd(_mm_loadu_pd(bottom + k), a0);
        const __m128d d1 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 2), a1);
        const __m128d d2 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 4), a2);
        const __m128d d3 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 6), a3);
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m128d f = _mm_set1_pd(fy[r]);
            store8(out, _mm_add_pd(a0, _mm_mul_pd(f, d0)), _mm_add_pd(a1, _mm_mul_pd(f, d1)),
                   _mm_add_pd(a2, _mm_mul_pd(f, d2)), _mm_add_pd(a3, _mm_mul_pd(f, d3)), n - k);
        }
    }
}

SSE2 inline __m128d horner(__m128d c0, __m128d c1, __m128d c2, __m128d c3, __m128d f) {
    return _mm_add_pd(
        c0, _mm_mul_pd(f, _mm_add_pd(c1, _mm_mul_pd(f, _mm_add_pd(c2, _mm_mul_pd(f, c3))))));
}

SSE2_ENTRY void bicubic_rows(const double* h0, const double* h1, const double* h2, const double* h3,
                             const double* fy, int rows, uint8_t* dst, int stride, int n) {
    for (int next = 0; next < n; next += 8) {
        const int k = last_block(next, n, 8);
        __m128d c[4][4]; // coefficients c0 (= h1) ... c3 of four pairs
        for (int q = 0; q < 4; ++q) {
            const __m128d p0 = _mm_loadu_pd(h0 + k + 2 * q), p1 = _mm_loadu_pd(h1 + k + 2 * q);
            const __m128d p2 = _mm_loadu_pd(h2 + k + 2 * q), p3 = _mm_loadu_pd(h3 + k + 2 * q);
            const __m128d d01 = _mm_sub_pd(p0, p1), d23 = _mm_sub_pd(p2, p3);
            c[q][0] = p1;
            c[q][1] = _mm_sub_pd(p2, p0);
            c[q][2] = _mm_add_pd(_mm_add_pd(d01, d01), d23);
            c[q][3] = _mm_sub_pd(_mm_setzero_pd(), _mm_add_pd(d01, d23));
        }
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m128d f = _mm_set1_pd(fy[r]);
            store8(out, horner(c[0][0], c[0][1], c[0][2], c[0][3], f),
                   horner(c[1][0], c[1][1], c[1][2], c[1][3], f),
                   horner(c[2][0], c[2][1], c[2][2], c[2][3], f),
                   horner(c[3][0], c[3][1], c[3][2], c[3][3], f), n - k);
        }
    }
}

} // namespace

const SmoothKernels sse2_kernels = {widen_row,     bilinear_column_sums, bicubic_column_sums,
                                    bilinear_rows, bicubic_rows,         true};
