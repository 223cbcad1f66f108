// The four dialogs driven from outside: opened by their menu commands, edited
// through their controls, confirmed or cancelled, and judged by the settings
// file and the loupe afterwards.
#include "tests/e2e/fixture.h"

#include "resources/resource.h"

#include <commctrl.h>

namespace e2e {
namespace {

std::string item_text(HWND dlg, int id) {
    char buf[256] = "";
    GetDlgItemTextA(dlg, id, buf, sizeof buf);
    return buf;
}

// BM_CLICK on a button of another process's dialog, without hanging the
// suite when that dialog does not answer.
bool click(HWND dlg, int id) {
    HWND button = GetDlgItem(dlg, id);
    DWORD_PTR result = 0;
    return button &&
           SendMessageTimeoutA(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kPatience, &result) != 0;
}

void shoot(HWND dlg, const char* name) {
    save_bmp(settled_grab(window_rect(dlg)), name);
}

class Dialogs : public PictureTest {
  protected:
    // Every test starts the product with default settings and the loupe
    // shown at its place beside the pointer.
    void SetUp() override {
        PictureTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NO_FATAL_FAILURE(launch());
        ASSERT_TRUE(loupe_at(loupe_, 511, 411));
    }

    HWND open(WORD command, const char* caption) {
        run_.post_command(command);
        HWND dlg = wait_window(run_.pid(), "#32770", caption);
        EXPECT_NE(dlg, nullptr) << "no dialog \"" << caption << "\" after command " << command;
        if (dlg) {
            EXPECT_FALSE(IsWindowVisible(loupe_)) << "the loupe stays hidden meanwhile";
        }
        return dlg;
    }

    // Clicks the button and waits until the dialog has gone.
    static ::testing::AssertionResult closed_by(HWND dlg, int id) {
        if (!click(dlg, id))
            return ::testing::AssertionFailure() << "button " << id << " did not answer";
        if (!wait_until([&] { return !IsWindow(dlg) || !IsWindowVisible(dlg); }))
            return ::testing::AssertionFailure() << "the dialog stayed open";
        return ::testing::AssertionSuccess();
    }

