// The tick following the text caret of another program's window: a window
// on a thread of its own (as another program's would be) that makes a caret,
// a hidden one, or none but answers for its caret through accessibility, or
// stops answering altogether.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "engine/caret_accessible.h"
#include "engine/placement.h"
#include "tests/common/caret_object.h"
#include "engine/tick.h"
#include "loupe_fixture.h"
#include "resources/resource.h"
#include "settings/rules.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;
using caret_test::CaretObject;
using caret_test::kIidAccessible;

namespace {

enum class Caret {
    System,     // CreateCaret and ShowCaret
    Hidden,     // CreateCaret only, never shown
    Accessible, // no system caret; answers WM_GETOBJECT(OBJID_CARET)
    None,       // no caret and no answer
};

constexpr UINT kMoveCaret = WM_APP + 1; // wParam, lParam: client x, y
constexpr UINT kHang = WM_APP + 2;      // stops reading messages until released

// A 400 x 200 window at (300, 200) on a thread of its own, brought to the
// front with the keyboard focus. Its caret is 2 x 16 pixels.
class CaretWindow {
  public:
    explicit CaretWindow(Caret kind) : kind_(kind) {
        created_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        hanging_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, &thread_id_);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(created_, 5000));
        in_front_ = wait_until([&] {
            SetForegroundWindow(window_);
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            return GetGUIThreadInfo(0, &info) && info.hwndFocus == window_;
        });
    }
    ~CaretWindow() {
        SetEvent(release_);
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(created_);
        CloseHandle(release_);
        CloseHandle(hanging_);
    }
    CaretWindow(const CaretWindow&) = delete;
    CaretWindow& operator=(const CaretWindow&) = delete;

    bool in_front() const { return in_front_; }
    HWND window() const { return window_; }
    // The caret's point on the screen: its left edge, halfway down.
    POINT caret_point() const { return {300 + x_, 200 + y_ + 8}; }
    void move_caret(int x, int y) {
        x_ = x;
        y_ = y;
        SendMessageA(window_, kMoveCaret, x, y);
    }
    // Its thread stops reading messages (until the window is destroyed).
    bool hang() {
        PostMessageA(window_, kHang, 0, 0);
        return WaitForSingleObject(hanging_, 5000) == WAIT_OBJECT_0;
    }
    LONG questions() const { return questions_; }        // WM_GETOBJECT for the caret
    LONG locations() const { return object_.locations; } // accLocation calls

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
        auto* self = reinterpret_cast<CaretWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (self) {
            if (LRESULT result; self->handle(message, wparam, lparam, &result)) return result;
        }
        return DefWindowProcA(window, message, wparam, lparam);
    }
    bool handle(UINT message, WPARAM wparam, LPARAM lparam, LRESULT* result) {
        *result = 0;
        switch (message) {
        case WM_SETFOCUS:
            if (kind_ == Caret::System || kind_ == Caret::Hidden) {
                CreateCaret(window_, nullptr, 2, 16);
                SetCaretPos(x_, y_);
                if (kind_ == Caret::System) ShowCaret(window_);
            }
            return true;
        case WM_KILLFOCUS: DestroyCaret(); return true;
        case kMoveCaret:
            SetCaretPos(static_cast<int>(wparam), static_cast<int>(lparam));
            object_.left = 300 + static_cast<LONG>(wparam);
            object_.top = 200 + static_cast<LONG>(lparam);
            return true;
        case kHang:
            SetEvent(hanging_);
            WaitForSingleObject(release_, 20000);
            return true;
        case WM_GETOBJECT:
            if (static_cast<LONG>(lparam) != OBJID_CARET) return false;
            InterlockedIncrement(&questions_);
            if (kind_ != Caret::Accessible) return false;
            *result = LresultFromObject(kIidAccessible, wparam, &object_);
            return true;
        case WM_DESTROY: PostQuitMessage(0); return true;
        default: return false;
        }
    }
    static DWORD WINAPI run(void* parameter) {
        auto* self = static_cast<CaretWindow*>(parameter);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); // the caret object is marshalled
        WNDCLASSA wc = {};
        wc.lpfnWndProc = procedure;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "BrisvaneTestEditor";
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RegisterClassA(&wc); // the second time it is already there
        self->window_ = CreateWindowExA(0, wc.lpszClassName, "editor", WS_POPUP, 300, 200, 400, 200,
                                        nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(self->window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        ShowWindow(self->window_, SW_SHOW);
        SetEvent(self->created_);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0)
            DispatchMessageA(&msg);
        CoUninitialize();
        return 0;
    }

    Caret kind_;
    HANDLE created_ = nullptr, release_ = nullptr, hanging_ = nullptr, thread_ = nullptr;
    DWORD thread_id_ = 0;
    HWND window_ = nullptr;
    bool in_front_ = false;
    int x_ = 40, y_ = 20;
    CaretObject object_;
    volatile LONG questions_ = 0;
};

