// The hotkey dialog's field procedure (the dialog procedure is in
// dialogs/dialogs.h).
#pragma once
#include <windows.h>

// Subclass of the read-only field: focus changes repaint it and never reach
// the edit, so no caret appears; everything else goes to the edit.
LRESULT CALLBACK hotkey_edit_proc(HWND field, UINT message, WPARAM wparam, LPARAM lparam);

// The keyboard the poll reads: GetAsyncKeyState by default. Tests put a
// stand-in here (nullptr restores the real keyboard), since synthesized key
// events are not reliably seen by a focused window under every platform.
using HotkeyKeyQuery = bool (*)(int virtual_key, void* context);
void set_hotkey_key_query(HotkeyKeyQuery query, void* context);
