// The tick's side of caret following: the reads of one tick handed to the
// pure decision (engine/caret_follow.h), whose state lives here.
#include "engine/caret_tracking.h"

#include "engine/caret_accessible.h"
#include "engine/caret_follow.h"
#include "engine/caret_read.h"
#include "settings/settings.h"

namespace {

FollowState follow_state;
// The window of the caret that leads; kept while a caret that went away is
// held, so the per-window rules still apply to it.
HWND leading_window = nullptr;

bool mouse_button_down() {
    // The "pressed since the last call" bit counts too: a click quicker
    // than a tick still keeps the lead with the mouse.
    return GetAsyncKeyState(VK_LBUTTON) != 0 || GetAsyncKeyState(VK_RBUTTON) != 0 ||
           GetAsyncKeyState(VK_MBUTTON) != 0;
}

} // namespace

FollowedPoint followed_point(POINT cursor) {
    if (settings.caret == 0) return {cursor, nullptr};
    const CaretSighting seen = read_caret_sighting(settings.size);
    FollowInput in = {};
    in.now = GetTickCount();
    in.cursor = {cursor.x, cursor.y};
    in.button_down = mouse_button_down();
    in.menu_or_drag = seen.menu_or_drag;
    in.target = seen.found;
    in.target_point = seen.point;
    in.target_id = reinterpret_cast<uintptr_t>(seen.window);
    in.area = settings.size;
    const FollowResult result = follow_step(&follow_state, in);
    if (!result.caret_leads) {
        leading_window = nullptr;
        return {cursor, nullptr};
    }
    if (seen.found) leading_window = seen.window;
    return {{result.point.x, result.point.y}, leading_window};
}

void restart_caret_following() {
    follow_state = FollowState{};
    leading_window = nullptr;
    forget_accessible_caret();
}

bool caret_read_in_progress() {
    return accessible_caret_busy();
}
