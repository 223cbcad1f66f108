// Copies the magnified image (no frame, no marker) to the clipboard as CF_DIB.
#pragma once
#include <windows.h>

void copy_image_to_clipboard(HWND loupe);
