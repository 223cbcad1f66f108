// The hotkey dialog's field procedure (the dialog procedure is in
// dialogs/dialogs.h).
#pragma once
#include <windows.h>

// Subclass of the read-only field: focus changes repaint it and never reach
// the edit, so no caret appears; everything else goes to the edit.
LRESULT CALLBACK hotkey_edit_proc(HWND field, UINT message, WPARAM wparam, LPARAM lparam);
