// Bilinear and bicubic enlargement of the capture block.
//
// Target pixel (i, j) samples the block at u = i * kx + 1, v = j * ky + 1
// (kx = cw / W, ky = ch / H; the + 1 skips the left and top margin). Both
// filters are separable: a target value is a weighted sum over source rows of
// weighted sums over source columns, value = sum_r wy[r] * (sum_c wx[c] * P).
// smooth_scale_reference at the end evaluates that pixel by pixel. The fast
// version computes the same value with the work reorganised:
//
//   - the column taps and weights depend on the target column only, so they
//     are worked out once per call instead of once per pixel;
//   - the column sums of one source row depend on the target column only, so
//     each source row is summed once, kept in a small ring of rows and reused
//     by every target row that reads it (at 800 % eight target rows share
//     the same source rows);
//   - the target rows that share their source rows are produced together.
//     Down a column the value is a polynomial in fy whose coefficients depend
//     on the cached sums only: bilinear a + fy (b - a), bicubic (Keys' kernel,
//     a = -1) h1 + fy (c1 + fy (c2 + fy c3)). The coefficients are formed
//     once per group, and each target byte then costs one (bilinear) or three
//     (bicubic) multiply-adds and its conversion.
//
// The loops run on SSE2 (two doubles per instruction) where the compiler
// targets it, which x86-64 always does, and on AVX (four) when the processor
// has it, chosen at run time; each path does the same operations in the same
// order, so they give the same bytes. Without SSE2 (the i686 build) plain
// C++ does the same work.
//
// Everything is computed in double precision. The sums are the reference's
// quantities grouped differently, so they differ from it only in the last
// bits. Both versions truncate the value toward zero, but the fast one adds
// kRoundingSlack first. The weights sum to 1 only up to rounding, and a sample
// that should fall exactly on a source pixel can come out a hair short of it
// (u = 2.9999999999999996 instead of 3), so a value that is exactly 255 can be
// computed as 254.99999999999997 and truncate to 254: the reference renders a
// plain white area at 333 % with nearly half of its bytes at 254 (bicubic).
// The slack is far above that noise (about 1e-13 here) and far below the
// smallest true fraction of a bilinear value (1 / (W * H)), so it only mends
// such bytes; where the two versions differ, the fast one is one higher.
#include "engine/smooth_scale.h"

#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
// The AVX versions are compiled for that instruction set alone (a function
// attribute) and chosen at run time, so the build needs no -march and the
// program still runs on processors without AVX.
#define BRISVANE_SMOOTH_AVX 1
#include <immintrin.h>
#endif
#endif

