// The tracking tick, run every `interval` ms as the timer procedure of
// TIMER_TRACK. It reads (keys, cursor, window under it, monitor), decides with
// the pure functions of the engine, then applies (show/hide, move, capture,
// invalidate, tooltip). Most ticks at rest end early: see rest_decision.
#include <cstring>
#include "engine/capture.h"
#include "engine/caret_tracking.h"
#include "engine/clipboard.h"
#include "engine/colour_copy.h"
#include "engine/freeze_control.h"
#include "engine/hotkey_poll.h"
#include "engine/placement.h"
#include "engine/presence.h"
#include "engine/rest.h"
#include "engine/tick.h"
#include "engine/tooltip_text.h"
#include "engine/tooltip_window.h"
#include "engine/visibility.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/texts.h"
#include "settings/rules.h"

// The system's class of popup menus, and that of the shadow beneath one.
static constexpr const char* kMenuClass = "#32768";
static constexpr const char* kMenuShadowClass = "SysShadow";

static_assert(kVkShift == VK_SHIFT && kVkControl == VK_CONTROL && kVkAlt == VK_MENU &&
                  kVkEscape == VK_ESCAPE && kVkApps == VK_APPS && kVkNumpad0 == VK_NUMPAD0 &&
                  kVkPrintScreen == VK_SNAPSHOT && kVkF1 == VK_F1 && kVkF12 == VK_F12,
              "the keyboard poll names the system's key codes");

HWND find_visible_window_below(HWND start, int x, int y) {
    for (HWND window = GetWindow(start, GW_HWNDNEXT); window;
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (!IsWindowVisible(window)) continue;
        RECT rect;
        // A window closed during the walk has no rectangle to test.
        if (!GetWindowRect(window, &rect)) continue;
        if (rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom) {
            return window;
        }
    }
    return nullptr;
}

HWND top_level_ancestor(HWND window) {
    if (!window) return nullptr;
    for (HWND parent = GetParent(window); parent; parent = GetParent(parent))
        window = parent;
    return window;
}

static bool key_is_down(int virtual_key, void*) {
    return GetAsyncKeyState(virtual_key) != 0;
}

static bool class_is(HWND window, const char* name) {
    char class_name[kWindowNameBytes] = "";
    GetClassNameA(window, class_name, sizeof(class_name));
    return std::strcmp(class_name, name) == 0;
}

// The window under the cursor, looking through menus, their shadows and the
// loupe itself.
static HWND window_under_cursor(POINT cursor) {
    HWND window = WindowFromPoint(cursor);
    if (class_is(window, kMenuClass)) {
        HWND below = GetWindow(window, GW_HWNDNEXT);
        if (class_is(below, kMenuShadowClass)) below = GetWindow(below, GW_HWNDNEXT);
        window = find_visible_window_below(below, cursor.x, cursor.y);
    }
    if (class_is(window, texts::kWindowClass)) {
        window = find_visible_window_below(window, cursor.x, cursor.y);
    }
    return window;
}

// The visibility type for the window under the cursor, or for the caret's
// window while the caret leads: its rule's, or the global one.
static int visibility_type_at(POINT cursor, HWND caret_window) {
    int type = settings.visible;
    if (settings.winset == 0 || rule_count() <= 0) return type;

    HWND top = top_level_ancestor(caret_window ? caret_window : window_under_cursor(cursor));
    if (!top) return type;

    char class_name[kWindowNameBytes] = "";
    char title[kWindowNameBytes] = "";
    GetClassNameA(top, class_name, sizeof(class_name));
    GetWindowTextA(top, title, sizeof(title));
    int32_t rule_type;
    if (lookup_rule(class_name, title, &rule_type)) type = rule_type;
    return type;
}

static Bounds monitor_bounds(POINT cursor) {
    Bounds bounds = {0, 0, geometry.screen_size.cx, geometry.screen_size.cy};
    HMONITOR monitor = MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL);
    if (monitor) {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        if (GetMonitorInfoA(monitor, &info)) {
            bounds = {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right,
                      info.rcMonitor.bottom};
        }
    }
    return bounds;
}

