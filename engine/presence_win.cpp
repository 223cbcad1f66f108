#include "engine/presence.h"

#include "engine/capture.h"
#include "engine/freeze.h"
#include "engine/tooltip_window.h"
#include "engine/visibility.h"
#include "loupe/state.h"
#include "settings/settings.h"

void activate_tooltip(int active) {
    presence.tip_active = active;
    track_tooltip(active);
}

void show_loupe(HWND loupe, int show) {
    if (show == presence.loupe_shown) return;
    // The window is still hidden here, so the snapshot does not hold it. A
    // frozen loupe shown again after a dialog keeps the image it froze.
    if (show && capture_is_snapshot() && !freeze.frozen) take_screen_snapshot();
    if (show) {
        // Shown without activation, so the user's window keeps the keyboard
        // focus, and on top of the topmost band, where activating used to
        // bring it.
        SetWindowPos(loupe, HWND_TOPMOST, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(loupe, SW_HIDE);
    }
    presence.loupe_shown = show;
    apply_cursor_rule();
    if (settings.ttdisp) activate_tooltip(show);
}

void want_loupe(int wanted) {
    presence.toggle_on = wanted;
}

void toggle_loupe(HWND loupe) {
    show_loupe(loupe, presence.loupe_shown ? 0 : 1);
    presence.toggle_on = presence.toggle_on ? 0 : 1;
}

void begin_presence(HWND loupe, bool show) {
    if (show) show_loupe(loupe, 1);
    presence.toggle_on = presence.loupe_shown;
}

int presence_request(int type, bool hotkey_held, uint8_t* toggle_latch) {
    return visibility_request(type, hotkey_held, presence.loupe_shown, &presence.toggle_on,
                              toggle_latch);
}

bool system_cursor_must_be_hidden() {
    return presence.loupe_shown != 0 && settings.loupe != 0 && modal_depth == 0 && !freeze.frozen;
}

void apply_cursor_rule() {
    ShowCursor(FALSE);
    int count = ShowCursor(TRUE); // the count as it was
    if (system_cursor_must_be_hidden()) {
        while (count >= 0)
            count = ShowCursor(FALSE);
    } else {
        while (count < 0)
            count = ShowCursor(TRUE);
    }
}