namespace {

constexpr double kRoundingSlack = 1e-9;

// Added to every source value before any weighting; since the weights of each
// axis sum to 1, every interpolated value v carries it once: the passes
// compute v' = v + kRoundingSlack - 0.5. The byte is trunc(v' + 0.5) in plain
// C++ and the nearest integer to v' in the vector code (one instruction
// instead of two). The two differ only when v' is exactly halfway between
// integers, that is when v + kRoundingSlack is an integer, which takes a v
// within rounding noise of an integer minus the slack.
constexpr double kBias = kRoundingSlack - 0.5;

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

// The byte of a biased value v' (see kBias). Bicubic values overshoot on both
// sides of an edge, so both ends are clamped.
uint8_t biased_byte(double biased) {
    const int v = static_cast<int>(biased + 0.5);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The reference's bicubic byte: the kernel's negative lobes overshoot on both
// sides of an edge.
uint8_t clamped_byte(double value) {
    const int v = static_cast<int>(value);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// Work buffers whose elements are left uninitialised when they are created:
// every element is written before it is read, except the padding that the
// vector code reads past the last real value, which is cleared explicitly.
// (A plain vector would clear them all first, which at the default size
// costs more than the allocations themselves.)
template <typename T> struct NoInitAllocator : std::allocator<T> {
    template <typename U> struct rebind { using other = NoInitAllocator<U>; };
    NoInitAllocator() = default;
    template <typename U> NoInitAllocator(const NoInitAllocator<U>&) {}
    template <typename U> void construct(U* p) { ::new (static_cast<void*>(p)) U; }
    template <typename U, typename... Args> void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};
template <typename T> using Buffer = std::vector<T, NoInitAllocator<T>>;

// Integer part and fraction of the sample position along one axis, for
// every target position; the fractions also twice in a row, as the SIMD
// passes load them.
struct Axis {
    Buffer<int> index;
    Buffer<double> fraction;
    Buffer<double> fraction2; // only with `twice`
};

Axis sample_axis(int target_size, int source_size, bool twice) {
    const double step = static_cast<double>(source_size) / target_size;
    Axis a;
    a.index.resize(target_size);
    a.fraction.resize(target_size);
    for (int t = 0; t < target_size; ++t) {
        const double pos = t * step + 1;
        a.index[t] = static_cast<int>(pos);
        a.fraction[t] = pos - a.index[t];
    }
    if (twice) {
        a.fraction2.resize(2 * static_cast<size_t>(target_size));
        for (int t = 0; t < target_size; ++t)
            a.fraction2[2 * t] = a.fraction2[2 * t + 1] = a.fraction[t];
    }
    return a;
}

inline double cubic_kernel(double t) {
    if (t < 1) return t * t * t - 2 * t * t + 1;
    if (t < 2) return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

void cubic_weights(double f, double* w) {
    w[0] = cubic_kernel(1 + f);
    w[1] = cubic_kernel(f);
    w[2] = cubic_kernel(1 - f);
    w[3] = cubic_kernel(2 - f);
}

// The column taps of every target column. offset: element offset of the
// leftmost tap in a widened source row (3 * column). weight: Taps per column.
// paired (for the SSE2 column pass only): for each two neighbouring target
// columns i and i + 1 and each tap, the weights laid out as that pass takes
// them, (w_i, w_i), (w_i, w_i+1), (w_i+1, w_i+1).
template <int Taps> struct Columns {
    Buffer<int> offset;
    Buffer<double> weight;
    Buffer<double> paired;
};

template <int Taps> void pair_weights(Columns<Taps>* c, int w) {
    c->paired.resize(static_cast<size_t>(w / 2) * Taps * 6);
    double* out = c->paired.data();
    for (int i = 0; i + 2 <= w; i += 2)
        for (int t = 0; t < Taps; ++t) {
            const double a = c->weight[Taps * i + t], b = c->weight[Taps * (i + 1) + t];
            const double six[6] = {a, a, a, b, b, b};
            std::memcpy(out, six, sizeof six);
            out += 6;
        }
}

// Bilinear columns: P(ix) + fx (P(ix + 1) - P(ix)), one tap on the widened
// row and one on its differences.
Columns<1> bilinear_columns(const Axis& x, bool paired) {
    const int w = static_cast<int>(x.index.size());
    Columns<1> c;
    c.offset.resize(w);
    c.weight.resize(w);
    for (int i = 0; i < w; ++i) {
        c.offset[i] = 3 * x.index[i];
        c.weight[i] = x.fraction[i];
    }
    if (paired) pair_weights(&c, w);
    return c;
}

// Bicubic columns ix - 1 ... ix + 2 with k(1 + fx), k(fx), k(1 - fx), k(2 - fx).
Columns<4> bicubic_columns(const Axis& x, bool paired) {
    const int w = static_cast<int>(x.index.size());
    Columns<4> c;
    c.offset.resize(w);
    c.weight.resize(4 * static_cast<size_t>(w));
    for (int i = 0; i < w; ++i) {
        c.offset[i] = 3 * (x.index[i] - 1);
        cubic_weights(x.fraction[i], &c.weight[4 * static_cast<size_t>(i)]);
    }
    if (paired) pair_weights(&c, w);
    return c;
}

// One source row as doubles (plus the bias), and for the bilinear filter the
// differences between horizontally neighbouring pixels: diff[k] = row[k + 3]
// - row[k], exact since both are integers.
void widen_row(const uint8_t* row, int count, double* wide, double* diff) {
    int k = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128d bias = _mm_set1_pd(kBias);
    for (; k + 8 <= count; k += 8) {
        __m128i bytes;
        std::memcpy(&bytes, row + k, 8);
        const __m128i words = _mm_unpacklo_epi8(bytes, zero);
        const __m128i lo = _mm_unpacklo_epi16(words, zero);
        const __m128i hi = _mm_unpackhi_epi16(words, zero);
        _mm_storeu_pd(wide + k, _mm_add_pd(_mm_cvtepi32_pd(lo), bias));
        _mm_storeu_pd(wide + k + 2, _mm_add_pd(_mm_cvtepi32_pd(_mm_srli_si128(lo, 8)), bias));
        _mm_storeu_pd(wide + k + 4, _mm_add_pd(_mm_cvtepi32_pd(hi), bias));
        _mm_storeu_pd(wide + k + 6, _mm_add_pd(_mm_cvtepi32_pd(_mm_srli_si128(hi, 8)), bias));
    }
#endif
    for (; k < count; ++k)
        wide[k] = row[k] + kBias;
    if (!diff) return;
    const int n = count - 3;
    k = 0;
#if defined(__SSE2__)
    for (; k + 8 <= n; k += 8) {
        __m128i a, b;
        std::memcpy(&a, row + k, 8);
        std::memcpy(&b, row + k + 3, 8);
        // Differences of bytes as signed 16-bit words, then sign-extended.
        const __m128i d = _mm_sub_epi16(_mm_unpacklo_epi8(b, zero), _mm_unpacklo_epi8(a, zero));
        const __m128i lo = _mm_srai_epi32(_mm_unpacklo_epi16(d, d), 16);
        const __m128i hi = _mm_srai_epi32(_mm_unpackhi_epi16(d, d), 16);
        _mm_storeu_pd(diff + k, _mm_cvtepi32_pd(lo));
        _mm_storeu_pd(diff + k + 2, _mm_cvtepi32_pd(_mm_srli_si128(lo, 8)));
        _mm_storeu_pd(diff + k + 4, _mm_cvtepi32_pd(hi));
        _mm_storeu_pd(diff + k + 6, _mm_cvtepi32_pd(_mm_srli_si128(hi, 8)));
    }
#endif
    for (; k < n; ++k)
        diff[k] = static_cast<double>(row[k + 3]) - row[k];
}

// Bilinear column pass: out[3i + ch] = wide[o + ch] + fx * diff[o + ch] with
// o = offset[i], for the w target columns.
void bilinear_column_sums(const double* wide, const double* diff, const Columns<1>& cols, int w,
                          double* out) {
    const int* off = cols.offset.data();
    int i = 0;
#if defined(__SSE2__)
    // Two target columns at a time: their six channel values are three pairs,
    // (b, g) of the first, (r of the first, b of the second), (g, r) of the second.
    const double* wt = cols.paired.data();
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
#endif
    for (; i < w; ++i) {
        const int p = off[i];
        const double fx = cols.weight[i];
        for (int ch = 0; ch < 3; ++ch)
            out[3 * i + ch] = wide[p + ch] + fx * diff[p + ch];
    }
}

// Bicubic column pass: out[3i + ch] = sum over the four taps t, in order, of
// weight[i][t] * wide[offset[i] + 3t + ch], for the w target columns.
void bicubic_column_sums(const double* wide, const Columns<4>& cols, int w, double* out) {
    const int* off = cols.offset.data();
    int i = 0;
#if defined(__SSE2__)
    const double* wt = cols.paired.data();
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
#endif
    for (; i < w; ++i) {
        const double* p = wide + off[i];
        const double* wp = &cols.weight[4 * static_cast<size_t>(i)];
        for (int ch = 0; ch < 3; ++ch) {
            double v = wp[0] * p[ch];
            v += wp[1] * p[3 + ch];
            v += wp[2] * p[6 + ch];
            v += wp[3] * p[9 + ch];
            out[3 * i + ch] = v;
        }
    }
}

#if defined(__SSE2__)
// Adding 1.5 * 2^52 rounds a double of magnitude below 2^31 to the nearest
// integer and leaves that integer, two's complement, in the low 32 bits.
// Cheaper than cvttpd2dq, and it takes the four ints of two pairs with one
// shuffle.
inline __m128i nearest_ints(__m128d v0, __m128d v1) {
    const __m128d magic = _mm_set1_pd(6755399441055744.0);
    const __m128 both =
        _mm_shuffle_ps(_mm_castpd_ps(_mm_add_pd(v0, magic)), _mm_castpd_ps(_mm_add_pd(v1, magic)),
                       _MM_SHUFFLE(2, 0, 2, 0));
    return _mm_castps_si128(both);
}

// Eight bytes from four pairs of biased values: the nearest integers, clamped
// to 0 ... 255 by signed saturation to 16 bits and unsigned saturation to bytes.
inline void store8(uint8_t* out, __m128d v0, __m128d v1, __m128d v2, __m128d v3) {
    const __m128i words = _mm_packs_epi32(nearest_ints(v0, v1), nearest_ints(v2, v3));
    _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(words, words));
}

// Four bytes from two pairs of biased values.
inline void store4(uint8_t* out, __m128d v0, __m128d v1) {
    const __m128i ints = nearest_ints(v0, v1);
    const __m128i words = _mm_packs_epi32(ints, ints);
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
    std::memcpy(out, &bytes, 4);
}
#endif

// Target rows that share source rows iy and iy + 1: row t of the group gets
// the bytes of top + fy[t] * (bottom - top), n per row.
void bilinear_rows(const double* top, const double* bottom, const double* fy, const double* fy2,
                   int rows, uint8_t* dst, int stride, int n) {
    int k = 0;
#if defined(__SSE2__)
    // Eight bytes at a time, for all rows of the group while the eight top
    // values and differences sit in registers (named variables rather than
    // arrays, so the compiler keeps them there).
    for (; k + 8 <= n; k += 8) {
        const __m128d a0 = _mm_loadu_pd(top + k), a1 = _mm_loadu_pd(top + k + 2);
        const __m128d a2 = _mm_loadu_pd(top + k + 4), a3 = _mm_loadu_pd(top + k + 6);
        const __m128d d0 = _mm_sub_pd(_mm_loadu_pd(bottom + k), a0);
        const __m128d d1 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 2), a1);
        const __m128d d2 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 4), a2);
        const __m128d d3 = _mm_sub_pd(_mm_loadu_pd(bottom + k + 6), a3);
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m128d f = _mm_loadu_pd(fy2 + 2 * r);
            store8(out, _mm_add_pd(a0, _mm_mul_pd(f, d0)), _mm_add_pd(a1, _mm_mul_pd(f, d1)),
                   _mm_add_pd(a2, _mm_mul_pd(f, d2)), _mm_add_pd(a3, _mm_mul_pd(f, d3)));
        }
    }
