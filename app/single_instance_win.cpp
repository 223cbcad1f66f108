#include "app/single_instance.h"
#include "loupe/state.h"
#include "resources/texts.h"

int check_single_instance(const char* name) {
    single_instance_mutex = CreateMutexA(nullptr, TRUE, name);
    if (!single_instance_mutex) return 0;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        HWND running = FindWindowA(name, texts::kAppName);
        if (running) {
            if (IsIconic(running)) ShowWindow(running, SW_RESTORE);
            // Its open dialog, if any, comes to the front rather than the loupe.
            SetForegroundWindow(GetLastActivePopup(running));
        }
        return 0;
    }
    return 1;
}
