// Start-up steps: window class, platform test, loupe window.
#include "app/startup.h"
#include "app/loupe_window.h"
#include "loupe/state.h"
#include "resources/resource.h"
#include "resources/texts.h"

bool register_loupe_class() {
    WNDCLASSA window_class = {};
    window_class.style = CS_DBLCLKS; // the loupe hides on a double click
    window_class.lpfnWndProc = loupe_window_proc;
    window_class.hInstance = startup.instance_handle;
    window_class.hIcon = LoadIconA(startup.instance_handle, IDI_APP_ICON);
    window_class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // Hollow: the paint alone decides every pixel, nothing is erased first.
    window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    window_class.lpszClassName = texts::kWindowClass;
    return RegisterClassA(&window_class) != 0;
}

// Layered windows exist from Windows 2000 (major version 5) on.
int detect_layered_support() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    GetVersionExA(&version);
    return version.dwMajorVersion >= 5 ? 1 : 0;
}

// Looked up at run time, so the program still starts where user32 lacks it.
static void make_layered_loupe_opaque(HWND loupe) {
    HMODULE user32 = LoadLibraryA("user32.dll");
    if (!user32) return;
    using SetLayeredAttributes = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
    auto set_attributes = reinterpret_cast<SetLayeredAttributes>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")));
    if (set_attributes) set_attributes(loupe, 0, 255, LWA_ALPHA);
    FreeLibrary(user32);
}

HWND create_loupe_window() {
    DWORD ex_style = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    if (startup.layered_supported) ex_style |= WS_EX_LAYERED;
    // Created just beyond the primary screen's corner; WM_CREATE moves it.
    const IntPair window = loupe_window_size(zoomed_size);
    HWND loupe = CreateWindowExA(ex_style, texts::kWindowClass, texts::kAppName, WS_POPUP,
                                 geometry.screen_size.cx + 1, geometry.screen_size.cy + 1, window.x,
                                 window.y, nullptr, nullptr, startup.instance_handle, nullptr);
    if (loupe && startup.layered_supported) make_layered_loupe_opaque(loupe);
    return loupe;
}
