// The popup menu: its start-up state and its commands.
#pragma once
#include <windows.h>

// Runs one menu command; false for identifiers that are not ours.
bool run_menu_command(HWND loupe, UINT command);
// Ends the program as "終了" does: saves the settings and destroys the loupe
// window, whose WM_DESTROY removes the tray icon and releases everything.
void close_program(HWND loupe);

// Opens a document with the shell's default handler (ShellExecuteA), or a
// stand-in in tests.
extern HINSTANCE(WINAPI* shell_open)(HWND owner, const char* operation, const char* file,
                                     const char* parameters, const char* directory, INT show);
