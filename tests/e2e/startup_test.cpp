// Start-up, single instance, window styles and the mouse wheel, seen from
// outside the running program.
#include "tests/e2e/fixture.h"

#include <commctrl.h>

namespace e2e {
namespace {

constexpr DWORD kLayeredLoupeExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED;
constexpr DWORD kPlainLoupeExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

// Style bits the system adds to every top-level window on its own.
constexpr DWORD kSystemStyleBits = WS_VISIBLE | WS_CLIPSIBLINGS;

using Startup = ProductTest;

TEST_F(Startup, FreshStartMakesOneLayeredToolWindowOfDefaultSize) {
    ASSERT_NO_FATAL_FAILURE(launch());

    auto windows = top_windows(run_.pid(), "BRISVANE_CLASS");
    ASSERT_EQ(windows.size(), 1u);
    HWND loupe = windows.front();
    EXPECT_EQ(title_of(loupe), "Brisvane");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(loupe, GWL_STYLE)) & ~kSystemStyleBits,
              static_cast<DWORD>(WS_POPUP));
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(loupe, GWL_EXSTYLE)), kLayeredLoupeExStyle);
    SIZE c = client_size(loupe);
    EXPECT_EQ(c.cx, kDefaultWindow);
    EXPECT_EQ(c.cy, kDefaultWindow);
    // FindWindow by class and title is how a second copy finds this one.
    EXPECT_EQ(FindWindowA("BRISVANE_CLASS", "Brisvane"), loupe);

    EXPECT_FALSE(run_.ini_exists()) << "start-up alone must not write brisvane.ini";
    DWORD code = 1;
    ASSERT_TRUE(run_.close_window(kPatience, &code)) << "WM_CLOSE did not end the program";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(run_.ini_exists()) << "Alt+F4 or a task manager's close saves as the exit does";
}

TEST_F(Startup, SizeAndMagnifyFromIniGiveTheWindowSize) {
    struct Case {
        const char* ini;
        int width, height;
    } cases[] = {
        // 37 * 150 / 100 = 55 (truncated), plus the 2-pixel frame on each side.
        {"[option]\nsize=37,37\nmagnify=150\n", 59, 59},
        // An even size is made odd (36 -> 37, 20 -> 21) before the image size
        // is computed: 37 * 200 / 100 = 74 and 21 * 2 = 42.
        {"[option]\nsize=36,20\nmagnify=200\n", 78, 46},
    };
    for (const Case& c : cases) {
        ProductRun run;
        ASSERT_NO_FATAL_FAILURE(launch(run, c.ini));
        SIZE size = client_size(run.loupe());
        EXPECT_EQ(size.cx, c.width) << c.ini;
        EXPECT_EQ(size.cy, c.height) << c.ini;
        EXPECT_TRUE(run.shut_down());
    }
}

TEST_F(Startup, JapaneseExecutableNameKeepsTheSettingsBesideIt) {
    // The second byte of ソ is the backslash byte 0x5C: a byte search for the
    // last backslash would cut the path inside the name.
    ProductRun run("", "ソフト.exe");
    ASSERT_NO_FATAL_FAILURE(launch(run, "[option]\nsize=37,37\nmagnify=150\n"));
    EXPECT_EQ(client_size(run.loupe()).cx, 59) << "the settings beside the program were not read";
    DWORD code = 1;
    ASSERT_TRUE(run.exit_by_menu(kPatience, &code));
    // Saved over the file it read: all keys, the read ones kept.
    std::string ini = run.read_ini(), magnify, interval;
    EXPECT_TRUE(ini_value(ini, "option", "interval", &interval)) << "not saved beside it:\n" << ini;
    EXPECT_TRUE(ini_value(ini, "option", "magnify", &magnify) && magnify == "150");
}

// MAX_PATH counts characters, but a code page 932 character takes two bytes:
// a folder of 160 Japanese characters is about 380 bytes in all. (Wine
// refuses longer paths than MAX_PATH characters, so the message for a path
// beyond the buffers cannot be reached here.)
TEST_F(Startup, LongJapaneseFolderKeepsTheSettingsBesideTheProgram) {
    std::string folder;
    for (int i = 0; i < 80; ++i)
        folder += "あ"; // 160 bytes; 240 in the UTF-8 name on the Unix side
    ProductRun run("", (folder + "\\" + folder + "\\brisvane.exe").c_str());
    ASSERT_TRUE(run.prepared() && run.start());
    ASSERT_TRUE(run.wait_loupe()) << "did not start from a folder of ~380 bytes";
    DWORD code = 1;
    ASSERT_TRUE(run.exit_by_menu(5000, &code));
    EXPECT_EQ(0u, code);
    EXPECT_TRUE(run.ini_exists()) << "the settings went nowhere";
}

