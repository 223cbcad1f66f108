// Saving: the exact bytes of the file, and that a failed save keeps the old one.
#include "tests/native/settings_test_support.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>

#include "platform/file_replace.h"
#include "tests/common/settings_helpers.h"

namespace {

const char kDefaultOptions[] = "[option]\n"
                               "size=37,37\n"
                               "magnify=300\n"
                               "position=16,135\n"
                               "interval=10\n"
                               "ttdisp=1\n"
                               "hotkey=17,0\n"
                               "loupe=0\n"
                               "loupetype=0\n"
                               "layered=0\n"
                               "visible=1\n"
                               "toggledef=1\n"
                               "marker=1\n"
                               "addhole=0\n"
                               "graybmp=0\n"
                               "invertbmp=0\n"
                               "winset=0\n"
                               "smooth=0\n"
                               "posat=0\n"
                               "waddjust=10\n"
                               "maruwin=0,1\n"
                               "hexcolor=0\n"
                               "caret=0\n"
                               "grid=0\n"
                               "gridzoom=800\n"
                               "freezekey=19\n";

} // namespace

using SaveSettings = SettingsFileTest;

TEST_F(SaveSettings, AfterLoadingNoFileWritesTheDefaultsInOrder) {
    load_settings();
    save_settings();
    EXPECT_EQ(read_bytes(ini_path), std::string(kDefaultOptions) + "\n[target]\ncount=0\n");
    EXPECT_FALSE(file_exists(replacement_temp_path(settings_path)));
}

TEST_F(SaveSettings, NormalisedValuesAreWrittenAndStrangersDropped) {
    load_from("; my notes\n[option]\nsize=36,40\nmagnify=50\nvisible=9\nsmooth=5\n"
              "posat=4\nfavourite=7\n[extra]\nx=1\n[target]\ncount=9\n0=2,Notepad/abc\n");
    save_settings();
    std::string expected = kDefaultOptions;
    expected.replace(expected.find("size=37,37"), 10, "size=37,41");
    expected.replace(expected.find("magnify=300"), 11, "magnify=100");
    expected.replace(expected.find("visible=1"), 9, "visible=3");
    expected += "\n[target]\ncount=1\n0=2,Notepad/abc\n";
    EXPECT_EQ(read_bytes(ini_path), expected);
}

TEST_F(SaveSettings, WritesEveryFieldAsItStands) {
    settings.size = {-3, 5};
    settings.magnify = 2147483647;
    settings.position = {0, -1};
    settings.interval = 1;
    settings.ttdisp = 2;
    settings.hotkey = {18, 65};
    settings.loupe = 1;
    settings.loupetype = 1;
    settings.layered = 1;
    settings.visible = kVisibleHidden;
    settings.toggledef = 0;
    settings.marker = 0;
    settings.addhole = 1;
    settings.graybmp = 1;
    settings.invertbmp = 1;
    settings.winset = 1;
    settings.smooth = 2;
    settings.posat = 3;
    settings.waddjust = 15;
    settings.maruwin = {1, 0};
    settings.hexcolor = 1;
    settings.caret = 1;
    settings.grid = 1;
    settings.gridzoom = 1600;
    settings.freezekey = 0;
    insert_rule("b", "", 3);
    insert_rule("A", "x/y", 7);
    save_settings();
    EXPECT_EQ(read_bytes(ini_path),
              "[option]\nsize=-3,5\nmagnify=2147483647\nposition=0,-1\ninterval=1\nttdisp=2\n"
              "hotkey=18,65\nloupe=1\nloupetype=1\nlayered=1\nvisible=2\ntoggledef=0\nmarker=0\n"
              "addhole=1\ngraybmp=1\ninvertbmp=1\nwinset=1\nsmooth=2\nposat=3\nwaddjust=15\n"
              "maruwin=1,0\nhexcolor=1\ncaret=1\ngrid=1\ngridzoom=1600\nfreezekey=0\n\n[target]"
              "\ncount=2\n0="
              "7,A/x/y\n1=3,b/\n");
}

TEST_F(SaveSettings, SavedFileLoadsBackToTheSameRecord) {
    load_from("[option]\nsize=41,21\nmagnify=250\nposition=5,270\nhotkey=0,112\n"
              "maruwin=1,1\nsmooth=1\n[target]\n0=2,Cls/t\n");
    Settings loaded = settings;
    save_settings();
    reset_state();
    load_settings();
    EXPECT_EQ(std::memcmp(&settings, &loaded, sizeof settings), 0);
    EXPECT_EQ(rule_count(), 1);
}

TEST_F(SaveSettings, ScratchFileThatCannotBeCreatedSkipsTheSave) {
    const std::string old_content = "[option]\nmagnify=500\n";
    write_bytes(ini_path, old_content);
    // A folder where the scratch file would go makes its creation fail.
    ASSERT_EQ(mkdir(replacement_temp_path(settings_path).c_str(), 0755), 0);
    settings.magnify = 900;
    save_settings();
    EXPECT_EQ(read_bytes(ini_path), old_content);
}

TEST_F(SaveSettings, FailedWriteKeepsTheOldFileAndRemovesTheScratchFile) {
    const std::string old_content = "[option]\nmagnify=500\n[target]\n0=1,Keep/me\n";
    write_bytes(ini_path, old_content);
    ReplacementOpenHook previous = set_replacement_open_hook(open_unwritable);
    settings.magnify = 900;
    save_settings();
    set_replacement_open_hook(previous);
    EXPECT_EQ(read_bytes(ini_path), old_content);
    EXPECT_FALSE(file_exists(replacement_temp_path(settings_path)));
}

TEST_F(SaveSettings, FailedWriteWithoutAnOldFileCreatesNothing) {
    ReplacementOpenHook previous = set_replacement_open_hook(open_unwritable);
    save_settings();
    set_replacement_open_hook(previous);
    EXPECT_FALSE(file_exists(ini_path));
    EXPECT_FALSE(file_exists(replacement_temp_path(settings_path)));
}

TEST_F(SaveSettings, ReadOnlyFolderIsLeftUntouched) {
    const std::string old_content = "[option]\nmagnify=500\n";
    write_bytes(ini_path, old_content);
    // Tests run as root, for whom permission bits do not stop a write; the
    // immutable flag does, where the file system offers it.
    int folder_fd = open(folder.path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(folder_fd, 0);
    int flags = 0;
    if (ioctl(folder_fd, FS_IOC_GETFLAGS, &flags) != 0) {
        close(folder_fd);
        GTEST_SKIP() << "file system without attribute flags";
    }
    int immutable = flags | FS_IMMUTABLE_FL;
    if (ioctl(folder_fd, FS_IOC_SETFLAGS, &immutable) != 0) {
        close(folder_fd);
        GTEST_SKIP() << "cannot make the folder immutable here";
    }
    settings.magnify = 900;
    save_settings();
    ioctl(folder_fd, FS_IOC_SETFLAGS, &flags);
    close(folder_fd);
    EXPECT_EQ(read_bytes(ini_path), old_content);
    EXPECT_FALSE(file_exists(replacement_temp_path(settings_path)));
}

TEST(ReplacementTempPath, LiesBesideTheTargetAndDiffersFromIt) {
    EXPECT_EQ(replacement_temp_path("C:\\Tools\\brisvane.ini"), "C:\\Tools\\brisvane.in~");
    EXPECT_EQ(replacement_temp_path("/x/odd~"), "/x/odd_");
    EXPECT_EQ(begin_replacement(""), nullptr);
}
