// Smoothing and gray conversion of the capture block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>
#include <vector>

#include "pixels/gray.h"
#include "pixels/pixel_path.h"
#include "pixels/smooth_scale.h"

namespace {

int block_stride(int cw) {
    return (3 * cw + 12) & ~3;
}
int image_stride(int w) {
    return (3 * w + 3) & ~3;
}

// A capture block of (cw + 3) x (ch + 3) pixels with its row padding.
struct Block {
    int cw, ch;
    std::vector<uint8_t> bits;
    Block(int cw_, int ch_)
        : cw(cw_), ch(ch_), bits(static_cast<size_t>(block_stride(cw_)) * (ch_ + 3), 0) {}
    uint8_t* at(int x, int y) { return &bits[static_cast<size_t>(y) * block_stride(cw) + 3 * x]; }
    void set(int x, int y, uint8_t b, uint8_t g, uint8_t r) {
        uint8_t* p = at(x, y);
        p[0] = b;
        p[1] = g;
        p[2] = r;
    }
};

struct Image {
    int w, h;
    std::vector<uint8_t> bits;
    // Filled with a marker value so unwritten pixels show up.
    Image(int w_, int h_) : w(w_), h(h_), bits(static_cast<size_t>(image_stride(w_)) * h_, 0xA5) {}
    const uint8_t* at(int x, int y) const {
        return &bits[static_cast<size_t>(y) * image_stride(w) + 3 * x];
    }
};

Block random_block(int cw, int ch, unsigned seed) {
    Block b(cw, ch);
    std::mt19937 rng(seed);
    for (auto& v : b.bits)
        v = static_cast<uint8_t>(rng());
    return b;
}

// The tests that check smooth_scale's bytes run once on each instruction set
// this machine offers, forced one at a time.
template <typename Body> void for_each_path(Body body) {
    const PixelPath start = pixel_path();
    for (PixelPath path : {PixelPath::plain, PixelPath::sse2, PixelPath::avx}) {
        if (!pixel_path_available(path)) continue;
        SCOPED_TRACE(testing::Message() << "instruction set " << int(path));
        force_pixel_path(path);
        body();
    }
    force_pixel_path(start);
}

Image scale(Block& b, int w, int h, int mode, bool reference) {
    Image out(w, h);
    if (reference)
        smooth_scale_reference(b.bits.data(), 0, 0, b.cw, b.ch, out.bits.data(), w, h, mode);
    else
        smooth_scale(b.bits.data(), 0, 0, b.cw, b.ch, out.bits.data(), w, h, mode);
    return out;
}

// Compares the pixels only (the padding is never written).
void expect_same_pixels(const Image& a, const Image& b, const char* what) {
    int differing = 0;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < 3 * a.w; ++x)
            if (a.at(0, y)[x] != b.at(0, y)[x] && ++differing <= 3)
                ADD_FAILURE() << what << ": byte " << x << " of row " << y << " is "
                              << int(a.at(0, y)[x]) << ", expected " << int(b.at(0, y)[x]);
    EXPECT_EQ(differing, 0) << what;
}

} // namespace

TEST(Gray, ChannelWeights) {
    EXPECT_EQ(gray_value(255, 0, 0), 75);
    EXPECT_EQ(gray_value(0, 255, 0), 149);
    EXPECT_EQ(gray_value(0, 0, 255), 29);
    EXPECT_EQ(gray_value(255, 255, 255), 255);
    EXPECT_EQ(gray_value(0, 0, 0), 0);
}

TEST(Gray, ConvertsInPlaceBgrAndLeavesPadding) {
    // 2 x 2 pixels, stride 8: two bytes of padding per row.
    std::vector<uint8_t> bits = {
        0,   0, 255, 0,   255, 0,   0xEE, 0xEE, // red, green
        255, 0, 0,   255, 255, 255, 0xEE, 0xEE, // blue, white
    };
    convert_to_gray(bits.data(), 2, 2, 8);
    const std::vector<uint8_t> expected = {
        75, 75, 75, 149, 149, 149, 0xEE, 0xEE, 29, 29, 29, 255, 255, 255, 0xEE, 0xEE,
    };
    EXPECT_EQ(bits, expected);
}

