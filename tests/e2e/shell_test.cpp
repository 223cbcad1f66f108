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

using Tray = PictureTest;

TEST_F(Tray, LeftClickTogglesTheLoupeInToggleMode) {
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nvisible=3\n"));
    ASSERT_TRUE(loupe_at(loupe_, 511, 411)) << "toggledef=1 starts shown";

    tray_click(loupe_, WM_LBUTTONUP);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe_); }));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 200))
        << "the tick showed the loupe again after the toggle";
    tray_click(loupe_, WM_LBUTTONUP);
    EXPECT_TRUE(wait_until([&] { return IsWindowVisible(loupe_) != 0; }));
    EXPECT_TRUE(holds_for([&] { return IsWindowVisible(loupe_) != 0; }, 200));
    // Other mouse messages over the icon are ignored.
    tray_click(loupe_, WM_LBUTTONDOWN);
    tray_click(loupe_, WM_MOUSEMOVE);
    EXPECT_TRUE(holds_for([&] { return IsWindowVisible(loupe_) != 0; }, 200));
}

TEST_F(Tray, RightClickOpensTheMenuAndHidesTheLoupeWhileItIsOpen) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));

    tray_click(loupe_, WM_RBUTTONUP);
    HWND menu = wait_window(run_.pid(), "#32768");
    ASSERT_NE(menu, nullptr) << "no popup menu opened";
    EXPECT_FALSE(IsWindowVisible(loupe_)) << "the loupe stays hidden while the tray menu is open";
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 200));
    // The menu opens at the pointer.
    RECT mr = window_rect(menu);
    EXPECT_TRUE(within_one(mr.left, 500) && within_one(mr.top, 400)) << describe(mr);
    save_bmp(settled_grab(RECT{mr.left - 20, mr.top - 20, mr.right + 20, mr.bottom + 20}),
             "menu_open");

    hold_keys({VK_ESCAPE}, 60);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(menu); })) << "Esc left the menu open";
    EXPECT_TRUE(loupe_at(loupe_, 511, 411)) << "the loupe did not come back";
}

TEST_F(Tray, TaskbarCreatedBroadcastAddsTheIconAgain) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(wait_until([&] { return tray_icon_exists(loupe_, kTrayId); }))
        << "no tray icon (loupe window, id 1)";

    // As if the shell had restarted: the icon is gone, then the broadcast.
    ASSERT_TRUE(tray_icon_delete(loupe_, kTrayId));
    ASSERT_FALSE(tray_icon_exists(loupe_, kTrayId));
    const UINT taskbar_created = RegisterWindowMessageA("TaskbarCreated");
    PostMessageA(loupe_, taskbar_created, 0, 0);
    EXPECT_TRUE(wait_until([&] { return tray_icon_exists(loupe_, kTrayId); }))
        << "the icon was not added again";

    DWORD code = 1;
    ASSERT_TRUE(run_.exit_by_menu(kPatience, &code));
    EXPECT_EQ(code, 0u);
    // Checked at once: Wine itself drops the icons of a destroyed window
    // shortly afterwards, so a missing removal is caught only when this
    // check comes first (it never fails a program that removes its icon).
    EXPECT_FALSE(tray_icon_exists(loupe_, kTrayId)) << "the icon outlived the program";
}

// Mouse buttons on the loupe, pressed on the X side so that the button state
// the program polls is real. Magnifying-glass mode puts the loupe under the
// pointer.
class LoupeClicks : public PictureTest {
  protected:
    void SetUp() override {
        PictureTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\n"));
        ASSERT_TRUE(loupe_at(loupe_, 443, 343));
    }
    void TearDown() override {
        xdotool("mouseup 1"); // never leave the button held for the next test
        PictureTest::TearDown();
    }
};

TEST_F(LoupeClicks, HoldingTheLeftButtonHidesTheLoupeUntilItIsReleased) {
    ASSERT_TRUE(xdotool("mousedown 1")) << "xdotool is needed for this test";
    // Hidden once the double-click time has passed, and for as long as the
    // button stays down.
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe_); }));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 400));
    ASSERT_TRUE(xdotool("mouseup 1"));
    EXPECT_TRUE(loupe_at(loupe_, 443, 343)) << "not shown after the release";
}

TEST_F(LoupeClicks, DoubleClickHidesTheLoupeUntilTheTrayIconIsClicked) {
    ASSERT_TRUE(xdotool("click --repeat 2 --delay 80 1")) << "xdotool is needed for this test";
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe_); }));
    // With visible=1 the tracking stops: moving the pointer brings nothing.
    ASSERT_TRUE(move_pointer(300, 300));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 400))
        << "the loupe came back before the tray icon was clicked";
    tray_click(loupe_, WM_LBUTTONUP);
    EXPECT_TRUE(loupe_at(loupe_, 243, 243));
}