// The cursor the tick reads: parked, and moved only by the test.
POINT test_cursor = {100, 650};
BOOL WINAPI read_test_cursor(POINT* point) {
    *point = test_cursor;
    return TRUE;
}

class CaretFollowing : public LoupeWindowTest {
  protected:
    void SetUp() override {
        LoupeWindowTest::SetUp();
        test_cursor = {100, 650};
        read_cursor_pos = read_test_cursor;
        settings.caret = 1;
    }
    void TearDown() override {
        read_cursor_pos = GetCursorPos;
        clear_rules();
        LoupeWindowTest::TearDown();
    }
    void tick() { tracking_tick(loupe_, WM_TIMER, TIMER_TRACK, 0); }
    // The point the last full refresh captured around.
    POINT followed() const {
        return {tick_memory.capture_origin.x + half_size.x,
                tick_memory.capture_origin.y + half_size.y};
    }
    // Types (the caret moves right a pixel a tick, from where it is) until
    // the loupe follows it: its line centred, the caret in the middle of the
    // captured area.
    bool type_until_followed(CaretWindow& editor) {
        int x = editor.caret_point().x - 300;
        return wait_until(
            [&] {
                editor.move_caret(++x, 20);
                tick();
                const POINT caret = editor.caret_point();
                return followed().y == caret.y && std::abs(followed().x - caret.x) <= 11;
            },
            5000);
    }
};

TEST_F(CaretFollowing, TheLoupeStandsBesideTheCaretUntilTheMouseMoves) {
    const struct {
        Caret kind;
        const char* what;
    } cases[] = {{Caret::System, "caret"},
                 {Caret::Hidden, "hidden caret"},
                 {Caret::Accessible, "caret published through accessibility"}};
    ASSERT_TRUE(create_still_loupe());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        command(IDM_FOLLOW_CARET); // off
        command(IDM_FOLLOW_CARET); // and on again: following starts afresh
        test_cursor = {100 + static_cast<int>(c.kind), 650};
        tick();
        CaretWindow editor(c.kind);
        ASSERT_TRUE(editor.in_front());
        ASSERT_TRUE(type_until_followed(editor))
            << "followed (" << followed().x << ", " << followed().y << ")";
        // Beside the caret as beside the pointer: the same placement.
        const POINT p = followed();
        RECT tip;
        GetWindowRect(tooltip_state.tooltip_hwnd, &tip);
        const Placement want = place_normal(
            {p.x, p.y}, zoomed_size, settings.position.y, geometry.loupe_distance,
            {0, 0, geometry.screen_size.cx, geometry.screen_size.cy}, true, tip.bottom - tip.top);
        RECT loupe;
        GetWindowRect(loupe_, &loupe);
        EXPECT_EQ(want.x, loupe.left);
        EXPECT_EQ(want.y, loupe.top);
        EXPECT_TRUE(IsWindowVisible(loupe_));

        // The mouse moves: the loupe is back with it at once.
        test_cursor.x += 5;
        tick();
        EXPECT_EQ(test_cursor.x, followed().x);
        EXPECT_EQ(test_cursor.y, followed().y);
    }
}

