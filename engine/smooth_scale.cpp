// Bilinear and bicubic enlargement of the capture block.
//
// Target pixel (i, j) samples the block at u = i * kx + 1, v = j * ky + 1
// (kx = cw / W, ky = ch / H; the + 1 skips the left and top margin). Both
// filters are separable: a target value is a weighted sum over source rows of
// weighted sums over source columns. The fast version keeps that exact order
// of operations but reorganises the work:
//
//   - the column taps and weights depend on the target column only, so they
//     are computed once per call instead of once per pixel;
//   - the column sums (or products) of one source row depend on the target
//     column only, so each source row is worked through once and kept in a
//     small ring of rows, and every target row that reads that source row
//     reuses it (at 300 % three target rows share each source row);
//   - what is left per target pixel is a four-term weighted sum of cached
//     rows and the conversion to a byte, done two doubles at a time with SSE2
//     where the compiler targets it.
//
// Every partial result is computed with the same operands, in the same order
// and in double precision, as the pixel-by-pixel reference below.
//
// One deliberate difference: the fast version adds kRoundingSlack before it
// truncates. The weights sum to 1 only up to rounding, and a sample position
// that should fall exactly on a source pixel can come out a hair short of it
// (u = 2.9999999999999996 instead of 3), so a value that is exactly 255 can
// come out as 254.99999999999997 and truncate to 254: the reference renders a
// plain white area at 333 % with nearly half of its bytes at 254 (bicubic). The slack
// is far above that noise (about 1e-13 here) and far below the smallest true
// fraction of a bilinear value (1 / (W * H)), so it only mends such bytes. Where
// the results differ, the fast one is exactly one more than the reference.
#include "engine/smooth_scale.h"

#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr double kRoundingSlack = 1e-9;

int source_stride(int cw) {
    return (3 * cw + 12) & ~3;
}
int target_stride(int w) {
    return (3 * w + 3) & ~3;
}

uint8_t bilinear_byte(double value) {
    // Never negative: all weights are in [0, 1].
    const int v = static_cast<int>(value);
    return static_cast<uint8_t>(v > 255 ? 255 : v);
}

uint8_t bicubic_byte(double value) {
    // The negative lobes overshoot on both sides of an edge.
    const int v = static_cast<int>(value);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Position, integer part and fraction of a sample along one axis.
struct Sample {
    int index;
    double fraction;
};

Sample sample_at(int target, double step) {
    const double pos = target * step + 1;
    const int index = static_cast<int>(pos);
    return {index, pos - index};
}

void cubic_weights(double f, double w[4]) {
    w[0] = bicubic_weight(1 + f);
    w[1] = bicubic_weight(f);
    w[2] = bicubic_weight(1 - f);
    w[3] = bicubic_weight(2 - f);
}

// out[k] = byte of (((w0 r0[k] + w1 r1[k]) + w2 r2[k]) + w3 r3[k]) plus the
// slack, truncated toward zero and clamped to 0 ... 255, for k < count.
void combine_rows(const double* r0, const double* r1, const double* r2, const double* r3,
                  const double w[4], uint8_t* out, int count) {
    int k = 0;
#if defined(__SSE2__)
    const __m128d w0 = _mm_set1_pd(w[0]);
    const __m128d w1 = _mm_set1_pd(w[1]);
    const __m128d w2 = _mm_set1_pd(w[2]);
    const __m128d w3 = _mm_set1_pd(w[3]);
    const __m128d slack = _mm_set1_pd(kRoundingSlack);
    auto pair = [&](int at) {
        __m128d v = _mm_mul_pd(w0, _mm_loadu_pd(r0 + at));
        v = _mm_add_pd(v, _mm_mul_pd(w1, _mm_loadu_pd(r1 + at)));
        v = _mm_add_pd(v, _mm_mul_pd(w2, _mm_loadu_pd(r2 + at)));
        v = _mm_add_pd(v, _mm_mul_pd(w3, _mm_loadu_pd(r3 + at)));
        v = _mm_add_pd(v, slack);
        return _mm_cvttpd_epi32(v); // two truncated ints in the low half
    };
    for (; k + 8 <= count; k += 8) {
        const __m128i lo = _mm_unpacklo_epi64(pair(k), pair(k + 2));
        const __m128i hi = _mm_unpacklo_epi64(pair(k + 4), pair(k + 6));
        // Signed saturation to 16 bits, then unsigned saturation to bytes:
        // exactly the clamp to 0 ... 255.
        const __m128i words = _mm_packs_epi32(lo, hi);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(words, words));
    }
#endif
    for (; k < count; ++k) {
        double v = w[0] * r0[k];
        v += w[1] * r1[k];
        v += w[2] * r2[k];
        v += w[3] * r3[k];
        out[k] = bicubic_byte(v + kRoundingSlack);
    }
}