using Menu = PictureTest;

TEST_F(Menu, ExitWritesTheSettingsKeepsChangesAndLetsANewCopyStart) {
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\n"));
    ASSERT_TRUE(loupe_at(loupe_, 443, 343));
    post_wheel(loupe_, -WHEEL_DELTA, 0, 500, 400); // magnify 300 -> 400
    ASSERT_TRUE(loupe_at(loupe_, 424, 324, 152, 152));
    run_.post_command(IDM_MARKER);         // marker 1 -> 0
    run_.post_command(IDM_INVERT);         // invertbmp 0 -> 1
    run_.post_command(IDM_VISIBLE_TOGGLE); // visible 1 -> 3

    DWORD code = 1;
    ASSERT_TRUE(run_.exit_by_menu(kPatience, &code)) << "the exit command did not end the program";
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
                                 "caret=0\r\n"
                                 "grid=0\r\n"
                                 "gridzoom=800\r\n"
                                 "freezekey=19\r\n"
                                 "\r\n"
                                 "[target]\r\n"
                                 "count=0\r\n";
    EXPECT_EQ(run_.read_ini(), expected);

    // The mutex went with the program: a new copy starts (it does not exit
    // as a second instance) and reads what was saved.
    ProductRun again;
    ASSERT_NO_FATAL_FAILURE(launch(again, expected));
    EXPECT_TRUE(loupe_at(again.loupe(), 424, 324, 152, 152)) << "saved magnify=400 in glass mode";
    EXPECT_TRUE(again.shut_down());
}

TEST_F(Menu, InvertAndGraySwitchesChangeTheShownImage) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));
    LoupeLayout layout = layout_around(500, 400, window_rect(loupe_));
    Grab shot;
    ASSERT_TRUE(loupe_shows(loupe_, layout));

    run_.post_command(IDM_INVERT);
    layout.colours = Colours::inverted;
    EXPECT_TRUE(loupe_shows(loupe_, layout, &shot)) << "inverted";
    save_bmp(shot, "loupe_inverted");

    run_.post_command(IDM_GRAY);
    layout.colours = Colours::inverted_gray;
    EXPECT_TRUE(loupe_shows(loupe_, layout)) << "inverted and gray";

    run_.post_command(IDM_INVERT);
    layout.colours = Colours::gray;
    EXPECT_TRUE(loupe_shows(loupe_, layout, &shot)) << "gray";
    save_bmp(shot, "loupe_gray");

    run_.post_command(IDM_MARKER);
    layout.marker = false;
    EXPECT_TRUE(loupe_shows(loupe_, layout)) << "gray without marker";
}

using Tooltip = PictureTest;

// Waits until the loupe's tooltip shows the text.
::testing::AssertionResult tooltip_says(const ProductRun& run, HWND tip, const std::string& want) {
    std::string got;
    if (wait_until(
            [&] { return (got = remote_tooltip_text(run.process(), tip, run.loupe())) == want; }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "tooltip text \"" << got << "\", want \"" << want << "\"";
}

TEST_F(Tooltip, ShowsZoomPositionAndColourBelowTheLoupe) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));
    HWND tip = wait_window(run_.pid(), "tooltips_class32");
    ASSERT_NE(tip, nullptr) << "no visible tooltip window";

    EXPECT_TRUE(tooltip_says(run_, tip, tip_text(500, 400, TestPicture::colour(500, 400), false)));
    // One pixel below the loupe, at its left edge (+1 for the tooltip's
    // border under Wine).
    RECT tr;
    EXPECT_TRUE(wait_until([&] {
        tr = window_rect(tip);
        return within_one(tr.left, 512) && within_one(tr.top, 527);
    })) << "tooltip at "
        << describe(tr);
    save_bmp(settled_grab(RECT{480, 380, 760, 560}), "tooltip");

    // Over the red block.
    ASSERT_TRUE(move_pointer(96, 600));
    EXPECT_TRUE(tooltip_says(run_, tip, "[300%](96, 600) 255, 0, 0"));

    // The point-information switch hides the tooltip at once.
    run_.post_command(IDM_POINT_INFO);
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(tip); }));
    EXPECT_TRUE(IsWindowVisible(loupe_));
}

TEST_F(Tooltip, HexadecimalColours) {
    ASSERT_TRUE(move_pointer(96, 600));
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nhexcolor=1\n"));
    HWND tip = wait_window(run_.pid(), "tooltips_class32");
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tooltip_says(run_, tip, "[300%](96, 600) FF, 00, 00"));
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

// Empties the clipboard, waits until that change has settled and hands out
// the sequence number the next copy must change.
bool clear_clipboard(DWORD* seq) {
    const DWORD before = GetClipboardSequenceNumber();
    if (!empty_clipboard()) return false;
    wait_clipboard_settled(before);
    *seq = GetClipboardSequenceNumber();
    return true;
}

