// The options dialog from its real template: what it shows, the arrows, the
// enabling rules, what OK stores, and how OK brings a loupe window, its menu,
// its buffers and its region in line.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cmath>
#include <cstring>

#include "dialogs/dialogs.h"
#include "dialogs/options_dialog.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "app/settings_change.h"
#include "settings/settings.h"
#include "tests/win32/dialogs_test_support.h"

using namespace dialog_tests;
using namespace test_support;

namespace {

void set_field(HWND dialog, int id, const char* text) {
    SetDlgItemTextA(dialog, id, text);
}

unsigned field(HWND dialog, int id) {
    return GetDlgItemInt(dialog, id, nullptr, FALSE);
}

void select_smoothing(HWND dialog, int index) {
    SendDlgItemMessageA(dialog, IDC_OPT_SMOOTH, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPT_SMOOTH, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_OPT_SMOOTH)));
}

INT_PTR CALLBACK bare_dialog_proc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

// A control's window rectangle relative to its dialog's client area.
RECT child_rect(HWND dialog, int id) {
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void set_check(HWND dialog, int id, bool on) {
    if (checked(dialog, id) != on) click(dialog, id);
}

// The dialog in its modeless form, for what happens while it is open.
class OptionsDialog : public DialogTest {
  protected:
    void SetUp() override {
        reset_settings();
        reset_runtime_state();
    }
    HWND open() {
        edited_ = settings;
        return open_dialog("OPTDLG", options_dialog_proc, reinterpret_cast<LPARAM>(&edited_));
    }
};

TEST_F(OptionsDialog, OpensWithTheSettings) {
    settings.size = {41, 31};
    settings.magnify = 300;
    settings.position = {15, 45};
    settings.smooth = kSmoothBilinear;
    settings.waddjust = 25;
    settings.maruwin = {1, 0};
    settings.loupetype = 1;
    settings.layered = 1;
    settings.toggledef = 1;
    settings.hexcolor = 0;
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(field(dialog, IDC_OPT_WIDTH), 41u);
    EXPECT_EQ(field(dialog, IDC_OPT_HEIGHT), 31u);
    EXPECT_EQ(field(dialog, IDC_OPT_MAGNIFY), 300u);
    EXPECT_EQ(field(dialog, IDC_OPT_DISTANCE), 15u);
    EXPECT_EQ(field(dialog, IDC_OPT_ANGLE), 45u);
    EXPECT_EQ(field(dialog, IDC_OPT_WHEEL_STEP), 25u);

    HWND combo = GetDlgItem(dialog, IDC_OPT_SMOOTH);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        char item[64] = "";
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, texts::kSmoothNames[i]);
    }
    EXPECT_EQ(SendMessageA(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(enabled(dialog, IDC_OPT_WHEEL_STEP));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_WHEEL_STEP_SPIN));

    EXPECT_TRUE(checked(dialog, IDC_OPT_ROUND_NORMAL));
    EXPECT_FALSE(checked(dialog, IDC_OPT_ROUND_LOUPE));
    EXPECT_TRUE(checked(dialog, IDC_OPT_PEEP));
    EXPECT_FALSE(checked(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_TRUE(checked(dialog, IDC_OPT_LAYERED));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_TRUE(checked(dialog, IDC_OPT_TOGGLEDEF));
    EXPECT_FALSE(checked(dialog, IDC_OPT_HEXCOLOR));

    EXPECT_TRUE(save_window_shot(dialog, "dialogs_options"));

    // Every arrow gets its range, and is narrowed to three quarters of the
    // width it has in the bare template (same position, same height).
    HWND bare = create_dialog(IDD_OPTIONS, bare_dialog_proc);
    ASSERT_NE(bare, nullptr);
    struct Spin {
        int id, low;
    } spins[] = {{IDC_OPT_WIDTH_SPIN, 1},     {IDC_OPT_HEIGHT_SPIN, 1},
                 {IDC_OPT_MAGNIFY_SPIN, 100}, {IDC_OPT_DISTANCE_SPIN, 1},
                 {IDC_OPT_ANGLE_SPIN, 0},     {IDC_OPT_WHEEL_STEP_SPIN, 1}};
    for (const Spin& spin : spins) {
        HWND control = GetDlgItem(dialog, spin.id);
        int low = -5, high = -5;
        SendMessageA(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                     reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(low, spin.low) << spin.id;
        EXPECT_EQ(high, 9999) << spin.id;
        RECT before = child_rect(bare, spin.id), now = child_rect(dialog, spin.id);
        EXPECT_EQ(now.right - now.left, (before.right - before.left) * 3 / 4) << spin.id;
        EXPECT_EQ(now.left, before.left) << spin.id;
        EXPECT_EQ(now.top, before.top) << spin.id;
        EXPECT_EQ(now.bottom - now.top, before.bottom - before.top) << spin.id;
    }
    DestroyWindow(bare);
}

TEST_F(OptionsDialog, LayeredCheckboxGovernsTheLoupeTypeButtons) {
    settings.layered = 0;
    settings.loupetype = 0;
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(checked(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_FALSE(enabled(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_FALSE(enabled(dialog, IDC_OPT_PEEP));
    click(dialog, IDC_OPT_LAYERED);
    EXPECT_TRUE(enabled(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_PEEP));
    click(dialog, IDC_OPT_LAYERED);
    EXPECT_FALSE(enabled(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_FALSE(enabled(dialog, IDC_OPT_PEEP));
}

TEST_F(OptionsDialog, WithoutLayeredSupportTheCheckboxIsOffAndOkStoresZero) {
    startup.layered_supported = 0;
    settings.layered = 1;
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(enabled(dialog, IDC_OPT_LAYERED));
    EXPECT_FALSE(checked(dialog, IDC_OPT_LAYERED));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_SNAPSHOT));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_PEEP));
    click(dialog, IDOK);
    EXPECT_EQ(edited_.layered, 0);
}

TEST_F(OptionsDialog, NoSmoothingDisablesTheWheelStep) {
    settings.smooth = kSmoothNone;
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(enabled(dialog, IDC_OPT_WHEEL_STEP));
    EXPECT_FALSE(enabled(dialog, IDC_OPT_WHEEL_STEP_SPIN));
    select_smoothing(dialog, kSmoothBicubic);
    EXPECT_TRUE(enabled(dialog, IDC_OPT_WHEEL_STEP));
    EXPECT_TRUE(enabled(dialog, IDC_OPT_WHEEL_STEP_SPIN));
    select_smoothing(dialog, kSmoothNone);
    EXPECT_FALSE(enabled(dialog, IDC_OPT_WHEEL_STEP));
    select_smoothing(dialog, kSmoothBilinear);
    EXPECT_TRUE(enabled(dialog, IDC_OPT_WHEEL_STEP_SPIN));
}

TEST_F(OptionsDialog, WidthAndHeightArrowsStepByTwoKeepingOdd) {
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    // Arrow keys in the field go through the up-down control's own handling.
    HWND width = GetDlgItem(dialog, IDC_OPT_WIDTH);
    set_field(dialog, IDC_OPT_WIDTH, "40");
    SendMessageA(width, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_WIDTH), 43u);
    SendMessageA(width, WM_KEYDOWN, VK_DOWN, 0);
    SendMessageA(width, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_WIDTH), 39u);

    HWND height = GetDlgItem(dialog, IDC_OPT_HEIGHT);
    set_field(dialog, IDC_OPT_HEIGHT, "41");
    SendMessageA(height, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_HEIGHT), 39u);
    EXPECT_EQ(field(dialog, IDC_OPT_WIDTH), 39u); // the other field is left alone

    // The ends of the range, whatever the arrow's own position is.
    set_field(dialog, IDC_OPT_HEIGHT, "1");
    SendMessageA(height, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_HEIGHT), 1u);
    set_field(dialog, IDC_OPT_HEIGHT, "");
    SendMessageA(height, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_HEIGHT), 1u);
    set_field(dialog, IDC_OPT_WIDTH, "9999");
    SendMessageA(width, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_WIDTH), 9999u);

    // A notification as the arrow sends it after a mouse click.
    NMUPDOWN change = {};
    change.hdr.hwndFrom = GetDlgItem(dialog, IDC_OPT_HEIGHT_SPIN);
    change.hdr.idFrom = IDC_OPT_HEIGHT_SPIN;
    change.hdr.code = UDN_DELTAPOS;
    change.iDelta = 1;
    set_field(dialog, IDC_OPT_HEIGHT, "40");
    SendMessageA(dialog, WM_NOTIFY, IDC_OPT_HEIGHT_SPIN, reinterpret_cast<LPARAM>(&change));
    EXPECT_EQ(field(dialog, IDC_OPT_HEIGHT), 43u);
}