// The tooltip's text for screen point `point`, whose pixel is area pixel
// `area_pixel` of the capture block.
static void show_pixel_text(IntPair point, IntPair area_pixel) {
    COLORREF colour = captured_colour_at({point.x, point.y}, area_pixel);
    char text[kTooltipTextBytes];
    format_tooltip_text(text, sizeof(text), settings.hexcolor != 0, settings.magnify, point,
                        GetRValue(colour), GetGValue(colour), GetBValue(colour));
    set_tooltip_text(text);
}

// Moves the tooltip, at the width of its text now, beside the loupe; the
// move also redraws it.
static void place_tooltip(int cursor_x, Bounds bounds, POINT anchor) {
    RECT tip_rect;
    GetWindowRect(tooltip_state.tooltip_hwnd, &tip_rect);
    int tip_x = tooltip_x(anchor.x, cursor_x, tip_rect.right - tip_rect.left, bounds);
    move_tooltip(tip_x, anchor.y);
}

static void update_tooltip(POINT cursor, Bounds bounds, int loupe_x, int tip_y) {
    tick_memory.tip_anchor = {loupe_x, tip_y};
    show_pixel_text({cursor.x, cursor.y}, half_size);
    place_tooltip(cursor.x, bounds, tick_memory.tip_anchor);
}

