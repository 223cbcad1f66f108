// The modal guard.
#include "engine/modal.h"

#include "engine/presence.h"
#include "engine/tick.h"
#include "loupe/state.h"

ModalScope enter_modal(HWND loupe, bool hide_loupe) {
    stop_tracking(loupe);
    ++modal_depth;
    ModalScope scope = {hide_loupe && presence.loupe_shown ? 1 : 0};
    if (scope.hid_loupe) show_loupe(loupe, 0);
    apply_cursor_rule();
    return scope;
}

void leave_modal(HWND loupe, ModalScope scope) {
    if (modal_depth > 0) --modal_depth;
    if (scope.hid_loupe) show_loupe(loupe, 1);
    if (modal_depth == 0) start_tracking(loupe); // with the interval as it is now
    apply_cursor_rule();
}

void bring_modal_to_front(HWND loupe) {
    // Dialogs and message boxes are owned by the loupe; while a popup menu
    // is open the loupe itself is the window to bring forward.
    SetForegroundWindow(GetLastActivePopup(loupe));
}
