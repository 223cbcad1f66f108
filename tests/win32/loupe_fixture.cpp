#include "loupe_fixture.h"
#include <cstdio>
#include "app/commands.h"
#include "app/startup.h"
#include "engine/tick.h"
#include <shellapi.h>
#include "settings/rules.h"
#include "settings/settings.h"
#include "tests/win32/test_support.h"

using namespace test_support;

void LoupeWindowTest::SetUp() {
    reset_runtime_state();
    ASSERT_FALSE(folder_.path().empty());
    std::snprintf(settings_path, sizeof(settings_path), "%s", folder_.file("brisvane.ini").c_str());
    std::snprintf(startup.help_path, sizeof(startup.help_path), "%s",
                  folder_.file("brisvane.chm").c_str());
    reset_settings();
    load_settings(); // no file: every default
    startup.instance_handle = GetModuleHandleA(nullptr);
    static bool registered = register_loupe_class();
    ASSERT_TRUE(registered);
    read_screen_metrics();
    startup.layered_supported = detect_layered_support();
    set_cursor_display_count(0); // the pointer shown, whatever the last test left
}

HWND LoupeWindowTest::create_loupe() {
    zoomed_size = compute_zoomed_size(settings.size, settings.magnify);
    loupe_ = create_loupe_window();
    return loupe_;
}

HWND LoupeWindowTest::create_still_loupe() {
    if (create_loupe()) stop_tracking(loupe_);
    return loupe_;
}

void LoupeWindowTest::TearDown() {
    if (loupe_) DestroyWindow(loupe_);
    // Drain the quit message the window posted, so it cannot end a later loop.
    pump_messages();
    reset_runtime_state();
    shell_open = ShellExecuteA;
    set_cursor_display_count(0);
}

void LoupeWindowTest::command(UINT id) {
    SendMessageA(loupe_, WM_COMMAND, id, 0);
}
