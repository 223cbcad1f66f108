// The SSE2 loops of smooth_scale: two doubles per instruction. Every function
// here is compiled for SSE2 by its own attribute; the i686 program runs them
// only on processors that have it (see pixel_path.cpp).
#include <emmintrin.h>

#include <cstddef>

#include "pixels/smooth_kernels.h"
#include "pixels/smooth_store.h"

// Helpers, inlined into the entry points.
#define SSE2 __attribute__((target("sse2")))
// Entry points from plain code: realign a stack that may come aligned to 4
// bytes only (32-bit Windows threads and callbacks).
#define SSE2_ENTRY __attribute__((target("sse2"), force_align_arg_pointer))

namespace {

SSE2 inline __m128i eight_bytes(const uint8_t* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

SSE2_ENTRY void widen_row(const uint8_t* row, int count, double* wide) {
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
}

// a + w (b - a) for the pair of values a and their right neighbours b.
SSE2 inline __m128d blend(__m128d a, __m128d b, __m128d w) {
    return _mm_add_pd(a, _mm_mul_pd(w, _mm_sub_pd(b, a)));
}

// Two target columns at a time: their six channel values are three pairs,
// (b, g) of the first, (r of the first, b of the second), (g, r) of the
// second. An odd last column is done alone.
SSE2_ENTRY void bilinear_column_sums(const double* wide, const ColumnTaps& taps, int w,
                                     double* out) {
    const ColumnPair<1>* pair = taps.bilinear_pairs;
    const ColumnPair<1>* const end = pair + w / 2;
    for (; pair != end; ++pair, out += 6) {
        const double* a = wide + pair->first;
        const double* b = wide + pair->second;
        const double* wt = pair->weight;
        _mm_storeu_pd(out, blend(_mm_loadu_pd(a), _mm_loadu_pd(a + 3), _mm_load_pd(wt)));
        _mm_storeu_pd(out + 2, blend(_mm_loadh_pd(_mm_load_sd(a + 2), b),
                                     _mm_loadh_pd(_mm_load_sd(a + 5), b + 3), _mm_load_pd(wt + 2)));
        _mm_storeu_pd(out + 4,
                      blend(_mm_loadu_pd(b + 1), _mm_loadu_pd(b + 4), _mm_load_pd(wt + 4)));
    }
    if (w % 2) {
        const double* a = wide + taps.offset[w - 1];
        const __m128d fx = _mm_set1_pd(taps.weight[w - 1]);
        _mm_storeu_pd(out, blend(_mm_loadu_pd(a), _mm_loadu_pd(a + 3), fx));
        _mm_store_sd(out + 2, _mm_add_sd(_mm_load_sd(a + 2),
                                         _mm_mul_sd(fx, _mm_sub_sd(_mm_load_sd(a + 5),
                                                                   _mm_load_sd(a + 2)))));
    }
}

SSE2_ENTRY void bicubic_column_sums(const double* wide, const ColumnTaps& taps, int w,
                                    double* out) {
    const ColumnPair<4>* pair = taps.bicubic_pairs;
    const ColumnPair<4>* const end = pair + w / 2;
    for (; pair != end; ++pair, out += 6) {
        const double* p = wide + pair->first;
        const double* q = wide + pair->second;
        const double* wt = pair->weight;
        __m128d s0 = _mm_mul_pd(_mm_load_pd(wt), _mm_loadu_pd(p));
        __m128d s1 = _mm_mul_pd(_mm_load_pd(wt + 2), _mm_loadh_pd(_mm_load_sd(p + 2), q));
        __m128d s2 = _mm_mul_pd(_mm_load_pd(wt + 4), _mm_loadu_pd(q + 1));
        for (int t = 1; t < 4; ++t) {
            const double* pt = p + 3 * t;
            const double* qt = q + 3 * t;
            const double* wtt = wt + 6 * t;
            s0 = _mm_add_pd(s0, _mm_mul_pd(_mm_load_pd(wtt), _mm_loadu_pd(pt)));
            s1 = _mm_add_pd(
                s1, _mm_mul_pd(_mm_load_pd(wtt + 2), _mm_loadh_pd(_mm_load_sd(pt + 2), qt)));
            s2 = _mm_add_pd(s2, _mm_mul_pd(_mm_load_pd(wtt + 4), _mm_loadu_pd(qt + 1)));
        }
        _mm_storeu_pd(out, s0);
        _mm_storeu_pd(out + 2, s1);
        _mm_storeu_pd(out + 4, s2);
    }
    if (w % 2) {
        const double* p = wide + taps.offset[w - 1];
        const double* wp = taps.weight + 4 * static_cast<ptrdiff_t>(w - 1);
        __m128d s0 = _mm_mul_pd(_mm_set1_pd(wp[0]), _mm_loadu_pd(p));
        __m128d s1 = _mm_mul_sd(_mm_load_sd(wp), _mm_load_sd(p + 2));
        for (int t = 1; t < 4; ++t) {
            s0 = _mm_add_pd(s0, _mm_mul_pd(_mm_set1_pd(wp[t]), _mm_loadu_pd(p + 3 * t)));
            s1 = _mm_add_sd(s1, _mm_mul_sd(_mm_load_sd(wp + t), _mm_load_sd(p + 3 * t + 2)));
        }
        _mm_storeu_pd(out, s0);
        _mm_store_sd(out + 2, s1);
    }
}

// Eight bytes from four pairs of biased values: the nearest integers
// (cvtpd2dq, in the processor's default rounding mode, as the other sets
// convert), clamped to 0 ... 255 by signed saturation to 16 bits and unsigned
// saturation to bytes. A row shorter than eight bytes is computed in full and
// cut (the rows of sums are padded to whole blocks of sixteen).
SSE2 inline void store8(uint8_t* out, __m128d v0, __m128d v1, __m128d v2, __m128d v3, int n) {
    const __m128i lo = _mm_unpacklo_epi64(_mm_cvtpd_epi32(v0), _mm_cvtpd_epi32(v1));
    const __m128i hi = _mm_unpacklo_epi64(_mm_cvtpd_epi32(v2), _mm_cvtpd_epi32(v3));
    const __m128i words = _mm_packs_epi32(lo, hi);
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

// ((w0 h0 + w1 h1) + w2 h2) + w3 h3 for the pair of values at e.
SSE2 inline __m128d weigh_rows(const double* const h[4], const __m128d w[4], int e) {
    __m128d s = _mm_add_pd(_mm_mul_pd(w[0], _mm_loadu_pd(h[0] + e)),
                           _mm_mul_pd(w[1], _mm_loadu_pd(h[1] + e)));
    s = _mm_add_pd(s, _mm_mul_pd(w[2], _mm_loadu_pd(h[2] + e)));
    return _mm_add_pd(s, _mm_mul_pd(w[3], _mm_loadu_pd(h[3] + e)));
}

SSE2_ENTRY void bicubic_rows(const double* h0, const double* h1, const double* h2, const double* h3,
                             const double* wy, int rows, uint8_t* dst, int stride, int n) {
    const double* const h[4] = {h0, h1, h2, h3};
    // A row at a time, its four weights in registers.
    for (int r = 0; r < rows; ++r, wy += 4, dst += stride) {
        const __m128d w[4] = {_mm_set1_pd(wy[0]), _mm_set1_pd(wy[1]), _mm_set1_pd(wy[2]),
                              _mm_set1_pd(wy[3])};
        for (int next = 0; next < n; next += 8) {
            const int k = last_block(next, n, 8);
            store8(dst + k, weigh_rows(h, w, k), weigh_rows(h, w, k + 2), weigh_rows(h, w, k + 4),
                   weigh_rows(h, w, k + 6), n - k);
        }
    }
}

} // namespace

const SmoothKernels sse2_kernels = {widen_row,     bilinear_column_sums, bicubic_column_sums,
                                    bilinear_rows, bicubic_rows,         true};
