// The tracking tick, capture and paint seen on the screen: the loupe over the
// test picture must stand where the placement puts it and show exactly the
// magnified area around the pointer.
#include "tests/e2e/fixture.h"
#include "tests/e2e/loupe_image.h"

namespace e2e {
namespace {

using Engine = PictureTest;

TEST_F(Engine, NormalModeShowsTheMagnifiedAreaBelowRightOfThePointer) {
    ASSERT_NO_FATAL_FAILURE(launch());
    // Distance 16 at 135 degrees: the window's centre lies 68 pixels right of
    // and below the pointer, 500 + 68 - 57 = 511.
    ASSERT_TRUE(loupe_at(loupe_, 511, 411));

    Grab shot;
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(500, 400, window_rect(loupe_)), &shot));
    save_bmp(shot, "loupe_normal");
    save_bmp(grab_screen(RECT{380, 300, 700, 600}), "loupe_normal_context");
}

TEST_F(Engine, NormalModeMirrorsAtTheRightEdgeOfTheScreen) {
    ASSERT_TRUE(move_pointer(1000, 400));
    ASSERT_NO_FATAL_FAILURE(launch());
    // 1000 + 68 - 57 = 1011 would leave the screen: mirrored to 1000 - 68 - 57.
    ASSERT_TRUE(loupe_at(loupe_, 874, 411));

    Grab shot;
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(1000, 400, window_rect(loupe_)), &shot));
    save_bmp(shot, "loupe_mirrored");

    // Moving the pointer moves the loupe on the next ticks.
    ASSERT_TRUE(move_pointer(300, 200));
    EXPECT_TRUE(loupe_at(loupe_, 311, 211));
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(300, 200, window_rect(loupe_))));
}

TEST_F(Engine, GlassModeWithSnapshotIsCentredOnThePointer) {
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\nlayered=1\nmaruwin=0,0\n"));
    ASSERT_TRUE(loupe_at(loupe_, 443, 343));

    // The snapshot is taken while the loupe is still hidden, so every pixel
    // is predictable.
    Grab shot;
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(500, 400), &shot));
    save_bmp(shot, "loupe_glass_snapshot");
    save_bmp(grab_screen(RECT{380, 280, 620, 520}), "loupe_glass_snapshot_context");

    // The loupe follows the pointer and pans over the same snapshot.
    ASSERT_TRUE(move_pointer(200, 150));
    ASSERT_TRUE(loupe_at(loupe_, 143, 93));
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(200, 150)));
}

TEST_F(Engine, GlassModeLoupeIsRoundByDefault) {
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\n"));
    ASSERT_TRUE(loupe_at(loupe_, 443, 343));
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = GetWindowRgn(loupe_, rgn);
    EXPECT_TRUE(kind == COMPLEXREGION || kind == SIMPLEREGION) << "no window region: " << kind;
    // An ellipse one pixel larger than the window on every side.
    EXPECT_TRUE(PtInRegion(rgn, 57, 57));
    EXPECT_TRUE(PtInRegion(rgn, 0, 57));
    EXPECT_TRUE(PtInRegion(rgn, 57, 0));
    EXPECT_FALSE(PtInRegion(rgn, 3, 3));
    EXPECT_FALSE(PtInRegion(rgn, 111, 111));
    DeleteObject(rgn);
    save_bmp(grab_screen(RECT{400, 300, 600, 500}), "loupe_glass_round");
}

TEST_F(Engine, GlassModePeepWindowOnWindowsNt4) {
    WineVersionOverride nt4("brisvane.exe", "nt40");
    ASSERT_TRUE(nt4.ok()) << "registry error " << nt4.error();
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nloupe=1\nloupetype=1\nmaruwin=0,0\n"));
    EXPECT_EQ(GetWindowLongA(loupe_, GWL_EXSTYLE) & WS_EX_LAYERED, 0);
    ASSERT_TRUE(loupe_at(loupe_, 443, 343));

    // Outside the moment of a copy the window has its normal outline: no
    // region for the rectangular loupe.
    EXPECT_TRUE(wait_until([&] {
        HRGN rgn = CreateRectRgn(0, 0, 0, 0);
        int kind = GetWindowRgn(loupe_, rgn);
        DeleteObject(rgn);
        return kind == ERROR;
    }));

    // The copy waits for the window below to repaint the hole it uncovers,
    // so the image is exactly the test picture's.
    Grab shot;
    EXPECT_TRUE(loupe_shows(loupe_, layout_around(500, 400), &shot));
    save_bmp(shot, "loupe_glass_peep");
}

TEST_F(Engine, NormallyHiddenShowsOnlyWhileTheHotkeyIsHeld) {
    ASSERT_NO_FATAL_FAILURE(launch("[option]\nvisible=2\n"));
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 500))
        << "visible=2 showed the loupe without the hotkey";

    // The default hotkey is Ctrl alone, pressed on the X side (see
    // docs/testing.md on modifiers sent with SendInput).
    ASSERT_TRUE(xdotool("keydown ctrl"));
    bool shown = wait_until([&] { return IsWindowVisible(loupe_) != 0; });
    bool placed = shown && loupe_at(loupe_, 511, 411);
    xdotool("keyup ctrl");
    EXPECT_TRUE(shown) << "holding Ctrl did not show the loupe";
    EXPECT_TRUE(placed) << describe(window_rect(loupe_));
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe_); }))
        << "releasing Ctrl did not hide the loupe";
}

class Rules : public PictureTest {
  protected:
    std::vector<Patch> patches() override { return {Patch{{100, 100, 300, 300}, 0x20A040, false}}; }
};

TEST_F(Rules, RuleOfTypeHiddenHidesTheLoupeOverItsWindowClass) {
    ASSERT_TRUE(move_pointer(200, 200)); // over the patch, whose class has no rule
    ASSERT_NO_FATAL_FAILURE(launch(std::string("[option]\nwinset=1\n\n[target]\n0=2,") +
                                   TestPicture::class_name() + "/\n"));
    EXPECT_TRUE(loupe_at(loupe_, 211, 211));

    ASSERT_TRUE(move_pointer(500, 400)); // over the picture: the rule says "normally hidden"
    EXPECT_TRUE(wait_until([&] { return !IsWindowVisible(loupe_); }))
        << "the rule for the picture's class did not hide the loupe";
    EXPECT_TRUE(holds_for([&] { return !IsWindowVisible(loupe_); }, 300));

    ASSERT_TRUE(move_pointer(150, 150)); // back over the patch
    EXPECT_TRUE(loupe_at(loupe_, 161, 161));
}

} // namespace
} // namespace e2e
