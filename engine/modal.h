// Our own modal windows (dialogs, message boxes, popup menus) and the system
// cursor. While one is open its message loop dispatches our timers and the
// tray icon's messages, so the tracking tick is stopped, the system cursor is
// shown and a tray click only brings the open window to the front.
#pragma once
#include <windows.h>

struct ModalScope {
    int hid_loupe; // the loupe was shown and enter_modal hid it
};

// Counts one more modal window open, stops the tick, hides the loupe when
// `hide_loupe` asks for it, and shows the system cursor.
ModalScope enter_modal(HWND loupe, bool hide_loupe);
// Undoes enter_modal; the tick starts again once the outermost one is closed.
void leave_modal(HWND loupe, ModalScope scope);
// The tray icon's answer while a modal window of ours is open.
void bring_modal_to_front(HWND loupe);
