// The shell around the loupe, driven from outside: tray clicks, the popup
// menu, the pixel-information tooltip, the "TaskbarCreated" broadcast, the
// clipboard copy and the exit command with its settings file.
#include "tests/e2e/fixture.h"
#include "tests/e2e/loupe_image.h"

#include "resources/resource.h"

#include <cstdio>
#include <cstring>

namespace e2e {
namespace {

constexpr UINT kTrayNotify = WM_USER + 10; // the tray icon's callback message
constexpr UINT kTrayId = 1;

void tray_click(HWND loupe, UINT mouse_message) {
    PostMessageA(loupe, kTrayNotify, kTrayId, mouse_message);
}

bool within_one(long got, long want) {
    return got >= want - 1 && got <= want + 1;
}

std::string tip_text(int x, int y, uint32_t rgb, bool hex) {
    char buf[80];
    std::snprintf(buf, sizeof buf,
                  hex ? "[300%%](%d, %d) %02X, %02X, %02X" : "[300%%](%d, %d) %u, %u, %u", x, y,
                  unsigned(rgb >> 16), unsigned((rgb >> 8) & 255), unsigned(rgb & 255));
    return buf;
}

int settle(HWND loupe, const LoupeLayout& layout, std::string* report, Grab* shot) {
    int bad = 0;
    wait_until(
        [&] {
            *shot = grab_window(loupe);
            bad = loupe_mismatches(*shot, layout, report);
            return bad == 0;
        },
        3000, 50);
    return bad;
}

LoupeLayout layout_at_500_400(HWND loupe) {
    LoupeLayout l;
    l.origin_x = 500 - 18;
    l.origin_y = 400 - 18;
    l.unpredictable = window_rect(loupe);
    return l;
}

using Tray = PictureTest;

TEST_F(Tray, LeftClickTogglesTheLoupeInToggleMode) {
    ProductRun run;
    launch(run, "[option]\nvisible=3\n");
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115)) << "toggledef=1 starts shown";

    tray_click(loupe, WM_LBUTTONUP);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe); }, 2000));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe); }, 200))
        << "the tick showed the loupe again after the toggle";
    tray_click(loupe, WM_LBUTTONUP);
    EXPECT_TRUE(wait_until([&] { return IsWindowVisible(loupe) != 0; }, 2000));
    EXPECT_TRUE(holds_for([&] { return IsWindowVisible(loupe) != 0; }, 200));
    // Other mouse messages over the icon are ignored.
    tray_click(loupe, WM_LBUTTONDOWN);
    tray_click(loupe, WM_MOUSEMOVE);
    EXPECT_TRUE(holds_for([&] { return IsWindowVisible(loupe) != 0; }, 200));
    EXPECT_TRUE(run.shut_down());
}

TEST_F(Tray, RightClickOpensTheMenuAndHidesTheLoupeWhileItIsOpen) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115));

    tray_click(loupe, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(wait_until(
        [&] {
            auto menus = visible_top_windows(run.pid(), "#32768");
            menu = menus.empty() ? nullptr : menus.front();
            return menu != nullptr;
        },
        3000))
        << "no popup menu opened";
    EXPECT_FALSE(IsWindowVisible(loupe)) << "the loupe stays hidden while the tray menu is open";
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe); }, 200));
    // The menu opens at the pointer.
    RECT mr = window_rect(menu);
    EXPECT_TRUE(within_one(mr.left, 500) && within_one(mr.top, 400)) << describe(mr);
    save_bmp(settled_grab(RECT{mr.left - 20, mr.top - 20, mr.right + 20, mr.bottom + 20}),
             "menu_open");

    hold_keys({VK_ESCAPE}, 60);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(menu); }, 2000))
        << "Esc left the menu open";
    EXPECT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115)) << "the loupe did not come back";
    EXPECT_TRUE(run.shut_down());
}

