// The four modal dialogs. The menu commands open them (dialog sequence).
#pragma once
#include <windows.h>

// Shows OPTDLG; on OK (result 1) applies the new values to the running loupe.
INT_PTR run_options_dialog(HWND loupe);
INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK hotkey_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK target_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
