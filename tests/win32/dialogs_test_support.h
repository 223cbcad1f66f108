// Helpers of the dialog tests: a fixture that holds one modeless dialog at a
// time, running a modal dialog that a timer drives from inside its own
// message loop, reading controls, and screenshots. Waiting goes through the
// message pump all Win32 tests share.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>
#include <string>

#include "settings/settings.h"
#include "tests/win32/test_support.h"

namespace dialog_tests {

using test_support::pump_messages;
using test_support::wait_for_object;
using test_support::wait_until;

// Calls open() (which shows a modal dialog); as soon as the dialog is up,
// drive(dialog) runs inside its message loop. A dialog that drive() left open
// is ended with kAbandoned after timeout_ms so a failing test cannot hang.
constexpr INT_PTR kAbandoned = 99;
INT_PTR run_modal(const std::function<INT_PTR()>& open, const std::function<void(HWND)>& drive,
                  DWORD timeout_ms = test_support::kPatience);
// The same for the modal dialog of a template and its procedure, without owner.
INT_PTR run_modal(const char* template_name, DLGPROC procedure,
                  const std::function<void(HWND)>& drive, LPARAM init = 0);

// The modeless form of a dialog built from its real template and procedure.
// `init` is the creation parameter (the settings copy the options and hotkey
// dialogs edit).
HWND create_dialog(const char* template_name, DLGPROC procedure, HWND owner = nullptr,
                   LPARAM init = 0);

// A test of one modeless dialog, dialog_, destroyed (and the messages it left
// pumped) after each test.
class DialogTest : public ::testing::Test {
  protected:
    void TearDown() override {
        close();
        pump_messages();
    }
    // Opens a fresh modeless dialog, closing the one still open.
    HWND open_dialog(const char* template_name, DLGPROC procedure, LPARAM init = 0) {
        close();
        dialog_ = create_dialog(template_name, procedure, nullptr, init);
        return dialog_;
    }
    void close() {
        if (dialog_) DestroyWindow(dialog_);
        dialog_ = nullptr;
    }
    HWND dialog_ = nullptr;
    Settings edited_ = {}; // the settings copy a dialog that edits settings was opened with
};

std::string text_of(HWND window);
std::string item_text(HWND dialog, int id);
bool enabled(HWND dialog, int id);
bool checked(HWND dialog, int id);
// Clicks a button as the user would (BM_CLICK).
void click(HWND dialog, int id);

// Window rectangle converted from dialog units of `dialog`.
RECT dialog_units_to_pixels(HWND dialog, int x, int y, int w, int h);

// Screen copy of the window, saved as a 24-bit BMP into BRISVANE_SHOTS (or
// the current folder) under name + ".bmp". Returns false when it could not.
bool save_window_shot(HWND window, const std::string& name);
// Screen pixels of a rectangle as 0x00BBGGRR, row by row.
std::vector<COLORREF> grab_pixels(const RECT& area);

} // namespace dialog_tests
