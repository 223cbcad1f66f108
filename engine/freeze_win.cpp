// The freeze state's owner. Freezing changes the loupe's frame look, the
// cursor rule (the system cursor is shown, to point at the frozen image) and
// the check mark of the menu item that ends it.
#include "engine/freeze_control.h"

#include "engine/presence.h"
#include "engine/tick.h"
#include "loupe/state.h"
#include "resources/resource.h"

FreezeState freeze;

static void show_frozen_state(HWND loupe) {
    CheckMenuItem(handles.popup_menu, IDM_FREEZE,
                  MF_BYCOMMAND | (freeze.frozen ? MF_CHECKED : MF_UNCHECKED));
    apply_cursor_rule();
    InvalidateRect(loupe, nullptr, FALSE);
}

void begin_freeze(HWND loupe) {
    if (freeze.frozen || !presence.loupe_shown) return;
    freeze.frozen = true;
    freeze.pointing = false;
    show_frozen_state(loupe);
}

void end_freeze_on(HWND loupe, FreezeEvent event) {
    if (!freeze.frozen || !event_ends_freeze(event)) return;
    freeze.frozen = false;
    freeze.pointing = false;
    request_full_refresh();
    show_frozen_state(loupe);
}

void poll_freeze_key(HWND loupe) {
    const bool held = settings.freezekey != 0 && GetAsyncKeyState(settings.freezekey) != 0;
    if (!freeze_key_pressed(settings.freezekey, held, &freeze.key_latch)) return;
    if (freeze.frozen) {
        end_freeze_on(loupe, FREEZE_KEY_AGAIN);
    } else {
        begin_freeze(loupe);
    }
}

bool point_at_frozen_image(HWND loupe, POINT cursor) {
    POINT client = cursor;
    ScreenToClient(loupe, &client);
    IntPair cell = {0, 0};
    const bool pointing = frozen_cell({client.x, client.y}, settings.size, zoomed_size, &cell);
    if (pointing == freeze.pointing && (!pointing || cell == freeze.cell)) return false;
    freeze.pointing = pointing;
    freeze.cell = pointing ? cell : IntPair{0, 0};
    InvalidateRect(loupe, nullptr, FALSE);
    return true;
}

bool reading_frozen_cell() {
    return freeze.frozen && freeze.pointing;
}

IntPair reported_area_pixel() {
    return reading_frozen_cell() ? freeze.cell : half_size;
}