TEST_F(Clipboard, CtrlPrintScreenAndTheMenuCopyTheMagnifiedImage) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));
    const LoupeLayout layout = layout_around(500, 400, window_rect(loupe_));
    ASSERT_TRUE(loupe_shows(loupe_, layout));

    DWORD seq = 0;
    ASSERT_TRUE(clear_clipboard(&seq));
    // Pressed on the X side: the loupe may have the keyboard focus, where
    // modifiers sent with SendInput can be lost under Wine. Held until the
    // copy came: on a busy machine a short press can be over before the
    // program's poll has seen it.
    ASSERT_TRUE(xdotool("keydown ctrl+Print"));
    wait_until([&] { return GetClipboardSequenceNumber() != seq; });
    ASSERT_TRUE(xdotool("keyup ctrl+Print"));
    EXPECT_TRUE(wait_clipboard_settled(seq))
        << "Ctrl+PrintScreen changed nothing on the clipboard" << windows_of(run_.pid());
    expect_clipboard_image(clipboard_dib(), layout);

    ASSERT_TRUE(clear_clipboard(&seq));
    run_.post_command(IDM_COPY_IMAGE);
    EXPECT_TRUE(wait_clipboard_settled(seq))
        << "the copy command changed nothing on the clipboard" << windows_of(run_.pid());
    expect_clipboard_image(clipboard_dib(), layout);
    EXPECT_TRUE(visible_top_windows(run_.pid(), "#32770").empty())
        << "a message box appeared:" << windows_of(run_.pid());
}

// A child control of a message box whose text is text.
bool has_text(HWND box, const std::string& text) {
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (title_of(c) == text) return true;
    return false;
}

TEST_F(Clipboard, BusyClipboardShowsOneMessageBoxWhileTheKeysAreHeld) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));

    // Another program holds the clipboard open (with a window: two
    // OpenClipboard(NULL) callers both succeed under Wine).
    HWND holder = CreateWindowA("STATIC", "clipboard holder", WS_POPUP, 0, 0, 1, 1, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(OpenClipboard(holder));
    const DWORD seq = GetClipboardSequenceNumber();
    // Held until the message box is up and for some fifty ticks more, each of
    // which would copy again: the failed copy must not repeat behind its box.
    const bool pressed = xdotool("keydown ctrl+Print");
    std::vector<HWND> boxes;
    const bool shown = pressed && wait_until([&] {
                           return !(boxes = visible_top_windows(run_.pid(), "#32770")).empty();
                       });
    const bool single = shown && holds_for(
                                     [&] {
                                         boxes = visible_top_windows(run_.pid(), "#32770");
                                         return boxes.size() == 1;
                                     },
                                     500);
    xdotool("keyup ctrl+Print");
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
    EXPECT_TRUE(wait_until([&] { return visible_top_windows(run_.pid(), "#32770").empty(); }));

    // The loupe goes on following the pointer.
    ASSERT_TRUE(move_pointer(300, 200));
    EXPECT_TRUE(loupe_at(loupe_, 311, 211));
}

using Freeze = PictureTest;

// The frozen loupe's frame: its rings swap colours, the top row turns gray.
bool frame_looks_frozen(HWND loupe, bool frozen) {
    const RECT r = window_rect(loupe);
    return (grab_screen(r).at(r.left, r.top) == 0x808080u) == frozen;
}

// Pressed on the X side and held until the program's poll has seen it.
::testing::AssertionResult press_freeze_key(HWND loupe, bool frozen_after) {
    if (!xdotool("keydown Pause")) return ::testing::AssertionFailure() << "xdotool failed";
    const bool seen = wait_until([&] { return frame_looks_frozen(loupe, frozen_after); });
    xdotool("keyup Pause");
    if (seen) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "the frame never looked " << (frozen_after ? "frozen" : "live");
}

