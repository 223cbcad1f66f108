// render_magnified through real GDI: block enlargement, inversion, gray and
// the two interpolations must give what the pure arithmetic gives, and a
// work buffer that is too small must never be written through.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/render.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "pixels/pixel_path.h"
#include "pixels/smooth_scale.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;

namespace {

class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override { reset_engine_state(); }
    void TearDown() override { release_engine_buffers(); }

    // Renders the capture block at (0, 0) of the capture buffer into a fresh
    // image of zoomed_size, as the paint does but without offset.
    void render(Dib24& target, int sx = 0, int sy = 0) {
        render_magnified(target.dc(), 0, 0, zoomed_size.x, zoomed_size.y, capture_dc, sx, sy,
                         settings.size.x, settings.size.y, image_raster_op());
    }

    // What the image must be without smoothing: area pixel (i, j) (block
    // pixel (i + 1, j + 1)) repeated as an m x m block.
    static COLORREF expected_block_pixel(int x, int y, int m, bool invert, bool gray) {
        COLORREF c = pattern(x / m + 1, y / m + 1);
        if (invert) c = inverted(c);
        if (gray) c = grayed(c);
        return c;
    }

    // smooth_scale applied to the capture block as the renderer must prepare
    // it (inverted, then grayed), with the strides the work buffers have.
    static std::vector<uint8_t> expected_smoothed(bool invert, bool gray, int dx = 0, int dy = 0) {
        const int cw = settings.size.x, ch = settings.size.y;
        const int bw = cw + 3, bh = ch + 3;
        const int src_stride = (3 * cw + 12) & ~3;
        std::vector<uint8_t> src(static_cast<size_t>(src_stride) * bh);
        for (int y = 0; y < bh; ++y) {
            for (int x = 0; x < bw; ++x) {
                COLORREF c = pattern(x + dx, y + dy);
                if (invert) c = inverted(c);
                if (gray) c = grayed(c);
                uint8_t* p = &src[y * src_stride + 3 * x];
                p[0] = GetBValue(c);
                p[1] = GetGValue(c);
                p[2] = GetRValue(c);
            }
        }
        const int w = zoomed_size.x, h = zoomed_size.y;
        std::vector<uint8_t> dst(static_cast<size_t>((3 * w + 3) & ~3) * h);
        smooth_scale(src.data(), 0, 0, cw, ch, dst.data(), w, h, settings.smooth);
        return dst;
    }

    // Counts the pixels of target that differ from the expected bytes.
    static int differing_pixels(const Dib24& target, const std::vector<uint8_t>& expected) {
        int differences = 0;
        for (int y = 0; y < target.height(); ++y) {
            for (int x = 0; x < target.width(); ++x) {
                const uint8_t* p = &expected[y * target.stride() + 3 * x];
                if (target.at(x, y) != RGB(p[2], p[1], p[0])) ++differences;
            }
        }
        return differences;
    }

    static int differing_block_pixels(const Dib24& target, bool invert, bool gray) {
        const int m = settings.magnify / 100;
        int differences = 0;
        for (int y = 0; y < target.height(); ++y)
            for (int x = 0; x < target.width(); ++x)
                if (target.at(x, y) != expected_block_pixel(x, y, m, invert, gray)) ++differences;
        return differences;
    }
};

TEST_F(RenderTest, WithoutSmoothingEachAreaPixelBecomesAnMByMBlock) {
    for (int invert = 0; invert <= 1; ++invert) {
        for (int gray = 0; gray <= 1; ++gray) {
            SCOPED_TRACE(testing::Message() << "invert " << invert << " gray " << gray);
            release_engine_buffers();
            settings.invertbmp = invert;
            settings.graybmp = gray;
            create_engine_buffers();
            Dib24 target(zoomed_size.x, zoomed_size.y);
            ASSERT_EQ(111, target.width());
            render(target);
            EXPECT_EQ(0, differing_block_pixels(target, invert, gray));
        }
    }
}

