// The popup menu: its start-up state and its commands.
#pragma once
#include <windows.h>

// Check marks and the gray state of 40013 from the settings; clears addhole
// where the item is grayed and applies click-through where it is checked.
void set_initial_menu_state(HWND loupe);
// Runs one menu command; false for identifiers that are not ours.
bool run_menu_command(HWND loupe, UINT command);