#else
    (void)fy2; // the broadcast fractions serve the vector code only
#endif
    for (; k < n; ++k) {
        const double a = top[k];
        const double d = bottom[k] - top[k];
        for (int r = 0; r < rows; ++r)
            dst[static_cast<ptrdiff_t>(r) * stride + k] = biased_byte(a + fy[r] * d);
    }
}

// Target rows that share source rows iy - 1 ... iy + 2 (column sums h0 ... h3):
// row t of the group gets the bytes of
//   k(1 + f) h0 + k(f) h1 + k(1 - f) h2 + k(2 - f) h3
//     = h1 + f (c1 + f (c2 + f c3)),  f = fy[t],
// with c1 = h2 - h0, c2 = 2 (h0 - h1) + (h2 - h3), c3 = (h1 - h0) + (h3 - h2),
// n per row.
void bicubic_rows(const double* h0, const double* h1, const double* h2, const double* h3,
                  const double* fy, const double* fy2, int rows, uint8_t* dst, int stride, int n) {
    int k = 0;
#if defined(__SSE2__)
    // Four bytes at a time: eight coefficient registers stay live over the
    // rows of the group.
    for (; k + 4 <= n; k += 4) {
        const __m128d p0 = _mm_loadu_pd(h0 + k), q0 = _mm_loadu_pd(h0 + k + 2);
        const __m128d p1 = _mm_loadu_pd(h1 + k), q1 = _mm_loadu_pd(h1 + k + 2);
        const __m128d p2 = _mm_loadu_pd(h2 + k), q2 = _mm_loadu_pd(h2 + k + 2);
        const __m128d p3 = _mm_loadu_pd(h3 + k), q3 = _mm_loadu_pd(h3 + k + 2);
        const __m128d pc1 = _mm_sub_pd(p2, p0), qc1 = _mm_sub_pd(q2, q0);
        const __m128d p01 = _mm_sub_pd(p0, p1), q01 = _mm_sub_pd(q0, q1);
        const __m128d p23 = _mm_sub_pd(p2, p3), q23 = _mm_sub_pd(q2, q3);
        const __m128d pc2 = _mm_add_pd(_mm_add_pd(p01, p01), p23);
        const __m128d qc2 = _mm_add_pd(_mm_add_pd(q01, q01), q23);
        const __m128d pc3 = _mm_sub_pd(_mm_setzero_pd(), _mm_add_pd(p01, p23));
        const __m128d qc3 = _mm_sub_pd(_mm_setzero_pd(), _mm_add_pd(q01, q23));
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m128d f = _mm_loadu_pd(fy2 + 2 * r);
            const __m128d pv = _mm_add_pd(
                p1,
                _mm_mul_pd(f, _mm_add_pd(pc1, _mm_mul_pd(f, _mm_add_pd(pc2, _mm_mul_pd(f, pc3))))));
            const __m128d qv = _mm_add_pd(
                q1,
                _mm_mul_pd(f, _mm_add_pd(qc1, _mm_mul_pd(f, _mm_add_pd(qc2, _mm_mul_pd(f, qc3))))));
            store4(out, pv, qv);
        }
    }
