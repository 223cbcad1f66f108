// The inner loops of smooth_scale, one set per instruction set.
//
// pixels/smooth_scale.cpp works out the sample positions and weights and
// walks the block; the loops that touch every value come in three sets, plain
// C++ (the i686 baseline, on the x87 unit), SSE2 and AVX, each in its own file
// and compiled for its instruction set function by function, so that the
// program itself needs neither -msse2 nor -mavx and still starts on a
// processor without them. Every set does the same operations in the same order, so
// all give the same bytes.
//
// Each vector loop is entered from plain code, and on 32-bit Windows a thread
// or callback may arrive with a stack aligned to 4 bytes only; the vector
// entry points realign it (force_align_arg_pointer) before anything is
// spilled there.
#pragma once
#include <cstdint>

// Added to every source value before any weighting; since the weights of each
// axis sum to 1, every interpolated value v carries it once: the passes
// compute v' = v + slack - 0.5, and the byte is the nearest integer to v'
// (one conversion in the processor's default rounding mode, rather than a
// truncation of v + slack). The two differ only when v' is exactly halfway
// between integers, that is when v + slack is an integer, which takes a v
// within rounding noise of an integer minus the slack. (See smooth_scale.cpp
// for the slack.)
constexpr double kRoundingSlack = 1e-9;
constexpr double kBias = kRoundingSlack - 0.5;

// The widened values of bytes from ... count - 1, one at a time: all of a
// row in the plain set, what is left after the last whole vector in the
// others.
inline void widen_tail(const uint8_t* row, int from, int count, double* wide) {
    for (int k = from; k < count; ++k)
        wide[k] = row[k] + kBias;
}

// The taps of two neighbouring target columns i and i + 1, for the SSE2
// column passes: their offsets (see ColumnTaps), then for each tap the weights
// as that pass multiplies them, (w_i, w_i), (w_i, w_i+1), (w_i+1, w_i+1). One
// record per pair keeps the loop to one pointer for all of them, which matters
// with the seven integer registers of 32-bit code.
template <int Taps> struct alignas(16) ColumnPair {
    int first, second, unused[2];
    double weight[6 * Taps];
};

// Column taps and weights as the column passes read them. offset[i]: element
// offset of target column i's leftmost tap in a widened source row (3 * the
// source column). weight: Taps weights per target column, in tap order.
// bilinear_pairs / bicubic_pairs (SSE2 only, one of them): a record for each
// two columns, w / 2 in all; an odd last column is read from offset and weight.
struct ColumnTaps {
    const int* offset;
    const double* weight;
    const ColumnPair<1>* bilinear_pairs;
    const ColumnPair<4>* bicubic_pairs;
};

struct SmoothKernels {
    // One source row of count bytes as doubles plus kBias into wide.
    void (*widen_row)(const uint8_t* row, int count, double* wide);
    // out[3i + ch] = a + weight[i] * (b - a), a = wide[o + ch], b = wide[o + 3 + ch],
    // o = offset[i]: the source pixel and its right neighbour.
    void (*bilinear_column_sums)(const double* wide, const ColumnTaps& taps, int w, double* out);
    // out[3i + ch] = sum over taps t, in order, of weight[4i + t] * wide[o + 3t + ch].
    void (*bicubic_column_sums)(const double* wide, const ColumnTaps& taps, int w, double* out);
    // Row r < rows of the group (dst + r * stride) gets the n bytes of
    // top + fy[r] (bottom - top).
    void (*bilinear_rows)(const double* top, const double* bottom, const double* fy, int rows,
                          uint8_t* dst, int stride, int n);
    // Row r gets the n bytes of ((w0 h0 + w1 h1) + w2 h2) + w3 h3, summed in
    // that order, with w0 ... w3 = wy[4r] ... wy[4r + 3].
    void (*bicubic_rows)(const double* h0, const double* h1, const double* h2, const double* h3,
                         const double* wy, int rows, uint8_t* dst, int stride, int n);
    // Whether the column passes read the pairs of ColumnTaps.
    bool paired_weights;
};

extern const SmoothKernels plain_kernels;
extern const SmoothKernels sse2_kernels;
extern const SmoothKernels avx_kernels;

// Where the vector row passes convert a block of `size` bytes that would start
// at `next`: the last block of a row, which would run past its n bytes, is
// moved back to end at n instead, converting a few bytes twice to the same
// values (only a row shorter than one block is converted in full and cut).
inline int last_block(int next, int n, int size) {
    return next + size > n && n >= size ? n - size : next;
}