TEST_F(RenderTest, InversionHappensBeforeTheGrayConversion) {
    settings.invertbmp = 1;
    settings.graybmp = 1;
    create_engine_buffers();
    // Pure red, white and black area pixels at area (0, 0), (1, 0), (2, 0).
    SetPixel(capture_dc, 1, 1, RGB(255, 0, 0));
    SetPixel(capture_dc, 2, 1, RGB(255, 255, 255));
    SetPixel(capture_dc, 3, 1, RGB(0, 0, 0));
    Dib24 target(zoomed_size.x, zoomed_size.y);
    render(target);
    EXPECT_EQ(RGB(179, 179, 179), target.at(1, 1)); // red -> cyan -> 179
    EXPECT_EQ(RGB(0, 0, 0), target.at(4, 1));
    EXPECT_EQ(RGB(255, 255, 255), target.at(7, 1));
}

TEST_F(RenderTest, SmoothingEqualsSmoothScaleOfThePreparedBlock) {
    struct Case {
        int smooth, magnify, invert, gray;
    };
    const Case cases[] = {{1, 300, 0, 0}, {2, 300, 0, 0}, {1, 250, 1, 0},
                          {2, 175, 0, 1}, {2, 300, 1, 1}, {1, 100, 0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "smooth " << c.smooth << " magnify " << c.magnify
                                        << " invert " << c.invert << " gray " << c.gray);
        release_engine_buffers();
        settings.smooth = c.smooth;
        settings.magnify = c.magnify;
        settings.invertbmp = c.invert;
        settings.graybmp = c.gray;
        create_engine_buffers();
        Dib24 target(zoomed_size.x, zoomed_size.y);
        render(target);
        EXPECT_EQ(0, differing_pixels(target, expected_smoothed(c.invert, c.gray)));
    }
}

TEST_F(RenderTest, ReadsTheBlockAtTheGivenSourceOffset) {
    // A snapshot-sized capture buffer: the block of the cursor area starts at
    // (capture_origin - virtual_screen) inside it.
    settings.loupe = 1;
    geometry.snapshot_mode = 1;
    geometry.virtual_screen = {-20, -10, 80, 90};
    tick_memory.capture_origin = {5, 12};
    const POINT source = image_source_origin();
    ASSERT_EQ(25, source.x);
    ASSERT_EQ(22, source.y);

    for (int smooth = kSmoothNone; smooth <= kSmoothBicubic; ++smooth) {
        SCOPED_TRACE(testing::Message() << "smooth " << smooth);
        release_engine_buffers();
        settings.smooth = smooth;
        create_engine_buffers();
        recreate_capture_buffer(103, 103);
        fill_capture_with_pattern(103, 103, -source.x, -source.y);
        Dib24 target(zoomed_size.x, zoomed_size.y);
        render(target, source.x, source.y);
        if (smooth == kSmoothNone) {
            EXPECT_EQ(0, differing_block_pixels(target, false, false));
        } else {
            EXPECT_EQ(0, differing_pixels(target, expected_smoothed(false, false)));
        }
    }
}

TEST_F(RenderTest, TooSmallSourceBufferFallsBackToPlainStretch) {
    // A failed re-creation after the area grew leaves the old, smaller source
    // buffer in place; gray and smoothing must not write through it.
    settings.graybmp = 1;
    settings.smooth = kSmoothBicubic;
    create_engine_buffers();
    recreate_source_buffer(nullptr, 9, 9);
    ASSERT_EQ(12, source_buffer_size.cx);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x)
            SetPixel(source_dc, x, y, RGB(1, 2, 3));
    Dib24 target(zoomed_size.x, zoomed_size.y);
    render(target);
    EXPECT_EQ(0, differing_block_pixels(target, false, false));
    // The small buffer was not touched either.
    EXPECT_EQ(RGB(1, 2, 3), GetPixel(source_dc, 11, 11));
    EXPECT_EQ(RGB(1, 2, 3), GetPixel(source_dc, 0, 0));
}

TEST_F(RenderTest, WiderSourceBufferIsNotReadWithTheWrongStride) {
    // After the area shrank and the re-creation failed, the source buffer is
    // wider than the block: its rows do not have the stride the smoothing
    // assumes, so the render falls back instead of shearing the image.
    settings.graybmp = 1;
    settings.smooth = kSmoothBilinear;
    create_engine_buffers();
    recreate_source_buffer(nullptr, 41, 37);
    Dib24 target(zoomed_size.x, zoomed_size.y);
    render(target);
    EXPECT_EQ(0, differing_block_pixels(target, false, false));
}