#else
    (void)fy2;
#endif
    for (; k < n; ++k) {
        const double c1 = h2[k] - h0[k];
        const double d01 = h0[k] - h1[k];
        const double d23 = h2[k] - h3[k];
        const double c2 = (d01 + d01) + d23;
        const double c3 = -(d01 + d23);
        for (int r = 0; r < rows; ++r) {
            const double f = fy[r];
            dst[static_cast<ptrdiff_t>(r) * stride + k] =
                biased_byte(h1[k] + f * (c1 + f * (c2 + f * c3)));
        }
    }
}

#if defined(BRISVANE_SMOOTH_AVX)
// The AVX versions: the same operations in the same order as the SSE2 and
// scalar code, so the same bytes (vcvtpd2dq rounds to nearest, as the SSE2
// conversion does); four doubles per instruction instead of two.

// Four bytes from p on as four 32-bit integers.
__attribute__((target("avx"))) inline __m128i four_bytes(const uint8_t* p) {
    int32_t bytes;
    std::memcpy(&bytes, p, 4);
    return _mm_cvtepu8_epi32(_mm_cvtsi32_si128(bytes));
}

// One source row as doubles (plus the bias) and its differences, as
// widen_row, four at a time.
__attribute__((target("avx"))) void widen_row_avx(const uint8_t* row, int count, double* wide,
                                                  double* diff) {
    const __m256d bias = _mm256_set1_pd(kBias);
    int k = 0;
    for (; k + 4 <= count; k += 4)
        _mm256_storeu_pd(wide + k, _mm256_add_pd(_mm256_cvtepi32_pd(four_bytes(row + k)), bias));
    for (; k < count; ++k)
        wide[k] = row[k] + kBias;
    if (!diff) return;
    const int n = count - 3;
    for (k = 0; k + 4 <= n; k += 4)
        _mm256_storeu_pd(diff + k, _mm256_cvtepi32_pd(_mm_sub_epi32(four_bytes(row + k + 3),
                                                                    four_bytes(row + k))));
    for (; k < n; ++k)
        diff[k] = static_cast<double>(row[k + 3]) - row[k];
}