TEST_F(OptionsDialog, BuddyArrowsStayInTheirRanges) {
    settings.magnify = 100;
    settings.position = {1, 0};
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, IDC_OPT_MAGNIFY), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_MAGNIFY), 100u);
    SendMessageA(GetDlgItem(dialog, IDC_OPT_ANGLE), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_ANGLE), 0u); // 0 is reachable, and stays 0
    SendMessageA(GetDlgItem(dialog, IDC_OPT_ANGLE), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(field(dialog, IDC_OPT_ANGLE), 1u);
}

TEST_F(OptionsDialog, OkStoresEveryFieldAsTyped) {
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    set_field(dialog, IDC_OPT_WIDTH, "40");
    set_field(dialog, IDC_OPT_HEIGHT, "");
    set_field(dialog, IDC_OPT_MAGNIFY, "50");
    set_field(dialog, IDC_OPT_DISTANCE, "0");
    set_field(dialog, IDC_OPT_ANGLE, "270");
    set_field(dialog, IDC_OPT_WHEEL_STEP, "0");
    select_smoothing(dialog, kSmoothBicubic);
    set_check(dialog, IDC_OPT_LAYERED, true);
    click(dialog, IDC_OPT_PEEP);
    set_check(dialog, IDC_OPT_ROUND_NORMAL, false);
    set_check(dialog, IDC_OPT_ROUND_LOUPE, true);
    set_check(dialog, IDC_OPT_TOGGLEDEF, true);
    set_check(dialog, IDC_OPT_HEXCOLOR, true);
    const Settings before = settings;
    click(dialog, IDOK);
    EXPECT_EQ(0, std::memcmp(&before, &settings, sizeof settings)) << "only the copy is edited";

    EXPECT_EQ(edited_.size, (IntPair{41, 1})); // forced odd; empty reads as 0
    EXPECT_EQ(edited_.magnify, 50);            // raised only by the apply step
    EXPECT_EQ(edited_.position, (IntPair{0, 270}));
    EXPECT_EQ(edited_.waddjust, 0);
    EXPECT_EQ(edited_.smooth, 2);
    EXPECT_EQ(edited_.layered, 1);
    EXPECT_EQ(edited_.loupetype, 1);
    EXPECT_EQ(edited_.maruwin, (IntPair{0, 1}));
    EXPECT_EQ(edited_.toggledef, 1);
    EXPECT_EQ(edited_.hexcolor, 1);
}