TEST(Gray, EveryPixelOfEveryRowOnEachInstructionSet) {
    // Widths around the vector loop's sixteen pixels, rows with padding: each
    // pixel becomes gray_value of itself, the padding stays.
    for_each_path([&] {
        for (int width : {1, 15, 16, 17, 40, 53}) {
            const int stride = (3 * width + 3) & ~3, height = 3;
            std::mt19937 rng(width);
            std::vector<uint8_t> bits(static_cast<size_t>(stride) * height);
            for (auto& v : bits)
                v = static_cast<uint8_t>(rng());
            const std::vector<uint8_t> before = bits;
            convert_to_gray(bits.data(), width, height, stride);
            for (int i = 0; i < stride * height; ++i) {
                const int x = i % stride / 3, pixel = i - i % stride % 3;
                const uint8_t want =
                    x < width ? gray_value(before[pixel + 2], before[pixel + 1], before[pixel])
                              : before[i];
                ASSERT_EQ(bits[i], want) << "width " << width << " byte " << i;
            }
        }
    });
}

TEST(Gray, AfterInversionRedBecomes179) {
    // The copy inverts first (red becomes cyan), then the block is grayed.
    std::vector<uint8_t> bits = {0xFF ^ 0,   0xFF ^ 0,   0xFF ^ 255,
                                 0xFF ^ 255, 0xFF ^ 255, 0xFF ^ 255};
    convert_to_gray(bits.data(), 2, 1, 8);
    EXPECT_EQ(bits[0], 179);
    EXPECT_EQ(bits[3], 0); // white inverted is black
}

TEST(SmoothScale, BicubicWeights) {
    EXPECT_DOUBLE_EQ(bicubic_weight(1.5), -0.125);
    EXPECT_DOUBLE_EQ(bicubic_weight(0.5), 0.625);
    EXPECT_EQ(bicubic_weight(0), 1);
    EXPECT_EQ(bicubic_weight(1), 0);
    EXPECT_EQ(bicubic_weight(2), 0);
    EXPECT_EQ(bicubic_weight(3.5), 0);
    for (double f : {0.0, 0.1, 1.0 / 3, 0.5, 0.875}) {
        const double sum = bicubic_weight(1 + f) + bicubic_weight(f) + bicubic_weight(1 - f) +
                           bicubic_weight(2 - f);
        EXPECT_NEAR(sum, 1.0, 1e-12) << f;
    }
}

TEST(SmoothScale, Magnify100ReproducesTheAreaForBothFilters) {
    for_each_path([&] {
        Block b = random_block(37, 21, 7);
        for (int mode : {1, 2}) {
            for (bool reference : {false, true}) {
                const Image out = scale(b, 37, 21, mode, reference);
                for (int y = 0; y < 21; ++y)
                    for (int x = 0; x < 37; ++x)
                        for (int c = 0; c < 3; ++c)
                            ASSERT_EQ(out.at(x, y)[c], b.at(x + 1, y + 1)[c])
                                << "mode " << mode << " reference " << reference << " at " << x
                                << "," << y;
            }
        }
    });
}

