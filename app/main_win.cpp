// Entry point: refuses a second copy, finds the settings and help files
// beside the executable, registers the loupe's window class, loads the
// settings, creates the hidden loupe window and runs the message loop.
// Every early exit returns 0, silently.
#include <windows.h>
#include "app/single_instance.h"
#include "app/startup.h"
#include "app/startup_paths.h"
#include "loupe/state.h"
#include "resources/texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!check_single_instance(texts::kWindowClass)) return 0;

    char module_path[260];
    DWORD length = GetModuleFileNameA(nullptr, module_path, sizeof(module_path));
    // A path cut at the buffer's end would point the settings elsewhere.
    if (length == 0 || length >= sizeof(module_path)) return 0;
    if (!build_file_paths(module_path, settings_path, help_path, sizeof(settings_path))) return 0;

    instance_handle = instance;
    if (!register_loupe_class()) return 0;
    read_screen_metrics();
    load_settings();
    layered_supported = detect_layered_support();

    HWND loupe = create_loupe_window();
    if (!loupe) return 0;
    ShowWindow(loupe, SW_HIDE);
    UpdateWindow(loupe);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}