TEST_F(RenderTest, TooSmallZoomBufferKeepsGrayButSkipsSmoothing) {
    settings.graybmp = 1;
    settings.smooth = kSmoothBilinear;
    create_engine_buffers();
    recreate_zoom_buffer(50, 50); // image is 111 x 111
    Dib24 target(zoomed_size.x, zoomed_size.y);
    render(target);
    EXPECT_EQ(0, differing_block_pixels(target, false, true));
}

TEST_F(RenderTest, MissingSourceBufferFallsBackToPlainStretch) {
    settings.smooth = kSmoothBilinear;
    create_engine_buffers();
    delete_source_buffer();
    Dib24 target(zoomed_size.x, zoomed_size.y);
    render(target);
    EXPECT_EQ(0, differing_block_pixels(target, false, false));
}

// Calls fn(arg) with the stack pointer 4 bytes off the 16-byte alignment the
// compiler assumes elsewhere, as a thread or callback started by 32-bit
// Windows may be.
extern "C" void call_misaligned(void (*fn)(void*), void* arg);
asm(".text\n"
    ".globl _call_misaligned\n"
    "_call_misaligned:\n"
    "    pushl %ebp\n"
    "    movl %esp, %ebp\n"
    "    andl $-16, %esp\n"
    "    subl $8, %esp\n"
    "    pushl 12(%ebp)\n" // esp is now 4 past a multiple of 16 before the call
    "    call *8(%ebp)\n"
    "    movl %ebp, %esp\n"
    "    popl %ebp\n"
    "    ret\n");

struct MisalignedCall {
    int mode;
    const std::vector<uint8_t>* src;
    std::vector<uint8_t> out;
    uintptr_t stack;
};

void smooth_on_misaligned_stack(void* arg) {
    auto* call = static_cast<MisalignedCall*>(arg);
    uintptr_t sp;
    asm volatile("movl %%esp, %0" : "=r"(sp));
    call->stack = sp;
    smooth_scale(call->src->data(), 0, 0, 37, 37, call->out.data(), 111, 111, call->mode);
}

// A fault in that thread (a vector stored to a misaligned stack slot) ends
// the thread with code 2 rather than the process, so the test fails instead
// of waiting in the debugger.
DWORD misaligned_thread_id;
LONG CALLBACK end_misaligned_thread(EXCEPTION_POINTERS*) {
    if (GetCurrentThreadId() == misaligned_thread_id) ExitThread(2);
    return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI misaligned_thread(void* arg) {
    misaligned_thread_id = GetCurrentThreadId();
    call_misaligned(smooth_on_misaligned_stack, arg);
    return 0;
}

TEST(SmoothScaleStack, VectorPathsRealignAMisalignedStack) {
    std::vector<uint8_t> src(static_cast<size_t>((3 * 37 + 12) & ~3) * 40);
    for (size_t i = 0; i < src.size(); ++i)
        src[i] = static_cast<uint8_t>(i * 7919 >> 3);
    const PixelPath start = pixel_path();
    void* handler = AddVectoredExceptionHandler(1, end_misaligned_thread);
    for (PixelPath path : {PixelPath::sse2, PixelPath::avx}) {
        if (!pixel_path_available(path)) continue;
        for (int mode : {1, 2}) {
            SCOPED_TRACE(testing::Message() << "path " << int(path) << " mode " << mode);
            std::vector<uint8_t> expected(static_cast<size_t>((3 * 111 + 3) & ~3) * 111, 0);
            force_pixel_path(path);
            smooth_scale(src.data(), 0, 0, 37, 37, expected.data(), 111, 111, mode);
            MisalignedCall call{mode, &src, std::vector<uint8_t>(expected.size(), 0), 0};
            HANDLE thread = CreateThread(nullptr, 0, misaligned_thread, &call, 0, nullptr);
            ASSERT_NE(nullptr, thread);
            ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
            DWORD code = 1;
            GetExitCodeThread(thread, &code);
            CloseHandle(thread);
            EXPECT_EQ(0u, code) << "the thread faulted";
            EXPECT_NE(0u, call.stack % 16) << "the stack was not misaligned";
            EXPECT_TRUE(expected == call.out) << "the bytes differ from a call on an aligned stack";
        }
    }
    RemoveVectoredExceptionHandler(handler);
    force_pixel_path(start);
}

} // namespace
