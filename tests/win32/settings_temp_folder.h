// A fresh folder under the Windows temporary folder for one test, removed
// with its content afterwards.
#pragma once
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

class WinTempFolder {
  public:
    WinTempFolder() {
        char base[MAX_PATH];
        DWORD n = GetTempPathA(sizeof base, base);
        if (n == 0 || n >= sizeof base) return;
        static unsigned serial = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char name[MAX_PATH];
            std::snprintf(name, sizeof name, "%sbrisvane-settings-%lu-%u", base,
                          GetCurrentProcessId(), serial++);
            if (CreateDirectoryA(name, nullptr)) {
                path_ = name;
                return;
            }
        }
    }
    ~WinTempFolder() {
        if (!path_.empty()) remove_tree(path_);
    }
    WinTempFolder(const WinTempFolder&) = delete;
    WinTempFolder& operator=(const WinTempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }

  private:
    static void remove_tree(const std::string& folder) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = folder + "\\" + name;
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    remove_tree(full);
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(search, &found));
            FindClose(search);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string path_;
};

inline bool write_file_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return bool(out);
}

inline std::string read_file_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool path_exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
