// Shared set-up of the end-to-end tests: the product must be named by
// BRISVANE_EXE (a missing product is a failure, never a skip), and each test
// gets its own ProductRun that is shut down whatever happens.
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

    // Prepares a run with the given INI text (none when empty), starts it
    // and waits for its loupe window. Fails the test when any step fails.
    void launch(ProductRun& run, const std::string& ini = "") {
        ASSERT_TRUE(run.prepared()) << "cannot copy the product into a temporary folder";
        if (!ini.empty()) {
            ASSERT_TRUE(run.write_ini(ini));
        }
        ASSERT_TRUE(run.start()) << "CreateProcess failed: " << GetLastError();
        ASSERT_NE(run.wait_loupe(), nullptr) << "no BRISVANE_CLASS window appeared";
    }

    // Waits until the loupe is shown with its window at (x, y) and w x h.
    static bool wait_loupe_at(HWND loupe, int x, int y, int w, int h, DWORD timeout = 3000) {
        return wait_until(
            [&] { return IsWindowVisible(loupe) && same_rect(window_rect(loupe), x, y, w, h); },
            timeout);
    }
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
    void TearDown() override { picture_.reset(); }
    virtual std::vector<Patch> patches() { return {}; }

    std::unique_ptr<TestPicture> picture_;
};

} // namespace e2e
