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
// The loops that touch every value come in three sets (engine/smooth_kernels.h):
// plain C++, SSE2 and AVX. The widest one the processor and the operating
// system run is chosen once when the program starts; the 32-bit program is
// built for any x86, so without the vector sets it would run the plain loops
// on the x87 unit at a fraction of the speed.
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
#include <memory>
#include <utility>
#include <vector>

#include "engine/cpu_features.h"
#include "engine/smooth_kernels.h"

namespace {

int source_stride(int cw) {
    return (3 * cw + 12) & ~3;
}
int target_stride(int w) {
    return (3 * w + 3) & ~3;
}

// The byte of a biased value v' (see kBias). Bicubic values overshoot on both
// sides of an edge, so both ends are clamped.
uint8_t biased_byte(double biased) {
    const int v = static_cast<int>(biased + 0.5);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The reference's bytes: truncated, and clamped at both ends since the
// bicubic kernel's negative lobes overshoot on both sides of an edge (the
// bilinear value is never out of range).
uint8_t clamped_byte(double value) {
    const int v = static_cast<int>(value);
    return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

// The plain loops, for processors without SSE2 (see SmoothKernels).
void plain_widen_row(const uint8_t* row, int count, double* wide, double* diff) {
    for (int k = 0; k < count; ++k)
        wide[k] = row[k] + kBias;
    if (!diff) return;
    for (int k = 0; k < count - 3; ++k)
        diff[k] = static_cast<double>(row[k + 3]) - row[k];
}

void plain_bilinear_column_sums(const double* wide, const double* diff, const ColumnTaps& taps,
                                int w, double* out) {
    for (int i = 0; i < w; ++i) {
        const int p = taps.offset[i];
        const double fx = taps.weight[i];
        for (int ch = 0; ch < 3; ++ch)
            out[3 * i + ch] = wide[p + ch] + fx * diff[p + ch];
    }
}

void plain_bicubic_column_sums(const double* wide, const ColumnTaps& taps, int w, double* out) {
    for (int i = 0; i < w; ++i) {
        const double* p = wide + taps.offset[i];
        const double* wp = taps.weight + 4 * static_cast<ptrdiff_t>(i);
        for (int ch = 0; ch < 3; ++ch) {
            double v = wp[0] * p[ch];
            v += wp[1] * p[3 + ch];
            v += wp[2] * p[6 + ch];
            v += wp[3] * p[9 + ch];
            out[3 * i + ch] = v;
        }
    }
}

void plain_bilinear_rows(const double* top, const double* bottom, const double* fy, int rows,
                         uint8_t* dst, int stride, int n) {
    for (int k = 0; k < n; ++k) {
        const double a = top[k];
        const double d = bottom[k] - top[k];
        for (int r = 0; r < rows; ++r)
            dst[static_cast<ptrdiff_t>(r) * stride + k] = biased_byte(a + fy[r] * d);
    }
}

void plain_bicubic_rows(const double* h0, const double* h1, const double* h2, const double* h3,
                        const double* fy, int rows, uint8_t* dst, int stride, int n) {
    for (int k = 0; k < n; ++k) {
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

} // namespace

const SmoothKernels plain_kernels = {plain_widen_row,     plain_bilinear_column_sums,
                                     plain_bicubic_column_sums, plain_bilinear_rows,
                                     plain_bicubic_rows,  false};

namespace {

const SmoothKernels* kernels_of(SmoothPath path) {
    switch (path) {
    case SmoothPath::avx: return &avx_kernels;
    case SmoothPath::sse2: return &sse2_kernels;
    default: return &plain_kernels;
    }
}

SmoothPath widest_path() {
    if (cpu_has_avx()) return SmoothPath::avx;
    if (cpu_has_sse2()) return SmoothPath::sse2;
    return SmoothPath::plain;
}

// Asked once, when the program starts: the paint then only follows a pointer.
const SmoothPath machine_path = widest_path();
SmoothPath active_path = machine_path;
const SmoothKernels* active = kernels_of(machine_path);

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
// every target position.
struct Axis {
    Buffer<int> index;
    Buffer<double> fraction;
};

Axis sample_axis(int target_size, int source_size) {
    const double step = static_cast<double>(source_size) / target_size;
    Axis a;
    a.index.resize(target_size);
    a.fraction.resize(target_size);
    for (int t = 0; t < target_size; ++t) {
        const double pos = t * step + 1;
        a.index[t] = static_cast<int>(pos);
        a.fraction[t] = pos - a.index[t];
    }
    return a;
}

inline double cubic_kernel(double t) {
    if (t < 1) return t * t * t - 2 * t * t + 1;
    if (t < 2) return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

// The column taps of every target column (see ColumnTaps).
template <int Taps> struct Columns {
    Buffer<int> offset;
    Buffer<double> weight;
    Buffer<double> paired;
    ColumnTaps taps() const { return {offset.data(), weight.data(), paired.data()}; }
};

template <int Taps> void pair_weights(Columns<Taps>* c, int w) {
    c->paired.resize(static_cast<size_t>(w / 2) * Taps * 6);
    double* out = c->paired.data();
    for (int i = 0; i + 2 <= w; i += 2)
        for (int t = 0; t < Taps; ++t) {
            const double a = c->weight[Taps * i + t], b = c->weight[Taps * (i + 1) + t];
            *out++ = a;
            *out++ = a;
            *out++ = a;
            *out++ = b;
            *out++ = b;
            *out++ = b;
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
        const double f = x.fraction[i];
        double* wt = &c.weight[4 * static_cast<size_t>(i)];
        c.offset[i] = 3 * (x.index[i] - 1);
        wt[0] = cubic_kernel(1 + f);
        wt[1] = cubic_kernel(f);
        wt[2] = cubic_kernel(1 - f);
        wt[3] = cubic_kernel(2 - f);
    }
    if (paired) pair_weights(&c, w);
    return c;
}

// The column sums of source rows, computed on first use and kept in a ring of
// Slots rows. A group of target rows needs Slots consecutive source rows,
// which never share a slot, and the groups move down the block, so each
// source row is widened and summed once.
template <int Slots> class RowCache {
  public:
    // Rows of sums hold 3 w values, padded to whole blocks of sixteen with at
    // least one more: the vector row passes convert whole blocks, and the AVX
    // column pass writes one value past each column. The widened row has room
    // for the values past its end that the AVX bicubic pass loads and ignores.
    RowCache(const uint8_t* block, int stride, int cw, int w, bool with_diff)
        : block_(block), stride_(stride), count_(3 * (cw + 3)),
          n_((3 * static_cast<size_t>(w) + 16) & ~static_cast<size_t>(15)), wide_(count_ + 8),
          diff_(with_diff ? count_ + 8 : 0), sums_(Slots * n_) {
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
        active->widen_row(block_ + static_cast<ptrdiff_t>(r) * stride_, count_, wide_.data(),
                          diff_.empty() ? nullptr : diff_.data());
        return wide_.data();
    }
    const double* diff() const { return diff_.data(); }

  private:
    const uint8_t* block_;
    int stride_, count_;
    size_t n_;
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
    const SmoothKernels& k = *active;
    const Axis x = sample_axis(w, cw);
    const Axis y = sample_axis(h, ch);
    const Columns<1> cols = bilinear_columns(x, k.paired_weights);
    const ColumnTaps taps = cols.taps();
    RowCache<2> cache(block, ss, cw, w, true);
    auto row = [&](int r) -> const double* {
        bool fresh;
        double* out = cache.slot(r, &fresh);
        if (fresh) k.bilinear_column_sums(cache.widen(r), cache.diff(), taps, w, out);
        return out;
    };
    const int sd = target_stride(w);
    for_each_row_group(y, [&](int j, int count) {
        const int iy = y.index[j];
        const double* top = row(iy);
        const double* bottom = row(iy + 1);
        k.bilinear_rows(top, bottom, &y.fraction[j], count, dst + static_cast<ptrdiff_t>(j) * sd,
                        sd, 3 * w);
    });
}

void scale_bicubic(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const SmoothKernels& k = *active;
    const Axis x = sample_axis(w, cw);
    const Axis y = sample_axis(h, ch);
    const Columns<4> cols = bicubic_columns(x, k.paired_weights);
    const ColumnTaps taps = cols.taps();
    RowCache<4> cache(block, ss, cw, w, false);
    auto row = [&](int r) -> const double* {
        bool fresh;
        double* out = cache.slot(r, &fresh);
        if (fresh) k.bicubic_column_sums(cache.widen(r), taps, w, out);
        return out;
    };
    const int sd = target_stride(w);
    for_each_row_group(y, [&](int j, int count) {
        const int iy = y.index[j];
        const double* h0 = row(iy - 1);
        const double* h1 = row(iy);
        const double* h2 = row(iy + 1);
        const double* h3 = row(iy + 2);
        k.bicubic_rows(h0, h1, h2, h3, &y.fraction[j], count,
                       dst + static_cast<ptrdiff_t>(j) * sd, sd, 3 * w);
    });
}

} // namespace

double bicubic_weight(double t) {
    return cubic_kernel(t);
}

SmoothPath smooth_scale_path() {
    return active_path;
}

bool smooth_scale_path_available(SmoothPath path) {
    return path <= machine_path;
}

void smooth_scale_force_path(SmoothPath path) {
    if (!smooth_scale_path_available(path)) return;
    active_path = path;
    active = kernels_of(path);
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
                    out[3 * i + c] = clamped_byte(value);
                }
            }
        }
    }
}
