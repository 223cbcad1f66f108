// Copies the magnified image (no frame, no marker) to the clipboard as CF_DIB,
// and the two steps every copy of ours shares: opening a clipboard that
// another program may hold for a moment, and telling the user of a failure.
#pragma once
#include <windows.h>

// A clipboard held by another program is tried again a few times first;
// a clipboard still busy, or an image that could not be made (no memory at a
// large size), is told to the user in a message box.
void copy_image_to_clipboard(HWND loupe);

// Opens the clipboard with the loupe as owner, trying again a few times a
// moment apart (at most about 80 ms) while another program holds it.
bool open_clipboard_soon(HWND owner);
// Tells the user in a message box owned by the loupe, with the loupe hidden
// and the tick stopped as for a dialog.
void report_copy_failure(HWND loupe, const char* text);

// The pause between two tries to open the clipboard: Sleep, or a stand-in
// in tests.
extern void(WINAPI* clipboard_retry_pause)(DWORD milliseconds);
