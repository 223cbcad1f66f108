// Throughput of the smoothing as the shipped 32-bit program runs it: built
// with the product's compiler and flags and linked against the product's own
// library, run under Wine by tools/bench. Google Benchmark is not built for
// this target, so each case is timed here with QueryPerformanceCounter: a
// batch of calls lasting about batch_ms, repeated, and the fastest batch
// counts (the machine is shared; slower batches are other work).
//
// Arguments: batches (default 7), seconds per batch (0.005), and optionally
// one case to time alone. Prints one line per measurement, "what path case
// Mpix/s", plus one line "cpu sse2=0|1 avx=0|1" for what the processor and
// system offer.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "pixels/cpu_features.h"
#include "pixels/gray.h"
#include "pixels/pixel_path.h"
#include "pixels/smooth_scale.h"

namespace {

struct Case {
    int cw, ch, magnify;
};
// The same cases as bench/smooth_bench.cpp.
const Case kCases[] = {{37, 37, 300}, {101, 101, 800}, {201, 201, 800}, {481, 271, 400}};

std::vector<uint8_t> random_bytes(size_t n) {
    std::vector<uint8_t> v(n);
    uint32_t x = 12345;
    for (auto& b : v) {
        x = x * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(x >> 24);
    }
    return v;
}

double seconds_now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

// Seconds per call of the fastest batch.
template <typename Call> double best_time(Call call, int batches, double batch_seconds) {
    // As many calls per batch as fit in batch_seconds.
    int calls = 0;
    for (double start = seconds_now(); seconds_now() - start < batch_seconds; ++calls)
        call();
    if (calls < 1) calls = 1;
    double best = 1e30;
    for (int b = 0; b < batches; ++b) {
        const double start = seconds_now();
        for (int i = 0; i < calls; ++i)
            call();
        const double per_call = (seconds_now() - start) / calls;
        if (per_call < best) best = per_call;
    }
    return best;
}

const char* path_name(PixelPath path) {
    return path == PixelPath::plain ? "plain" : path == PixelPath::sse2 ? "sse2" : "avx";
}

} // namespace

int main(int argc, char** argv) {
    const int batches = argc > 1 ? std::atoi(argv[1]) : 7;
    const double batch_seconds = argc > 2 ? std::atof(argv[2]) : 0.005;
    const int only_case = argc > 3 ? std::atoi(argv[3]) : -1; // for profiling one case
    std::printf("cpu sse2=%d avx=%d\n", cpu_has_sse2() ? 1 : 0, cpu_has_avx() ? 1 : 0);
    const PixelPath paths[] = {PixelPath::plain, PixelPath::sse2, PixelPath::avx};
    for (int c = 0; c < static_cast<int>(sizeof kCases / sizeof kCases[0]); ++c) {
        if (only_case >= 0 && c != only_case) continue;
        const Case& k = kCases[c];
        const int w = k.cw * k.magnify / 100, h = k.ch * k.magnify / 100;
        const std::vector<uint8_t> src =
            random_bytes(static_cast<size_t>((3 * k.cw + 12) & ~3) * (k.ch + 3));
        std::vector<uint8_t> dst(static_cast<size_t>((3 * w + 3) & ~3) * h);
        // The gray conversion runs on the capture block whatever the zoom.
        const int bw = k.cw + 3, bh = k.ch + 3;
        std::vector<uint8_t> bits = random_bytes(static_cast<size_t>((3 * bw + 3) & ~3) * bh);
        for (PixelPath path : paths) {
            if (!pixel_path_available(path)) continue;
            force_pixel_path(path);
            for (int mode : {1, 2}) {
                const double t = best_time(
                    [&] { smooth_scale(src.data(), 0, 0, k.cw, k.ch, dst.data(), w, h, mode); },
                    batches, batch_seconds);
                std::printf("%s %s %d %.1f\n", mode == 2 ? "bicubic" : "bilinear", path_name(path),
                            c, w * static_cast<double>(h) / t / 1e6);
            }
            if (path == PixelPath::avx) continue; // the gray conversion has no AVX loop
            const double t =
                best_time([&] { convert_to_gray(bits.data(), bw, bh, (3 * bw + 3) & ~3); }, batches,
                          batch_seconds);
            std::printf("gray %s %d %.1f\n", path_name(path), c,
                        bw * static_cast<double>(bh) / t / 1e6);
        }
        std::fflush(stdout);
    }
    return 0;
}
