// Caret following against a program no one here wrote: Wine's own Notepad.
// Text typed into it with xdotool moves its caret; the loupe must stand
// beside the caret and show the text around it, go back to the pointer when
// the pointer moves, and copy the colour under the pointer as text.
#include "tests/e2e/fixture.h"
#include "tests/e2e/loupe_image.h"

#include "resources/resource.h"

#include <cstdlib>

namespace e2e {
namespace {

// Wine's Notepad, started for one test and ended with it (its unsaved text
// would make a close ask a question).
class Notepad {
  public:
    Notepad() {
        STARTUPINFOA si = {};
        si.cb = sizeof(si);
        char command[] = "notepad.exe";
        if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi_))
            return;
        window_ = wait_window(pi_.dwProcessId, "Notepad", nullptr, 10000);
        if (window_) edit_ = FindWindowExA(window_, nullptr, "Edit", nullptr);
    }
    ~Notepad() {
        if (!pi_.hProcess) return;
        TerminateProcess(pi_.hProcess, 0);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    Notepad(const Notepad&) = delete;
    Notepad& operator=(const Notepad&) = delete;

    HWND window() const { return window_; }
    HWND edit() const { return edit_; }

  private:
    PROCESS_INFORMATION pi_{};
    HWND window_ = nullptr;
    HWND edit_ = nullptr;
};

// The foreground thread's caret as the loupe follows it: its left edge,
// halfway down, on the screen. False without one.
bool caret_point(HWND expected_window, POINT* point) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(0, &info) || info.hwndCaret != expected_window) return false;
    POINT origin = {0, 0};
    ClientToScreen(info.hwndCaret, &origin);
    *point = {origin.x + info.rcCaret.left,
              origin.y + (info.rcCaret.top + info.rcCaret.bottom) / 2};
    return true;
}

using Caret = ProductTest;

TEST_F(Caret, TheLoupeFollowsNotepadsCaretAndTheMouseTakesItBack) {
    ASSERT_TRUE(move_pointer(850, 550));
    ASSERT_NO_FATAL_FAILURE(launch("[option]\ncaret=1\n"));
    ASSERT_TRUE(loupe_at(loupe_, 861, 561));

    Notepad notepad;
    ASSERT_NE(notepad.window(), nullptr) << "Notepad did not start";
    ASSERT_NE(notepad.edit(), nullptr) << "Notepad has no edit control";
    SetWindowPos(notepad.window(), nullptr, 120, 100, 520, 320, SWP_NOZORDER);
    // Clicked into, for the keyboard focus; then the pointer goes away and
    // rests, so that typing, not the pointer, leads.
    ASSERT_TRUE(move_pointer(300, 250));
    ASSERT_TRUE(xdotool("click 1"));
    ASSERT_TRUE(wait_until(
        [&] {
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            return GetGUIThreadInfo(0, &info) && info.hwndFocus == notepad.edit();
        },
        kPatience))
        << "the click did not put the focus into Notepad's text";
    ASSERT_TRUE(move_pointer(850, 550));
    ASSERT_TRUE(loupe_at(loupe_, 861, 561)) << "with the pointer";

    ASSERT_TRUE(xdotool("type --delay 120 'Brisvane loupe'"));
    POINT caret = {};
    ASSERT_TRUE(caret_point(notepad.edit(), &caret)) << "no caret in Notepad";
    ASSERT_GT(caret.x, 160) << "the typing did not reach Notepad";
    // Beside the caret as beside the pointer: the point is the caret's line
    // (exactly) and near the caret across (the view moves only when the
    // caret leaves the middle of the captured area); the loupe stands 11
    // pixels right of and below its point.
    RECT at = {};
    const bool beside = wait_until(
        [&] {
            at = window_rect(loupe_);
            return IsWindowVisible(loupe_) && at.top == caret.y + 11 &&
                   std::abs(at.left - 11 - caret.x) <= 11;
        },
        kPatience);
    save_bmp(settled_grab(RECT{100, 80, 700, 480}), "caret_notepad");
    ASSERT_TRUE(beside) << "loupe at " << describe(at) << ", caret at (" << caret.x << ", "
                        << caret.y << ")";

    // It shows the typed text around its point, magnified (the caret blinks:
    // the screen is read again with each look at the loupe).
    Grab area, shot;
    int bad = 0, dark = 0;
    std::string report;
    wait_until(
        [&] {
            // Read again each look: on a busy machine the view may still be
            // gliding towards the caret.
            at = window_rect(loupe_);
            LoupeLayout layout = layout_around(at.left - 11, at.top - 11, at);
            area = grab_screen(
                RECT{layout.origin_x, layout.origin_y, layout.origin_x + 37, layout.origin_y + 37});
            layout.screen = &area;
            shot = grab_window(loupe_);
            bad = loupe_mismatches(shot, layout, &report);
            return bad == 0;
        },
        kPatience, 50);
    EXPECT_EQ(bad, 0) << report;
    for (uint32_t pixel : area.pixels)
        if ((pixel >> 16) < 96 && ((pixel >> 8) & 255) < 96 && (pixel & 255) < 96) ++dark;
    EXPECT_GT(dark, 20) << "no text around the caret";
    save_bmp(shot, "caret_notepad_loupe");

    // The pointer moves: the loupe is beside it again at once.
    ASSERT_TRUE(move_pointer(420, 380));
    EXPECT_TRUE(loupe_at(loupe_, 431, 391));

    // Ctrl+Shift+PrintScreen over a known colour: Notepad's empty page.
    const Grab under = grab_screen(RECT{420, 380, 421, 381});
    ASSERT_EQ(under.at(420, 380), 0xFFFFFFu) << "not over the white page";
    const DWORD before = GetClipboardSequenceNumber();
    ASSERT_TRUE(empty_clipboard());
    wait_clipboard_settled(before, 2000);
    const DWORD seq = GetClipboardSequenceNumber();
    // Held until the program has seen it: on a busy machine a short press
    // can fall between two polls. One press copies once however long it is.
    ASSERT_TRUE(xdotool("keydown ctrl+shift+Print"));
    const bool copied = wait_clipboard_settled(seq, kPatience);
    xdotool("keyup ctrl+shift+Print");
    EXPECT_TRUE(copied) << "nothing reached the clipboard";
    EXPECT_EQ(clipboard_text(CF_TEXT), "255, 255, 255");
    EXPECT_EQ(clipboard_text(CF_UNICODETEXT), "255, 255, 255");
    EXPECT_TRUE(clipboard_dib().empty()) << "the image was copied as well";
    EXPECT_TRUE(IsWindowVisible(loupe_)) << "a message box?";
}

} // namespace
} // namespace e2e
