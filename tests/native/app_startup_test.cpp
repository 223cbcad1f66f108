// Start-up arithmetic: file paths beside the executable and the menu's first state.
#include <gtest/gtest.h>
#include <string>
#include "app/menu_state.h"
#include "app/startup_paths.h"
#include "resources/resource.h"

TEST(StartupPaths, FilesGoBesideTheExecutable) {
    // Code page 932 bytes: the second byte of ソ (83 5C) and of 表 (95 5C) is
    // a backslash byte, and a path may end in a lone lead byte.
    struct Case {
        const char* module;
        const char* folder;
    } cases[] = {
        {"C:\\Apps\\tool.exe", "C:\\Apps\\"},
        {"tool.exe", "tool.exe"},                                  // no backslash: nothing is cut
        {"C:\\Apps\\\x83\x5C\x83\x74\x83\x67.exe", "C:\\Apps\\"},  // ソフト.exe
        {"C:\\\x95\x5C\x8E\xA6\\x.exe", "C:\\\x95\x5C\x8E\xA6\\"}, // 表示\x.exe
        {"C:\\\xB6\\x.exe", "C:\\\xB6\\"}, // half-width katakana is one byte
        {"C:\\d\\\x83", "C:\\d\\"},
    };
    for (const Case& c : cases) {
        char settings_file[260];
        char help_file[260];
        ASSERT_TRUE(build_file_paths(c.module, settings_file, help_file, 260)) << c.module;
        EXPECT_EQ(std::string(settings_file), std::string(c.folder) + "brisvane.ini") << c.module;
        EXPECT_EQ(std::string(help_file), std::string(c.folder) + "brisvane.chm") << c.module;
    }
}

TEST(StartupPaths, TooLongForTheBuffersIsRefused) {
    std::string directory = "C:\\" + std::string(245, 'd') + "\\";
    char settings_file[260] = "untouched";
    char help_file[260] = "untouched";
    EXPECT_FALSE(build_file_paths((directory + "x.exe").c_str(), settings_file, help_file, 260));
    EXPECT_STREQ(settings_file, "untouched");
    // One byte shorter fits exactly: 246 + 2 + 12 = 259 characters plus the terminator.
    std::string fits = "C:\\" + std::string(243, 'd') + "\\";
    EXPECT_TRUE(build_file_paths((fits + "x.exe").c_str(), settings_file, help_file, 260));
    EXPECT_EQ(std::string(settings_file).size(), 259u);
}

static Settings defaults() {
    Settings s = {};
    s.visible = kVisibleShown;
    s.ttdisp = 1;
    s.marker = 1;
    return s;
}

TEST(MenuState, ChecksMirrorTheSettings) {
    Settings s = defaults();
    MenuState state = menu_state(s, 1);
    EXPECT_EQ(state.visibility_item, IDM_VISIBLE_SHOWN);
    EXPECT_TRUE(state.point_info);
    EXPECT_TRUE(state.marker);
    EXPECT_FALSE(state.loupe_mode);
    EXPECT_FALSE(state.gray || state.invert || state.use_rules || state.follow_caret ||
                 state.pixel_grid);

    s.visible = kVisibleHidden;
    s.ttdisp = 0;
    s.marker = 0;
    s.graybmp = 5; // any non-zero value is on
    s.invertbmp = 1;
    s.winset = 1;
    s.caret = 1;
    s.grid = 1;
    state = menu_state(s, 1);
    EXPECT_EQ(state.visibility_item, IDM_VISIBLE_HIDDEN);
    EXPECT_FALSE(state.point_info || state.marker);
    EXPECT_TRUE(state.gray && state.invert && state.use_rules && state.follow_caret &&
                state.pixel_grid);

    s.visible = 3;
    EXPECT_EQ(menu_state(s, 1).visibility_item, IDM_VISIBLE_TOGGLE);
}

TEST(MenuState, ClickThroughOnlyWithDirectCaptureInMagnifyingGlassMode) {
    Settings s = defaults();
    s.addhole = 1;
    s.loupe = 1;
    MenuState state = menu_state(s, 1);
    EXPECT_FALSE(state.click_through_grayed);
    EXPECT_TRUE(state.click_through_checked);

    s.addhole = 0;
    EXPECT_FALSE(menu_state(s, 1).click_through_checked);

    s.addhole = 1;
    EXPECT_TRUE(menu_state(s, 0).click_through_grayed); // no layered windows
    s.layered = 1;
    EXPECT_TRUE(menu_state(s, 1).click_through_grayed); // layered capture
    s.layered = 0;
    s.loupe = 0;
    state = menu_state(s, 1); // normal mode
    EXPECT_TRUE(state.click_through_grayed);
    EXPECT_FALSE(state.click_through_checked);
}
