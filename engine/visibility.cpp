// The visibility state machine of the tick.
#include "engine/visibility.h"

#include "settings/settings.h"

namespace {

// A toggle follows toggle_on whenever it differs from what is shown.
int follow_toggle(int toggle_on, int shown) {
    if (toggle_on == shown) return REQUEST_NOTHING;
    if (toggle_on == 1) return REQUEST_SHOW;
    if (toggle_on == 0) return REQUEST_HIDE;
    return REQUEST_NOTHING;
}

} // namespace

int visibility_request(int type, bool held, int shown, int* toggle_on, uint8_t* toggle_latch) {
    switch (type) {
    case kVisibleShown: // hidden while the hotkey is held
        *toggle_latch = 0;
        if (held && shown == 1) return REQUEST_HIDE;
        if (!held && shown == 0) return REQUEST_SHOW;
        return REQUEST_NOTHING;
    case kVisibleHidden: // shown while the hotkey is held
        *toggle_latch = 0;
        if (held && shown == 0) return REQUEST_SHOW;
        if (!held && shown == 1) return REQUEST_HIDE;
        return REQUEST_NOTHING;
    case kVisibleToggle: // flipped by each press, on its release
        if (*toggle_latch == 0) {
            if (held) *toggle_latch = 1;
            return follow_toggle(*toggle_on, shown);
        }
        if (held) return follow_toggle(*toggle_on, shown);
        *toggle_latch = 0;
        if (*toggle_on == 1) {
            *toggle_on = 0;
            return shown == 1 ? REQUEST_HIDE : REQUEST_NOTHING;
        }
        *toggle_on = 1;
        return shown == 0 ? REQUEST_SHOW : REQUEST_NOTHING;
    default: // a rule type the tick does not know changes nothing
        return REQUEST_NOTHING;
    }
}

bool first_tick_shows(int visible, int toggledef) {
    return visible == kVisibleShown || (visible == kVisibleToggle && toggledef != 0);
}