TEST(SmoothScale, Bilinear200PercentAveragesNeighbourColumns) {
    for_each_path([&] {
        // size 37 at 200 %: target column 1 samples u = 1.5, halfway between area
        // columns 0 and 1 (block columns 1 and 2); the mean is truncated.
        Block b(37, 37);
        for (int y = 0; y < 40; ++y) {
            b.set(1, y, 10, 0, 255);
            b.set(2, y, 21, 100, 0);
        }
        for (bool reference : {false, true}) {
            const Image out = scale(b, 74, 74, 1, reference);
            const uint8_t* p = out.at(1, 0);
            EXPECT_EQ(p[0], 15); // (10 + 21) / 2 = 15.5
            EXPECT_EQ(p[1], 50);
            EXPECT_EQ(p[2], 127); // 127.5
            EXPECT_EQ(out.at(0, 0)[0], 10);
            EXPECT_EQ(out.at(2, 0)[0], 21);
        }
    });
}

TEST(SmoothScale, BicubicOvershootIsClampedBilinearIsNot) {
    for_each_path([&] {
        // Black area columns 0-3, white from column 4 on (block column 5). At
        // 200 % target column 5 (u = 3.5) has only the white tap with a negative
        // weight, and column 9 (u = 5.5) only the black one.
        Block b(9, 3);
        for (int y = 0; y < 6; ++y)
            for (int x = 5; x < 12; ++x)
                b.set(x, y, 255, 255, 255);
        const double under = 255 * bicubic_weight(1.5);
        const double over = 255 * (bicubic_weight(0.5) * 2 + bicubic_weight(1.5));
        ASSERT_LT(under, 0);
        ASSERT_GT(over, 255);
        for (bool reference : {false, true}) {
            const Image cubic = scale(b, 18, 6, 2, reference);
            EXPECT_EQ(cubic.at(5, 2)[0], 0);
            EXPECT_EQ(cubic.at(7, 2)[0], 127); // halfway across the edge
            EXPECT_EQ(cubic.at(9, 2)[0], 255);
            // No wrap-around anywhere: the row rises monotonically.
            for (int x = 1; x < 18; ++x)
                EXPECT_GE(cubic.at(x, 2)[1], cubic.at(x - 1, 2)[1]) << x;
            const Image linear = scale(b, 18, 6, 1, reference);
            EXPECT_EQ(linear.at(5, 2)[0], 0);
            EXPECT_EQ(linear.at(6, 2)[0], 0);
            EXPECT_EQ(linear.at(7, 2)[0], 127);
            EXPECT_EQ(linear.at(8, 2)[0], 255);
            EXPECT_EQ(linear.at(9, 2)[0], 255);
        }
    });
}

namespace {

struct Case {
    int cw, ch, magnify;
};
const Case kCases[] = {{37, 37, 200}, {5, 5, 800},   {37, 37, 100},  {1, 1, 100},  {3, 3, 1600},
                       {13, 7, 400},  {37, 37, 300}, {37, 37, 150},  {5, 5, 1000}, {1, 3, 700},
                       {13, 7, 110},  {21, 9, 333},  {101, 31, 800}, {9, 41, 125}, {47, 3, 250}};

// 64-bit integers suffice (the 32-bit Windows compiler has no 128-bit ones):
// the fractions are reduced, and exact_value checks that the denominator
// leaves room for the sum.
using Wide = int64_t;

// Cubic kernel weights for the fraction a / n, times n^3, exactly:
// k(1 + f), k(f), k(1 - f), k(2 - f).
void exact_cubic(Wide a, Wide n, Wide k[4]) {
    const Wide t1 = n + a, b = n - a, t3 = 2 * n - a;
    k[0] = -t1 * t1 * t1 + 5 * n * t1 * t1 - 8 * n * n * t1 + 4 * n * n * n;
    k[1] = a * a * a - 2 * a * a * n + n * n * n;
    k[2] = b * b * b - 2 * b * b * n + n * n * n;
    k[3] = -t3 * t3 * t3 + 5 * n * t3 * t3 - 8 * n * n * t3 + 4 * n * n * n;
}

// The interpolated value of one channel as an exact fraction num / den,
// taking the sample position i * cw / w + 1 without any rounding.
void exact_value(Block& b, int w, int h, int i, int j, int c, int mode, Wide* num, Wide* den) {
    const int ix = i * b.cw / w + 1, iy = j * b.ch / h + 1;
    // Fractions ax / nx and ay / ny of the sample position, in lowest terms.
    const Wide gx = std::gcd(b.cw, w), gy = std::gcd(b.ch, h);
    const Wide nx = w / gx, ax = i * b.cw % w / gx;
    const Wide ny = h / gy, ay = j * b.ch % h / gy;
    auto P = [&](int x, int y) -> Wide { return b.at(x, y)[c]; };
    if (mode == 2) {
        Wide kx[4], ky[4];
        exact_cubic(ax, nx, kx);
        exact_cubic(ay, ny, ky);
        Wide sum = 0;
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                sum += ky[r] * kx[k] * P(ix - 1 + k, iy - 1 + r);
        *num = sum;
        *den = nx * nx * nx * ny * ny * ny;
    } else {
        *num = P(ix, iy) * (nx - ax) * (ny - ay) + P(ix + 1, iy) * ax * (ny - ay) +
               P(ix, iy + 1) * (nx - ax) * ay + P(ix + 1, iy + 1) * ax * ay;
        *den = nx * ny;
    }
    // The sum stays below 255 * 1.6 * den (the kernel's weights add up to at
    // most 1.25 in absolute value per axis).
    ASSERT_LT(*den, Wide(1) << 52);
}

int clamp_byte(Wide v) {
    return v < 0 ? 0 : (v > 255 ? 255 : int(v));
}

} // namespace

