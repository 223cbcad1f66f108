// The per-window settings dialog from its real template: the list made from
// the rule table, selection, the buttons, header sorting, the window capture,
// and what OK and Cancel do to the rule table.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "dialogs/target_dialog.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "settings/rules.h"
#include "tests/common/settings_helpers.h"
#include "tests/win32/dialogs_test_support.h"

using namespace dialog_tests;

namespace {

struct Row {
    std::string class_name, title, type;
    bool operator==(const Row& o) const {
        return class_name == o.class_name && title == o.title && type == o.type;
    }
};

std::ostream& operator<<(std::ostream& out, const Row& r) {
    return out << "{" << r.class_name << "|" << r.title << "|" << r.type << "}";
}

const std::string kShown = texts::kVisibilityTypeNames[0];
const std::string kHidden = texts::kVisibilityTypeNames[1];
const std::string kToggle = texts::kVisibilityTypeNames[2];

class TargetDialog : public DialogTest {
  protected:
    void SetUp() override {
        test_support::reset_settings();
        reset_rule_sort_directions();
    }
    void TearDown() override {
        DialogTest::TearDown();
        clear_rules();
    }
    HWND open() {
        open_dialog(IDD_WINDOW_RULES, target_dialog_proc);
        list_ = dialog_ ? GetDlgItem(dialog_, IDC_RULE_LIST) : nullptr;
        return dialog_;
    }

