#include "loupe_fixture.h"
#include <cstdio>
#include "app/startup.h"
#include "settings/rules.h"
#include "settings/settings.h"

void reset_runtime_state() {
    loupe_shown = 0;
    toggle_on = 0;
    first_tick = 1;
    tip_active = 0;
    snapshot_mode = 0;
    last_cursor_pos = {-1, -1};
    still_ticks = -1;
    toggle_latch = 0;
    tooltip_hwnd = nullptr;
    loupe_hwnd = nullptr;
}

void LoupeWindowTest::SetUp() {
    reset_runtime_state();
    char temp[MAX_PATH];
    GetTempPathA(sizeof(temp), temp);
    char name[MAX_PATH];
    std::snprintf(name, sizeof(name), "%sbrisvane_loupe_%lu_%lu", temp, GetCurrentProcessId(),
                  GetTickCount());
    folder_ = name;
    CreateDirectoryA(folder_.c_str(), nullptr);
    std::snprintf(settings_path, sizeof(settings_path), "%s\\brisvane.ini", folder_.c_str());
    std::snprintf(help_path, sizeof(help_path), "%s\\brisvane.chm", folder_.c_str());
    settings = initial_settings();
    clear_rules();
    load_settings(); // no file: every default
    instance_handle = GetModuleHandleA(nullptr);
    static bool registered = register_loupe_class();
    ASSERT_TRUE(registered);
    read_screen_metrics();
    layered_supported = detect_layered_support();
}

HWND LoupeWindowTest::create_loupe() {
    zoomed_size = compute_zoomed_size(settings.size, settings.magnify);
    loupe_ = create_loupe_window();
    return loupe_;
}

void LoupeWindowTest::TearDown() {
    if (loupe_) DestroyWindow(loupe_);
    // Drain the quit message the window posted, so it cannot end a later loop.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    DeleteFileA(settings_path);
    RemoveDirectoryA(folder_.c_str());
    reset_runtime_state();
}

void LoupeWindowTest::command(UINT id) {
    SendMessageA(loupe_, WM_COMMAND, id, 0);
}

bool LoupeWindowTest::item_checked(UINT id) {
    return (GetMenuState(popup_menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool LoupeWindowTest::item_grayed(UINT id) {
    return (GetMenuState(popup_menu, id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}