// The column passes one target column at a time: its three channels and one
// more value fill a four-double register, loaded straight from the widened
// row without any gathering. The fourth result lands on the next column's
// first value, which the next column then overwrites; the rows of sums have
// room for it after the last column.
__attribute__((target("avx"))) void bilinear_column_sums_avx(const double* wide, const double* diff,
                                                             const Columns<1>& cols, int w,
                                                             double* out) {
    const int* off = cols.offset.data();
    const double* fx = cols.weight.data();
    for (int i = 0; i < w; ++i) {
        const int p = off[i];
        const __m256d v =
            _mm256_add_pd(_mm256_loadu_pd(wide + p),
                          _mm256_mul_pd(_mm256_broadcast_sd(fx + i), _mm256_loadu_pd(diff + p)));
        _mm256_storeu_pd(out + 3 * i, v);
    }
}

__attribute__((target("avx"))) void
bicubic_column_sums_avx(const double* wide, const Columns<4>& cols, int w, double* out) {
    const int* off = cols.offset.data();
    const double* wt = cols.weight.data();
    for (int i = 0; i < w; ++i, wt += 4) {
        const double* p = wide + off[i];
        __m256d s = _mm256_mul_pd(_mm256_broadcast_sd(wt), _mm256_loadu_pd(p));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 1), _mm256_loadu_pd(p + 3)));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 2), _mm256_loadu_pd(p + 6)));
        s = _mm256_add_pd(s, _mm256_mul_pd(_mm256_broadcast_sd(wt + 3), _mm256_loadu_pd(p + 9)));
        _mm256_storeu_pd(out + 3 * i, s);
    }
}

