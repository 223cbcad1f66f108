// Entry point: refuses a second copy, finds the settings and help files
// beside the executable, registers the loupe's window class, loads the
// settings, creates the hidden loupe window and runs the message loop.
// Every early exit returns 0; only a path too long to hold is told to the
// user, since the program would otherwise run and lose every setting.
#include <windows.h>
#include "app/single_instance.h"
#include "app/startup.h"
#include "app/startup_paths.h"
#include "loupe/state.h"
#include "platform/message_box.h"
#include "resources/texts.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (!check_single_instance(texts::kWindowClass)) return 0;

    char module_path[kAnsiPathBytes];
    DWORD length = GetModuleFileNameA(nullptr, module_path, sizeof(module_path));
    if (length == 0) return 0;
    // A path cut at the buffer's end would point the settings elsewhere.
    if (length >= sizeof(module_path) ||
        !build_file_paths(module_path, settings_path, startup.help_path, sizeof(settings_path))) {
        show_message_box(nullptr, texts::kPathTooLong, texts::kAppName, MB_OK | MB_ICONERROR);
        return 0;
    }

    startup.instance_handle = instance;
    if (!register_loupe_class()) return 0;
    read_screen_metrics();
    load_settings();
    startup.layered_supported = detect_layered_support();

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
