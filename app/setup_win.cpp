// Everything the loupe needs, built once when its window is created.
#include "app/buffers.h"
#include "app/commands.h"
#include "app/loupe_window.h"
#include "app/runtime_state.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/placement.h"
#include "engine/shape.h"

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
    set_initial_menu_state(loupe);

    add_tray_icon(loupe);
    tooltip_hwnd = create_tooltip(loupe);

    loupe_distance = startup_loupe_distance(zoomed_size, settings.position.x);

    capture_dc = create_screen_compatible_dc();
    snapshot_mode =
        settings.loupetype == 0 && (layered_supported == 0 || settings.layered != 0) ? 1 : 0;
    if (settings.graybmp != 0 || settings.smooth != 0) source_dc = create_screen_compatible_dc();
    if (settings.smooth != 0) zoom_dc = create_screen_compatible_dc();

    recreate_capture_buffer_for_mode();
    if (settings.graybmp != 0 || settings.smooth != 0) {
        recreate_source_buffer(loupe, settings.size.x, settings.size.y);
        if (settings.smooth != 0) recreate_zoom_buffer(zoomed_size.x, zoomed_size.y);
    }

    if (settings.loupe != 0) {
        if (snapshot_mode == 1) take_screen_snapshot();
        if (settings.maruwin.y != 0) set_round_region(loupe);
    } else if (settings.maruwin.x != 0) {
        set_round_region(loupe);
    }
}
