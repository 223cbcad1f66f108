// Everything the loupe needs, built once when its window is created.
#include "app/commands.h"
#include "app/loupe_window.h"
#include "app/tray.h"
#include "engine/capture.h"
#include "engine/overlay_geometry.h"
#include "engine/placement.h"
#include "engine/shape.h"
#include "loupe/buffers.h"
#include "loupe/state.h"
#include "resources/resource.h"

static void create_pens() {
    light_frame_pen = CreatePen(PS_SOLID, 1, kLightFrameColour);
    gray_frame_pen = CreatePen(PS_SOLID, 1, kGrayFrameColour);
    light_round_pen = CreatePen(PS_SOLID, 1, kLightRoundColour);
    dark_round_pen = CreatePen(PS_SOLID, kDarkRoundPenWidth, kDarkRoundColour);
}

void setup_loupe_window(HWND loupe) {
    create_pens();

    menu_resource = LoadMenuA(instance_handle, IDR_POPUP_MENU);
    popup_menu = GetSubMenu(menu_resource, 0);
    set_initial_menu_state(loupe);

    add_tray_icon(loupe);
    tooltip_hwnd = create_tooltip(loupe);

    loupe_distance = startup_loupe_distance(zoomed_size, settings.position.x);

    snapshot_mode = snapshot_mode_for(settings.loupetype, settings.layered, layered_supported);
    fit_work_buffers(BufferRefresh::Anew);

    if (capture_is_snapshot()) take_screen_snapshot();
    if (loupe_is_round()) set_round_region(loupe);
}