// Frozen, the loupe keeps its place and image when the pointer leaves; over a
// cell of the frozen image the tooltip reads that cell's source pixel, away
// from it the frozen centre; pressed again, the loupe follows the pointer.
TEST_F(Freeze, PauseFreezesTheLoupeAndThePointerReadsItsCells) {
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));
    HWND tip = wait_window(run_.pid(), "tooltips_class32");
    ASSERT_NE(tip, nullptr) << "no visible tooltip window";
    const std::string centre = tip_text(500, 400, TestPicture::colour(500, 400), false);
    ASSERT_TRUE(tooltip_says(run_, tip, centre));
    const Grab live = settled_grab(window_rect(loupe_));
    ASSERT_TRUE(press_freeze_key(loupe_, true));

    // Cell (5, 7) of the image at (513, 413): area pixel 5, 7 of the area
    // whose top-left pixel is (482, 382).
    ASSERT_TRUE(move_pointer(511 + 2 + 5 * 3 + 1, 411 + 2 + 7 * 3 + 1));
    EXPECT_TRUE(tooltip_says(run_, tip, tip_text(487, 389, TestPicture::colour(487, 389), false)));
    const Grab frozen = settled_grab(window_rect(loupe_));
    save_bmp(frozen, "loupe_frozen");
    save_bmp(settled_grab(RECT{480, 380, 760, 560}), "loupe_frozen_context");
    EXPECT_TRUE(same_rect(window_rect(loupe_), 511, 411, kDefaultWindow, kDefaultWindow));
    // The image is the one frozen, but where the two marker squares lie.
    int changed = 0;
    for (int y = 413; y < 411 + kDefaultWindow - 2; ++y)
        for (int x = 513; x < 511 + kDefaultWindow - 2; ++x) {
            const int cx = x - 511, cy = y - 411;
            const bool markers = (cx >= 55 && cx <= 59 && cy >= 55 && cy <= 59) ||
                                 (cx >= 16 && cx <= 20 && cy >= 22 && cy <= 26);
            if (!markers && frozen.at(x, y) != live.at(x, y)) ++changed;
        }
    EXPECT_EQ(changed, 0);

    ASSERT_TRUE(move_pointer(300, 200)); // away from the loupe: the frozen centre
    EXPECT_TRUE(tooltip_says(run_, tip, centre));
    EXPECT_TRUE(same_rect(window_rect(loupe_), 511, 411, kDefaultWindow, kDefaultWindow));

    ASSERT_TRUE(press_freeze_key(loupe_, false));
    EXPECT_TRUE(loupe_at(loupe_, 311, 211));
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(300, 200, window_rect(loupe_))));
}

using Grid = PictureTest;

// The image copied by the menu command, once the clipboard has settled.
std::vector<uint8_t> copied_image(const ProductRun& run) {
    DWORD seq = 0;
    if (!clear_clipboard(&seq)) return {};
    run.post_command(IDM_COPY_IMAGE);
    if (!wait_clipboard_settled(seq)) return {};
    return clipboard_dib();
}

// The grid lies only in the paint: switched on, it XORs mid-gray onto the
// loupe's pixels between the cells and nowhere else, and the tooltip and the
// copied image stay as they were.
TEST_F(Grid, ChangesTheLoupeOnlyOnItsLinesAndNeverTheReadings) {
    struct Case {
        int area, zoom;
    } cases[] = {{17, 8}, {9, 16}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoom * 100 << " %");
        ProductRun run;
        ASSERT_NO_FATAL_FAILURE(
            launch(run, "[option]\nsize=" + std::to_string(c.area) + "," + std::to_string(c.area) +
                            "\nmagnify=" + std::to_string(c.zoom * 100) + "\n"));
        // Placed beside the pointer once shown: wait for its etched frame.
        const int side = c.area * c.zoom + 4;
        RECT where{};
        ASSERT_TRUE(wait_until([&] {
            where = window_rect(run.loupe());
            return IsWindowVisible(run.loupe()) && where.right - where.left == side &&
                   grab_screen(where).at(where.left, where.top) == 0xF8F8FFu;
        }));
        HWND tip = wait_window(run.pid(), "tooltips_class32");
        ASSERT_NE(tip, nullptr) << "no visible tooltip window";
        const Grab plain = settled_grab(where);
        const std::string plain_tip = remote_tooltip_text(run.process(), tip, run.loupe());
        const std::vector<uint8_t> plain_copy = copied_image(run);
        ASSERT_FALSE(plain_copy.empty());

        run.post_command(IDM_PIXEL_GRID);
        ASSERT_TRUE(wait_until([&] { return grab_screen(where).pixels != plain.pixels; }));
        const Grab gridded = settled_grab(where);
        save_bmp(gridded, "loupe_grid_" + std::to_string(c.zoom * 100));
        int wrong = 0, lines = 0;
        for (int y = where.top; y < where.bottom; ++y)
            for (int x = where.left; x < where.right; ++x) {
                const int u = x - where.left - 2, v = y - where.top - 2;
                const int image = side - 4;
                const bool inside = u >= 0 && v >= 0 && u < image && v < image;
                const bool line =
                    inside && ((u > 0 && u % c.zoom == 0) || (v > 0 && v % c.zoom == 0));
                lines += line;
                if (gridded.at(x, y) != (line ? plain.at(x, y) ^ 0x808080u : plain.at(x, y)))
                    ++wrong;
            }
        EXPECT_EQ(wrong, 0) << "of " << lines << " line pixels";
        EXPECT_EQ(remote_tooltip_text(run.process(), tip, run.loupe()), plain_tip);
        EXPECT_EQ(copied_image(run), plain_copy);
        EXPECT_TRUE(run.shut_down());
    }
}

} // namespace
} // namespace e2e