TEST_F(Startup, SecondCopyExitsAtOnceAndBringsTheFirstForward) {
    // An activatable window of our own to take the foreground away.
    TestPicture other({Patch{{700, 600, 800, 700}, 0x3060C0, true}});
    ASSERT_NE(other.patch(0), nullptr);

    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(wait_until([&] { return IsWindowVisible(loupe_) != 0; }))
        << "the first tick should show the loupe (visible=1)";

    // The loupe's own activation may still be on its way: insist until our
    // window has kept the foreground for a moment.
    HWND mine = other.patch(0);
    ASSERT_TRUE(wait_until([&] {
        if (GetForegroundWindow() != mine) SetForegroundWindow(mine);
        return holds_for([&] { return GetForegroundWindow() == mine; }, 200);
    })) << "could not move the foreground away from the loupe";

    ProductRun second;
    ASSERT_TRUE(second.prepared());
    ASSERT_TRUE(second.start());
    DWORD code = 1;
    ASSERT_TRUE(second.wait_exit(kPatience, &code)) << "the second copy kept running";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(top_windows(second.pid(), nullptr).empty());
    EXPECT_TRUE(wait_until([&] { return GetForegroundWindow() == loupe_; }))
        << "the running copy was not brought to the foreground";
    EXPECT_TRUE(run_.running());
}

TEST_F(Startup, WindowsNt4GetsNoLayeredStyle) {
    WineVersionOverride nt4("brisvane.exe", "nt40");
    ASSERT_TRUE(nt4.ok()) << "registry error " << nt4.error();
    {
        // The setting must reach a process of that name, or the check
        // below proves nothing: this test executable, run as brisvane.exe,
        // reports the version it sees.
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, sizeof self);
        ProductRun reporter(self);
        ASSERT_TRUE(reporter.prepared());
        ASSERT_TRUE(reporter.start("--report-version"));
        DWORD major = 0;
        ASSERT_TRUE(reporter.wait_exit(kPatience, &major));
        ASSERT_EQ(major, 4u) << "Wine did not apply the per-program version";
    }
    ASSERT_NO_FATAL_FAILURE(launch());
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(loupe_, GWL_EXSTYLE)), kPlainLoupeExStyle);
    EXPECT_EQ(client_size(loupe_).cx, kDefaultWindow);
}

TEST_F(Startup, WheelInGlassModeZoomsAndResizesAroundThePointer) {
    ASSERT_TRUE(move_pointer(500, 400));
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\n"));
    // Centred on the pointer: 500 - 111 / 2 - 2 = 443.
    ASSERT_TRUE(loupe_at(loupe_, 443, 343)) << "glass mode";

    // Towards the user without keys: 300 -> 400 %, 37 * 4 = 148 (+ 4).
    post_wheel(loupe_, -WHEEL_DELTA, 0, 500, 400);
    EXPECT_TRUE(loupe_at(loupe_, 500 - 74 - 2, 400 - 74 - 2, 152, 152)) << "after zooming in";

    // Away from the user: 400 -> 300 %.
    post_wheel(loupe_, WHEEL_DELTA, 0, 500, 400);
    EXPECT_TRUE(loupe_at(loupe_, 443, 343)) << "after zooming out";

    // Shift and towards the user: size 37 -> 39, 39 * 3 = 117 (+ 4).
    post_wheel(loupe_, -WHEEL_DELTA, MK_SHIFT, 500, 400);
    EXPECT_TRUE(loupe_at(loupe_, 500 - 58 - 2, 400 - 58 - 2, 121, 121)) << "after Shift+wheel";

    // Shift and Ctrl together is a zoom step: 300 -> 400 %, 39 * 4 = 156.
    post_wheel(loupe_, -WHEEL_DELTA, MK_SHIFT | MK_CONTROL, 500, 400);
    EXPECT_TRUE(loupe_at(loupe_, 500 - 78 - 2, 400 - 78 - 2, 160, 160)) << "after Shift+Ctrl+wheel";
}

TEST_F(Startup, WheelInNormalModeChangesNothing) {
    ASSERT_TRUE(move_pointer(500, 400));
    ASSERT_NO_FATAL_FAILURE(launch());
    ASSERT_TRUE(loupe_at(loupe_, 511, 411)) << "normal mode";
    post_wheel(loupe_, -WHEEL_DELTA, 0, 500, 400);
    post_wheel(loupe_, -WHEEL_DELTA, MK_SHIFT, 500, 400);
    EXPECT_TRUE(holds_for([&] { return same_rect(window_rect(loupe_), 511, 411, 115, 115); }, 300))
        << "the wheel changed the loupe in normal mode: " << describe(window_rect(loupe_));
}

} // namespace
} // namespace e2e
