#include "app/single_instance.h"
#include <windows.h>
#include "resources/texts.h"

// Held while this copy runs, named after the window class.
static HANDLE single_instance_mutex = nullptr;

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

void release_single_instance() {
    // Released and closed: while a handle stays open the name exists, and a
    // copy started before this process has quite ended would be refused.
    if (!single_instance_mutex) return;
    ReleaseMutex(single_instance_mutex);
    CloseHandle(single_instance_mutex);
    single_instance_mutex = nullptr;
}
