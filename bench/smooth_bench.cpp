// Throughput of the smoothing and gray conversion of the capture block in the
// native x86-64 build, next to the pixel-by-pixel reference and to pixman's
// bilinear scaling (the library a C++ programmer would reach for; benchmark
// only, not a dependency of the product). The shipped 32-bit build is timed
// by bench/smooth_timing_win.cpp.
//
// Every case reports "Mpix/s": millions of output pixels per second (for the
// gray conversion, pixels converted). tools/bench runs both and compares.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstdint>
#include <random>
#include <vector>

#include "pixels/gray.h"
#include "pixels/smooth_scale.h"

namespace {

struct Case {
    int cw, ch, magnify;
};

// Default loupe, a large loupe at a high zoom, a very large one, and a wide
// area at a moderate zoom.
const Case kCases[] = {{37, 37, 300}, {101, 101, 800}, {201, 201, 800}, {481, 271, 400}};

int block_stride(int cw) {
    return (3 * cw + 12) & ~3;
}
int image_stride(int w) {
    return (3 * w + 3) & ~3;
}

std::vector<uint8_t> random_bytes(size_t n) {
    std::vector<uint8_t> v(n);
    std::mt19937 rng(12345);
    for (auto& b : v)
        b = static_cast<uint8_t>(rng());
    return v;
}

void set_label(benchmark::State& state, const Case& c) {
    const int w = c.cw * c.magnify / 100, h = c.ch * c.magnify / 100;
    state.SetLabel(std::to_string(c.cw) + "x" + std::to_string(c.ch) + "@" +
                   std::to_string(c.magnify) + " -> " + std::to_string(w) + "x" +
                   std::to_string(h));
}

void output_rate(benchmark::State& state, double pixels) {
    state.counters["Mpix/s"] =
        benchmark::Counter(pixels / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

// fn: smooth_scale or smooth_scale_reference (the reference cannot fail and
// returns nothing).
template <typename Scale> void run_scale(benchmark::State& state, Scale fn, int mode) {
    const Case& c = kCases[state.range(0)];
    const int w = c.cw * c.magnify / 100, h = c.ch * c.magnify / 100;
    const std::vector<uint8_t> src =
        random_bytes(static_cast<size_t>(block_stride(c.cw)) * (c.ch + 3));
    std::vector<uint8_t> dst(static_cast<size_t>(image_stride(w)) * h);
    for (auto _ : state) {
        fn(src.data(), 0, 0, c.cw, c.ch, dst.data(), w, h, mode);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    set_label(state, c);
    output_rate(state, static_cast<double>(w) * h);
}

void BM_Bilinear(benchmark::State& state) {
    run_scale(state, smooth_scale, 1);
}
void BM_Bicubic(benchmark::State& state) {
    run_scale(state, smooth_scale, 2);
}

void BM_ReferenceBilinear(benchmark::State& state) {
    run_scale(state, smooth_scale_reference, 1);
}
void BM_ReferenceBicubic(benchmark::State& state) {
    run_scale(state, smooth_scale_reference, 2);
}

// pixman: the same block as 32-bit pixels, enlarged by a scale transform with
// the bilinear filter into a W x H image (SRC operator, edges padded).
void BM_PixmanBilinear(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const int w = c.cw * c.magnify / 100, h = c.ch * c.magnify / 100;
    const int bw = c.cw + 3, bh = c.ch + 3;
    std::vector<uint8_t> src_bytes = random_bytes(static_cast<size_t>(bw) * bh * 4);
    std::vector<uint32_t> dst_pixels(static_cast<size_t>(w) * h);
    pixman_image_t* src = pixman_image_create_bits(
        PIXMAN_x8r8g8b8, bw, bh, reinterpret_cast<uint32_t*>(src_bytes.data()), bw * 4);
    pixman_image_t* dst = pixman_image_create_bits(PIXMAN_x8r8g8b8, w, h, dst_pixels.data(), w * 4);
    pixman_transform_t t;
    pixman_transform_init_scale(&t, pixman_double_to_fixed(static_cast<double>(c.cw) / w),
                                pixman_double_to_fixed(static_cast<double>(c.ch) / h));
    pixman_image_set_transform(src, &t);
    pixman_image_set_filter(src, PIXMAN_FILTER_BILINEAR, nullptr, 0);
    pixman_image_set_repeat(src, PIXMAN_REPEAT_PAD);
    for (auto _ : state) {
        pixman_image_composite32(PIXMAN_OP_SRC, src, nullptr, dst, 0, 0, 0, 0, 0, 0, w, h);
        benchmark::DoNotOptimize(dst_pixels.data());
        benchmark::ClobberMemory();
    }
    pixman_image_unref(src);
    pixman_image_unref(dst);
    set_label(state, c);
    output_rate(state, static_cast<double>(w) * h);
}

// The gray conversion runs on the capture block, (cw + 3) x (ch + 3) pixels,
// whatever the zoom.
void BM_Gray(benchmark::State& state) {
    const Case& c = kCases[state.range(0)];
    const int bw = c.cw + 3, bh = c.ch + 3;
    std::vector<uint8_t> bits = random_bytes(static_cast<size_t>(block_stride(c.cw)) * bh);
    for (auto _ : state) {
        convert_to_gray(bits.data(), bw, bh, block_stride(c.cw));
        benchmark::DoNotOptimize(bits.data());
        benchmark::ClobberMemory();
    }
    set_label(state, c);
    output_rate(state, static_cast<double>(bw) * bh);
}

constexpr int kCaseCount = static_cast<int>(sizeof kCases / sizeof kCases[0]);

} // namespace

BENCHMARK(BM_Bilinear)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_Bicubic)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_PixmanBilinear)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_ReferenceBilinear)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_ReferenceBicubic)->DenseRange(0, kCaseCount - 1);
BENCHMARK(BM_Gray)->DenseRange(0, kCaseCount - 1);

BENCHMARK_MAIN();