TEST(SmoothScale, EqualsExactArithmeticTruncated) {
    for_each_path([&] {
        // The byte is the true interpolated value truncated. Only a bicubic value
        // within a hair (2e-9) below the next integer may come out one higher,
        // since double sums cannot tell it from that integer.
        unsigned seed = 100;
        for (const Case& c : kCases) {
            Block b = random_block(c.cw, c.ch, seed++);
            const int w = c.cw * c.magnify / 100;
            const int h = c.ch * c.magnify / 100;
            for (int mode : {1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << c.cw << "x" << c.ch << "@" << c.magnify << " mode " << mode);
                const Image out = scale(b, w, h, mode, false);
                for (int j = 0; j < h; ++j)
                    for (int i = 0; i < w; ++i)
                        for (int ch = 0; ch < 3; ++ch) {
                            Wide num, den;
                            exact_value(b, w, h, i, j, ch, mode, &num, &den);
                            const Wide whole = num / den; // toward zero, like trunc
                            const Wide rest = num - whole * den;
                            const int expected = clamp_byte(whole);
                            const bool hair_below =
                                num > 0 && double(den - rest) < 2e-9 * double(den);
                            const int got = out.at(i, j)[ch];
                            if (got == expected) continue;
                            ASSERT_TRUE(mode == 2 && hair_below && got == clamp_byte(whole + 1))
                                << "pixel " << i << "," << j << " channel " << ch << ": " << got
                                << ", expected " << expected;
                        }
            }
        }
    });
}

TEST(SmoothScale, WithinOneOfTheReference) {
    for_each_path([&] {
        // Magnifications whose steps are exact binary fractions leave no rounding
        // noise, so there the two agree on every byte; elsewhere the fast one is
        // one above where the reference's sum fell a hair short of an integer.
        unsigned seed = 1;
        for (const Case& c : kCases) {
            Block b = random_block(c.cw, c.ch, seed++);
            const int w = c.cw * c.magnify / 100;
            const int h = c.ch * c.magnify / 100;
            const int factor = c.magnify / 100;
            const bool exact_steps = c.magnify % 100 == 0 && (factor & (factor - 1)) == 0;
            for (int mode : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message()
                             << c.cw << "x" << c.ch << "@" << c.magnify << " mode " << mode);
                const Image fast = scale(b, w, h, mode, false);
                const Image ref = scale(b, w, h, mode, true);
                if (exact_steps) expect_same_pixels(fast, ref, "fast vs reference");
                for (int y = 0; y < h; ++y) {
                    for (int x = 0; x < 3 * w; ++x) {
                        const int d = fast.at(0, y)[x] - ref.at(0, y)[x];
                        ASSERT_TRUE(d == 0 || d == 1)
                            << "byte " << x << " of row " << y << ": " << d;
                    }
                    // Every pixel written, the row padding left alone.
                    for (int x = 3 * w; x < image_stride(w); ++x)
                        ASSERT_EQ(fast.at(0, y)[x], 0xA5);
                }
            }
        }
    });
}