    int row_count() { return static_cast<int>(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::string cell(int row, int column) {
        char buf[256] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return buf;
    }
    std::vector<Row> rows() {
        std::vector<Row> out;
        for (int i = 0; i < row_count(); ++i)
            out.push_back({cell(i, 0), cell(i, 1), cell(i, 2)});
        return out;
    }
    void select(int row, bool on = true) {
        LVITEMA item = {};
        item.stateMask = LVIS_SELECTED;
        item.state = on ? LVIS_SELECTED : 0;
        SendMessageA(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }
    void select_only(int row) {
        select(-1, false);
        select(row);
    }
    // A click on a column header, through the header control as the mouse does it.
    void click_header(int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageA(list_, LVM_GETHEADER, 0, 0));
        RECT r;
        SendMessageA(header, HDM_GETITEMRECT, column, reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
        pump_messages();
    }
    int combo_selection() {
        return static_cast<int>(SendDlgItemMessageA(dialog_, IDC_RULE_TYPE, CB_GETCURSEL, 0, 0));
    }

    HWND list_ = nullptr;
};

TEST_F(TargetDialog, EmptyTableOpensAnEmptyListWithChangeDisabled) {
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(row_count(), 0);
    EXPECT_FALSE(enabled(dialog_, IDC_RULE_CHANGE));
    EXPECT_EQ(combo_selection(), 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, IDC_RULE_TYPE, CB_GETCOUNT, 0, 0), 3);

    DWORD ex = static_cast<DWORD>(SendMessageA(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
              static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    RECT client;
    GetClientRect(list_, &client);
    int widths[3] = {120, 150, client.right - 270};
    for (int column = 0; column < 3; ++column) {
        char header[64] = "";
        LVCOLUMNA info = {};
        info.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        info.pszText = header;
        info.cchTextMax = sizeof header;
        ASSERT_TRUE(SendMessageA(list_, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&info)));
        EXPECT_STREQ(header, texts::kRuleColumnNames[column]);
        EXPECT_EQ(info.cx, widths[column]) << column;
        EXPECT_EQ(info.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
}

// TARGETDLG with its font enlarged from 9 points, as the system lays it out
// at a higher DPI (the dialog font grows from 12 pixels).
static std::vector<WORD> target_template_with_font(WORD points) {
    HRSRC found = FindResourceA(nullptr, IDD_WINDOW_RULES, RT_DIALOG);
    const WORD* words = static_cast<const WORD*>(LockResource(LoadResource(nullptr, found)));
    std::vector<WORD> copy(words, words + SizeofResource(nullptr, found) / sizeof(WORD));
    size_t at = 13;                           // the fixed part of DLGTEMPLATEEX: 26 bytes
    for (int field = 0; field < 3; ++field) { // menu, class, caption: an ordinal or a string
        if (copy[at] == 0xFFFF) {
            at += 2;
        } else {
            while (copy[at] != 0)
                ++at;
            ++at;
        }
    }
    copy[at] = points;
    return copy;
}

TEST_F(TargetDialog, ColumnsFollowALargerDialogFont) {
    std::vector<WORD> larger = target_template_with_font(14);
    dialog_ = CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEA>(larger.data()), nullptr,
                                         target_dialog_proc, 0);
    ASSERT_NE(dialog_, nullptr);
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    const int height = std::abs(font.lfHeight);
    ASSERT_GT(height, 12);
    HWND list = GetDlgItem(dialog_, IDC_RULE_LIST);
    EXPECT_EQ(120 * height / 12, SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(150 * height / 12, SendMessageA(list, LVM_GETCOLUMNWIDTH, 1, 0));
}

TEST_F(TargetDialog, RulesOpenInTableOrder) {
    insert_rule("B", "x", 1);
    insert_rule("A", "y", 2);
    insert_rule("A", "z", 3);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(rows(),
              (std::vector<Row>{{"A", "y", kHidden}, {"A", "z", kToggle}, {"B", "x", kShown}}));
    EXPECT_TRUE(save_window_shot(dialog_, "dialogs_target"));
}

TEST_F(TargetDialog, SelectingOneRowFillsTheFieldsAndEnablesChange) {
    insert_rule("Notepad", "memo", 3);
    insert_rule("Shell_TrayWnd", "", 2);
    ASSERT_NE(open(), nullptr);
    select_only(0);
    EXPECT_EQ(item_text(dialog_, IDC_RULE_CLASS), "Notepad");
    EXPECT_EQ(item_text(dialog_, IDC_RULE_TITLE), "memo");
    EXPECT_EQ(combo_selection(), 2);
    EXPECT_TRUE(enabled(dialog_, IDC_RULE_CHANGE));

    select(1); // a second row, as with Ctrl
    EXPECT_FALSE(enabled(dialog_, IDC_RULE_CHANGE));
    SetDlgItemTextA(dialog_, IDC_RULE_TITLE, "changed");
    SendMessageA(dialog_, WM_COMMAND, IDC_RULE_CHANGE, 0); // even if it got through
    EXPECT_EQ(cell(0, 1), "memo");
    EXPECT_EQ(cell(1, 1), "");
}

TEST_F(TargetDialog, ChangeRewritesTheSelectedRow) {
    insert_rule("Notepad", "memo", 3);
    insert_rule("Zed", "z", 1);
    ASSERT_NE(open(), nullptr);
    select_only(1);
    SetDlgItemTextA(dialog_, IDC_RULE_TITLE, "renamed");
    SendDlgItemMessageA(dialog_, IDC_RULE_TYPE, CB_SETCURSEL, 1, 0);
    click(dialog_, IDC_RULE_CHANGE);
    EXPECT_EQ(rows(),
              (std::vector<Row>{{"Notepad", "memo", kToggle}, {"Zed", "renamed", kHidden}}));
}

TEST_F(TargetDialog, DeleteRemovesEverySelectedRowAndClearRemovesAll) {
    for (const char* name : {"A", "B", "C", "D", "E"})
        insert_rule(name, "t", 1);
    ASSERT_NE(open(), nullptr);
    select(0);
    select(2);
    select(4);
    click(dialog_, IDC_RULE_DELETE);
    ASSERT_EQ(row_count(), 2);
    EXPECT_EQ(cell(0, 0), "B");
    EXPECT_EQ(cell(1, 0), "D");
    click(dialog_, IDC_RULE_DELETE); // nothing selected: nothing goes
    EXPECT_EQ(row_count(), 2);
    click(dialog_, IDC_RULE_CLEAR);
    EXPECT_EQ(row_count(), 0);
}

TEST_F(TargetDialog, AddAppendsTheFieldsAsTheyAre) {
    insert_rule("B", "x", 1);
    insert_rule("A", "y", 1);
    ASSERT_NE(open(), nullptr);
    click_header(0);
    click_header(0); // descending: B, A
    click(dialog_, IDC_RULE_ADD);
    ASSERT_EQ(row_count(), 3);
    EXPECT_EQ(rows().back(), (Row{"", "", kShown})); // at the end, whatever the order

    click(dialog_, IDC_RULE_CAPTURE);
    EXPECT_EQ(item_text(dialog_, IDC_RULE_CLASS), texts::kCapturePrompt);
    SendDlgItemMessageA(dialog_, IDC_RULE_TYPE, CB_SETCURSEL, 2, 0);
    click(dialog_, IDC_RULE_ADD);
    EXPECT_EQ(rows().back(), (Row{texts::kCapturePrompt, "", kToggle}));
    // The fields keep their contents after an add.
    EXPECT_EQ(item_text(dialog_, IDC_RULE_CLASS), texts::kCapturePrompt);
}

TEST_F(TargetDialog, HeaderClicksSortAscendingThenDescendingAndRemember) {
    insert_rule("B", "x", 2);
    insert_rule("A", "z", 1);
    insert_rule("A", "y", 3);
    insert_rule("C", "a", 1);
    ASSERT_NE(open(), nullptr);
    click_header(0);
    EXPECT_EQ(
        rows(),
        (std::vector<Row>{
            {"A", "y", kToggle}, {"A", "z", kShown}, {"B", "x", kHidden}, {"C", "a", kShown}}));
    click_header(0);
    EXPECT_EQ(
        rows(),
        (std::vector<Row>{
            {"C", "a", kShown}, {"B", "x", kHidden}, {"A", "z", kShown}, {"A", "y", kToggle}}));
    click_header(1); // by title, ascending
    EXPECT_EQ(cell(0, 1), "a");
    EXPECT_EQ(cell(3, 1), "z");

    // Reopened, the class-name column goes on from its last direction.
    ASSERT_NE(open(), nullptr);
    click_header(0);
    EXPECT_EQ(cell(0, 0), "A");
    ASSERT_NE(open(), nullptr);
    click_header(0);
    EXPECT_EQ(cell(0, 0), "C");
}

TEST_F(TargetDialog, TypeColumnSortsByTypeTextThenClassName) {
    insert_rule("B", "x", 1);
    insert_rule("A", "x", 2);
    insert_rule("C", "x", 1);
    ASSERT_NE(open(), nullptr);
    click_header(2);
    // Compared as code page 932 bytes: "通常は非表示" (..94 F1..) comes before
    // "通常は表示" (..95 5C..); equal texts are ordered by class name.
    EXPECT_EQ(rows(),
              (std::vector<Row>{{"A", "x", kHidden}, {"B", "x", kShown}, {"C", "x", kShown}}));
}

TEST_F(TargetDialog, OkStoresTheListOrderedByClassName) {
    insert_rule("A", "y", 1);
    insert_rule("A", "z", 2);
    insert_rule("B", "x", 3);
    ASSERT_NE(open(), nullptr);
    click_header(1);
    click_header(1); // titles descending: A/z, A/y, B/x
    EXPECT_EQ(cell(0, 1), "z");
    click(dialog_, IDOK);
    // The table is ordered by class name; rules of one class keep list order.
    EXPECT_EQ(table_rules(), (std::vector<Rule>{{"A", "z", 2}, {"A", "y", 1}, {"B", "x", 3}}));
}

TEST_F(TargetDialog, CancelLeavesTheTable) {
    insert_rule("A", "y", 1);
    ASSERT_NE(open(), nullptr);
    click(dialog_, IDC_RULE_CLEAR);
    click(dialog_, IDC_RULE_ADD);
    click(dialog_, IDCANCEL);
    EXPECT_EQ(table_rules(), (std::vector<Rule>{{"A", "y", 1}}));
}

TEST_F(TargetDialog, HandEditedTypeSurvivesOk) {
    insert_rule("Odd", "t", 7);
    insert_rule("Zero", "t", 0);
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(cell(0, 2), "7");
    EXPECT_EQ(cell(1, 2), "0");
    click(dialog_, IDOK);
    EXPECT_EQ(table_rules(), (std::vector<Rule>{{"Odd", "t", 7}, {"Zero", "t", 0}}));
}

TEST_F(TargetDialog, OkKeepsWhatTheTickCanMatchOnWholeCharacters) {
    // The tick compares 127 bytes of class name and title: OK keeps that
    // many, unedited, and never half of a double-byte character (ソ 83 5C).
    struct Case {
        std::string class_name, title, kept_class, kept_title;
    } cases[] = {
        {std::string(127, 'c'), std::string(127, 't'), std::string(127, 'c'),
         std::string(127, 't')},
        {std::string(200, 'c'), std::string(200, 't'), std::string(127, 'c'),
         std::string(127, 't')},
        {std::string(126, 'c') + "ソ", std::string(125, 't') + "ソソ", std::string(126, 'c'),
         std::string(125, 't') + "ソ"},
    };
    for (const Case& c : cases) {
        clear_rules();
        insert_rule(c.class_name.c_str(), c.title.c_str(), 2);
        ASSERT_NE(open(), nullptr);
        click(dialog_, IDOK);
        EXPECT_EQ(table_rules(), (std::vector<Rule>{{c.kept_class, c.kept_title, 2}}))
            << c.class_name;
    }
}

// Asks the foreign window to bring itself forward, as a program does when
// the user clicks its window.
constexpr UINT kComeForward = WM_APP + 1;

LRESULT CALLBACK foreign_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == kComeForward) {
        SetForegroundWindow(w);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

// A top-level window owned by another thread, as the window of another
// program would be: activating it deactivates the dialog.
class ForeignWindow {
  public:
    ForeignWindow() {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, &thread_id_);
        wait_for_object(ready_);
    }
    ~ForeignWindow() {
        if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
        PostThreadMessageA(thread_id_, WM_QUIT, 0, 0);
        wait_for_object(thread_);
        CloseHandle(thread_);
        CloseHandle(ready_);
    }
    HWND window() const { return window_; }
    void come_forward() const { PostMessageA(window_, kComeForward, 0, 0); }

  private:
    static DWORD WINAPI run(void* self_pointer) {
        auto* self = static_cast<ForeignWindow*>(self_pointer);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = foreign_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "DialogsCaptureTarget";
        RegisterClassA(&wc);
        self->window_ = CreateWindowExA(0, "DialogsCaptureTarget", "Target title",
                                        WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200, 100,
                                        nullptr, nullptr, wc.hInstance, nullptr);
        SetEvent(self->ready_);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (IsWindow(self->window_)) DestroyWindow(self->window_);
        return 0;
    }
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
    HWND window_ = nullptr;
};

TEST_F(TargetDialog, WindowInformationComesFromTheWindowActivatedNext) {
    ForeignWindow other;
    ASSERT_NE(other.window(), nullptr);
    ASSERT_NE(open(), nullptr);
    SetForegroundWindow(dialog_);
    ASSERT_TRUE(wait_until([&] { return GetForegroundWindow() == dialog_; }));

    // Clicks inside the dialog capture nothing.
    click(dialog_, IDC_RULE_CAPTURE);
    click(dialog_, IDC_RULE_CLEAR);
    EXPECT_EQ(item_text(dialog_, IDC_RULE_CLASS), texts::kCapturePrompt);
    EXPECT_EQ(item_text(dialog_, IDC_RULE_TITLE), "");

    DWORD before = GetTickCount();
    other.come_forward();
    EXPECT_TRUE(
        wait_until([&] { return item_text(dialog_, IDC_RULE_CLASS) == "DialogsCaptureTarget"; }));
    EXPECT_GE(GetTickCount() - before, 90u); // the pause for the clicked window
    EXPECT_EQ(item_text(dialog_, IDC_RULE_TITLE), "Target title");

    // Captured once: the next deactivation leaves the fields alone.
    SetDlgItemTextA(dialog_, IDC_RULE_TITLE, "kept");
    SetForegroundWindow(dialog_);
    ASSERT_TRUE(wait_until([&] { return GetForegroundWindow() == dialog_; }));
    other.come_forward();
    ASSERT_TRUE(wait_until([&] { return GetForegroundWindow() == other.window(); }));
    EXPECT_EQ(item_text(dialog_, IDC_RULE_TITLE), "kept");

    // Leave this thread in the foreground, as the other tests expect it.
    SetForegroundWindow(dialog_);
    EXPECT_TRUE(wait_until([&] { return GetForegroundWindow() == dialog_; }));
}

TEST(TargetDialogModal, OkReturnsOneAndCancelTwo) {
    clear_rules();
    EXPECT_EQ(run_modal(IDD_WINDOW_RULES, target_dialog_proc,
                        [](HWND dialog) { click(dialog, IDCANCEL); }),
              IDCANCEL);
    EXPECT_EQ(run_modal(IDD_WINDOW_RULES, target_dialog_proc,
                        [](HWND dialog) {
                            click(dialog, IDC_RULE_ADD);
                            click(dialog, IDOK);
                        }),
              IDOK);
    EXPECT_EQ(rule_count(), 1);
    clear_rules();
}

} // namespace
