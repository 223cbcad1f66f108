#include "app/settings_change.h"

#include <initializer_list>

#include "app/menu_state.h"
#include "app/wheel.h"
#include "engine/capture.h"
#include "engine/caret_tracking.h"
#include "engine/freeze_control.h"
#include "engine/placement.h"
#include "engine/presence.h"
#include "engine/shape.h"
#include "engine/tick.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"

namespace {

enum class DistanceRule { Keep, Startup, Options };

// What each source does beyond the common steps.
struct SourceSteps {
    AspectUpdate aspect;   // the size's aspect ratio taken anew, or the one chosen kept
    BufferRefresh buffers; // how far the work buffers are rebuilt
    DistanceRule distance; // which rule gives the loupe's distance in normal mode
    bool always_resized;   // the window is sized even when size and zoom are unchanged
};

SourceSteps steps_of(SettingsSource source) {
    switch (source) {
    case SettingsSource::Startup:
        return {AspectUpdate::Recompute, BufferRefresh::Anew, DistanceRule::Startup, true};
    case SettingsSource::Options:
        // The snapshot itself is taken when the loupe is next shown; until
        // then the capture buffer stays black.
        return {AspectUpdate::Recompute, BufferRefresh::Anew, DistanceRule::Options, true};
    case SettingsSource::Wheel:
        // A new size re-creates the capture buffer, except the snapshot-sized one.
        return {AspectUpdate::Keep, BufferRefresh::Fit, DistanceRule::Keep, false};
    case SettingsSource::Menu:
    case SettingsSource::Hotkey: break;
    }
    return {AspectUpdate::Keep, BufferRefresh::KeepCapture, DistanceRule::Keep, false};
}

// What a change from `source` means for a frozen loupe.
FreezeEvent freeze_event_of(SettingsSource source, bool mode_switched) {
    if (mode_switched) return FREEZE_MODE_SWITCH;
    switch (source) {
    case SettingsSource::Options: return FREEZE_OPTIONS_OK;
    case SettingsSource::Wheel: return FREEZE_WHEEL;
    case SettingsSource::Hotkey: return FREEZE_HOTKEY_OK;
    case SettingsSource::Startup:
    case SettingsSource::Menu: break;
    }
    return FREEZE_MENU_SWITCH;
}

void check_item(UINT id, bool checked) {
    CheckMenuItem(handles.popup_menu, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

// The check marks and the click-through item always mirror the settings.
void sync_menu() {
    MenuState state = menu_state(settings, startup.layered_supported);
    for (UINT id : {IDM_VISIBLE_SHOWN, IDM_VISIBLE_HIDDEN, IDM_VISIBLE_TOGGLE})
        check_item(id, static_cast<int>(id) == state.visibility_item);
    check_item(IDM_POINT_INFO, state.point_info);
    check_item(IDM_LOUPE_MODE, state.loupe_mode);
    check_item(IDM_MARKER, state.marker);
    check_item(IDM_PIXEL_GRID, state.pixel_grid);
    check_item(IDM_GRAY, state.gray);
    check_item(IDM_INVERT, state.invert);
    check_item(IDM_USE_RULES, state.use_rules);
    check_item(IDM_FOLLOW_CARET, state.follow_caret);
    check_item(IDM_CLICK_THROUGH, state.click_through_checked);
    EnableMenuItem(handles.popup_menu, IDM_CLICK_THROUGH,
                   MF_BYCOMMAND | (state.click_through_grayed ? MF_GRAYED : MF_ENABLED));
}

void size_window(HWND loupe, SettingsSource source, IntPair pointer) {
    const IntPair window = loupe_window_size(zoomed_size);
    const int width = window.x;
    const int height = window.y;
    if (source == SettingsSource::Wheel) {
        IntPair position = wheel_window_position(pointer, zoomed_size);
        SetWindowPos(loupe, HWND_TOPMOST, position.x, position.y, width, height, SWP_NOACTIVATE);
    } else {
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, width, height, SWP_NOMOVE | SWP_NOACTIVATE);
    }
}

} // namespace

void apply_settings(HWND loupe, const Settings& changed, SettingsSource source, IntPair pointer) {
    const SourceSteps steps = steps_of(source);
    const Settings before = settings;
    Settings next = changed;
    // Click-through is offered only where the loupe copies the screen
    // directly in magnifying-glass mode; elsewhere it must not stay on where
    // the user can no longer switch it off.
    if (!click_through_offered(next.loupe, startup.layered_supported, next.layered))
        next.addhole = 0;
    replace_settings(next);
    end_freeze_on(loupe, freeze_event_of(source, before.loupe != settings.loupe));

    if (steps.always_resized || settings.size != before.size ||
        settings.magnify != before.magnify) {
        update_derived_sizes(steps.aspect);
        size_window(loupe, source, pointer);
        request_full_refresh();
    }
    if (steps.distance == DistanceRule::Startup)
        geometry.loupe_distance = startup_loupe_distance(zoomed_size, settings.position.x);
    if (steps.distance == DistanceRule::Options)
        geometry.loupe_distance = options_loupe_distance(zoomed_size, settings.position.x);
    geometry.snapshot_mode =
        snapshot_mode_for(settings.loupetype, settings.layered, startup.layered_supported);

    apply_cursor_rule();
    const bool entered_glass_mode = before.loupe == 0 && settings.loupe != 0;
    if (source == SettingsSource::Startup ||
        (entered_glass_mode && source == SettingsSource::Menu && capture_is_snapshot())) {
        // A snapshot-sized buffer, and the snapshot taken while the loupe is
        // hidden so that it does not hold the loupe.
        int was_shown = presence.loupe_shown;
        show_loupe(loupe, 0);
        fit_work_buffers(BufferRefresh::Anew);
        if (capture_is_snapshot()) take_screen_snapshot();
        if (was_shown) show_loupe(loupe, 1);
    } else {
        fit_work_buffers(steps.buffers);
    }

    apply_mode_region(loupe);
    apply_click_through(loupe);
    if (settings.ttdisp != before.ttdisp)
        activate_tooltip(settings.ttdisp ? presence.loupe_shown : 0);
    // Switched on, following starts afresh; switched off, nothing is kept.
    if (settings.caret != before.caret) restart_caret_following();
    sync_menu();
    // The look may have changed (marker, grid, colours): painted again now,
    // also while the loupe is frozen and no refresh comes.
    InvalidateRect(loupe, nullptr, FALSE);
}
