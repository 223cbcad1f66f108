// Everything the loupe needs, built once when its window is created, and
// released again in the reverse order when it is destroyed.
#include <initializer_list>
#include "app/settings_change.h"
#include "app/loupe_window.h"
#include "app/tooltip_window.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/placement.h"
#include "engine/presence.h"
#include "engine/tick.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"

static void create_pens() {
    light_frame_pen = CreatePen(PS_SOLID, 1, 0xFFF8F8);
    gray_frame_pen = CreatePen(PS_SOLID, 1, 0x808080);
    light_round_pen = CreatePen(PS_SOLID, 1, 0xFAF0F0);
    dark_round_pen = CreatePen(PS_SOLID, 2, 0x8C8080);
}

void setup_loupe_window(HWND loupe) {
    create_pens();

    menu_resource = LoadMenuA(instance_handle, "POPMENU");
    popup_menu = GetSubMenu(menu_resource, 0);

    add_tray_icon(loupe);
    tooltip_hwnd = create_tooltip(loupe);

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
    DestroyMenu(menu_resource); // with it popup_menu, its submenu
    popup_menu = menu_resource = nullptr;
    for (HPEN* pen : {&light_frame_pen, &gray_frame_pen, &light_round_pen, &dark_round_pen}) {
        DeleteObject(*pen);
        *pen = nullptr;
    }
    // Released and closed: while a handle stays open the name exists, and a
    // copy started before this process has quite ended would be refused.
    if (single_instance_mutex) {
        ReleaseMutex(single_instance_mutex);
        CloseHandle(single_instance_mutex);
        single_instance_mutex = nullptr;
    }
}
