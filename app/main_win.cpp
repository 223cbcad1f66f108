// Entry point: single instance, paths, window class, settings, loupe window,
// message loop.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
