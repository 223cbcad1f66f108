// The loupe window procedure. It only dispatches: each message has a handler
// of its own below, and the per-frame work is the tracking tick's.
#include <windowsx.h>
#include "app/commands.h"
#include "app/settings_change.h"
#include "app/loupe_window.h"
#include "app/startup.h"
#include "app/tray.h"
#include "app/wheel.h"
#include "engine/capture.h"
#include "engine/freeze_control.h"
#include "engine/modal.h"
#include "engine/placement.h"
#include "engine/presence.h"
#include "engine/shape.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"

// Where the window waits, still hidden, until the tick places and shows it.
constexpr int kCreatedX = 10;
constexpr int kCreatedY = 10;
constexpr UINT kTrimDelay = 100;  // ms after creation, the working set is trimmed once
constexpr UINT kReshowPoll = 100; // ms between looks at the held button after a click

static_assert(kWheelRightButton == MK_RBUTTON && kWheelShift == MK_SHIFT &&
                  kWheelControl == MK_CONTROL,
              "the wheel's key bits are the system's");

static void on_create(HWND loupe) {
    setup_loupe_window(loupe);
    SetWindowPos(loupe, HWND_TOP, kCreatedX, kCreatedY, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    SetTimer(loupe, TIMER_TRIM, kTrimDelay, nullptr);
    start_tracking(loupe);
}

static void on_paint(HWND loupe) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(loupe, &paint);
    paint_loupe(loupe, dc);
    EndPaint(loupe, &paint);
}

// Hides the loupe after a click; normally shown, the tracking stops too, so
// it stays hidden until the tray icon or a menu restarts it.
static void hide_after_click(HWND loupe) {
    end_freeze_on(loupe, FREEZE_LOUPE_HIDDEN);
    if (settings.visible == kVisibleShown) stop_tracking(loupe);
    show_loupe(loupe, 0);
    want_loupe(0);
}

static void on_timer(HWND loupe, UINT_PTR timer_id) {
    switch (timer_id) {
    case TIMER_TRIM:
        KillTimer(loupe, TIMER_TRIM);
        SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1),
                                 static_cast<SIZE_T>(-1));
        break;
    case TIMER_CLICK: // a single click that did not become a double click
        KillTimer(loupe, TIMER_CLICK);
        hide_after_click(loupe);
        SetTimer(loupe, TIMER_RESHOW, kReshowPoll, nullptr);
        break;
    case TIMER_RESHOW: // shown again once the held button is released
        // Not over a dialog or box of ours: a message posted before the
        // timer was stopped still arrives inside their loops. It waits.
        if (modal_depth > 0) break;
        // The logical left button: with swapped buttons it is the right one.
        if (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) != 0) break;
        KillTimer(loupe, TIMER_RESHOW);
        show_loupe(loupe, 1);
        want_loupe(1);
        start_tracking(loupe);
        break;
    default: break;
    }
}

static void on_double_click(HWND loupe) {
    KillTimer(loupe, TIMER_CLICK);
    hide_after_click(loupe);
}

// The menu opens over the loupe, which stays where it is.
static void on_right_button_up(HWND loupe) {
    ModalScope scope = enter_modal(loupe, false);
    POINT cursor;
    GetCursorPos(&cursor);
    TrackPopupMenu(handles.popup_menu, 0, cursor.x, cursor.y, 0, loupe, nullptr);
    leave_modal(loupe, scope);
}

// A resolution change or a monitor plugged in or out: the geometry is read
// again and what was sized or placed from it is rebuilt (the capture buffer,
// which in magnifying-glass snapshot mode holds the whole virtual screen).
// The loupe stays hidden until the next tick shows it again: the other
// windows repaint for the new screen only after this message, so a snapshot
// taken now could hold stale or black areas.
static void on_display_change(HWND loupe) {
    end_freeze_on(loupe, FREEZE_DISPLAY);
    read_screen_metrics();
    show_loupe(loupe, 0);
    fit_work_buffers(BufferRefresh::Anew);
    request_full_refresh();
}

static void on_mouse_wheel(HWND loupe, WPARAM wparam, LPARAM lparam) {
    if (settings.loupe == 0) return;
    int delta = GET_WHEEL_DELTA_WPARAM(wparam);
    unsigned keys = GET_KEYSTATE_WPARAM(wparam);
    IntPair pointer = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};

    Settings changed = settings;
    if (wheel_is_resize(keys)) {
        wheel_resize_step(&changed.size, changed.magnify, delta, size_aspect);
    } else {
        changed.magnify =
            wheel_zoom_step(changed.size, changed.magnify, delta, changed.smooth, changed.waddjust);
    }
    apply_settings(loupe, changed, SettingsSource::Wheel, pointer);
}

LRESULT CALLBACK loupe_window_proc(HWND loupe, UINT message, WPARAM wparam, LPARAM lparam) {
    // The shell's restart broadcast has no fixed number: test it first.
    if (message == taskbar_created_message() && message != 0) {
        add_tray_icon(loupe);
        return 0;
    }
    switch (message) {
    case WM_CREATE: on_create(loupe); return 0;
    // A click on the loupe arrives, but the user's window keeps the focus.
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;
    // Alt+F4, a task manager's "end task", logoff and shutdown end the
    // program as its exit command does, so no setting is lost.
    // While a modal window of ours is open its own loop is running: it is
    // brought forward instead, as for a tray click.
    case WM_CLOSE:
        if (modal_depth > 0) {
            bring_modal_to_front(loupe);
        } else {
            close_program(loupe);
        }
        return 0;
    case WM_ENDSESSION:
        if (wparam) close_program(loupe);
        return 0;
    case WM_DESTROY:
        release_resources(loupe);
        PostQuitMessage(0);
        return 0;
    case WM_PAINT: on_paint(loupe); return 0;
    case WM_COMMAND:
        if (run_menu_command(loupe, LOWORD(wparam))) return 0;
        break;
    case WM_TIMER: on_timer(loupe, wparam); return 0;
    case WM_LBUTTONDOWN: SetTimer(loupe, TIMER_CLICK, GetDoubleClickTime(), nullptr); return 0;
    case WM_LBUTTONDBLCLK: on_double_click(loupe); return 0;
    case WM_RBUTTONUP: on_right_button_up(loupe); return 0;
    case WM_MOUSEWHEEL: on_mouse_wheel(loupe, wparam, lparam); return 0;
    case WM_TRAY_NOTIFY: on_tray_notify(loupe, wparam, lparam); return 0;
    case WM_DISPLAYCHANGE: on_display_change(loupe); return 0;
    default: break;
    }
    return DefWindowProcA(loupe, message, wparam, lparam);
}