// Moves the loupe beside (or onto) the cursor, with room for a tooltip of
// the height it has now when `tooltip_on`.
static Placement place_loupe(HWND loupe, POINT cursor, Bounds bounds, bool tooltip_on) {
    RECT tip_rect;
    if (tooltip_state.tooltip_hwnd && GetWindowRect(tooltip_state.tooltip_hwnd, &tip_rect)) {
        tick_memory.tip_height = tip_rect.bottom - tip_rect.top;
    }
    IntPair pointer = {cursor.x, cursor.y};
    Placement place =
        settings.loupe != 0
            ? place_magnifying_glass(pointer, zoomed_size, bounds, tick_memory.tip_height)
            : place_normal(pointer, zoomed_size, settings.position.y, geometry.loupe_distance,
                           bounds, tooltip_on, tick_memory.tip_height);
    SetWindowPos(loupe, HWND_TOPMOST, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    return place;
}

void request_full_refresh() {
    tick_memory.full_refresh_due = true;
}

void start_tracking(HWND loupe) {
    if (modal_depth > 0) return; // leave_modal starts it once the last one closes
    SetTimer(loupe, TIMER_TRACK, static_cast<UINT>(settings.interval), tracking_tick);
}

void stop_tracking(HWND loupe) {
    KillTimer(loupe, TIMER_TRACK);
}

// A tick of the frozen loupe: it keeps its place and image, the hotkey may
// still hide it (under the global visibility type: the per-window rules are
// not asked), and the pointer reads the frozen image: the cell under it, or
// the frozen centre elsewhere. Unless that changes it only stays on top, as
// the tick at rest does.
static void frozen_tick(HWND loupe, POINT cursor, bool hotkey_held) {
    if (!presence.loupe_shown) { // hidden by the tray's click
        end_freeze_on(loupe, FREEZE_LOUPE_HIDDEN);
        return;
    }
    int request = presence_request(settings.visible, hotkey_held, &tick_memory.toggle_latch);
    if (request == REQUEST_HIDE) {
        end_freeze_on(loupe, FREEZE_LOUPE_HIDDEN);
        show_loupe(loupe, 0);
        return;
    }
    const bool moved =
        cursor.x != tick_memory.last_cursor_pos.x || cursor.y != tick_memory.last_cursor_pos.y;
    tick_memory.last_cursor_pos = cursor;
    if (!moved || !point_at_frozen_image(loupe, cursor)) {
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    }
    if (tooltip_state.tooltip_hwnd && presence.tip_active == 1) {
        const IntPair cell = reported_area_pixel();
        show_pixel_text(
            {tick_memory.capture_origin.x + cell.x, tick_memory.capture_origin.y + cell.y}, cell);
        // Where the last refresh placed it, for the frozen centre.
        const POINT centre = {tick_memory.capture_origin.x + half_size.x,
                              tick_memory.capture_origin.y + half_size.y};
        place_tooltip(centre.x, monitor_bounds(centre), tick_memory.tip_anchor);
    }
}

void CALLBACK tracking_tick(HWND loupe, UINT, UINT_PTR, DWORD) {
    // A tick posted before a dialog, box or menu of ours stopped the timer
    // still arrives inside its loop.
    if (modal_depth > 0 || caret_read_in_progress()) return;
    POINT cursor;
    // Fails while another desktop has the input (a locked session, a UAC
    // prompt): nothing is placed, captured or sampled from a point not read.
    if (!read_cursor_pos(&cursor)) return;

    if (tick_memory.first_tick) {
        begin_presence(loupe, first_tick_shows(settings.visible, settings.toggledef));
        tick_memory.first_tick = 0;
    }

    KeyboardPoll keys = poll_keyboard(settings.hotkey, key_is_down, nullptr);
    if (copy_once_per_press(keys.copy_image || keys.copy_colour, &tick_memory.copy_latch)) {
        if (keys.copy_colour)
            copy_colour_to_clipboard(loupe);
        else
            copy_image_to_clipboard(loupe);
    }
    poll_freeze_key(loupe);
    if (freeze.frozen) {
        frozen_tick(loupe, cursor, keys.hotkey_held);
        return;
    }

    // The point the loupe follows from here on: the cursor, or the text
    // caret while it leads (last_cursor_pos then holds that point).
    const FollowedPoint followed = followed_point(cursor);
    const POINT point = followed.point;
    int type = visibility_type_at(point, followed.caret_window);
    int request = presence_request(type, keys.hotkey_held, &tick_memory.toggle_latch);
    if (request == REQUEST_HIDE) {
        show_loupe(loupe, 0);
        return;
    }
    if (request == REQUEST_NOTHING && !presence.loupe_shown) return;

    bool moved = tick_memory.full_refresh_due || point.x != tick_memory.last_cursor_pos.x ||
                 point.y != tick_memory.last_cursor_pos.y;
    switch (rest_decision(moved, settings.loupe != 0, live_copy_leaves_loupe_out(),
                          &tick_memory.still_ticks)) {
    case REST_NOTHING: return;
    case REST_KEEP_ON_TOP:
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
        return;
    case REST_FULL_REFRESH: break;
    }

    Bounds bounds = monitor_bounds(point);
    // The refresh that shows the loupe also activates the tooltip (after the
    // move), so it makes room for it as every later refresh does.
    bool tooltip_on =
        tooltip_state.tooltip_hwnd &&
        ((request == REQUEST_SHOW && settings.ttdisp != 0) || presence.tip_active == 1);
    Placement place = place_loupe(loupe, point, bounds, tooltip_on);

    tick_memory.last_cursor_pos = point;
    tick_memory.full_refresh_due = false;
    tick_memory.capture_origin = {point.x - half_size.x, point.y - half_size.y};
    // Shown after the move, so it appears at its new place.
    if (request == REQUEST_SHOW) show_loupe(loupe, 1);
    capture_tick_area(loupe);
    InvalidateRect(loupe, nullptr, FALSE);

    if (tooltip_state.tooltip_hwnd && presence.tip_active == 1) {
        update_tooltip(point, bounds, place.x, place.tip_y);
        // A tooltip never shown before gets its size only from this first
        // text: the showing refresh places both again if the height it
        // placed for was not the real one.
        RECT tip_rect;
        if (request == REQUEST_SHOW && GetWindowRect(tooltip_state.tooltip_hwnd, &tip_rect) &&
            tip_rect.bottom - tip_rect.top != tick_memory.tip_height) {
            place = place_loupe(loupe, point, bounds, true);
            update_tooltip(point, bounds, place.x, place.tip_y);
        }
    }
}
