// The loupe window as start-up builds it, its menu commands and its wheel.
#include <gtest/gtest.h>
#include <functional>
#include <vector>
#include "app/commands.h"
#include "app/single_instance.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/freeze_control.h"
#include "engine/presence.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe_fixture.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win32/dialogs_test_support.h"
#include "tests/win32/test_support.h"

using namespace test_support;

using LoupeWindow = LoupeWindowTest;

// A system whose small icons are 24 pixels, as at 150 %.
static int WINAPI larger_small_icons(int index) {
    return index == SM_CXSMICON || index == SM_CYSMICON ? 24 : GetSystemMetrics(index);
}

TEST_F(LoupeWindow, CreationBuildsAHiddenToolWindowWithItsBuffers) {
    system_metric = larger_small_icons;
    ASSERT_TRUE(create_loupe());
    ICONINFO icon = {};
    BITMAP image = {};
    ASSERT_TRUE(GetIconInfo(tray_icon_image(), &icon));
    GetObjectA(icon.hbmColor, sizeof(image), &image);
    DeleteObject(icon.hbmColor);
    DeleteObject(icon.hbmMask);
    EXPECT_EQ(24, image.bmWidth) << "the tray icon is loaded at the small-icon size";
    EXPECT_EQ(handles.loupe_hwnd, loupe_);
    EXPECT_FALSE(IsWindowVisible(loupe_));
    RECT rect;
    GetWindowRect(loupe_, &rect);
    EXPECT_EQ(rect.left, 10); // WM_CREATE moved it from beyond the screen's corner
    EXPECT_EQ(rect.top, 10);
    EXPECT_EQ(rect.right - rect.left, 115);
    EXPECT_EQ(rect.bottom - rect.top, 115);
    EXPECT_EQ(GetWindowLongA(loupe_, GWL_STYLE) & WS_POPUP, WS_POPUP);
    LONG ex_style = GetWindowLongA(loupe_, GWL_EXSTYLE);
    EXPECT_TRUE(ex_style & WS_EX_TOPMOST);
    EXPECT_TRUE(ex_style & WS_EX_TOOLWINDOW);
    EXPECT_EQ((ex_style & WS_EX_LAYERED) != 0, startup.layered_supported != 0);

    EXPECT_EQ(capture_buffer_size.cx, 40); // size + 3
    EXPECT_EQ(capture_buffer_size.cy, 40);
    EXPECT_EQ(source_dc, nullptr); // neither gray nor smoothing
    EXPECT_EQ(zoom_dc, nullptr);
    EXPECT_EQ(half_size, (IntPair{18, 18}));
    EXPECT_NEAR(geometry.loupe_distance, 96.61, 0.01);
}

