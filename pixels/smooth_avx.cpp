// The AVX loops of smooth_scale: four doubles per instruction. Every function
// here is compiled for AVX by its own attribute and runs only where the
// processor has AVX and the operating system saves its registers (see
// pixel_path.cpp). The same operations in the same order as the plain and
// SSE2 loops, so the same bytes (vcvtpd2dq rounds to nearest, like the SSE2
// conversion).
#include <immintrin.h>

#include <cstddef>
#include <cstring>

#include "pixels/smooth_kernels.h"
#include "pixels/smooth_store.h"

// Helpers, inlined into the entry points.
#define AVX __attribute__((target("avx")))
// Entry points from plain code: realign a stack that may come aligned to 4
// bytes only (32-bit Windows threads and callbacks).
#define AVX_ENTRY __attribute__((target("avx"), force_align_arg_pointer))

namespace {

// Four bytes from p on as four 32-bit integers.
AVX inline __m128i four_bytes(const uint8_t* p) {
    int32_t bytes;
    std::memcpy(&bytes, p, 4);
    return _mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes));
}

AVX_ENTRY void widen_row(const uint8_t* row, int count, double* wide) {
    const __m256d bias = _mm256_set1_pd(kBias);
    int k = 0;
    for (; k + 4 <= count; k += 4)
        _mm256_storeu_pd(wide + k, _mm256_add_pd(_mm256_cvtepi32_pd(four_bytes(row + k)), bias));
    widen_tail(row, k, count, wide);
}

// The column passes one target column at a time: its three channels and one
// more value fill a four-double register, loaded straight from the widened
// row without any gathering. The fourth result lands on the next column's
// first value, which the next column then overwrites; the rows of sums have
// room for it after the last column.
AVX_ENTRY void bilinear_column_sums(const double* wide, const ColumnTaps& taps, int w,
                                    double* out) {
    const int* off = taps.offset;
    const double* fx = taps.weight;
    for (int i = 0; i < w; ++i) {
        const __m256d a = _mm256_loadu_pd(wide + off[i]);
        const __m256d b = _mm256_loadu_pd(wide + off[i] + 3);
        _mm256_storeu_pd(out + 3 * i, _mm256_add_pd(a, _mm256_mul_pd(_mm256_broadcast_sd(fx + i),
                                                                     _mm256_sub_pd(b, a))));
    }
}

AVX_ENTRY void bicubic_column_sums(const double* wide, const ColumnTaps& taps, int w, double* out) {
    const int* off = taps.offset;
    const double* wt = taps.weight;
    for (int i = 0; i < w; ++i, wt += 4) {
        const double* p = wide + off[i];
        __m256d s = _mm256_mul_pd(_mm256_broadcast_sd(wt), _mm256_loadu_pd(p));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 1), _mm256_loadu_pd(p + 3)));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 2), _mm256_loadu_pd(p + 6)));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 3), _mm256_loadu_pd(p + 9)));
        _mm256_storeu_pd(out + 3 * i, s);
    }
}

// Eight bytes of a target row from two registers of biased values.
AVX inline void store_block(uint8_t* out, __m256d v0, __m256d v1, int n) {
    const __m128i words = _mm_packs_epi32(_mm256_cvtpd_epi32(v0), _mm256_cvtpd_epi32(v1));
    store_row_block(out, _mm_packus_epi16(words, words), n, 8);
}

// Sixteen bytes of a target row from four registers of biased values.
AVX inline void store_block16(uint8_t* out, __m256d v0, __m256d v1, __m256d v2, __m256d v3, int n) {
    const __m128i lo = _mm_packs_epi32(_mm256_cvtpd_epi32(v0), _mm256_cvtpd_epi32(v1));
    const __m128i hi = _mm_packs_epi32(_mm256_cvtpd_epi32(v2), _mm256_cvtpd_epi32(v3));
    store_row_block(out, _mm_packus_epi16(lo, hi), n, 16);
}

AVX_ENTRY void bilinear_rows(const double* top, const double* bottom, const double* fy, int rows,
                             uint8_t* dst, int stride, int n) {
    for (int next = 0; next < n; next += 16) {
        const int k = last_block(next, n, 16);
        const __m256d a0 = _mm256_loadu_pd(top + k), a1 = _mm256_loadu_pd(top + k + 4);
        const __m256d a2 = _mm256_loadu_pd(top + k + 8), a3 = _mm256_loadu_pd(top + k + 12);
        const __m256d d0 = _mm256_sub_pd(_mm256_loadu_pd(bottom + k), a0);
        const __m256d d1 = _mm256_sub_pd(_mm256_loadu_pd(bottom + k + 4), a1);
        const __m256d d2 = _mm256_sub_pd(_mm256_loadu_pd(bottom + k + 8), a2);
        const __m256d d3 = _mm256_sub_pd(_mm256_loadu_pd(bottom + k + 12), a3);
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m256d f = _mm256_broadcast_sd(fy + r);
            store_block16(out, _mm256_add_pd(a0, _mm256_mul_pd(f, d0)),
                          _mm256_add_pd(a1, _mm256_mul_pd(f, d1)),
                          _mm256_add_pd(a2, _mm256_mul_pd(f, d2)),
                          _mm256_add_pd(a3, _mm256_mul_pd(f, d3)), n - k);
        }
    }
}

// ((w0 h0 + w1 h1) + w2 h2) + w3 h3 for the four values at e.
AVX inline __m256d weigh_rows(const double* const h[4], const __m256d w[4], int e) {
    __m256d s = _mm256_add_pd(_mm256_mul_pd(w[0], _mm256_loadu_pd(h[0] + e)),
                              _mm256_mul_pd(w[1], _mm256_loadu_pd(h[1] + e)));
    s = _mm256_add_pd(s, _mm256_mul_pd(w[2], _mm256_loadu_pd(h[2] + e)));
    return _mm256_add_pd(s, _mm256_mul_pd(w[3], _mm256_loadu_pd(h[3] + e)));
}

AVX_ENTRY void bicubic_rows(const double* h0, const double* h1, const double* h2, const double* h3,
                            const double* wy, int rows, uint8_t* dst, int stride, int n) {
    const double* const h[4] = {h0, h1, h2, h3};
    // A row at a time, its four weights in registers.
    for (int r = 0; r < rows; ++r, wy += 4, dst += stride) {
        const __m256d w[4] = {_mm256_broadcast_sd(wy), _mm256_broadcast_sd(wy + 1),
                              _mm256_broadcast_sd(wy + 2), _mm256_broadcast_sd(wy + 3)};
        for (int next = 0; next < n; next += 8) {
            const int k = last_block(next, n, 8);
            store_block(dst + k, weigh_rows(h, w, k), weigh_rows(h, w, k + 4), n - k);
        }
    }
}

} // namespace

const SmoothKernels avx_kernels = {widen_row,     bilinear_column_sums, bicubic_column_sums,
                                   bilinear_rows, bicubic_rows,         false};
