#include "tests/win32/dialogs_test_support.h"
#include "tests/common/bmp_file.h"
#include "tests/win32/test_support.h"

#include <vector>

namespace dialog_tests {

namespace {

struct ModalDriver {
    std::function<void(HWND)> drive;
    DWORD started = 0;
    DWORD timeout = 0;
    HWND dialog = nullptr;
    bool driven = false;
};
ModalDriver* active_driver = nullptr;

BOOL CALLBACK find_dialog(HWND window, LPARAM result) {
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK drive_tick(HWND, UINT, UINT_PTR, DWORD) {
    ModalDriver* driver = active_driver;
    if (!driver) return;
    if (!driver->driven) {
        HWND dialog = nullptr;
        EnumThreadWindows(GetCurrentThreadId(), find_dialog, reinterpret_cast<LPARAM>(&dialog));
        if (!dialog) return;
        driver->dialog = dialog;
        driver->driven = true;
        driver->drive(dialog);
        return;
    }
    if (IsWindow(driver->dialog) && GetTickCount() - driver->started > driver->timeout)
        EndDialog(driver->dialog, kAbandoned);
}

} // namespace

INT_PTR run_modal(const std::function<INT_PTR()>& open, const std::function<void(HWND)>& drive,
                  DWORD timeout_ms) {
    ModalDriver driver;
    driver.drive = drive;
    driver.started = GetTickCount();
    driver.timeout = timeout_ms;
    active_driver = &driver;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, drive_tick);
    INT_PTR result = open();
    KillTimer(nullptr, timer);
    active_driver = nullptr;
    pump_messages();
    return result;
}

INT_PTR run_modal(const char* template_name, DLGPROC procedure,
                  const std::function<void(HWND)>& drive, LPARAM init) {
    return run_modal(
        [&] {
            return DialogBoxParamA(GetModuleHandleA(nullptr), template_name, nullptr, procedure,
                                   init);
        },
        drive);
}

HWND create_dialog(const char* template_name, DLGPROC procedure, HWND owner, LPARAM init) {
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), template_name, owner, procedure, init);
    if (dialog) {
        ShowWindow(dialog, SW_SHOW);
        pump_messages();
    }
    return dialog;
}

std::string text_of(HWND window) {
    char buf[512] = "";
    GetWindowTextA(window, buf, sizeof buf);
    return buf;
}

std::string item_text(HWND dialog, int id) {
    return text_of(GetDlgItem(dialog, id));
}

bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void click(HWND dialog, int id) {
    SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

RECT dialog_units_to_pixels(HWND dialog, int x, int y, int w, int h) {
    RECT r = {x, y, x + w, y + h};
    MapDialogRect(dialog, &r);
    return r;
}

std::vector<COLORREF> grab_pixels(const RECT& area) {
    int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<COLORREF> out;
    if (w <= 0 || h <= 0) return out;
    test_support::Dib24 image(w, h);
    HDC screen = GetDC(nullptr);
    BitBlt(image.dc(), 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    out.reserve(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(image.at(x, y));
    return out;
}

bool save_window_shot(HWND window, const std::string& name) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    pump_messages();
    RECT area;
    GetWindowRect(window, &area);
    const std::vector<COLORREF> pixels = grab_pixels(area);
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (pixels.empty()) return false;
    return write_bmp24(shots_dir() + name + ".bmp", w, h, [&](int x, int y) {
        const COLORREF c = pixels[static_cast<size_t>(y) * w + x];
        return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
    });
}

} // namespace dialog_tests