TEST_F(LoupeWindow, InitialMenuMirrorsTheSettingsAndGraysClickThrough) {
    settings.visible = kVisibleToggle;
    settings.addhole = 1; // normal mode: grayed and cleared
    settings.invertbmp = 1;
    ASSERT_TRUE(create_loupe());
    EXPECT_TRUE(item_checked(IDM_VISIBLE_TOGGLE));
    EXPECT_FALSE(item_checked(IDM_VISIBLE_SHOWN));
    EXPECT_TRUE(item_checked(IDM_POINT_INFO));
    EXPECT_TRUE(item_checked(IDM_MARKER));
    EXPECT_TRUE(item_checked(IDM_INVERT));
    EXPECT_FALSE(item_checked(IDM_LOUPE_MODE));
    EXPECT_TRUE(item_grayed(IDM_CLICK_THROUGH));
    EXPECT_EQ(settings.addhole, 0);
    EXPECT_FALSE(GetWindowLongA(loupe_, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

TEST_F(LoupeWindow, ClickThroughStartsCheckedInMagnifyingGlassModeWithDirectCapture) {
    if (!startup.layered_supported) GTEST_SKIP() << "needs layered windows";
    settings.loupe = 1;
    settings.addhole = 1;
    ASSERT_TRUE(create_loupe());
    EXPECT_TRUE(item_checked(IDM_LOUPE_MODE));
    EXPECT_FALSE(item_grayed(IDM_CLICK_THROUGH));
    EXPECT_TRUE(item_checked(IDM_CLICK_THROUGH));
    EXPECT_TRUE(GetWindowLongA(loupe_, GWL_EXSTYLE) & WS_EX_TRANSPARENT);

    command(IDM_CLICK_THROUGH);
    EXPECT_EQ(settings.addhole, 0);
    EXPECT_FALSE(item_checked(IDM_CLICK_THROUGH));
    EXPECT_FALSE(GetWindowLongA(loupe_, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
    EXPECT_TRUE(GetWindowLongA(loupe_, GWL_EXSTYLE) & WS_EX_TOPMOST); // no other bit changed

    command(IDM_LOUPE_MODE); // leaving the mode grays the item and clears the setting
    EXPECT_TRUE(item_grayed(IDM_CLICK_THROUGH));
    EXPECT_EQ(settings.loupe, 0);
}

TEST_F(LoupeWindow, SwitchesFlipTheirSettingAndCheckMark) {
    ASSERT_TRUE(create_loupe());
    struct Switch {
        UINT id;
        int32_t* setting;
    } switches[] = {{IDM_MARKER, &settings.marker},
                    {IDM_INVERT, &settings.invertbmp},
                    {IDM_USE_RULES, &settings.winset},
                    {IDM_FOLLOW_CARET, &settings.caret},
                    {IDM_PIXEL_GRID, &settings.grid}};
    for (const Switch& item : switches) {
        int32_t before = *item.setting;
        command(item.id);
        EXPECT_EQ(*item.setting, before ? 0 : 1) << item.id;
        EXPECT_EQ(item_checked(item.id), *item.setting != 0) << item.id;
        command(item.id);
        EXPECT_EQ(*item.setting, before) << item.id;
        EXPECT_EQ(item_checked(item.id), before != 0) << item.id;
    }
}

TEST_F(LoupeWindow, VisibilityCommandsAreRadioChecks) {
    ASSERT_TRUE(create_loupe());
    command(IDM_VISIBLE_TOGGLE);
    EXPECT_EQ(settings.visible, 3);
    EXPECT_TRUE(item_checked(IDM_VISIBLE_TOGGLE));
    EXPECT_FALSE(item_checked(IDM_VISIBLE_SHOWN) || item_checked(IDM_VISIBLE_HIDDEN));

    command(IDM_VISIBLE_SHOWN); // shows at once
    EXPECT_EQ(settings.visible, 1);
    EXPECT_EQ(presence.loupe_shown, 1);
    EXPECT_EQ(presence.toggle_on, 1);
    EXPECT_TRUE(IsWindowVisible(loupe_));

    command(IDM_VISIBLE_HIDDEN); // the tick hides it
    EXPECT_EQ(settings.visible, 2);
    EXPECT_EQ(presence.toggle_on, 0);
    EXPECT_TRUE(item_checked(IDM_VISIBLE_HIDDEN));
    EXPECT_FALSE(item_checked(IDM_VISIBLE_SHOWN));
}

TEST_F(LoupeWindow, PointInformationFollowsTheLoupeWhenSwitchedOn) {
    ASSERT_TRUE(create_loupe());
    command(IDM_POINT_INFO);
    EXPECT_EQ(settings.ttdisp, 0);
    EXPECT_EQ(presence.tip_active, 0);
    EXPECT_FALSE(item_checked(IDM_POINT_INFO));
    command(IDM_POINT_INFO); // loupe hidden: stays inactive until it is shown
    EXPECT_EQ(settings.ttdisp, 1);
    EXPECT_EQ(presence.tip_active, 0);
    EXPECT_TRUE(item_checked(IDM_POINT_INFO));
}

TEST_F(LoupeWindow, GraySwitchCreatesAndDeletesTheSourceBufferOnlyWithoutSmoothing) {
    ASSERT_TRUE(create_loupe());
    command(IDM_GRAY);
    EXPECT_EQ(settings.graybmp, 1);
    EXPECT_TRUE(item_checked(IDM_GRAY));
    ASSERT_NE(source_dc, nullptr);
    EXPECT_NE(source_bits, nullptr);
    EXPECT_EQ(source_buffer_size.cx, 40);
    EXPECT_EQ(source_buffer_size.cy, 40);
    command(IDM_GRAY);
    EXPECT_EQ(settings.graybmp, 0);
    EXPECT_EQ(source_dc, nullptr);
    EXPECT_EQ(source_bitmap, nullptr);
}

TEST_F(LoupeWindow, GraySwitchLeavesTheSmoothingBuffersAlone) {
    settings.smooth = kSmoothBilinear;
    ASSERT_TRUE(create_loupe());
    HDC source_before = source_dc;
    HBITMAP bitmap_before = source_bitmap;
    ASSERT_NE(source_before, nullptr);
    ASSERT_NE(zoom_dc, nullptr);
    EXPECT_EQ(zoom_buffer_size.cx, 111);
    command(IDM_GRAY);
    command(IDM_GRAY);
    EXPECT_EQ(source_dc, source_before);
    EXPECT_EQ(source_bitmap, bitmap_before);
}

TEST_F(LoupeWindow, MagnifyingGlassSwitchUsesASnapshotSizedBufferInSnapshotMode) {
    settings.layered = 1; // layered capture: magnifying-glass mode works from a snapshot
    ASSERT_TRUE(create_loupe());
    EXPECT_EQ(geometry.snapshot_mode, 1);
    command(IDM_LOUPE_MODE);
    EXPECT_EQ(settings.loupe, 1);
    EXPECT_TRUE(item_checked(IDM_LOUPE_MODE));
    EXPECT_EQ(capture_buffer_size.cx,
              geometry.virtual_screen.right - geometry.virtual_screen.left + 3);
    EXPECT_EQ(capture_buffer_size.cy,
              geometry.virtual_screen.bottom - geometry.virtual_screen.top + 3);
    EXPECT_TRUE(item_grayed(IDM_CLICK_THROUGH)); // layered capture offers no click-through
    command(IDM_LOUPE_MODE);
    EXPECT_EQ(settings.loupe, 0);
    // The large buffer stays: it is big enough for the normal size too.
    EXPECT_GT(capture_buffer_size.cx, 40);
}

static void wheel(HWND loupe, int delta, unsigned keys, int x, int y) {
    SendMessageA(loupe, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(x, y));
}

TEST_F(LoupeWindow, WheelZoomsAndRecentresOnlyInMagnifyingGlassMode) {
    ASSERT_TRUE(create_loupe());
    wheel(loupe_, -120, 0, 500, 400);
    EXPECT_EQ(settings.magnify, 300); // normal mode: nothing

    command(IDM_LOUPE_MODE);
    wheel(loupe_, -120, 0, 500, 400);
    EXPECT_EQ(settings.magnify, 400);
    EXPECT_EQ(zoomed_size, (IntPair{148, 148}));
    RECT rect;
    GetWindowRect(loupe_, &rect);
    EXPECT_EQ(rect.right - rect.left, 152);
    EXPECT_EQ(rect.left, 500 - 74 - 2);
    EXPECT_EQ(rect.top, 400 - 74 - 2);
    EXPECT_TRUE(tick_memory.full_refresh_due); // the next tick redraws

    wheel(loupe_, -120, MK_SHIFT, 300, 300);
    EXPECT_EQ(settings.size, (IntPair{39, 39}));
    EXPECT_EQ(half_size, (IntPair{19, 19}));
    EXPECT_EQ(zoomed_size, (IntPair{156, 156}));
    if (startup.layered_supported && settings.layered == 0) {
        EXPECT_EQ(capture_buffer_size.cx, 42);
    }
    command(IDM_LOUPE_MODE);
}

// Without layered windows the peep window copies a block of the new size, so
// its capture buffer grows with it too; only a snapshot-sized one stays.
TEST_F(LoupeWindow, WheelResizeRecreatesTheSourceBufferWithGrayAndThePeepWindowsCaptureBuffer) {
    startup.layered_supported = 0;
    settings.loupe = 1;
    settings.loupetype = 1;
    settings.graybmp = 1;
    ASSERT_TRUE(create_loupe());
    wheel(loupe_, -120, MK_CONTROL, 200, 200);
    EXPECT_EQ(source_buffer_size.cx, 42);
    EXPECT_EQ(source_buffer_size.cy, 42);
    EXPECT_EQ(capture_buffer_size.cx, 42);
    EXPECT_EQ(capture_buffer_size.cy, 42);
}

TEST_F(LoupeWindow, DoubleClickHidesAndStopsTrackingWhenNormallyShown) {
    ASSERT_TRUE(create_loupe());
    command(IDM_VISIBLE_SHOWN);
    ASSERT_EQ(presence.loupe_shown, 1);
    SendMessageA(loupe_, WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(presence.loupe_shown, 0);
    EXPECT_EQ(presence.toggle_on, 0);
    EXPECT_FALSE(IsWindowVisible(loupe_));
}

// A popup menu that opens is closed again at once; the cursor display count
// seen while it was open is kept.
static bool menu_seen = false;
static int count_in_menu = 0;
static bool tick_started_in_menu = false;
// A dialog opened over first_dialog is counted and closed, so that a fault
// fails the test instead of hanging it.
static HWND first_dialog = nullptr;
static bool second_dialog_seen = false;
static BOOL CALLBACK close_second_dialog(HWND window, LPARAM) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (window == first_dialog || std::string(name) != "#32770") return TRUE;
    second_dialog_seen = true;
    EndDialog(window, IDCANCEL);
    return FALSE;
}
static void CALLBACK close_menus(HWND, UINT, UINT_PTR, DWORD) {
    if (first_dialog) EnumThreadWindows(GetCurrentThreadId(), close_second_dialog, 0);
    HWND menu = FindWindowA("#32768", nullptr);
    if (!menu || !IsWindowVisible(menu)) return;
    menu_seen = true;
    count_in_menu = cursor_display_count();
    start_tracking(handles.loupe_hwnd);
    tick_started_in_menu = KillTimer(handles.loupe_hwnd, TIMER_TRACK) != FALSE;
    EndMenu();
}

TEST_F(LoupeWindow, SystemCursorIsHiddenExactlyWhileTheGlassIsShownOutsideMenus) {
    ASSERT_EQ(1, check_single_instance("BrisvaneTestSingleInstance"));
    ASSERT_TRUE(create_loupe());
    UINT_PTR closer = SetTimer(nullptr, 0, 30, close_menus);
    auto right_click = [&] {
        menu_seen = false;
        SendMessageA(loupe_, WM_RBUTTONUP, 0, 0);
        EXPECT_TRUE(menu_seen && count_in_menu == 0) << "no pointer over the menu";
        EXPECT_FALSE(tick_started_in_menu) << "the tick ran inside the menu's loop";
    };
    auto mode = [&] { command(IDM_LOUPE_MODE); };
    struct Step {
        const char* what;
        std::function<void()> act;
        int count;
    } steps[] = {
        {"glass mode on, loupe hidden", mode, 0},
        {"loupe shown", [&] { show_loupe(loupe_, 1); }, -1},
        {"loupe's menu in glass mode", right_click, -1},
        {"glass mode off", mode, 0},
        {"loupe's menu in normal mode", right_click, 0},
        {"glass mode on, loupe shown", mode, -1},
        {"exit", [&] { DestroyWindow(loupe_), loupe_ = nullptr; }, 0},
    };
    for (const Step& step : steps) {
        step.act();
        EXPECT_EQ(step.count, cursor_display_count()) << step.what;
    }
    KillTimer(nullptr, closer);
    // Exit also frees the single-instance name for the next copy.
    HANDLE next = CreateMutexA(nullptr, TRUE, "BrisvaneTestSingleInstance");
    EXPECT_NE(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(next);
}

// Help opening, as the shell would be asked: what the loupe was like then.
static int helps_opened, depth_in_help, shown_in_help, count_in_help;
static std::string help_opened;
static HINSTANCE WINAPI record_help(HWND, const char*, const char* file, const char*, const char*,
                                    INT) {
    ++helps_opened;
    depth_in_help = modal_depth;
    shown_in_help = presence.loupe_shown;
    count_in_help = cursor_display_count();
    help_opened = file;
    return nullptr;
}

TEST_F(LoupeWindow, TrayClicksInsideADialogOnlyBringItToTheFront) {
    settings.loupe = 1; // the dialog needs the pointer the glass hides
    ASSERT_TRUE(create_loupe());
    show_loupe(loupe_, 1);
    HWND other = create_popup(0, 0, 50, 50, false);
    UINT_PTR closer = SetTimer(nullptr, 0, 30, close_menus);
    menu_seen = false;
    HWND dialog = nullptr, front = nullptr, second_front = nullptr;
    bool tick_ran = true;
    int count_inside = -1, shown_inside = -1;
    shell_open = record_help;
    helps_opened = 0;
    auto about = [&] { return command(IDM_ABOUT), INT_PTR(0); };
    dialog_tests::run_modal(about, [&](HWND open) {
        ShowWindow(other, SW_SHOW);
        SetForegroundWindow(other);
        SendMessageA(loupe_, WM_TRAY_NOTIFY, 1, WM_LBUTTONUP); // would restart the tick
        SendMessageA(loupe_, WM_TRAY_NOTIFY, 1, WM_RBUTTONUP); // would open the menu
        start_tracking(loupe_);
        tick_ran = KillTimer(loupe_, TIMER_TRACK) != FALSE;
        // Messages posted before the dialog opened: the first tick (which
        // would show the loupe), the re-show after a click, and a second dialog.
        tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
        SendMessageA(loupe_, WM_TIMER, TIMER_RESHOW, 0);
        shown_inside = presence.loupe_shown;
        count_inside = cursor_display_count();
        front = GetForegroundWindow();
        SetForegroundWindow(other);
        first_dialog = open;
        command(IDM_HOTKEY);
        command(IDM_HELP);
        second_front = GetForegroundWindow();
        EndDialog(dialog = open, IDCANCEL);
    });
    KillTimer(nullptr, closer);
    first_dialog = nullptr;
    DestroyWindow(other);
    EXPECT_FALSE(second_dialog_seen);
    EXPECT_EQ(0, helps_opened) << "help opened inside a dialog";
    EXPECT_TRUE(dialog && front == dialog && second_front == dialog);
    EXPECT_FALSE(tick_ran);
    EXPECT_EQ(0, shown_inside);
    EXPECT_FALSE(menu_seen);
    EXPECT_GE(count_inside, 0);
    EXPECT_TRUE(KillTimer(loupe_, TIMER_TRACK)) << "the tick restarts once the dialog is closed";
    EXPECT_LT(cursor_display_count(), 0);
}

// A display change that the real screen cannot make here: 800 x 600 at the
// origin, inside the real screen.
static int WINAPI smaller_display(int index) {
    if (index == SM_CXSCREEN || index == SM_CXVIRTUALSCREEN) return 800;
    if (index == SM_CYSCREEN || index == SM_CYVIRTUALSCREEN) return 600;
    return index == SM_XVIRTUALSCREEN || index == SM_YVIRTUALSCREEN ? 0 : GetSystemMetrics(index);
}

TEST_F(LoupeWindow, DisplayChangeRebuildsTheSnapshotAndClipsToTheNewScreen) {
    settings.layered = 1; // magnifying-glass mode from a snapshot
    settings.loupe = 1;
    ASSERT_TRUE(create_loupe());
    show_loupe(loupe_, 1);
    system_metric = smaller_display;
    SendMessageA(loupe_, WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600));
    system_metric = GetSystemMetrics;
    EXPECT_TRUE(geometry.screen_size.cx == 800 && geometry.screen_size.cy == 600 &&
                geometry.virtual_screen.right == 800);
    EXPECT_TRUE(capture_buffer_size.cx == 803 && capture_buffer_size.cy == 603);
    // Not taken in the message itself, before the other windows repainted
    // for the new screen (a fresh buffer is black), but by the next tick,
    // which shows the loupe again: dark gray margins, the screen at (1, 1).
    const COLORREF dark_gray = RGB(0x40, 0x40, 0x40);
    EXPECT_TRUE(presence.loupe_shown == 0 && GetPixel(capture_dc, 0, 0) == 0);
    SetCursorPos(400, 300);
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    EXPECT_EQ(1, presence.loupe_shown);
    EXPECT_EQ(dark_gray, GetPixel(capture_dc, 0, 0));
    EXPECT_EQ(screen_pixel(700, 500), GetPixel(capture_dc, 701, 501));
    // The direct copy of normal mode stops at the new right edge.
    command(IDM_LOUPE_MODE);
    tick_memory.capture_origin = {790, 301};
    capture_tick_area(loupe_);
    EXPECT_EQ(screen_pixel(799, 300), GetPixel(capture_dc, 10, 1));
    EXPECT_EQ(dark_gray, GetPixel(capture_dc, 11, 1));
}

// Where the tick finds the pointer, without moving the real one.
static POINT pointer_at;
static BOOL WINAPI pointer_stand_in(POINT* point) {
    *point = pointer_at;
    return TRUE;
}

// Frozen, a tick neither places nor captures, whatever the pointer does, and
// the system cursor shows over the magnifying glass; the menu item ends the
// freeze and the next tick follows the pointer again.
TEST_F(LoupeWindow, FrozenTicksKeepPlaceAndImageUntilTheMenuItemEndsIt) {
    settings.loupe = 1; // directly copied, centred on the pointer
    ASSERT_TRUE(create_still_loupe());
    read_cursor_pos = pointer_stand_in;
    pointer_at = {400, 300};
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    ASSERT_EQ(1, presence.loupe_shown);
    ASSERT_LT(cursor_display_count(), 0);
    begin_freeze(loupe_);
    EXPECT_TRUE(item_checked(IDM_FREEZE));
    EXPECT_GE(cursor_display_count(), 0);

    RECT frozen, now;
    GetWindowRect(loupe_, &frozen);
    const COLORREF mark = RGB(1, 2, 3); // a capture would overwrite it
    SetPixel(capture_dc, 1, 1, mark);
    pointer_at = {600, 450};
    request_full_refresh();
    for (int i = 0; i < 6; ++i)
        tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    GetWindowRect(loupe_, &now);
    EXPECT_TRUE(EqualRect(&frozen, &now));
    EXPECT_EQ(mark, GetPixel(capture_dc, 1, 1));
    // Pointing at the frozen image's first cell, the colour copy takes that
    // cell's captured pixel, as the tooltip reports it.
    pointer_at = {frozen.left + kFrameWidth + 1, frozen.top + kFrameWidth + 1};
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    command(IDM_COPY_COLOUR);
    EXPECT_EQ("1, 2, 3", clipboard_text());
    pointer_at = {600, 450};

    command(IDM_FREEZE);
    EXPECT_FALSE(item_checked(IDM_FREEZE));
    EXPECT_LT(cursor_display_count(), 0);
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    GetWindowRect(loupe_, &now);
    EXPECT_EQ(600, (now.left + now.right) / 2);
    EXPECT_NE(mark, GetPixel(capture_dc, 1, 1));
}

TEST_F(LoupeWindow, TheRefreshThatShowsTheLoupeMakesRoomForTheTooltip) {
    settings.visible = kVisibleToggle; // shown by the toggle, not by the first tick
    settings.toggledef = 0;
    ASSERT_TRUE(create_loupe());
    SetCursorPos(500, geometry.screen_size.cy - 135); // no room for the tooltip below the loupe
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    presence.toggle_on = 1;
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    ASSERT_EQ(1, presence.loupe_shown);
    RECT first, later;
    GetWindowRect(loupe_, &first);
    request_full_refresh(); // the same place refreshed again
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    GetWindowRect(loupe_, &later);
    EXPECT_EQ(later.top, first.top);
}

TEST_F(LoupeWindow, HeldClickWaitsForTheLogicalLeftButtonWithSwappedButtons) {
    ASSERT_TRUE(create_loupe());
    // The waits below pump messages: the first tick would show the loupe by
    // itself, so only the re-show timer may show it here.
    KillTimer(loupe_, TIMER_TRACK);
    SetCursorPos(geometry.screen_size.cx - 20,
                 5); // bare desktop: the press reaches no window of ours
    SwapMouseButton(TRUE);
    INPUT press = {INPUT_MOUSE, {}};
    press.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN; // the physical right button, the logical left
    SendInput(1, &press, sizeof(press));
    bool held = wait_until([] { return GetAsyncKeyState(VK_RBUTTON) < 0; });
    SendMessageA(loupe_, WM_TIMER, TIMER_RESHOW, 0);
    const int shown_while_held = presence.loupe_shown;
    press.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &press, sizeof(press));
    SwapMouseButton(FALSE);
    EXPECT_TRUE(held && shown_while_held == 0) << "button " << (held ? "held" : "never seen held")
                                               << ", presence.loupe_shown " << shown_while_held;
    ASSERT_TRUE(wait_until([] { return GetAsyncKeyState(VK_RBUTTON) >= 0; }));
    SendMessageA(loupe_, WM_TIMER, TIMER_RESHOW, 0);
    EXPECT_EQ(1, presence.loupe_shown);
}

TEST_F(LoupeWindow, ClicksAndWheelNotchesLeaveTheFocusWithTheUsersWindow) {
    settings.loupe = 1;
    ASSERT_TRUE(create_still_loupe());
    HWND editor = create_popup(600, 100, 100, 100, false, 0, 0);
    ShowWindow(editor, SW_SHOW);
    ASSERT_TRUE(wait_until([&] {
        SetForegroundWindow(editor);
        return GetForegroundWindow() == editor;
    }));
    show_loupe(loupe_, 1);
    SetWindowPos(loupe_, HWND_TOPMOST, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SetCursorPos(250, 250);
    INPUT click[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, click, sizeof(INPUT));
    // The click still arrives (it starts the click-to-hide timer).
    EXPECT_TRUE(wait_until([&] { return KillTimer(loupe_, TIMER_CLICK) != FALSE; }, 10000));
    wheel(loupe_, -120, 0, 250, 250);
    wheel(loupe_, -120, MK_SHIFT, 250, 250);
    pump_messages();
    EXPECT_EQ(editor, GetForegroundWindow());
    DestroyWindow(editor);
}

// Alt+F4, a task manager's "end task", logoff and shutdown.
TEST_F(LoupeWindow, CloseAndTheEndOfTheSessionSaveAsTheExitCommandDoes) {
    struct Case {
        UINT message;
        WPARAM wparam;
        bool ends;
    } cases[] = {{WM_CLOSE, 0, true}, {WM_ENDSESSION, TRUE, true}, {WM_ENDSESSION, FALSE, false}};
    for (const Case& c : cases) {
        DeleteFileA(settings_path);
        settings.loupe = 1;
        settings.magnify = 300;
        ASSERT_TRUE(create_loupe());
        show_loupe(loupe_, 1);
        wheel(loupe_, -120, 0, 300, 300); // a change held in memory only
        SendMessageA(loupe_, c.message, c.wparam, 0);
        const std::string ini = read_file_bytes(settings_path);
        EXPECT_EQ(c.ends, !IsWindow(loupe_)) << c.message;
        EXPECT_EQ(c.ends, ini.find("magnify=400\r\n") != std::string::npos) << c.message;
        EXPECT_EQ(c.ends ? 0 : -1, cursor_display_count()) << "the pointer is back after exit";
        if (IsWindow(loupe_)) DestroyWindow(loupe_);
        loupe_ = nullptr;
        pump_messages();
        reset_runtime_state();
        set_cursor_display_count(0);
    }
}

TEST_F(LoupeWindow, HelpOpensUnderTheModalGuard) {
    settings.loupe = 1;
    ASSERT_TRUE(create_loupe());
    show_loupe(loupe_, 1);
    shell_open = record_help;
    command(IDM_HELP);
    EXPECT_EQ(startup.help_path, help_opened);
    EXPECT_TRUE(depth_in_help == 1 && shown_in_help == 0 && count_in_help >= 0);
    EXPECT_TRUE(presence.loupe_shown == 1 && KillTimer(loupe_, TIMER_TRACK))
        << "shown and tracking again";
}

static BOOL WINAPI no_cursor(POINT*) {
    return FALSE;
}

// A locked session or a UAC prompt: the cursor cannot be read.
TEST_F(LoupeWindow, TickDoesNothingWhileTheCursorCannotBeRead) {
    ASSERT_TRUE(create_still_loupe()); // normally shown: the first tick shows it
    read_cursor_pos = no_cursor;
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    EXPECT_TRUE(presence.loupe_shown == 0 && tick_memory.first_tick == 1);

    read_cursor_pos = GetCursorPos;
    SetCursorPos(300, 300);
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    ASSERT_EQ(1, presence.loupe_shown);
    const POINT origin = tick_memory.capture_origin;
    RECT before, after;
    GetWindowRect(loupe_, &before);
    read_cursor_pos = no_cursor;
    request_full_refresh();
    tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
    GetWindowRect(loupe_, &after);
    EXPECT_TRUE(tick_memory.capture_origin.x == origin.x &&
                tick_memory.capture_origin.y == origin.y);
    EXPECT_TRUE(EqualRect(&before, &after));
}

// Each press of Ctrl+PrintScreen copies once, however many ticks see it held:
// the image, or with Shift the colour alone.
TEST_F(LoupeWindow, HeldCtrlPrintScreenCopiesOnceOverManyTicks) {
    ASSERT_TRUE(create_still_loupe());
    struct Case {
        std::vector<WORD> keys;
        bool image;
        UINT same_copy; // the menu command making the same copy
    };
    const Case cases[] = {{{VK_CONTROL, VK_SNAPSHOT}, true, IDM_COPY_IMAGE},
                          {{VK_CONTROL, VK_SHIFT, VK_SNAPSHOT}, false, IDM_COPY_COLOUR}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.image ? "Ctrl+PrintScreen" : "Ctrl+Shift+PrintScreen");
        DWORD before = GetClipboardSequenceNumber();
        command(c.same_copy);
        const DWORD one_copy = GetClipboardSequenceNumber() - before;
        ASSERT_GT(one_copy, 0u);

        std::vector<INPUT> keys(c.keys.size(), INPUT{INPUT_KEYBOARD, {}});
        for (size_t i = 0; i < keys.size(); ++i)
            keys[i].ki.wVk = c.keys[i];
        SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
        const bool held = wait_until([] { return GetAsyncKeyState(VK_SNAPSHOT) < 0; }, 10000);
        before = GetClipboardSequenceNumber();
        for (int tick = 0; tick < 5; ++tick)
            tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0);
        const DWORD copied = GetClipboardSequenceNumber() - before;
        for (INPUT& key : keys)
            key.ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT));
        ASSERT_TRUE(held);
        EXPECT_EQ(one_copy, copied);
        EXPECT_EQ(c.image, IsClipboardFormatAvailable(CF_DIB) != FALSE);
        EXPECT_EQ(!c.image, IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE);
        EXPECT_TRUE(wait_until([] { return GetAsyncKeyState(VK_SNAPSHOT) >= 0; }, 10000));
        tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0); // sees the press end
    }
}