TEST_F(Tray, TaskbarCreatedBroadcastAddsTheIconAgain) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_until([&] { return tray_icon_exists(loupe, kTrayId); }, 3000))
        << "no tray icon (loupe window, id 1)";

    // As if the shell had restarted: the icon is gone, then the broadcast.
    ASSERT_TRUE(tray_icon_delete(loupe, kTrayId));
    ASSERT_FALSE(tray_icon_exists(loupe, kTrayId));
    const UINT taskbar_created = RegisterWindowMessageA("TaskbarCreated");
    PostMessageA(loupe, taskbar_created, 0, 0);
    EXPECT_TRUE(wait_until([&] { return tray_icon_exists(loupe, kTrayId); }, 3000))
        << "the icon was not added again";

    DWORD code = 1;
    ASSERT_TRUE(run.exit_by_menu(5000, &code));
    EXPECT_EQ(code, 0u);
    // Checked at once: Wine itself drops the icons of a destroyed window
    // shortly afterwards, so a missing removal is caught only when this
    // check comes first (it never fails a program that removes its icon).
    EXPECT_FALSE(tray_icon_exists(loupe, kTrayId)) << "the icon outlived the program";
}

// Mouse buttons on the loupe, pressed on the X side so that the button state
// the program polls is real. Magnifying-glass mode puts the loupe under the
// pointer.
class LoupeClicks : public PictureTest {
  protected:
    void TearDown() override {
        xdotool("mouseup 1"); // never leave the button held for the next test
        PictureTest::TearDown();
    }
};

TEST_F(LoupeClicks, HoldingTheLeftButtonHidesTheLoupeUntilItIsReleased) {
    ProductRun run;
    launch(run, "[option]\nloupe=1\n");
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 443, 343, 115, 115));

    ASSERT_TRUE(xdotool("mousedown 1")) << "xdotool is needed for this test";
    // Hidden once the double-click time has passed, and for as long as the
    // button stays down.
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe); }, 3000));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe); }, 400));
    ASSERT_TRUE(xdotool("mouseup 1"));
    EXPECT_TRUE(wait_loupe_at(loupe, 443, 343, 115, 115, 1000)) << "not shown after the release";
    EXPECT_TRUE(run.shut_down());
}

TEST_F(LoupeClicks, DoubleClickHidesTheLoupeUntilTheTrayIconIsClicked) {
    ProductRun run;
    launch(run, "[option]\nloupe=1\n");
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 443, 343, 115, 115));

    ASSERT_TRUE(xdotool("click --repeat 2 --delay 80 1")) << "xdotool is needed for this test";
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe); }, 2000));
    // With visible=1 the tracking stops: moving the pointer brings nothing.
    ASSERT_TRUE(move_pointer(300, 300));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe); }, 400))
        << "the loupe came back before the tray icon was clicked";
    tray_click(loupe, WM_LBUTTONUP);
    EXPECT_TRUE(wait_loupe_at(loupe, 243, 243, 115, 115)) << describe(window_rect(loupe));
    EXPECT_TRUE(run.shut_down());
}

using Menu = PictureTest;

