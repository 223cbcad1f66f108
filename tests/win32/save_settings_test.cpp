// save_settings and load_settings on the real system calls: text-mode CR LF
// lines, whole replacement of the old file, and the old file kept whenever a
// save cannot complete.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "platform/file_replace.h"
#include "settings/rules.h"
#include "settings/settings.h"
#include "tests/common/settings_helpers.h"
#include "tests/win32/settings_temp_folder.h"
#include "tests/win32/test_support.h"

namespace {

class SettingsOnWindows : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        test_support::reset_settings();
        use_file("brisvane.ini");
    }
    void TearDown() override { clear_rules(); }

    // The system's reader keeps what it read by path and modification time,
    // so a test that reads a file it has just rewritten reads a fresh copy.
    void use_file(const char* name) {
        ini_path = folder.file(name);
        ASSERT_LT(ini_path.size(), sizeof settings_path);
        std::strcpy(settings_path, ini_path.c_str());
        temp_path = replacement_temp_path(settings_path);
    }

    // A save that could not complete left the file as it was and no scratch
    // file beside it.
    void expect_old_file_kept(const std::string& old_content) {
        EXPECT_EQ(read_file_bytes(ini_path), old_content);
        EXPECT_FALSE(path_exists(temp_path));
    }

    WinTempFolder folder;
    std::string ini_path;
    std::string temp_path;
};

const char kSavedDefaults[] =
    "[option]\r\nsize=37,37\r\nmagnify=300\r\nposition=16,135\r\n"
    "interval=10\r\nttdisp=1\r\nhotkey=17,0\r\nloupe=0\r\n"
    "loupetype=0\r\nlayered=0\r\nvisible=1\r\ntoggledef=1\r\n"
    "marker=1\r\naddhole=0\r\ngraybmp=0\r\ninvertbmp=0\r\nwinset=0\r\n"
    "smooth=0\r\nposat=0\r\nwaddjust=10\r\nmaruwin=0,1\r\n"
    "hexcolor=0\r\ncaret=0\r\ngrid=0\r\ngridzoom=800\r\nfreezekey=19\r\n\r\n[target]\r\n";

} // namespace

TEST_F(SettingsOnWindows, SaveWritesCrLfLinesInTheirOrder) {
    load_settings();
    // メモ帳 / 無題: code page 932 text goes out byte for byte.
    insert_rule("Notepad", "\x96\xB3\x91\xE8", 2);
    save_settings();
    EXPECT_EQ(read_file_bytes(ini_path),
              std::string(kSavedDefaults) + "count=1\r\n0=2,Notepad/\x96\xB3\x91\xE8\r\n");
    EXPECT_FALSE(path_exists(temp_path));
}

TEST_F(SettingsOnWindows, SaveReplacesALongerFileWhole) {
    std::string old_content = "[option]\r\nsize=21,21\r\n; " + std::string(5000, '#') + "\r\n";
    ASSERT_TRUE(write_file_bytes(ini_path, old_content));
    load_settings();
    EXPECT_EQ(settings.size, (IntPair{21, 21}));
    settings.size = {37, 37};
    save_settings();
    EXPECT_EQ(read_file_bytes(ini_path), std::string(kSavedDefaults) + "count=0\r\n");
    EXPECT_FALSE(path_exists(temp_path));
}

TEST_F(SettingsOnWindows, ScratchFileThatCannotBeCreatedLeavesTheOldFile) {
    const std::string old_content = "[option]\r\nmagnify=500\r\n";
    ASSERT_TRUE(write_file_bytes(ini_path, old_content));
    ASSERT_TRUE(CreateDirectoryA(temp_path.c_str(), nullptr));
    save_settings();
    EXPECT_EQ(read_file_bytes(ini_path), old_content);
}

TEST_F(SettingsOnWindows, FailedWriteLeavesTheOldFileAndNoScratchFile) {
    const std::string old_content = "[option]\r\nmagnify=500\r\n[target]\r\n0=1,Keep/me\r\n";
    ASSERT_TRUE(write_file_bytes(ini_path, old_content));
    ReplacementOpenHook previous = set_replacement_open_hook(open_unwritable);
    save_settings();
    set_replacement_open_hook(previous);
    expect_old_file_kept(old_content);
}

TEST_F(SettingsOnWindows, ReadOnlyFileIsNotReplaced) {
    const std::string old_content = "[option]\r\nmagnify=500\r\n";
    ASSERT_TRUE(write_file_bytes(ini_path, old_content));
    ASSERT_TRUE(SetFileAttributesA(ini_path.c_str(), FILE_ATTRIBUTE_READONLY));
    save_settings();
    SetFileAttributesA(ini_path.c_str(), FILE_ATTRIBUTE_NORMAL);
    expect_old_file_kept(old_content);
}

TEST_F(SettingsOnWindows, FileHeldOpenByAnotherProgramIsNotReplaced) {
    const std::string old_content = "[option]\r\nmagnify=500\r\n";
    ASSERT_TRUE(write_file_bytes(ini_path, old_content));
    HANDLE held = CreateFileA(ini_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    save_settings();
    CloseHandle(held);
    expect_old_file_kept(old_content);
}

TEST_F(SettingsOnWindows, LoadThroughTheSystemReader) {
    ASSERT_TRUE(write_file_bytes(ini_path, "[option]\r\nsize=36,40\r\nmagnify=99\r\n"
                                           "position=\r\nvisible=9\r\nsmooth=-1\r\nposat=4\r\n"
                                           "maruwin=1\r\n[target]\r\ncount=5\r\n"
                                           "0=2,Notepad/abc\r\n1=1,A,B/t\r\n3=3,Lost/\r\n"));
    load_settings();
    EXPECT_EQ(settings.size, (IntPair{37, 41}));
    EXPECT_EQ(half_size, (IntPair{18, 20}));
    EXPECT_FLOAT_EQ(size_aspect, 37.0f / 41.0f);
    EXPECT_EQ(settings.magnify, 100);
    EXPECT_EQ(settings.position, (IntPair{14, 14}));
    EXPECT_EQ(settings.visible, 3);
    EXPECT_EQ(settings.smooth, 0);
    EXPECT_EQ(settings.posat, 0);
    EXPECT_EQ(settings.maruwin, (IntPair{1, 1}));
    EXPECT_EQ(rule_count(), 2);
    int32_t type = 0;
    EXPECT_TRUE(lookup_rule("A,B", "a title", &type));
    EXPECT_EQ(type, 1);

    use_file("saved.ini");
    save_settings();
    std::string saved = read_file_bytes(ini_path);
    EXPECT_NE(saved.find("size=37,41\r\nmagnify=100\r\nposition=14,14\r\n"), std::string::npos);
    std::string tail = "[target]\r\ncount=2\r\n0=1,A,B/t\r\n1=2,Notepad/abc\r\n";
    ASSERT_GE(saved.size(), tail.size());
    EXPECT_EQ(saved.substr(saved.size() - tail.size()), tail);
}

TEST_F(SettingsOnWindows, MissingFileLoadsTheDefaults) {
    load_settings();
    EXPECT_EQ(settings.size, (IntPair{37, 37}));
    EXPECT_EQ(settings.magnify, 300);
    EXPECT_EQ(settings.position, (IntPair{16, 135}));
    EXPECT_EQ(settings.hotkey, (IntPair{17, 0}));
    EXPECT_EQ(rule_count(), 0);
    EXPECT_FALSE(path_exists(ini_path)) << "loading never creates the file";
}
