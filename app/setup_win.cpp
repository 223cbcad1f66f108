// Everything the loupe needs, built once when its window is created, and
// released again in the reverse order when it is destroyed.
#include <initializer_list>
#include "app/settings_change.h"
#include "app/single_instance.h"
#include "app/loupe_window.h"
#include "engine/tooltip_window.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/overlay_geometry.h"
#include "engine/placement.h"
#include "engine/presence.h"
#include "engine/tick.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"

static void create_pens() {
    handles.light_frame_pen = CreatePen(PS_SOLID, 1, kLightFrameColour);
    handles.gray_frame_pen = CreatePen(PS_SOLID, 1, kGrayFrameColour);
    handles.light_round_pen = CreatePen(PS_SOLID, 1, kLightRoundColour);
    handles.dark_round_pen = CreatePen(PS_SOLID, kDarkRoundPenWidth, kDarkRoundColour);
}

void setup_loupe_window(HWND loupe) {
    handles.loupe_hwnd = loupe;
    create_pens();

    handles.menu_resource = LoadMenuA(startup.instance_handle, IDR_POPUP_MENU);
    handles.popup_menu = GetSubMenu(handles.menu_resource, 0);

    add_tray_icon(loupe);
    create_tooltip(loupe);

    // The loaded settings, as any later change: menu checks, distance,
    // snapshot mode, buffers and the first snapshot, region, click-through.
    apply_settings(loupe, settings, SettingsSource::Startup);
}

void release_resources(HWND loupe) {
    stop_tracking(loupe);
    // Hidden first: the cursor is visible after exit whatever mode the loupe
    // was in.
    show_loupe(loupe, 0);
    apply_cursor_rule();
    release_work_buffers();
    destroy_tooltip();
    remove_tray_icon();
    DestroyMenu(handles.menu_resource); // with it popup_menu, its submenu
    handles.popup_menu = handles.menu_resource = nullptr;
    for (HPEN* pen : {&handles.light_frame_pen, &handles.gray_frame_pen, &handles.light_round_pen,
                      &handles.dark_round_pen}) {
        DeleteObject(*pen);
        *pen = nullptr;
    }
    release_single_instance();
}
