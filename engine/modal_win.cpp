// The modal guard and the cursor rule. The display count is only ever driven
// across zero, never stepped blindly, so a rule applied twice, or applied
// after other code moved the count, still ends on the right side.
#include "engine/modal.h"

#include "engine/capture.h"
#include "engine/tick.h"
#include "loupe/state.h"
#include "settings/settings.h"

bool system_cursor_must_be_hidden() {
    return loupe_shown != 0 && settings.loupe != 0 && modal_depth == 0;
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

ModalScope enter_modal(HWND loupe, bool hide_loupe) {
    stop_tracking(loupe);
    ++modal_depth;
    ModalScope scope = {hide_loupe && loupe_shown ? 1 : 0};
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
