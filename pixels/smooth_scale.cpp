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
//     Bilinear: down a column the value is a + fy (b - a), with a and b the
//     cached sums of the two source rows; b - a is formed once per group, and
//     each target byte costs one multiply-add and its conversion. Bicubic
//     (Keys' kernel, a = -1): the value is the four cached rows weighted by
//     the target row's four weights, which the plan works out once per
//     target row, so each byte costs four multiplies, three adds and its
//     conversion. (Forming the cubic's coefficients once per group instead
//     costs fewer multiplies but more adds; on the processors that matter the
//     adds are the scarcer unit, and at the default 300 % a group has only
//     three rows to share them.)
//
// The loops that touch every value come in three sets (pixels/smooth_kernels.h):
// plain C++, SSE2 and AVX; each call runs the set that pixels/pixel_path.h
// names. The 32-bit program is built for the i686 baseline (Pentium Pro, no
// SSE), so without the vector sets it would run the plain loops on the x87
// unit at a fraction of the speed.
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
#include "pixels/smooth_scale.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <new>
#include <cstdint>

#if defined(__x86_64__)
#include <emmintrin.h> // every x86-64 processor has SSE2
#endif

#include "pixels/pixel_path.h"
#include "pixels/smooth_kernels.h"

namespace {

int source_stride(int cw) {
    return (3 * cw + 12) & ~3;
}
int target_stride(int w) {
    return (3 * w + 3) & ~3;
}

// The nearest integer to v, ties to even, as the vector code converts: in
// the processor's default rounding mode, without the two control-word
// switches that a truncating conversion costs on the x87 unit.
inline int nearest_int(double v) {
#if defined(__x86_64__)
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    int r;
    __asm__("fistpl %0" : "=m"(r) : "t"(v) : "st");
    return r;
#endif
}

// The byte of a biased value v' (see kBias). Bicubic values overshoot on both
// sides of an edge, so both ends are clamped.
uint8_t biased_byte(double biased) {
    const int v = nearest_int(biased);
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
void plain_widen_row(const uint8_t* row, int count, double* wide) {
    widen_tail(row, 0, count, wide);
}

void plain_bilinear_column_sums(const double* wide, const ColumnTaps& taps, int w, double* out) {
    for (int i = 0; i < w; ++i) {
        const int p = taps.offset[i];
        const double fx = taps.weight[i];
        for (int ch = 0; ch < 3; ++ch)
            out[3 * i + ch] = wide[p + ch] + fx * (wide[p + 3 + ch] - wide[p + ch]);
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
                        const double* wy, int rows, uint8_t* dst, int stride, int n) {
    for (int r = 0; r < rows; ++r, wy += 4, dst += stride)
        for (int k = 0; k < n; ++k) {
            double v = wy[0] * h0[k] + wy[1] * h1[k];
            v += wy[2] * h2[k];
            v += wy[3] * h3[k];
            dst[k] = biased_byte(v);
        }
}

} // namespace

const SmoothKernels plain_kernels = {plain_widen_row,           plain_bilinear_column_sums,
                                     plain_bicubic_column_sums, plain_bilinear_rows,
                                     plain_bicubic_rows,        false};

namespace {

const SmoothKernels& kernels_of(PixelPath path) {
    switch (path) {
    case PixelPath::avx: return avx_kernels;
    case PixelPath::sse2: return sse2_kernels;
    default: return plain_kernels;
    }
}

// Everything one call works with: the rows' sample positions, the columns'
// taps, and a ring of Slots rows of column sums (see slot()).
struct Work {
    int* row_index;
    double* row_fraction;
    double* row_weight; // bicubic: the four weights of rows iy - 1 ... iy + 2, per target row
    ColumnTaps taps;
    double* wide;  // one widened source row, with room past its end
    double* sums;  // Slots rows of n values
    size_t n;      // 3 w rounded up, see below
    int row_of[4]; // the source row each slot holds, -1 for none
};

// What a plan depends on. The plan of the last call made in the kept block
// (its sample positions, weights, paired weights and tap offsets) stays there
// and is reused while these are the same: the loupe changes them only when
// the user changes a setting, so a paint normally plans nothing.
struct PlanKey {
    int cw, ch, w, h, taps;
    const SmoothKernels* kernels; // the paired weights exist for SSE2 only
    bool operator==(const PlanKey& o) const {
        return cw == o.cw && ch == o.ch && w == o.w && h == o.h && taps == o.taps &&
               kernels == o.kernels;
    }
};

// All work buffers of one call come out of one block of memory, cut into
// pieces that each start on a 32-byte boundary. The block is kept for the
// next call, since the loupe smooths the same sizes paint after paint: at the
// default size a dozen allocations per call cost as much as the smoothing
// itself under Wine. A call on another thread while the kept block is in use
// allocates its own. The elements are left uninitialised; every one is
// written before it is read, except the padding that the vector code reads
// past the last real value, which is cleared explicitly.
std::atomic_flag kept_in_use = ATOMIC_FLAG_INIT;
std::unique_ptr<char[]> kept_block;
size_t kept_size = 0;
PlanKey kept_key = {0, 0, 0, 0, 0, nullptr}; // guarded by kept_in_use, like the block
Work kept_work;

// Where work memory comes from. A block is a few megabytes at the largest
// sizes the settings allow, and a 32-bit address space can run out of room
// for it: the call then fails and the paint draws without smoothing, rather
// than ending the program from inside WM_PAINT.
bool refuse_memory = false; // for the tests, see smooth_scale_refuse_memory
char* new_block(size_t bytes) {
    return refuse_memory ? nullptr : new (std::nothrow) char[bytes];
}

// Frees the kept block, and with it the plan made in it.
void drop_kept_block() {
    kept_block.reset();
    kept_size = 0;
    kept_key = {0, 0, 0, 0, 0, nullptr};
    kept_work = Work{};
}

class Scratch {
  public:
    template <typename T> static size_t size_of(size_t count) {
        return (count * sizeof(T) + 31) & ~static_cast<size_t>(31);
    }
    // Without memory for it, ok() is false. A kept block too small for this
    // call is gone either way, and the plan made in it with it.
    explicit Scratch(size_t bytes) : kept_(!kept_in_use.test_and_set(std::memory_order_acquire)) {
        char* base;
        if (kept_) {
            if (kept_size < bytes + 32) {
                drop_kept_block(); // before the new one: at most one at a time
                kept_block.reset(new_block(bytes + 32));
                if (kept_block) kept_size = bytes + 32;
            }
            base = kept_block.get();
        } else {
            own_.reset(new_block(bytes + 32));
            base = own_.get();
        }
        const uintptr_t at = reinterpret_cast<uintptr_t>(base);
        next_ = base ? base + ((32 - (at & 31)) & 31) : nullptr;
    }
    ~Scratch() {
        if (kept_) kept_in_use.clear(std::memory_order_release);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    bool ok() const { return next_ != nullptr; }
    bool kept() const { return kept_; }
    template <typename T> T* take(size_t count) {
        T* piece = reinterpret_cast<T*>(next_);
        next_ += size_of<T>(count);
        return piece;
    }

  private:
    bool kept_;
    std::unique_ptr<char[]> own_;
    char* next_;
};

inline double cubic_kernel(double t) {
    if (t < 1) return t * t * t - 2 * t * t + 1;
    if (t < 2) return -t * t * t + 5 * t * t - 8 * t + 4;
    return 0;
}

// The weights of the four taps around a sample with fraction f, in tap order.
void cubic_weights(double f, double* w) {
    w[0] = cubic_kernel(1 + f);
    w[1] = cubic_kernel(f);
    w[2] = cubic_kernel(1 - f);
    w[3] = cubic_kernel(2 - f);
}

// Integer part and fraction of the sample position along one axis, for
// every target position. The integer part is the nearest integer, one less
// where that lies above the position: the same as truncating the (positive)
// position, without the truncation's control-word switches on the x87 unit,
// which at the default loupe size cost a tenth of the whole smoothing.
void sample_axis(int target_size, int source_size, int* index, double* fraction) {
    const double step = static_cast<double>(source_size) / target_size;
    for (int t = 0; t < target_size; ++t) {
        const double pos = t * step + 1;
        const int nearest = nearest_int(pos);
        index[t] = nearest > pos ? nearest - 1 : nearest;
        fraction[t] = pos - index[t];
    }
}

// Fills the w / 2 records of pairs (see ColumnPair) from offset and weight.
template <int Taps>
void pair_columns(const int* offset, const double* weight, int w, ColumnPair<Taps>* pairs) {
    for (int i = 0; i + 2 <= w; i += 2) {
        ColumnPair<Taps>& pair = pairs[i / 2];
        pair.first = offset[i];
        pair.second = offset[i + 1];
        double* out = pair.weight;
        for (int t = 0; t < Taps; ++t) {
            const double a = weight[Taps * i + t], b = weight[Taps * (i + 1) + t];
            *out++ = a;
            *out++ = a;
            *out++ = a;
            *out++ = b;
            *out++ = b;
            *out++ = b;
        }
    }
}

// Taps: 1 for bilinear (P(ix) + fx (P(ix + 1) - P(ix)), one weight for a
// pixel and its right neighbour), 4 for bicubic (columns ix - 1 ...
// ix + 2 with k(1 + fx), k(fx), k(1 - fx), k(2 - fx)).
//
// Rows of sums hold 3 w values, padded to whole blocks of sixteen with at
// least one more: the vector row passes convert whole blocks, and the AVX
// column pass writes one value past each column. The widened row has room for
// the values past its end that the AVX bicubic pass loads and ignores.
template <int Taps, int Slots>
Work plan(Scratch* scratch, int cw, int ch, int w, int h, bool paired) {
    Work k;
    const size_t count = 3 * static_cast<size_t>(cw + 3);
    k.n = (3 * static_cast<size_t>(w) + 16) & ~static_cast<size_t>(15);
    k.row_index = scratch->take<int>(h);
    k.row_fraction = scratch->take<double>(h);
    k.row_weight = Taps == 4 ? scratch->take<double>(4 * static_cast<size_t>(h)) : nullptr;
    int* offset = scratch->take<int>(w);
    double* weight = scratch->take<double>(Taps * static_cast<size_t>(w));
    ColumnPair<Taps>* pairs = paired ? scratch->take<ColumnPair<Taps>>(w / 2) : nullptr;
    double* x_fraction = scratch->take<double>(w);
    k.wide = scratch->take<double>(count + 8);
    k.sums = scratch->take<double>(Slots * k.n);

    sample_axis(h, ch, k.row_index, k.row_fraction);
    sample_axis(w, cw, offset, x_fraction);
    if (Taps == 4)
        for (int j = 0; j < h; ++j)
            cubic_weights(k.row_fraction[j], k.row_weight + 4 * static_cast<size_t>(j));
    for (int i = 0; i < w; ++i) {
        const double f = x_fraction[i];
        if (Taps == 1) {
            offset[i] = 3 * offset[i];
            weight[i] = f;
        } else {
            offset[i] = 3 * (offset[i] - 1);
            cubic_weights(f, weight + 4 * static_cast<size_t>(i));
        }
    }
    k.taps = {offset, weight, nullptr, nullptr};
    if (paired) {
        pair_columns(offset, weight, w, pairs);
        if constexpr (Taps == 1)
            k.taps.bilinear_pairs = pairs;
        else
            k.taps.bicubic_pairs = pairs;
    }

    for (size_t e = count; e < count + 8; ++e)
        k.wide[e] = 0;
    for (int s = 0; s < Slots; ++s)
        for (size_t e = 3 * static_cast<size_t>(w); e < k.n; ++e)
            k.sums[s * k.n + e] = 0;
    for (int& r : k.row_of)
        r = -1;
    return k;
}

template <int Taps, int Slots> size_t scratch_size(int cw, int w, int h, bool paired) {
    const size_t count = 3 * static_cast<size_t>(cw + 3);
    const size_t n = (3 * static_cast<size_t>(w) + 16) & ~static_cast<size_t>(15);
    return Scratch::size_of<int>(h) + Scratch::size_of<double>(h) +
           (Taps == 4 ? Scratch::size_of<double>(4 * static_cast<size_t>(h)) : 0) +
           Scratch::size_of<int>(w) + Scratch::size_of<double>(Taps * static_cast<size_t>(w)) +
           (paired ? Scratch::size_of<ColumnPair<Taps>>(w / 2) : 0) + Scratch::size_of<double>(w) +
           Scratch::size_of<double>(count + 8) + Scratch::size_of<double>(Slots * n);
}

// The plan for this call: the kept one if it was made for the same key in the
// block this call uses (a replaced block has lost it), otherwise a new one,
// kept when made in the kept block. The ring of sums starts empty either way.
template <int Taps, int Slots>
Work plan_for(Scratch* scratch, int cw, int ch, int w, int h, const SmoothKernels& kern) {
    const PlanKey key = {cw, ch, w, h, Taps, &kern};
    if (scratch->kept() && key == kept_key) {
        Work k = kept_work;
        for (int& r : k.row_of)
            r = -1;
        return k;
    }
    Work k = plan<Taps, Slots>(scratch, cw, ch, w, h, kern.paired_weights);
    if (scratch->kept()) {
        kept_key = key;
        kept_work = k;
    }
    return k;
}

// The column sums of source rows are computed on first use and kept in a ring
// of Slots rows. A group of target rows needs Slots consecutive source rows,
// which never share a slot, and the groups move down the block, so each
// source row is widened and summed once. Returns the slot of source row r and
// whether it has to be (re)computed.
template <int Slots> double* slot(Work* k, int r, bool* fresh) {
    const int s = r % Slots;
    *fresh = k->row_of[s] != r;
    k->row_of[s] = r;
    return k->sums + s * k->n;
}

// Calls group(first, count) for each run of target rows with the same
// integer sample row.
template <typename Group> void for_each_row_group(const int* index, int h, Group group) {
    for (int j0 = 0; j0 < h;) {
        int j1 = j0 + 1;
        while (j1 < h && index[j1] == index[j0])
            ++j1;
        group(j0, j1 - j0);
        j0 = j1;
    }
}

// Taps and Slots as for plan: <1, 2> bilinear, <4, 4> bicubic. False, with
// dst untouched, when there is no memory to work in.
template <int Taps, int Slots>
bool scale(const uint8_t* block, int ss, int cw, int ch, uint8_t* dst, int w, int h) {
    const SmoothKernels& kern = kernels_of(pixel_path());
    Scratch scratch(scratch_size<Taps, Slots>(cw, w, h, kern.paired_weights));
    if (!scratch.ok()) return false;
    Work k = plan_for<Taps, Slots>(&scratch, cw, ch, w, h, kern);
    const int count = 3 * (cw + 3);
    // The column sums of source row r, computed on first use.
    auto row = [&](int r) -> const double* {
        bool fresh;
        double* out = slot<Slots>(&k, r, &fresh);
        if (fresh) {
            kern.widen_row(block + static_cast<ptrdiff_t>(r) * ss, count, k.wide);
            if constexpr (Taps == 1)
                kern.bilinear_column_sums(k.wide, k.taps, w, out);
            else
                kern.bicubic_column_sums(k.wide, k.taps, w, out);
        }
        return out;
    };
    const int sd = target_stride(w);
    for_each_row_group(k.row_index, h, [&](int j, int rows) {
        const int iy = k.row_index[j];
        uint8_t* out = dst + static_cast<ptrdiff_t>(j) * sd;
        if constexpr (Taps == 1)
            kern.bilinear_rows(row(iy), row(iy + 1), k.row_fraction + j, rows, out, sd, 3 * w);
        else
            kern.bicubic_rows(row(iy - 1), row(iy), row(iy + 1), row(iy + 2),
                              k.row_weight + 4 * static_cast<ptrdiff_t>(j), rows, out, sd, 3 * w);
    });
    return true;
}

} // namespace

double bicubic_weight(double t) {
    return cubic_kernel(t);
}

bool smooth_scale(const uint8_t* src, int src_x, int src_y, int cw, int ch, uint8_t* dst, int w,
                  int h, int mode) {
    if (cw < 1 || ch < 1 || w < 1 || h < 1) return true;
    const int ss = source_stride(cw);
    const uint8_t* block = src + static_cast<ptrdiff_t>(src_y) * ss + 3 * src_x;
    if (mode == 2) return scale<4, 4>(block, ss, cw, ch, dst, w, h);
    return scale<1, 2>(block, ss, cw, ch, dst, w, h);
}

void smooth_scale_refuse_memory(bool refuse) {
    refuse_memory = refuse;
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
