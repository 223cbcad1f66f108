// The four modal dialogs. The menu commands open them (dialog sequence).
#pragma once
#include <windows.h>
#include "settings/settings.h"

// The options and hotkey dialogs edit the copy of the settings whose address
// they get as their creation parameter (DialogBoxParamA's last argument) and
// never the program's record; the caller applies the copy after OK.
// Shows OPTDLG over the loupe, editing *edited; IDOK when confirmed.
INT_PTR run_options_dialog(HWND loupe, Settings* edited);
INT_PTR CALLBACK options_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK hotkey_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK target_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK about_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