TEST_F(Menu, ExitWritesTheSettingsKeepsChangesAndLetsANewCopyStart) {
    ProductRun run;
    launch(run, "[option]\nloupe=1\n");
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 443, 343, 115, 115));
    post_wheel(loupe, -WHEEL_DELTA, 0, 500, 400); // magnify 300 -> 400
    ASSERT_TRUE(wait_loupe_at(loupe, 424, 324, 152, 152));
    run.post_command(IDM_MARKER);         // marker 1 -> 0
    run.post_command(IDM_INVERT);         // invertbmp 0 -> 1
    run.post_command(IDM_VISIBLE_TOGGLE); // visible 1 -> 3

    DWORD code = 1;
    ASSERT_TRUE(run.exit_by_menu(5000, &code)) << "the exit command did not end the program";
    EXPECT_EQ(code, 0u);
    const std::string expected = "[option]\r\n"
                                 "size=37,37\r\n"
                                 "magnify=400\r\n"
                                 "position=16,135\r\n"
                                 "interval=10\r\n"
                                 "ttdisp=1\r\n"
                                 "hotkey=17,0\r\n"
                                 "loupe=1\r\n"
                                 "loupetype=0\r\n"
                                 "layered=0\r\n"
                                 "visible=3\r\n"
                                 "toggledef=1\r\n"
                                 "marker=0\r\n"
                                 "addhole=0\r\n"
                                 "graybmp=0\r\n"
                                 "invertbmp=1\r\n"
                                 "winset=0\r\n"
                                 "smooth=0\r\n"
                                 "posat=0\r\n"
                                 "waddjust=10\r\n"
                                 "maruwin=0,1\r\n"
                                 "hexcolor=0\r\n"
                                 "\r\n"
                                 "[target]\r\n"
                                 "count=0\r\n";
    EXPECT_EQ(run.read_ini(), expected);

    // The mutex went with the program: a new copy starts (it does not exit
    // as a second instance) and reads what was saved.
    ProductRun again;
    ASSERT_TRUE(again.prepared());
    ASSERT_TRUE(again.write_ini(expected));
    ASSERT_TRUE(again.start());
    ASSERT_NE(again.wait_loupe(), nullptr);
    EXPECT_TRUE(wait_loupe_at(again.loupe(), 424, 324, 152, 152))
        << "saved magnify=400 in glass mode: " << describe(window_rect(again.loupe()));
    EXPECT_TRUE(again.shut_down());
}

TEST_F(Menu, InvertAndGraySwitchesChangeTheShownImage) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115));
    LoupeLayout layout = layout_at_500_400(loupe);
    std::string report;
    Grab shot;
    ASSERT_EQ(settle(loupe, layout, &report, &shot), 0) << report;

    run.post_command(IDM_INVERT);
    layout.colours = Colours::inverted;
    EXPECT_EQ(settle(loupe, layout, &report, &shot), 0) << "inverted:" << report;
    save_bmp(shot, "loupe_inverted");

    run.post_command(IDM_GRAY);
    layout.colours = Colours::inverted_gray;
    EXPECT_EQ(settle(loupe, layout, &report, &shot), 0) << "inverted and gray:" << report;

    run.post_command(IDM_INVERT);
    layout.colours = Colours::gray;
    EXPECT_EQ(settle(loupe, layout, &report, &shot), 0) << "gray:" << report;
    save_bmp(shot, "loupe_gray");

    run.post_command(IDM_MARKER);
    layout.marker = false;
    EXPECT_EQ(settle(loupe, layout, &report, &shot), 0) << "gray without marker:" << report;
    EXPECT_TRUE(run.shut_down());
}

using Tooltip = PictureTest;

HWND wait_tooltip(DWORD pid) {
    HWND tip = nullptr;
    wait_until(
        [&] {
            auto tips = visible_top_windows(pid, "tooltips_class32");
            tip = tips.empty() ? nullptr : tips.front();
            return tip != nullptr;
        },
        3000);
    return tip;
}

TEST_F(Tooltip, ShowsZoomPositionAndColourBelowTheLoupe) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115));
    HWND tip = wait_tooltip(run.pid());
    ASSERT_NE(tip, nullptr) << "no visible tooltip window";

    const std::string want = tip_text(500, 400, TestPicture::colour(500, 400), false);
    std::string got;
    EXPECT_TRUE(wait_until(
        [&] { return (got = remote_tooltip_text(run.process(), tip, loupe)) == want; }, 2000))
        << "tooltip text \"" << got << "\", want \"" << want << "\"";
    // One pixel below the loupe, at its left edge (+1 for the tooltip's
    // border under Wine).
    RECT tr;
    EXPECT_TRUE(wait_until(
        [&] {
            tr = window_rect(tip);
            return within_one(tr.left, 512) && within_one(tr.top, 527);
        },
        2000))
        << "tooltip at " << describe(tr);
    save_bmp(settled_grab(RECT{480, 380, 760, 560}), "tooltip");

    // Over the red block.
    ASSERT_TRUE(move_pointer(96, 600));
    const std::string red = "[300%](96, 600) 255, 0, 0";
    EXPECT_TRUE(wait_until(
        [&] { return (got = remote_tooltip_text(run.process(), tip, loupe)) == red; }, 2000))
        << "tooltip text \"" << got << "\", want \"" << red << "\"";

    // The point-information switch hides the tooltip at once.
    run.post_command(IDM_POINT_INFO);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(tip); }, 2000));
    EXPECT_TRUE(IsWindowVisible(loupe));
    EXPECT_TRUE(run.shut_down());
}