// Eight bytes of a target row from two registers of biased values; a last,
// partial block (n < 8) is computed in full and cut, since the rows of sums
// are padded to whole blocks of sixteen.
__attribute__((target("avx"))) inline void store_block(uint8_t* out, __m256d v0, __m256d v1,
                                                       int n) {
    const __m128i words = _mm_packs_epi32(_mm256_cvtpd_epi32(v0), _mm256_cvtpd_epi32(v1));
    const __m128i bytes = _mm_packus_epi16(words, words);
    if (n >= 8) {
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    } else {
        uint8_t block[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block), bytes);
        std::memcpy(out, block, static_cast<size_t>(n));
    }
}

// Sixteen bytes of a target row from four registers of biased values, cut
// like store_block.
__attribute__((target("avx"))) inline void store_block16(uint8_t* out, __m256d v0, __m256d v1,
                                                         __m256d v2, __m256d v3, int n) {
    const __m128i lo = _mm_packs_epi32(_mm256_cvtpd_epi32(v0), _mm256_cvtpd_epi32(v1));
    const __m128i hi = _mm_packs_epi32(_mm256_cvtpd_epi32(v2), _mm256_cvtpd_epi32(v3));
    const __m128i bytes = _mm_packus_epi16(lo, hi);
    if (n >= 16) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    } else {
        uint8_t block[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block), bytes);
        std::memcpy(out, block, static_cast<size_t>(n));
    }
}