// Widens one source row (cw + 3 pixels) to doubles once, so the column pass
// does not convert every byte again for each target column that reads it.
void widen_row(const uint8_t* row, int count, double* out) {
    for (int k = 0; k < count; ++k)
        out[k] = row[k];
}

struct Columns {
    std::vector<int> offset;    // element offset of the leftmost tap, 3 * column
    std::vector<double> weight; // taps per column
};

void scale_bilinear(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const double kx = static_cast<double>(cw) / w;
    const double ky = static_cast<double>(ch) / h;
    const int n = 3 * w;

    // value = P(ix, iy)(1 - fx)(1 - fy) + P(ix + 1, iy) fx (1 - fy)
    //       + P(ix, iy + 1)(1 - fx) fy + P(ix + 1, iy + 1) fx fy, summed in
    // this order. The row pass keeps the two column products P(ix)(1 - fx)
    // and P(ix + 1) fx of a source row; the target pass weights them by
    // (1 - fy) and fy.
    Columns cols;
    cols.offset.resize(w);
    cols.weight.resize(2 * static_cast<size_t>(w));
    for (int i = 0; i < w; ++i) {
        const Sample s = sample_at(i, kx);
        cols.offset[i] = 3 * s.index;
        cols.weight[2 * i] = 1 - s.fraction;
        cols.weight[2 * i + 1] = s.fraction;
    }

    // Ring of two source rows (iy and iy + 1 always land in different slots),
    // each as its left products and its right products.
    std::vector<double> wide(3 * (static_cast<size_t>(cw) + 3));
    std::vector<double> products(4 * static_cast<size_t>(n));
    int cached[2] = {-1, -1};
    auto left = [&](int slot) { return products.data() + (2 * slot) * static_cast<size_t>(n); };
    auto right = [&](int slot) {
        return products.data() + (2 * slot + 1) * static_cast<size_t>(n);
    };
    auto row_products = [&](int r) {
        const int slot = r & 1;
        if (cached[slot] == r) return slot;
        widen_row(block + static_cast<ptrdiff_t>(r) * ss, 3 * (cw + 3), wide.data());
        double* a = left(slot);
        double* b = right(slot);
        for (int i = 0; i < w; ++i) {
            const double* p = wide.data() + cols.offset[i];
            const double wl = cols.weight[2 * i];
            const double wr = cols.weight[2 * i + 1];
            for (int c = 0; c < 3; ++c) {
                a[3 * i + c] = p[c] * wl;
                b[3 * i + c] = p[3 + c] * wr;
            }
        }
        cached[slot] = r;
        return slot;
    };

    const int sd = target_stride(w);
    for (int j = 0; j < h; ++j) {
        const Sample s = sample_at(j, ky);
        const int top = row_products(s.index);
        const int bottom = row_products(s.index + 1);
        const double weights[4] = {1 - s.fraction, 1 - s.fraction, s.fraction, s.fraction};
        combine_rows(left(top), right(top), left(bottom), right(bottom), weights,
                     dst + static_cast<ptrdiff_t>(j) * sd, n);
    }
}