TEST_F(OptionsDialog, CancelStoresNothing) {
    Settings before = settings;
    HWND dialog = open();
    ASSERT_NE(dialog, nullptr);
    set_field(dialog, IDC_OPT_WIDTH, "99");
    set_field(dialog, IDC_OPT_MAGNIFY, "700");
    select_smoothing(dialog, kSmoothBicubic);
    click(dialog, IDC_OPT_HEXCOLOR);
    click(dialog, IDCANCEL);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
    EXPECT_EQ(std::memcmp(&before, &edited_, sizeof settings), 0);
}

// OK on the modal dialog with a real (hidden) loupe window, menu and buffers.
class OptionsApply : public ::testing::Test {
  protected:
    static LRESULT CALLBACK plain_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        return DefWindowProcA(w, m, wp, lp);
    }

    void SetUp() override {
        // The loaded size and magnification; no smoothing, gray, glass mode
        // or layered capture, as initialised.
        reset_settings();
        settings.size = {37, 37};
        settings.magnify = 300;
        update_derived_sizes(AspectUpdate::Recompute);
        reset_runtime_state();
        startup.instance_handle = GetModuleHandleA(nullptr);
        static ATOM atom = [] {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = plain_proc;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.lpszClassName = "DialogsTestLoupe";
            return RegisterClassA(&wc);
        }();
        ASSERT_NE(atom, 0);
        handles.loupe_hwnd =
            CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "DialogsTestLoupe", "", WS_POPUP, 10,
                            10, zoomed_size.x + 4, zoomed_size.y + 4, nullptr, nullptr,
                            startup.instance_handle, nullptr);
        ASSERT_NE(handles.loupe_hwnd, nullptr);
        handles.menu_resource = LoadMenuA(startup.instance_handle, "POPMENU");
        ASSERT_NE(handles.menu_resource, nullptr);
        handles.popup_menu = GetSubMenu(handles.menu_resource, 0);
        ASSERT_NE(handles.popup_menu, nullptr);
    }

    void TearDown() override {
        release_engine_buffers();
        if (handles.menu_resource) DestroyMenu(handles.menu_resource);
        handles.menu_resource = handles.popup_menu = nullptr;
        if (handles.loupe_hwnd) DestroyWindow(handles.loupe_hwnd);
        handles.loupe_hwnd = nullptr;
        pump_messages();
    }

    // As the menu command does: the dialog edits a copy, applied after OK.
    INT_PTR run(const std::function<void(HWND)>& edit, int button = IDOK) {
        Settings edited = settings;
        INT_PTR result = run_modal([&] { return run_options_dialog(handles.loupe_hwnd, &edited); },
                                   [&](HWND dialog) {
                                       edit(dialog);
                                       click(dialog, button);
                                   });
        if (result == IDOK) apply_settings(handles.loupe_hwnd, edited, SettingsSource::Options);
        return result;
    }

    SIZE window_size() {
        RECT r;
        GetWindowRect(handles.loupe_hwnd, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    bool has_region() {
        HRGN probe = CreateRectRgn(0, 0, 0, 0);
        int kind = GetWindowRgn(handles.loupe_hwnd, probe);
        DeleteObject(probe);
        return kind != ERROR;
    }
};

TEST_F(OptionsApply, OkClampsDerivesAndResizes) {
    create_engine_buffers();
    INT_PTR result = run([](HWND dialog) {
        set_field(dialog, IDC_OPT_WIDTH, "40");
        set_field(dialog, IDC_OPT_HEIGHT, "");
        set_field(dialog, IDC_OPT_MAGNIFY, "50");
        set_field(dialog, IDC_OPT_DISTANCE, "0");
        set_field(dialog, IDC_OPT_ANGLE, "0");
        set_field(dialog, IDC_OPT_WHEEL_STEP, "0");
    });
    ASSERT_EQ(result, IDOK);
    EXPECT_EQ(settings.size, (IntPair{41, 1}));
    EXPECT_EQ(settings.magnify, 100);
    EXPECT_EQ(settings.position, (IntPair{1, 1}));
    EXPECT_EQ(settings.waddjust, 0);
    EXPECT_EQ(zoomed_size, (IntPair{41, 1}));
    EXPECT_EQ(half_size, (IntPair{20, 0}));
    EXPECT_FLOAT_EQ(size_aspect, 1.0f / 41.0f);
    SIZE window = window_size();
    EXPECT_EQ(window.cx, 45);
    EXPECT_EQ(window.cy, 5);
    EXPECT_DOUBLE_EQ(geometry.loupe_distance, std::sqrt(22.0 * 22.0 + 2.0 * 2.0) + 1 + 2.8);
    EXPECT_EQ(capture_buffer_size.cx, 44);
    EXPECT_EQ(capture_buffer_size.cy, 4);
    EXPECT_NE(GetWindowLongA(handles.loupe_hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
}

TEST_F(OptionsApply, TypedSizesAreBoundedBeforeBuffersAreMade) {
    create_engine_buffers();
    ASSERT_EQ(run([](HWND dialog) {
                  set_field(dialog, IDC_OPT_WIDTH, "99999");
                  set_field(dialog, IDC_OPT_HEIGHT, "9999");
                  set_field(dialog, IDC_OPT_MAGNIFY, "9999");
              }),
              IDOK);
    EXPECT_LE(settings.size.x, kMaxSizeSide);
    EXPECT_EQ(settings.size.x % 2, 1);
    EXPECT_LE(zoomed_size.x, kMaxImageSide);
    EXPECT_LE(zoomed_size.y, kMaxImageSide);
    EXPECT_GE(settings.magnify, 100);
}

TEST_F(OptionsApply, CancelChangesNothing) {
    settings.smooth = kSmoothBilinear;
    settings.loupe = 1;
    settings.maruwin = {0, 1};
    create_engine_buffers();
    Settings before = settings;
    SIZE size_before = window_size();
    HBITMAP capture_before = capture_bitmap, source_before = source_bitmap,
            zoom_before = zoom_bitmap;
    UINT item_before = GetMenuState(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND);
    INT_PTR result = run(
        [](HWND dialog) {
            set_field(dialog, IDC_OPT_WIDTH, "99");
            set_field(dialog, IDC_OPT_MAGNIFY, "500");
            select_smoothing(dialog, kSmoothNone);
            set_check(dialog, IDC_OPT_LAYERED, true);
        },
        IDCANCEL);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(std::memcmp(&before, &settings, sizeof settings), 0);
    SIZE size_after = window_size();
    EXPECT_EQ(size_after.cx, size_before.cx);
    EXPECT_EQ(size_after.cy, size_before.cy);
    EXPECT_EQ(capture_bitmap, capture_before);
    EXPECT_EQ(source_bitmap, source_before);
    EXPECT_EQ(zoom_bitmap, zoom_before);
    EXPECT_EQ(GetMenuState(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND), item_before);
    EXPECT_FALSE(has_region());
}

TEST_F(OptionsApply, BilinearToBicubicKeepsTheContextsAndRemakesTheBitmaps) {
    settings.smooth = kSmoothBilinear;
    create_engine_buffers();
    HDC zoom_dc_before = zoom_dc, source_dc_before = source_dc;
    HBITMAP zoom_before = zoom_bitmap, source_before = source_bitmap;
    ASSERT_NE(zoom_before, nullptr);
    ASSERT_EQ(run([](HWND dialog) { select_smoothing(dialog, kSmoothBicubic); }), IDOK);
    EXPECT_EQ(settings.smooth, kSmoothBicubic);
    EXPECT_EQ(zoom_dc, zoom_dc_before);
    EXPECT_EQ(source_dc, source_dc_before);
    EXPECT_NE(zoom_bitmap, nullptr);
    EXPECT_NE(source_bitmap, nullptr);
    EXPECT_NE(zoom_bitmap, zoom_before);
    EXPECT_NE(source_bitmap, source_before);
    EXPECT_EQ(GetCurrentObject(zoom_dc, OBJ_BITMAP), zoom_bitmap);
    EXPECT_EQ(GetCurrentObject(source_dc, OBJ_BITMAP), source_bitmap);
    EXPECT_EQ(zoom_buffer_size.cx, zoomed_size.x);
    EXPECT_EQ(source_buffer_size.cx, settings.size.x + 3);
}

TEST_F(OptionsApply, SmoothingOnMakesTheBuffersAndOffDropsThem) {
    create_engine_buffers();
    ASSERT_EQ(zoom_dc, nullptr);
    ASSERT_EQ(source_dc, nullptr);
    ASSERT_EQ(run([](HWND dialog) {
                  set_field(dialog, IDC_OPT_WIDTH, "21");
                  select_smoothing(dialog, kSmoothBilinear);
              }),
              IDOK);
    ASSERT_NE(zoom_dc, nullptr);
    ASSERT_NE(source_dc, nullptr);
    EXPECT_NE(zoom_bits, nullptr);
    EXPECT_NE(source_bits, nullptr);
    EXPECT_EQ(zoom_buffer_size.cx, 63); // 21 * 300 / 100
    EXPECT_EQ(source_buffer_size.cx, 24);
    // A DIB section now, so the smoothing code can read its pixels.
    EXPECT_NE(capture_bits, nullptr);

    ASSERT_EQ(run([](HWND dialog) { select_smoothing(dialog, kSmoothNone); }), IDOK);
    EXPECT_EQ(zoom_dc, nullptr);
    EXPECT_EQ(zoom_bitmap, nullptr);
    EXPECT_EQ(source_dc, nullptr);
    EXPECT_EQ(source_bitmap, nullptr);
}

TEST_F(OptionsApply, GrayKeepsTheSourceBufferWhenSmoothingGoesOff) {
    settings.smooth = kSmoothBicubic;
    settings.graybmp = 1;
    create_engine_buffers();
    HDC source_dc_before = source_dc;
    ASSERT_EQ(run([](HWND dialog) {
                  set_field(dialog, IDC_OPT_WIDTH, "51");
                  select_smoothing(dialog, kSmoothNone);
              }),
              IDOK);
    EXPECT_EQ(zoom_dc, nullptr);
    EXPECT_EQ(source_dc, source_dc_before);
    EXPECT_EQ(source_buffer_size.cx, 54); // remade at the new size
}

TEST_F(OptionsApply, LayeredCaptureClearsAndGraysTheClickThroughItem) {
    settings.loupe = 1;
    settings.addhole = 1;
    create_engine_buffers();
    CheckMenuItem(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND | MF_CHECKED);
    EnableMenuItem(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND | MF_ENABLED);
    SetWindowLongA(handles.loupe_hwnd, GWL_EXSTYLE,
                   GetWindowLongA(handles.loupe_hwnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
    ASSERT_EQ(run([](HWND dialog) { set_check(dialog, IDC_OPT_LAYERED, true); }), IDOK);
    EXPECT_EQ(settings.layered, 1);
    EXPECT_EQ(settings.addhole, 0);
    EXPECT_FALSE(item_checked(IDM_CLICK_THROUGH));
    EXPECT_TRUE(item_grayed(IDM_CLICK_THROUGH));
    EXPECT_EQ(GetWindowLongA(handles.loupe_hwnd, GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
}

// The check mark mirrors the setting (off: layered capture had cleared it).
TEST_F(OptionsApply, LiveCopyInGlassModeEnablesTheItemWithItsSetting) {
    settings.loupe = 1;
    settings.layered = 1;
    create_engine_buffers();
    CheckMenuItem(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND | MF_CHECKED);
    EnableMenuItem(handles.popup_menu, IDM_CLICK_THROUGH, MF_BYCOMMAND | MF_GRAYED);
    ASSERT_EQ(run([](HWND dialog) { set_check(dialog, IDC_OPT_LAYERED, false); }), IDOK);
    EXPECT_FALSE(item_grayed(IDM_CLICK_THROUGH));
    EXPECT_FALSE(item_checked(IDM_CLICK_THROUGH));
}

TEST_F(OptionsApply, RegionFollowsTheRoundChoiceOfTheCurrentMode) {
    // One OK after another: the checkbox of the mode the loupe is in decides.
    struct Step {
        int loupe;
        bool round_loupe, round_normal, region;
    } steps[] = {{1, true, false, true},
                 {1, false, false, false},
                 {0, true, false, false},
                 {0, true, true, true}};
    create_engine_buffers();
    for (const Step& step : steps) {
        settings.loupe = step.loupe;
        ASSERT_EQ(run([&](HWND dialog) {
                      set_check(dialog, IDC_OPT_ROUND_LOUPE, step.round_loupe);
                      set_check(dialog, IDC_OPT_ROUND_NORMAL, step.round_normal);
                  }),
                  IDOK);
        EXPECT_EQ(has_region(), step.region)
            << "loupe " << step.loupe << ", round " << step.round_loupe << step.round_normal;
    }
}

TEST_F(OptionsApply, SnapshotInGlassModeGetsAScreenSizedCaptureBuffer) {
    settings.loupe = 1;
    settings.layered = 1;
    settings.loupetype = 1;
    create_engine_buffers();
    ASSERT_EQ(run([](HWND dialog) { click(dialog, IDC_OPT_SNAPSHOT); }), IDOK);
    EXPECT_EQ(settings.loupetype, 0);
    EXPECT_EQ(geometry.snapshot_mode, 1);
    EXPECT_EQ(capture_buffer_size.cx,
              geometry.virtual_screen.right - geometry.virtual_screen.left + 3);
    EXPECT_EQ(capture_buffer_size.cy,
              geometry.virtual_screen.bottom - geometry.virtual_screen.top + 3);

    ASSERT_EQ(run([](HWND dialog) { click(dialog, IDC_OPT_PEEP); }), IDOK);
    EXPECT_EQ(geometry.snapshot_mode, 0);
    EXPECT_EQ(capture_buffer_size.cx, settings.size.x + 3);
}

} // namespace