TEST_F(Tooltip, HexadecimalColours) {
    ASSERT_TRUE(move_pointer(96, 600));
    ProductRun run;
    launch(run, "[option]\nhexcolor=1\n");
    if (HasFatalFailure()) return;
    HWND tip = wait_tooltip(run.pid());
    ASSERT_NE(tip, nullptr);
    const std::string want = "[300%](96, 600) FF, 00, 00";
    std::string got;
    EXPECT_TRUE(wait_until(
        [&] { return (got = remote_tooltip_text(run.process(), tip, run.loupe())) == want; }, 2000))
        << "tooltip text \"" << got << "\", want \"" << want << "\"";
    EXPECT_TRUE(run.shut_down());
}

using Clipboard = PictureTest;

// The visible windows of a process, for failure messages (a message box
// says why a copy failed).
std::string windows_of(DWORD pid) {
    std::string out = "\n  clipboard sequence " + std::to_string(GetClipboardSequenceNumber());
    HWND owner = GetClipboardOwner();
    DWORD owner_pid = 0;
    GetWindowThreadProcessId(owner, &owner_pid);
    out += ", owner " + class_of(owner) + " of pid " + std::to_string(owner_pid) + ", formats";
    if (OpenClipboard(nullptr)) {
        for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
            out += " " + std::to_string(f);
        CloseClipboard();
    } else {
        out += " (cannot open)";
    }
    for (HWND w : visible_top_windows(pid, nullptr)) {
        out += "\n  " + class_of(w) + " \"" + title_of(w) + "\"";
        for (HWND c = GetWindow(w, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
            out += " [" + title_of(c) + "]";
    }
    return out;
}

// The loupe's inner image as a CF_DIB: a 40-byte header, then 111 x 111
// 32-bit pixels, bottom row first, without frame or marker.
void expect_clipboard_image(const std::vector<uint8_t>& dib, const LoupeLayout& l) {
    ASSERT_EQ(dib.size(), 49324u);
    BITMAPINFOHEADER h;
    std::memcpy(&h, dib.data(), sizeof h);
    EXPECT_EQ(h.biSize, 40u);
    EXPECT_EQ(h.biWidth, 111);
    EXPECT_EQ(h.biHeight, 111);
    EXPECT_EQ(h.biPlanes, 1);
    EXPECT_EQ(h.biBitCount, 32);
    EXPECT_EQ(h.biCompression, static_cast<DWORD>(BI_RGB));
    int bad = 0;
    std::string first;
    for (int y = 0; y < 111; ++y)
        for (int x = 0; x < 111; ++x) {
            const int sx = l.origin_x + x / 3, sy = l.origin_y + y / 3;
            POINT sp{sx, sy};
            if (PtInRect(&l.unpredictable, sp)) continue;
            const uint8_t* p = dib.data() + 40 + 4 * ((110 - y) * 111 + x);
            const uint32_t got = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            const uint32_t want = TestPicture::colour(sx, sy);
            if (got != want && bad++ == 0)
                first = "(" + std::to_string(x) + ", " + std::to_string(y) + "): got " +
                        rgb_text(got) + ", want " + rgb_text(want);
        }
    EXPECT_EQ(bad, 0) << "first difference at " << first;
}

TEST_F(Clipboard, CtrlPrintScreenAndTheMenuCopyTheMagnifiedImage) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115));
    LoupeLayout layout = layout_at_500_400(loupe);
    std::string report;
    Grab shot;
    ASSERT_EQ(settle(loupe, layout, &report, &shot), 0) << report;

    // The clipboard is opened here only once the program's copies are over.
    DWORD seq = GetClipboardSequenceNumber();
    ASSERT_TRUE(empty_clipboard());
    wait_clipboard_settled(seq, 2000);
    seq = GetClipboardSequenceNumber();
    // Pressed on the X side: the loupe may have the keyboard focus, where
    // modifiers sent with SendInput can be lost under Wine.
    ASSERT_TRUE(xdotool("keydown ctrl+Print sleep 0.1 keyup ctrl+Print"));
    EXPECT_TRUE(wait_clipboard_settled(seq, 3000))
        << "Ctrl+PrintScreen changed nothing on the clipboard" << windows_of(run.pid());
    expect_clipboard_image(clipboard_dib(), layout);

    seq = GetClipboardSequenceNumber();
    ASSERT_TRUE(empty_clipboard());
    wait_clipboard_settled(seq, 2000);
    seq = GetClipboardSequenceNumber();
    run.post_command(IDM_COPY_IMAGE);
    EXPECT_TRUE(wait_clipboard_settled(seq, 3000))
        << "the copy command changed nothing on the clipboard" << windows_of(run.pid());
    expect_clipboard_image(clipboard_dib(), layout);
    EXPECT_TRUE(visible_top_windows(run.pid(), "#32770").empty())
        << "a message box appeared:" << windows_of(run.pid());
    EXPECT_TRUE(run.shut_down());
}