    // The value of key in [section] of the settings file that OK writes ("" when absent).
    std::string saved(const char* section, const char* key) {
        EXPECT_TRUE(wait_until([&] { return run_.ini_exists(); })) << "OK did not save";
        std::string value;
        EXPECT_TRUE(ini_value(run_.read_ini(), section, key, &value))
            << "no " << key << " in [" << section << "]";
        return value;
    }
};

TEST_F(Dialogs, OptionsOkAppliesAndSavesTheNewMagnification) {
    HWND dlg = open(IDM_OPTIONS, "Brisvane設定");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(item_text(dlg, IDC_OPT_MAGNIFY), "300");
    EXPECT_EQ(item_text(dlg, IDC_OPT_WIDTH), "37");
    EXPECT_EQ(item_text(dlg, IDC_OPT_HEIGHT), "37");
    EXPECT_EQ(item_text(dlg, IDC_OPT_DISTANCE), "16");
    EXPECT_EQ(item_text(dlg, IDC_OPT_ANGLE), "135");
    shoot(dlg, "dialog_options");

    ASSERT_TRUE(SetDlgItemTextA(dlg, IDC_OPT_MAGNIFY, "400"));
    ASSERT_TRUE(closed_by(dlg, IDOK));

    // 37 * 4 = 148, window 152. After OK the distance to the cursor is
    // sqrt(76^2 + 76^2) + 16 + 2.8 = 126.28, so the centre stands 89 pixels
    // right of and below the pointer: 500 + 89 - 76 = 513.
    EXPECT_TRUE(loupe_at(loupe_, 513, 413, 152, 152));
    EXPECT_EQ(saved("option", "magnify"), "400");
}

TEST_F(Dialogs, OptionsCancelChangesNothing) {
    HWND dlg = open(IDM_OPTIONS, "Brisvane設定");
    ASSERT_NE(dlg, nullptr);
    ASSERT_TRUE(SetDlgItemTextA(dlg, IDC_OPT_MAGNIFY, "500"));
    ASSERT_TRUE(closed_by(dlg, IDCANCEL));
    EXPECT_TRUE(loupe_at(loupe_, 511, 411));
    EXPECT_TRUE(holds_for([&] { return same_rect(window_rect(loupe_), 511, 411, 115, 115); }, 200));
    EXPECT_FALSE(run_.ini_exists()) << "Cancel wrote the settings file";
}

TEST_F(Dialogs, HotkeyOkStoresTheCombinationInTheField) {
    HWND dlg = open(IDM_HOTKEY, "Brisvane－ホットキー設定");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(item_text(dlg, IDC_HOTKEY_FIELD), "Ctrl");
    shoot(dlg, "dialog_hotkey");

    ASSERT_TRUE(SetDlgItemTextA(dlg, IDC_HOTKEY_FIELD, "Alt+F5"));
    ASSERT_TRUE(closed_by(dlg, IDOK));
    EXPECT_TRUE(loupe_at(loupe_, 511, 411));
    EXPECT_EQ(saved("option", "hotkey"), "18,116");
}

TEST_F(Dialogs, HotkeyFieldRecognisesHeldKeys) {
    HWND dlg = open(IDM_HOTKEY, "Brisvane－ホットキー設定");
    ASSERT_NE(dlg, nullptr);
    // The field polls the keyboard every 100 ms while it has the focus. The
    // keys are pressed on the X side: under Wine a modifier sent with
    // SendInput to the window with the focus can be dropped (see
    // docs/testing.md). Each combination is held until the field shows it: on
    // a busy machine a short press can be over before a poll has seen it.
    const auto shows_while_held = [&](const char* keys, const std::string& text) {
        const bool pressed = xdotool(std::string("keydown ") + keys);
        const bool shown =
            pressed && wait_until([&] { return item_text(dlg, IDC_HOTKEY_FIELD) == text; });
        xdotool(std::string("keyup ") + keys);
        return shown;
    };
    EXPECT_TRUE(shows_while_held("ctrl+F7", "Ctrl+F7"))
        << "field shows \"" << item_text(dlg, IDC_HOTKEY_FIELD) << "\"";
    EXPECT_TRUE(shows_while_held("shift+F8", "Shift+F8"))
        << "field shows \"" << item_text(dlg, IDC_HOTKEY_FIELD) << "\"";
    // Released keys leave the last combination in the field. Once a poll has
    // seen the modifier released, a letter alone is ignored (right after the
    // release it would still pair with the modifier).
    ASSERT_TRUE(wait_until([] { return GetAsyncKeyState(VK_SHIFT) >= 0; })) << "Shift stays down";
    EXPECT_TRUE(holds_for([&] { return item_text(dlg, IDC_HOTKEY_FIELD) == "Shift+F8"; }, 300));
    ASSERT_TRUE(xdotool("keydown a sleep 0.3 keyup a"));
    EXPECT_TRUE(holds_for([&] { return item_text(dlg, IDC_HOTKEY_FIELD) == "Shift+F8"; }, 300))
        << "field shows \"" << item_text(dlg, IDC_HOTKEY_FIELD) << "\"";
    ASSERT_TRUE(closed_by(dlg, IDOK));
    EXPECT_EQ(saved("option", "hotkey"), "16,119");
}

TEST_F(Dialogs, PerWindowSettingsOkSavesTheAddedRule) {
    HWND dlg = open(IDM_WINDOW_RULES, "ウィンドウ個別設定");
    ASSERT_NE(dlg, nullptr);
    HWND list = GetDlgItem(dlg, IDC_RULE_LIST);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);

    ASSERT_TRUE(SetDlgItemTextA(dlg, IDC_RULE_TITLE, "abc"));
    SendDlgItemMessageA(dlg, IDC_RULE_TYPE, CB_SETCURSEL, 1, 0); // "通常は非表示", type 2
    ASSERT_TRUE(click(dlg, IDC_RULE_ADD));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    shoot(dlg, "dialog_window_rules");

    ASSERT_TRUE(closed_by(dlg, IDOK));
    EXPECT_TRUE(loupe_at(loupe_, 511, 411));
    EXPECT_EQ(saved("target", "count"), "1");
    // No class was captured, so the rule's class name is empty.
    EXPECT_EQ(saved("target", "0"), "2,/abc");
}

TEST_F(Dialogs, AboutShowsTheVersionAndSavesNothing) {
    HWND dlg = open(IDM_ABOUT, "Brisvaneについて");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(item_text(dlg, IDC_ABOUT_VERSION).rfind("Brisvane v1.50", 0), 0u)
        << item_text(dlg, IDC_ABOUT_VERSION);
    shoot(dlg, "dialog_about");
    ASSERT_TRUE(closed_by(dlg, IDOK));
    EXPECT_TRUE(loupe_at(loupe_, 511, 411)) << "the loupe did not come back";
    EXPECT_FALSE(run_.ini_exists());
}

} // namespace
} // namespace e2e