// Switched off, or with a system caret, the window is never asked; without
// one it is asked for its caret once a tick at most, and less often still.
TEST_F(CaretFollowing, AccessibilityIsAskedOnlyWithoutASystemCaretAndAtMostOnceATick) {
    settings.caret = 0;
    ASSERT_TRUE(create_still_loupe());
    {
        CaretWindow editor(Caret::Accessible);
        ASSERT_TRUE(editor.in_front());
        for (int i = 0; i < 60; ++i, Sleep(10)) {
            editor.move_caret(40 + i, 20);
            tick();
        }
        EXPECT_EQ(0, editor.questions()) << "asked while switched off";
        EXPECT_EQ(test_cursor.y, followed().y);
    }
    command(IDM_FOLLOW_CARET);
    tick();
    {
        CaretWindow editor(Caret::System);
        ASSERT_TRUE(editor.in_front());
        ASSERT_TRUE(type_until_followed(editor));
        EXPECT_EQ(0, editor.questions() + editor.locations());
    }
    CaretWindow editor(Caret::Accessible);
    ASSERT_TRUE(editor.in_front());
    int ticks = 0;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(wait_until(
        [&] {
            editor.move_caret(40 + ticks, 20);
            tick();
            ++ticks;
            return ticks >= 100 && followed().y == editor.caret_point().y;
        },
        10000));
    // An answer stands for a moment: far fewer questions than ticks.
    const LONG most = 1 + static_cast<LONG>((GetTickCount() - start) / kAccessibleAnswerStandsMs);
    EXPECT_GE(editor.questions(), 1);
    EXPECT_LE(editor.questions(), std::min<LONG>(most, ticks));
    EXPECT_EQ(editor.questions(), editor.locations());
}

// A program that stops reading its messages, before it was ever asked or
// after it answered: the ticks go on, and it is not asked again for a while.
TEST_F(CaretFollowing, AHungProgramDoesNotHoldTheTick) {
    ASSERT_TRUE(create_still_loupe());
    for (bool answered_before : {false, true}) {
        SCOPED_TRACE(answered_before ? "hung after answering" : "hung from the start");
        command(IDM_FOLLOW_CARET);
        command(IDM_FOLLOW_CARET);
        tick();
        CaretWindow editor(Caret::Accessible);
        ASSERT_TRUE(editor.in_front());
        if (answered_before) {
            ASSERT_TRUE(type_until_followed(editor));
        }
        const LONG questions = editor.questions();
        ASSERT_TRUE(editor.hang());
        const DWORD start = GetTickCount();
        for (int i = 0; i < 50; ++i) {
            test_cursor.y = 600 + 10 * (i % 2); // the loupe moves with the mouse meanwhile
            tick();
        }
        const DWORD took = GetTickCount() - start;
        // Blocked for 20 s: ticks that waited for it would take that long;
        // half of it leaves room for a busy machine.
        EXPECT_LT(took, 10000u);
        EXPECT_EQ(test_cursor.y, followed().y);
        EXPECT_EQ(questions, editor.questions()) << "answered while hung?";
    }
}

// A rule for the caret's window applies while the caret leads, whatever
// window the mouse rests on.
TEST_F(CaretFollowing, RulesOfTheCaretsWindowApplyWhileTheCaretLeads) {
    settings.winset = 1;
    insert_rule("BrisvaneTestEditor", "", 2); // normally hidden over the editor
    ASSERT_TRUE(create_still_loupe());
    tick();
    ASSERT_TRUE(IsWindowVisible(loupe_)) << "the mouse is elsewhere";
    CaretWindow editor(Caret::System);
    ASSERT_TRUE(editor.in_front());
    // A window of another class stands over the caret: the rule is the
    // caret's window's, not that of whatever covers it.
    HWND cover = create_popup(330, 210, 200, 40, false, 0,
                              WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    int x = 40;
    EXPECT_TRUE(wait_until(
        [&] {
            editor.move_caret(std::min(++x, 150), 20); // typed up to a point under the cover
            tick();
            return !IsWindowVisible(loupe_);
        },
        5000));
    test_cursor.x += 5;
    tick();
    tick();
    EXPECT_TRUE(IsWindowVisible(loupe_)) << "the mouse leads again";
    DestroyWindow(cover);
}

} // namespace