// A child control of a message box whose text is text.
bool has_text(HWND box, const std::string& text) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (title_of(c) == text) return true;
    return false;
}

TEST_F(Clipboard, BusyClipboardShowsOneMessageBoxWhileTheKeysAreHeld) {
    ProductRun run;
    launch(run);
    if (HasFatalFailure()) return;
    HWND loupe = run.loupe();
    ASSERT_TRUE(wait_loupe_at(loupe, 511, 411, 115, 115));

    // Another program holds the clipboard open (with a window: two
    // OpenClipboard(NULL) callers both succeed under Wine).
    HWND holder = CreateWindowA("STATIC", "clipboard holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    const DWORD seq = GetClipboardSequenceNumber();
    // Held for some thirty ticks, each of which tries to copy.
    const bool pressed = xdotool("keydown ctrl+Print sleep 0.3 keyup ctrl+Print");
    std::vector<HWND> boxes;
    const bool shown = wait_until(
        [&] { return !(boxes = visible_top_windows(run.pid(), "#32770")).empty(); }, 2000);
    // The failed copy must not repeat on every tick behind its message box.
    const bool single = shown && holds_for(
                                     [&] {
                                         boxes = visible_top_windows(run.pid(), "#32770");
                                         return boxes.size() == 1;
                                     },
                                     500);
    CloseClipboard();
    DestroyWindow(holder);
    ASSERT_TRUE(pressed);

    ASSERT_TRUE(shown) << "no message box for the busy clipboard";
    EXPECT_TRUE(single) << boxes.size() << " message boxes, one per tick with the keys held";
    EXPECT_EQ(GetClipboardSequenceNumber(), seq) << "the clipboard changed while it was held";
    EXPECT_EQ(title_of(boxes.front()), "Brisvane");
    EXPECT_TRUE(has_text(boxes.front(), "クリップボードがOPENできませんでした。"));
    for (HWND box : boxes)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_until([&] { return visible_top_windows(run.pid(), "#32770").empty(); }, 2000));

    // The loupe goes on following the pointer.
    ASSERT_TRUE(move_pointer(300, 200));
    EXPECT_TRUE(wait_loupe_at(loupe, 311, 211, 115, 115)) << describe(window_rect(loupe));
    EXPECT_TRUE(run.shut_down());
}

} // namespace
} // namespace e2e
