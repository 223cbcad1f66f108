// The hotkey dialog from its real template: the text it opens with, the
// keyboard poll over a stand-in keyboard, the field's focus colours and
// missing caret, and what OK and Cancel store.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <set>
#include <vector>

#include "dialogs/dialogs.h"
#include "dialogs/hotkey_dialog.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win32/dialogs_test_support.h"

using namespace dialog_tests;

namespace {

// The keys the poll sees. Synthesized key events are not reliably seen by a
// focused window under Wine (it resynchronises the modifiers with the X
// server), so the poll reads this set instead; the end-to-end suite presses
// real keys.
std::set<int> held_keys;

bool held_key_query(int vk, void*) {
    return held_keys.count(vk) != 0;
}

class HeldKeys {
  public:
    ~HeldKeys() { release_all(); }
    void press(WORD vk) { held_keys.insert(vk); }
    void release_all() { held_keys.clear(); }
};

class HotkeyDialog : public DialogTest {
  protected:
    void SetUp() override {
        test_support::reset_settings();
        held_keys.clear();
        set_hotkey_key_query(held_key_query, nullptr);
    }
    void TearDown() override {
        DialogTest::TearDown();
        set_hotkey_key_query(nullptr, nullptr);
    }
    HWND open(IntPair hotkey) {
        settings.hotkey = hotkey;
        open_dialog(IDD_HOTKEY, hotkey_dialog_proc);
        // Key events go to the foreground thread, which must be this one.
        if (dialog_) {
            SetForegroundWindow(dialog_);
            wait_until([&] { return GetForegroundWindow() == dialog_; }, 1000);
            // The poll only reads keys while the field has the focus.
            HWND field = GetDlgItem(dialog_, IDC_HOTKEY_FIELD);
            SetFocus(field);
            wait_until([&] { return GetFocus() == field; }, 1000);
        }
        return dialog_;
    }
    std::string field() { return item_text(dialog_, IDC_HOTKEY_FIELD); }
    bool field_becomes(const std::string& text) {
        return wait_until([&] { return field() == text; }, 2000);
    }
    // Lets at least three polls run.
    void let_polls_run() {
        DWORD start = GetTickCount();
        wait_until([&] { return GetTickCount() - start > 350; }, 1000);
    }
};

TEST_F(HotkeyDialog, OpensWithTheTextOfTheStoredHotkey) {
    struct Case {
        IntPair hotkey;
        const char* text;
    } cases[] = {{{17, 0}, "Ctrl"}, {{18, 116}, "Alt+F5"}, {{16, 65}, "Shift+A"},
                 {{0, 116}, "F5"},  {{0, 65}, "+A"},       {{0, 0}, ""}};
    for (const Case& c : cases) {
        ASSERT_NE(open(c.hotkey), nullptr);
        EXPECT_EQ(field(), c.text);
    }
    EXPECT_TRUE(save_window_shot(dialog_, "dialogs_hotkey"));
}

TEST_F(HotkeyDialog, FieldHasTheFocusAndNoCaret) {
    ASSERT_NE(open({17, 0}), nullptr);
    HWND edit = GetDlgItem(dialog_, IDC_HOTKEY_FIELD);
    EXPECT_EQ(GetFocus(), edit);
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &info));
    EXPECT_NE(info.hwndCaret, edit);
    EXPECT_EQ(info.hwndCaret, nullptr);
}

TEST_F(HotkeyDialog, FieldColourFollowsTheFocus) {
    ASSERT_NE(open({17, 0}), nullptr);
    HWND edit = GetDlgItem(dialog_, IDC_HOTKEY_FIELD);
    HDC dc = GetDC(edit);
    auto brush = [&] {
        return reinterpret_cast<HBRUSH>(SendMessageA(dialog_, WM_CTLCOLORSTATIC,
                                                     reinterpret_cast<WPARAM>(dc),
                                                     reinterpret_cast<LPARAM>(edit)));
    };
    EXPECT_EQ(brush(), GetSysColorBrush(COLOR_INFOBK));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    SetFocus(GetDlgItem(dialog_, IDOK));
    EXPECT_EQ(brush(), GetSysColorBrush(COLOR_WINDOW));
    ReleaseDC(edit, dc);

    // Other statics keep the default colours (the procedure leaves them to
    // the dialog manager).
    HWND label = GetWindow(edit, GW_HWNDNEXT);
    ASSERT_NE(label, nullptr);
    HDC label_dc = GetDC(label);
    SetBkMode(label_dc, OPAQUE);
    LRESULT label_brush =
        SendMessageA(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(label_dc),
                     reinterpret_cast<LPARAM>(label));
    EXPECT_NE(reinterpret_cast<HBRUSH>(label_brush), GetSysColorBrush(COLOR_INFOBK));
    EXPECT_NE(reinterpret_cast<HBRUSH>(label_brush), GetSysColorBrush(COLOR_WINDOW));
    EXPECT_NE(GetBkMode(label_dc), TRANSPARENT);
    ReleaseDC(label, label_dc);
}