void scale_bicubic(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const double kx = static_cast<double>(cw) / w;
    const double ky = static_cast<double>(ch) / h;
    const int n = 3 * w;

    // Columns ix - 1 ... ix + 2 with weights k(1 + fx), k(fx), k(1 - fx), k(2 - fx).
    Columns cols;
    cols.offset.resize(w);
    cols.weight.resize(4 * static_cast<size_t>(w));
    for (int i = 0; i < w; ++i) {
        const Sample s = sample_at(i, kx);
        cols.offset[i] = 3 * (s.index - 1);
        cubic_weights(s.fraction, &cols.weight[4 * static_cast<size_t>(i)]);
    }

    // Ring of four source rows: iy - 1 ... iy + 2 are four consecutive rows,
    // so they never share a slot. Each holds the row's column sums.
    std::vector<double> wide(3 * (static_cast<size_t>(cw) + 3));
    std::vector<double> sums(4 * static_cast<size_t>(n));
    int cached[4] = {-1, -1, -1, -1};
    auto row_sums = [&](int r) -> const double* {
        const int slot = r & 3;
        double* out = sums.data() + slot * static_cast<size_t>(n);
        if (cached[slot] == r) return out;
        widen_row(block + static_cast<ptrdiff_t>(r) * ss, 3 * (cw + 3), wide.data());
        for (int i = 0; i < w; ++i) {
            const double* p = wide.data() + cols.offset[i];
            const double* wx = &cols.weight[4 * static_cast<size_t>(i)];
            for (int c = 0; c < 3; ++c) {
                double v = wx[0] * p[c];
                v += wx[1] * p[3 + c];
                v += wx[2] * p[6 + c];
                v += wx[3] * p[9 + c];
                out[3 * i + c] = v;
            }
        }
        cached[slot] = r;
        return out;
    };

    const int sd = target_stride(w);
    for (int j = 0; j < h; ++j) {
        const Sample s = sample_at(j, ky);
        double wy[4];
        cubic_weights(s.fraction, wy);
        const double* r0 = row_sums(s.index - 1);
        const double* r1 = row_sums(s.index);
        const double* r2 = row_sums(s.index + 1);
        const double* r3 = row_sums(s.index + 2);
        combine_rows(r0, r1, r2, r3, wy, dst + static_cast<ptrdiff_t>(j) * sd, n);
    }
}

} // namespace

double bicubic_weight(double t) {
    if (t < 1) return t * t * t - 2 * t * t + 1;
    if (t < 2) return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

void smooth_scale(const uint8_t* src, int src_x, int src_y, int cw, int ch, uint8_t* dst, int w,
                  int h, int mode) {
    if (cw < 1 || ch < 1 || w < 1 || h < 1) return;
    const int ss = source_stride(cw);
    const uint8_t* block = src + static_cast<ptrdiff_t>(src_y) * ss + 3 * src_x;
    if (mode == 2)
        scale_bicubic(block, ss, cw, ch, dst, w, h);
    else
        scale_bilinear(block, ss, cw, ch, dst, w, h);
}

void smooth_scale_reference(const uint8_t* src, int src_x, int src_y, int cw, int ch, uint8_t* dst,
                            int w, int h, int mode) {
    if (cw < 1 || ch < 1 || w < 1 || h < 1) return;
    const int ss = source_stride(cw);
    const int sd = target_stride(w);
    const uint8_t* block = src + static_cast<ptrdiff_t>(src_y) * ss + 3 * src_x;
    const double kx = static_cast<double>(cw) / w;
    const double ky = static_cast<double>(ch) / h;
    for (int j = 0; j < h; ++j) {
        const double v = j * ky + 1;
        const int iy = static_cast<int>(v);
        const double fy = v - iy;
        uint8_t* out = dst + static_cast<ptrdiff_t>(j) * sd;
        for (int i = 0; i < w; ++i) {
            const double u = i * kx + 1;
            const int ix = static_cast<int>(u);
            const double fx = u - ix;
            for (int c = 0; c < 3; ++c) {
                auto P = [&](int col, int row) -> double {
                    return block[static_cast<ptrdiff_t>(row) * ss + 3 * col + c];
                };
                if (mode == 2) {
                    const double wx[4] = {bicubic_weight(1 + fx), bicubic_weight(fx),
                                          bicubic_weight(1 - fx), bicubic_weight(2 - fx)};
                    const double wy[4] = {bicubic_weight(1 + fy), bicubic_weight(fy),
                                          bicubic_weight(1 - fy), bicubic_weight(2 - fy)};
                    double value = 0;
                    for (int r = 0; r < 4; ++r) {
                        double row_sum = 0;
                        for (int k = 0; k < 4; ++k)
                            row_sum += wx[k] * P(ix - 1 + k, iy - 1 + r);
                        value += wy[r] * row_sum;
                    }
                    out[3 * i + c] = bicubic_byte(value);
                } else {
                    const double value =
                        P(ix, iy) * (1 - fx) * (1 - fy) + P(ix + 1, iy) * fx * (1 - fy) +
                        P(ix, iy + 1) * (1 - fx) * fy + P(ix + 1, iy + 1) * fx * fy;
                    out[3 * i + c] = bilinear_byte(value);
                }
            }
        }
    }
}
