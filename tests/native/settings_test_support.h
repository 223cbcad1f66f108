// Helpers for the settings and rule tests: a fresh temporary folder per test
// and a clean settings record pointed at a file in it.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/rules.h"
#include "settings/settings.h"

class TempFolder {
  public:
    TempFolder() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/brisvane-XXXXXX";
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (mkdtemp(buffer.data())) path_ = buffer.data();
    }
    ~TempFolder() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool file_exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// Every test starts from the process's state before start-up, with
// settings_path naming brisvane.ini in a fresh folder.
class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(folder.path().empty());
        reset_state();
        ini_path = folder.file("brisvane.ini");
        ASSERT_LT(ini_path.size(), sizeof settings_path);
        std::strcpy(settings_path, ini_path.c_str());
    }
    void TearDown() override { clear_rules(); }

    // The state before start-up: the initial record, empty rules, derived
    // values as statically initialised.
    static void reset_state() {
        settings = initial_settings();
        half_size = {0, 0};
        size_aspect = 1.0f;
        zoomed_size = {0, 0};
        clear_rules();
    }

    // Writes content as the settings file and loads it as start-up does,
    // from the state before start-up.
    void load_from(const std::string& content) {
        write_bytes(ini_path, content);
        reset_state();
        load_settings();
    }

    TempFolder folder;
    std::string ini_path;
};
