// Shared set-up of the end-to-end tests: the product must be named by
// BRISVANE_EXE (a missing product is a failure, never a skip), and each test
// gets its own ProductRun, started by launch() and checked to end cleanly
// afterwards; whatever happens, nothing is left running.
#pragma once
#include <gtest/gtest.h>
#include <memory>
#include <string>

#include "tests/e2e/picture.h"
#include "tests/e2e/probe.h"
#include "tests/e2e/product.h"

namespace e2e {

// Geometry of the default loupe: size 37,37 at 300 % gives a 111 x 111
// image inside a 2-pixel frame.
constexpr int kDefaultWindow = 115;
constexpr int kScreenWidth = 1024, kScreenHeight = 768;

// Waits until the loupe is shown with its window at (x, y) and w x h; a
// failure says where it is instead.
inline ::testing::AssertionResult loupe_at(HWND loupe, int x, int y, int w = kDefaultWindow,
                                           int h = kDefaultWindow, DWORD timeout = kPatience) {
    if (wait_until(
            [&] { return IsWindowVisible(loupe) && same_rect(window_rect(loupe), x, y, w, h); },
            timeout))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "loupe " << (IsWindowVisible(loupe) ? "shown" : "hidden") << " at "
           << describe(window_rect(loupe)) << ", want " << describe(RECT{x, y, x + w, y + h});
}

class ProductTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string exe = product_exe_path();
        ASSERT_FALSE(exe.empty()) << "set BRISVANE_EXE to the Windows path of brisvane.exe";
        ASSERT_NE(GetFileAttributesA(exe.c_str()), INVALID_FILE_ATTRIBUTES)
            << "BRISVANE_EXE names no file: " << exe;
        ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), kScreenWidth) << "the checks assume 1024 x 768";
        ASSERT_EQ(GetSystemMetrics(SM_CYSCREEN), kScreenHeight);
    }

    // Every started run must end by its exit command with exit code 0. After
    // a fatal failure the run is only ended, however it can be.
    void TearDown() override {
        if (!HasFatalFailure()) {
            EXPECT_TRUE(run_.shut_down()) << "the program did not exit cleanly";
        }
    }

    // Starts run_ with the given INI text (none when empty) and waits for its
    // loupe window, loupe_. Fails the test when any step fails, so call it
    // inside ASSERT_NO_FATAL_FAILURE.
    void launch(const std::string& ini = "") {
        launch(run_, ini);
        loupe_ = run_.loupe();
    }
    // The same for a run of the test's own (a second copy, another name).
    static void launch(ProductRun& run, const std::string& ini = "") {
        std::string why;
        ASSERT_TRUE(run.launch(ini, &why)) << why;
    }

    ProductRun run_;
    HWND loupe_ = nullptr;
};

// A product test on top of the test picture, with the pointer parked at
// (500, 400) before the product starts.
class PictureTest : public ProductTest {
  protected:
    void SetUp() override {
        ProductTest::SetUp();
        if (HasFatalFailure()) return;
        picture_ = std::make_unique<TestPicture>(patches());
        ASSERT_TRUE(picture_->ready()) << "the test picture did not reach the screen";
        ASSERT_TRUE(move_pointer(500, 400));
    }
    void TearDown() override {
        ProductTest::TearDown();
        picture_.reset();
    }
    virtual std::vector<Patch> patches() { return {}; }

    std::unique_ptr<TestPicture> picture_;
};

} // namespace e2e
