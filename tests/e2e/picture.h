// The test picture: a popup of our own that covers the whole screen and
// paints a known picture, so the pixels the loupe shows can be predicted
// exactly. It lives in a thread of the test process with its own message
// loop, is created before the product starts (the product's topmost windows
// then stand above it) and never takes the activation.
//
// Optional patches are small solid windows of another class on top of the
// picture: targets for per-window rules, or an activatable window for the
// foreground checks.
#pragma once
#include <windows.h>
#include <cstdint>
#include <vector>

namespace e2e {

struct Patch {
    RECT rect;
    uint32_t rgb;
    bool activatable;
};

class TestPicture {
  public:
    explicit TestPicture(std::vector<Patch> patches = {}, bool demo_text = false);
    ~TestPicture();
    TestPicture(const TestPicture&) = delete;
    TestPicture& operator=(const TestPicture&) = delete;

    // True once every window is created and the picture is visible on the
    // screen (checked by reading screen pixels back).
    bool ready() const { return ready_; }
    HWND window() const { return window_; }
    HWND patch(size_t i) const { return i < patch_windows_.size() ? patch_windows_[i] : nullptr; }

    // The picture's colour at screen (x, y), 0xRRGGBB: red = x & 255,
    // green = y & 255, blue tells the 256-pixel tile apart plus (x + y) & 15,
    // so every pixel of a 1024 x 768 screen differs; three solid blocks
    // (red, white, black) stand at y 576..639.
    static uint32_t colour(int x, int y);
    static const char* class_name() { return "BrisvaneProbePicture"; }
    static const char* patch_class_name() { return "BrisvaneProbePatch"; }

  private:
    static DWORD WINAPI thread_main(void* self);
    void run();

    std::vector<Patch> patches_;
    bool demo_text_;
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
    HANDLE created_ = nullptr;
    HWND window_ = nullptr;
    std::vector<HWND> patch_windows_;
    bool ready_ = false;
};

} // namespace e2e