TEST_F(HotkeyDialog, HeldKeysBecomeTheCombinationAndOkStoresIt) {
    ASSERT_NE(open({0, 0}), nullptr);
    HeldKeys keys;
    keys.press(VK_CONTROL);
    EXPECT_TRUE(field_becomes("Ctrl")) << field();
    keys.press(VK_F5);
    EXPECT_TRUE(field_becomes("Ctrl+F5")) << field();
    keys.release_all();
    let_polls_run();
    EXPECT_EQ(field(), "Ctrl+F5"); // kept after the keys are released
    click(dialog_, IDOK);
    EXPECT_EQ(settings.hotkey, (IntPair{17, 116}));
}

TEST_F(HotkeyDialog, LetterAloneIsIgnoredFunctionKeyAloneCounts) {
    ASSERT_NE(open({17, 0}), nullptr);
    HeldKeys keys;
    keys.press('A');
    let_polls_run();
    EXPECT_EQ(field(), "Ctrl");
    keys.release_all();
    keys.press(VK_F7);
    EXPECT_TRUE(field_becomes("F7")) << field();
    keys.release_all();
    click(dialog_, IDOK);
    EXPECT_EQ(settings.hotkey, (IntPair{0, 118}));
}

TEST_F(HotkeyDialog, ShiftWithLetterAndPriorityOfCtrl) {
    ASSERT_NE(open({0, 0}), nullptr);
    HeldKeys keys;
    keys.press(VK_SHIFT);
    keys.press('Q');
    EXPECT_TRUE(field_becomes("Shift+Q")) << field();
    keys.press(VK_CONTROL); // Ctrl outranks Shift
    EXPECT_TRUE(field_becomes("Ctrl+Q")) << field();
}

TEST_F(HotkeyDialog, NoRecognitionWithoutTheFocus) {
    ASSERT_NE(open({17, 0}), nullptr);
    SetFocus(GetDlgItem(dialog_, IDCANCEL));
    HeldKeys keys;
    keys.press(VK_F9);
    let_polls_run();
    EXPECT_EQ(field(), "Ctrl");
}

TEST_F(HotkeyDialog, OkParsesTheFieldText) {
    struct Case {
        const char* text;
        IntPair hotkey;
    } cases[] = {{"Ctrl+F12", {17, 123}},
                 {"Shift", {16, 0}},
                 {"+A", {0, 65}},
                 {"", {0, 0}},
                 {"Alt+F13", {18, 0}}};
    for (const Case& c : cases) {
        ASSERT_NE(open({18, 119}), nullptr);
        SetDlgItemTextA(dialog_, IDC_HOTKEY_FIELD, c.text);
        click(dialog_, IDOK);
        EXPECT_EQ(settings.hotkey, c.hotkey) << c.text;
    }
}

TEST_F(HotkeyDialog, CancelKeepsTheHotkey) {
    ASSERT_NE(open({16, 65}), nullptr);
    HeldKeys keys;
    keys.press(VK_CONTROL);
    keys.press(VK_F2);
    EXPECT_TRUE(field_becomes("Ctrl+F2"));
    keys.release_all();
    click(dialog_, IDCANCEL);
    EXPECT_EQ(settings.hotkey, (IntPair{16, 65}));
}

TEST(HotkeyDialogModal, ResultsAreOneForOkAndTwoForCancel) {
    test_support::reset_settings();
    settings.hotkey = {17, 0};
    struct Case {
        int button;
        IntPair hotkey;
    } cases[] = {{IDCANCEL, {17, 0}}, {IDOK, {18, 114}}};
    for (const Case& c : cases) {
        EXPECT_EQ(run_modal(IDD_HOTKEY, hotkey_dialog_proc,
                            [&](HWND dialog) {
                                SetDlgItemTextA(dialog, IDC_HOTKEY_FIELD, "Alt+F3");
                                click(dialog, c.button);
                            }),
                  c.button);
        EXPECT_EQ(settings.hotkey, c.hotkey);
    }
}

} // namespace
