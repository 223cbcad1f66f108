// The program's message boxes go through here, so tests can observe them
// without a modal box blocking the run.
#pragma once
#include <windows.h>

// MessageBoxA, or the installed hook when there is one.
int show_message_box(HWND owner, const char* text, const char* caption, UINT type);

using MessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type);
// Installs a hook (nullptr restores the real message box); returns the previous one.
MessageBoxHook set_message_box_hook(MessageBoxHook hook);