TEST(SmoothScale, UniformAreaStaysUniform) {
    for_each_path([&] {
        // Interpolating one colour gives that colour back, whatever the rounding
        // of the weights and sample positions.
        for (uint8_t v : {uint8_t(255), uint8_t(100), uint8_t(37), uint8_t(1)}) {
            Block b(37, 37);
            for (auto& byte : b.bits)
                byte = v;
            for (int magnify : {110, 150, 300, 333, 700}) {
                const int w = 37 * magnify / 100;
                for (int mode : {1, 2}) {
                    const Image out = scale(b, w, w, mode, false);
                    for (int y = 0; y < w; ++y)
                        for (int x = 0; x < 3 * w; ++x)
                            ASSERT_EQ(out.at(0, y)[x], v)
                                << "value " << int(v) << " @" << magnify << " mode " << mode
                                << " byte " << x << " row " << y;
                }
            }
        }
    });
}

TEST(SmoothScale, KeptPlanFollowsEveryChange) {
    // A call reuses the previous call's sample positions and weights while the
    // sizes, the filter and the instruction set stay the same. Each call here
    // changes one of them, the last equals the first (so the next set starts
    // on the sizes the previous one ended with, in a block that a larger call
    // has already grown), and every image must still match the reference.
    // A call that finds no memory to work in writes nothing and reports it,
    // and the kept block and its plan are gone: the call after it, on the
    // sizes of the one before, has to plan again in a new block.
    struct Call {
        int cw, ch, w, h, mode;
        bool no_memory; // every request for work memory is refused
    };
    const Call calls[] = {
        {37, 37, 111, 111, 2, false},  {37, 37, 111, 111, 1, false}, {37, 37, 111, 112, 1, false},
        {37, 38, 111, 112, 1, false},  {38, 38, 111, 112, 1, false}, {38, 38, 112, 112, 1, false},
        {38, 38, 112, 112, 2, false},  {74, 74, 222, 222, 2, false}, {37, 37, 111, 111, 2, false},
        {99, 99, 1584, 1584, 2, true}, {37, 37, 111, 111, 2, false}};
    for_each_path([&] {
        for (const Call& c : calls) {
            SCOPED_TRACE(testing::Message() << c.cw << "x" << c.ch << " to " << c.w << "x" << c.h
                                            << " mode " << c.mode << " no memory " << c.no_memory);
            Block b = random_block(c.cw, c.ch, 7);
            Image fast(c.w, c.h);
            smooth_scale_refuse_memory(c.no_memory);
            const bool done =
                smooth_scale(b.bits.data(), 0, 0, b.cw, b.ch, fast.bits.data(), c.w, c.h, c.mode);
            smooth_scale_refuse_memory(false);
            ASSERT_EQ(done, !c.no_memory);
            if (!done) {
                ASSERT_EQ(std::count(fast.bits.begin(), fast.bits.end(), 0xA5),
                          std::ptrdiff_t(fast.bits.size()))
                    << "written without memory to work in";
                continue;
            }
            const Image ref = scale(b, c.w, c.h, c.mode, true);
            for (size_t i = 0; i < fast.bits.size(); ++i)
                ASSERT_LE(unsigned(fast.bits[i] - ref.bits[i]), 1u) << "byte " << i;
        }
    });
}