__attribute__((target("avx"))) void bilinear_rows_avx(const double* top, const double* bottom,
                                                      const double* fy, int rows, uint8_t* dst,
                                                      int stride, int n) {
    for (int k = 0; k < n; k += 16) {
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

__attribute__((target("avx"))) inline __m256d horner(__m256d c0, __m256d c1, __m256d c2, __m256d c3,
                                                     __m256d f) {
    return _mm256_add_pd(
        c0, _mm256_mul_pd(
                f, _mm256_add_pd(c1, _mm256_mul_pd(f, _mm256_add_pd(c2, _mm256_mul_pd(f, c3))))));
}

__attribute__((target("avx"))) void bicubic_rows_avx(const double* h0, const double* h1,
                                                     const double* h2, const double* h3,
                                                     const double* fy, int rows, uint8_t* dst,
                                                     int stride, int n) {
    for (int k = 0; k < n; k += 8) {
        const __m256d p0 = _mm256_loadu_pd(h0 + k), q0 = _mm256_loadu_pd(h0 + k + 4);
        const __m256d p1 = _mm256_loadu_pd(h1 + k), q1 = _mm256_loadu_pd(h1 + k + 4);
        const __m256d p2 = _mm256_loadu_pd(h2 + k), q2 = _mm256_loadu_pd(h2 + k + 4);
        const __m256d p3 = _mm256_loadu_pd(h3 + k), q3 = _mm256_loadu_pd(h3 + k + 4);
        const __m256d pc1 = _mm256_sub_pd(p2, p0), qc1 = _mm256_sub_pd(q2, q0);
        const __m256d p01 = _mm256_sub_pd(p0, p1), q01 = _mm256_sub_pd(q0, q1);
        const __m256d p23 = _mm256_sub_pd(p2, p3), q23 = _mm256_sub_pd(q2, q3);
        const __m256d pc2 = _mm256_add_pd(_mm256_add_pd(p01, p01), p23);
        const __m256d qc2 = _mm256_add_pd(_mm256_add_pd(q01, q01), q23);
        const __m256d pc3 = _mm256_sub_pd(_mm256_setzero_pd(), _mm256_add_pd(p01, p23));
        const __m256d qc3 = _mm256_sub_pd(_mm256_setzero_pd(), _mm256_add_pd(q01, q23));
        uint8_t* out = dst + k;
        for (int r = 0; r < rows; ++r, out += stride) {
            const __m256d f = _mm256_broadcast_sd(fy + r);
            store_block(out, horner(p1, pc1, pc2, pc3, f), horner(q1, qc1, qc2, qc3, f), n - k);
        }
    }
}

bool avx_available() {
    static const bool available = __builtin_cpu_supports("avx");
    return available;
}
#endif

bool baseline_vectors_only = false; // see smooth_scale_limit_vectors

bool use_avx() {
#if defined(BRISVANE_SMOOTH_AVX)
    return !baseline_vectors_only && avx_available();
#else
    return false;
#endif
}

// The column sums of source rows, computed on first use and kept in a ring of
// Slots rows. A group of target rows needs Slots consecutive source rows,
// which never share a slot, and the groups move down the block, so each
// source row is widened and summed once.
template <int Slots> class RowCache {
  public:
    // Rows of sums hold 3 w values, padded to whole blocks of sixteen with at
    // least one more (see the AVX passes); the widened row has room for the
    // values past its end that the AVX bicubic pass loads and ignores.
    RowCache(const uint8_t* block, int stride, int cw, int w, bool with_diff, bool avx)
        : block_(block), stride_(stride), count_(3 * (cw + 3)),
          n_((3 * static_cast<size_t>(w) + 16) & ~static_cast<size_t>(15)), avx_(avx),
          wide_(count_ + 8), diff_(with_diff ? count_ + 8 : 0), sums_(Slots * n_) {
        // The padding the vector code reads but whose results it drops.
        for (int k = count_; k < count_ + 8; ++k)
            wide_[k] = 0;
        for (int s = 0; s < Slots; ++s)
            for (size_t k = 3 * static_cast<size_t>(w); k < n_; ++k)
                sums_[s * n_ + k] = 0;
        for (int& r : row_)
            r = -1;
    }
    // The slot of source row r, and whether it has to be (re)computed.
    double* slot(int r, bool* fresh) {
        const int s = r % Slots;
        *fresh = row_[s] != r;
        row_[s] = r;
        return sums_.data() + s * n_;
    }
    const double* widen(int r) {
        const uint8_t* src = block_ + static_cast<ptrdiff_t>(r) * stride_;
        double* diff = diff_.empty() ? nullptr : diff_.data();
#if defined(BRISVANE_SMOOTH_AVX)
        if (avx_) {
            widen_row_avx(src, count_, wide_.data(), diff);
            return wide_.data();
        }
#endif
        widen_row(src, count_, wide_.data(), diff);
        return wide_.data();
    }
    const double* diff() const {
        return diff_.data();
    }

  private:
    const uint8_t* block_;
    int stride_, count_;
    size_t n_;
    bool avx_;
    Buffer<double> wide_, diff_, sums_;
    int row_[Slots];
};

// Calls group(first, count) for each run of target rows with the same
// integer sample row.
template <typename Group> void for_each_row_group(const Axis& y, Group group) {
    const int h = static_cast<int>(y.index.size());
    for (int j0 = 0; j0 < h;) {
        int j1 = j0 + 1;
        while (j1 < h && y.index[j1] == y.index[j0])
            ++j1;
        group(j0, j1 - j0);
        j0 = j1;
    }
}

void scale_bilinear(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const bool avx = use_avx();
    const Axis x = sample_axis(w, cw, false);
    const Axis y = sample_axis(h, ch, !avx);
    const Columns<1> cols = bilinear_columns(x, !avx);
    RowCache<2> cache(block, ss, cw, w, true, avx);
    auto row = [&](int r) -> const double* {
        bool fresh;
        double* out = cache.slot(r, &fresh);
        if (!fresh) return out;
#if defined(BRISVANE_SMOOTH_AVX)
        if (avx) {
            bilinear_column_sums_avx(cache.widen(r), cache.diff(), cols, w, out);
            return out;
        }
#endif
        bilinear_column_sums(cache.widen(r), cache.diff(), cols, w, out);
        return out;
    };
    const int sd = target_stride(w);
    for_each_row_group(y, [&](int j, int count) {
        const int iy = y.index[j];
        const double* top = row(iy);
        const double* bottom = row(iy + 1);
        uint8_t* out = dst + static_cast<ptrdiff_t>(j) * sd;
#if defined(BRISVANE_SMOOTH_AVX)
        if (avx) {
            bilinear_rows_avx(top, bottom, &y.fraction[j], count, out, sd, 3 * w);
            return;
        }
#endif
        bilinear_rows(top, bottom, &y.fraction[j], &y.fraction2[2 * static_cast<size_t>(j)], count,
                      out, sd, 3 * w);
    });
}

void scale_bicubic(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const bool avx = use_avx();
    const Axis x = sample_axis(w, cw, false);
    const Axis y = sample_axis(h, ch, !avx);
    const Columns<4> cols = bicubic_columns(x, !avx);
    RowCache<4> cache(block, ss, cw, w, false, avx);
    auto row = [&](int r) -> const double* {
        bool fresh;
        double* out = cache.slot(r, &fresh);
        if (!fresh) return out;
#if defined(BRISVANE_SMOOTH_AVX)
        if (avx) {
            bicubic_column_sums_avx(cache.widen(r), cols, w, out);
            return out;
        }
#endif
        bicubic_column_sums(cache.widen(r), cols, w, out);
        return out;
    };
    const int sd = target_stride(w);
    for_each_row_group(y, [&](int j, int count) {
        const int iy = y.index[j];
        const double* h0 = row(iy - 1);
        const double* h1 = row(iy);
        const double* h2 = row(iy + 1);
        const double* h3 = row(iy + 2);
        uint8_t* out = dst + static_cast<ptrdiff_t>(j) * sd;
        const double* fy2 = avx ? nullptr : &y.fraction2[2 * static_cast<size_t>(j)];
#if defined(BRISVANE_SMOOTH_AVX)
        if (avx) {
            bicubic_rows_avx(h0, h1, h2, h3, &y.fraction[j], count, out, sd, 3 * w);
            return;
        }
#endif
        bicubic_rows(h0, h1, h2, h3, &y.fraction[j], fy2, count, out, sd, 3 * w);
    });
}

} // namespace

double bicubic_weight(double t) {
    return cubic_kernel(t);
}

void smooth_scale_limit_vectors(bool baseline_only) {
    baseline_vectors_only = baseline_only;
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
                    out[3 * i + c] = clamped_byte(value);
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
