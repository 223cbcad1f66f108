// Copies the magnified image (no frame, no marker) to the clipboard as CF_DIB.
#pragma once
#include <windows.h>

// A clipboard held by another program is tried again a few times first;
// a clipboard still busy, or an image that could not be made (no memory at a
// large size), is told to the user in a message box.
void copy_image_to_clipboard(HWND loupe);

// The pause between two tries to open the clipboard: Sleep, or a stand-in
// in tests.
extern void(WINAPI* clipboard_retry_pause)(DWORD milliseconds);
