// The about dialog from its real template: the version line, the link's
// cursor, font and colour (also as drawn on the screen), the link click and
// the ways to close it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/about_dialog.h"
#include "dialogs/dialogs.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "tests/win32/dialogs_test_support.h"

using namespace dialog_tests;

namespace {

std::string opened_address;
int open_count = 0;
void record_open(const char* address) {
    opened_address = address;
    ++open_count;
}

class AboutDialog : public DialogTest {
  protected:
    void SetUp() override {
        opened_address.clear();
        open_count = 0;
        set_link_opener(record_open);
    }
    void TearDown() override {
        DialogTest::TearDown();
        set_link_opener(nullptr);
    }
    HWND open() { return open_dialog(IDD_ABOUT, about_dialog_proc); }
};

TEST_F(AboutDialog, ShowsTheVersionLine) {
    ASSERT_NE(open(), nullptr);
    EXPECT_EQ(item_text(dialog_, IDC_ABOUT_VERSION), texts::kVersionLine);
    EXPECT_EQ(item_text(dialog_, IDC_ABOUT_VERSION).rfind("Brisvane v1.50 ", 0), 0u);
}

TEST_F(AboutDialog, HelpCursorOverTheLinkOnly) {
    ASSERT_NE(open(), nullptr);
    HWND link = GetDlgItem(dialog_, IDC_ABOUT_LINK);
    HWND mail = GetDlgItem(dialog_, IDC_ABOUT_MAIL);
    LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);

    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(SendMessageA(dialog_, WM_SETCURSOR, reinterpret_cast<WPARAM>(link), hit), TRUE);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HELP));

    SendMessageA(dialog_, WM_SETCURSOR, reinterpret_cast<WPARAM>(mail), hit);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_ARROW));
}

TEST_F(AboutDialog, LinkIsUnderlinedBlueOnTheDialogBackground) {
    ASSERT_NE(open(), nullptr);
    HWND link = GetDlgItem(dialog_, IDC_ABOUT_LINK);
    HWND mail = GetDlgItem(dialog_, IDC_ABOUT_MAIL);
    HDC dc = GetDC(link);
    LRESULT brush = SendMessageA(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                 reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(brush), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 250));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    LOGFONTA font = {};
    ASSERT_NE(GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font), 0);
    EXPECT_EQ(font.lfUnderline, 1);
    EXPECT_EQ(font.lfHeight, -12);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    // The dialog's own face and height, so that it grows with the dialog at
    // a higher DPI.
    LOGFONTA dialog_font = {};
    ASSERT_NE(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(dialog_, WM_GETFONT, 0, 0)),
                         sizeof dialog_font, &dialog_font),
              0);
    EXPECT_EQ(font.lfHeight, dialog_font.lfHeight);
    EXPECT_STREQ(font.lfFaceName, dialog_font.lfFaceName);
    ReleaseDC(link, dc);

    // The e-mail line keeps the dialog's own colours and font.
    HDC mail_dc = GetDC(mail);
    HGDIOBJ mail_font = GetCurrentObject(mail_dc, OBJ_FONT);
    LRESULT mail_brush = SendMessageA(dialog_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(mail_dc),
                                      reinterpret_cast<LPARAM>(mail));
    EXPECT_NE(reinterpret_cast<HGDIOBJ>(mail_brush), GetStockObject(NULL_BRUSH));
    EXPECT_NE(GetTextColor(mail_dc), RGB(0, 0, 250));
    EXPECT_EQ(GetCurrentObject(mail_dc, OBJ_FONT), mail_font);
    ReleaseDC(mail, mail_dc);

    // On the screen: blue text in the link's box, none in the e-mail line's.
    RedrawWindow(dialog_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages();
    auto blue_pixels = [](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        int count = 0;
        for (COLORREF c : grab_pixels(r))
            if (GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) > 200) ++count;
        return count;
    };
    EXPECT_TRUE(wait_until([&] { return blue_pixels(link) > 20; }));
    EXPECT_EQ(blue_pixels(mail), 0);
    // The underline: one row of the link with a long unbroken blue run.
    auto longest_blue_run = [](HWND control) {
        RECT r;
        GetWindowRect(control, &r);
        std::vector<COLORREF> pixels = grab_pixels(r);
        int width = r.right - r.left, rows = r.bottom - r.top, longest = 0;
        for (int row = 0; row < rows; ++row) {
            int run = 0;
            for (int x = 0; x < width; ++x) {
                COLORREF c = pixels[static_cast<size_t>(row) * width + x];
                bool blue = GetRValue(c) < 40 && GetGValue(c) < 40 && GetBValue(c) > 200;
                run = blue ? run + 1 : 0;
                if (run > longest) longest = run;
            }
        }
        return longest;
    };
    EXPECT_GE(longest_blue_run(link), 60);
    EXPECT_LT(longest_blue_run(mail), 10);
    EXPECT_TRUE(save_window_shot(dialog_, "dialogs_about"));
}

TEST_F(AboutDialog, ClickingTheLinkOpensItsTextAndCloses) {
    INT_PTR result = run_modal(IDD_ABOUT, about_dialog_proc, [](HWND dialog) {
        // The e-mail line is plain text: a click does nothing.
        HWND mail = GetDlgItem(dialog, IDC_ABOUT_MAIL);
        SendMessageA(mail, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageA(mail, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(open_count, 0);

        HWND link = GetDlgItem(dialog, IDC_ABOUT_LINK);
        SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
        SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(open_count, 1);
    EXPECT_FALSE(opened_address.empty());
    EXPECT_EQ(opened_address.find(' '), std::string::npos) << opened_address;
}

TEST_F(AboutDialog, LinkOpensExactlyTheLinkText) {
    ASSERT_NE(open(), nullptr);
    std::string address = item_text(dialog_, IDC_ABOUT_LINK);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_LINK, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDC_ABOUT_LINK)));
    EXPECT_EQ(opened_address, address);
    EXPECT_FALSE(IsWindowVisible(dialog_));
}

TEST_F(AboutDialog, OkEscapeAndCloseBoxAllEndIt) {
    const std::function<void(HWND)> ends[] = {
        [](HWND dialog) { click(dialog, IDOK); },
        [](HWND dialog) {
            // Esc as the dialog's message loop receives it.
            HWND focus = GetDlgItem(dialog, IDOK);
            PostMessageA(focus, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(focus, WM_KEYUP, VK_ESCAPE, 0);
        },
        [](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& end : ends)
        EXPECT_EQ(run_modal(IDD_ABOUT, about_dialog_proc, end), IDOK);
    EXPECT_EQ(open_count, 0);
}

} // namespace
