// Life cycle of one product run (see product.h).
#include "tests/e2e/product.h"

#include "resources/resource.h"
#include "tests/e2e/probe.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace e2e {

static std::string new_temp_folder() {
    static LONG counter = 0;
    char base[MAX_PATH];
    DWORD n = GetTempPathA(sizeof base, base);
    if (n == 0 || n >= sizeof base) return "";
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[MAX_PATH + 64];
        std::snprintf(name, sizeof name, "%sbrisvane-e2e-%lu-%ld-%lu\\", base,
                      GetCurrentProcessId(), InterlockedIncrement(&counter), GetTickCount());
        if (CreateDirectoryA(name, nullptr)) return name;
    }
    return "";
}

ProductRun::ProductRun(const std::string& exe, const char* file_name)
    : source_(exe.empty() ? product_exe_path() : exe) {
    if (source_.empty()) return;
    folder_ = new_temp_folder();
    if (folder_.empty()) return;
    exe_folder_ = folder_;
    // Split by characters: a code page 932 second byte may be a backslash byte.
    for (const char* p = file_name; *p; p += IsDBCSLeadByte(BYTE(*p)) && p[1] ? 2 : 1) {
        if (*p != '\\') continue;
        exe_folder_ = folder_ + std::string(file_name, p + 1);
        if (!CreateDirectoryA(exe_folder_.c_str(), nullptr)) return;
        subfolders_.push_back(exe_folder_);
    }
    exe_path_ = folder_ + file_name;
    prepared_ = CopyFileA(source_.c_str(), exe_path_.c_str(), TRUE) != 0;
}

static void delete_files_in(const std::string& folder) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

ProductRun::~ProductRun() {
    if (pi_.hProcess) {
        if (running()) {
            TerminateProcess(pi_.hProcess, 1);
            WaitForSingleObject(pi_.hProcess, 5000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    if (folder_.empty()) return;
    // The folders hold the executable and whatever the product wrote.
    delete_files_in(exe_folder_);
    for (auto folder = subfolders_.rbegin(); folder != subfolders_.rend(); ++folder)
        RemoveDirectoryA(folder->c_str());
    delete_files_in(folder_);
    RemoveDirectoryA(folder_.c_str());
}

bool ProductRun::write_ini(const std::string& text) {
    std::string crlf;
    for (char c : text) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    FILE* f = std::fopen(ini_path().c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(crlf.data(), 1, crlf.size(), f) == crlf.size();
    return std::fclose(f) == 0 && ok;
}

bool ProductRun::ini_exists() const {
    return GetFileAttributesA(ini_path().c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ProductRun::read_ini() const {
    std::string out;
    FILE* f = std::fopen(ini_path().c_str(), "rb");
    if (!f) return out;
    char buf[4096];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        out.append(buf, n);
    std::fclose(f);
    return out;
}

bool ProductRun::start(const std::string& args) {
    if (!prepared_ || pi_.hProcess) return false;
    std::string cmd = "\"" + exe_path_ + "\"";
    if (!args.empty()) cmd += " " + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    return CreateProcessA(exe_path_.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          folder_.c_str(), &si, &pi_) != 0;
}

bool ProductRun::launch(const std::string& ini, std::string* why) {
    std::string failed;
    if (!prepared_)
        failed = "cannot copy the product into a temporary folder";
    else if (!ini.empty() && !write_ini(ini))
        failed = "cannot write brisvane.ini";
    else if (!start())
        failed = "CreateProcess failed: " + std::to_string(GetLastError());
    else if (!wait_loupe())
        failed = "no BRISVANE_CLASS window appeared";
    if (why) *why = failed;
    return failed.empty();
}

bool ProductRun::running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND ProductRun::wait_loupe(DWORD timeout_ms) {
    if (!pi_.hProcess) return nullptr;
    wait_until([&] { return !top_windows(pid(), "BRISVANE_CLASS").empty() || !running(); },
               timeout_ms);
    auto found = top_windows(pid(), "BRISVANE_CLASS");
    loupe_ = found.empty() ? nullptr : found.front();
    return loupe_;
}

bool ProductRun::wait_exit(DWORD timeout_ms, DWORD* code) {
    if (!pi_.hProcess) return false;
    if (WaitForSingleObject(pi_.hProcess, timeout_ms) != WAIT_OBJECT_0) return false;
    DWORD c = 0;
    GetExitCodeProcess(pi_.hProcess, &c);
    if (code) *code = c;
    return true;
}

void ProductRun::post_command(WORD id) const {
    if (loupe_) PostMessageA(loupe_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

bool ProductRun::exit_by_menu(DWORD timeout_ms, DWORD* code) {
    post_command(IDM_EXIT);
    return wait_exit(timeout_ms, code);
}

bool ProductRun::close_window(DWORD timeout_ms, DWORD* code) {
    if (loupe_) PostMessageA(loupe_, WM_CLOSE, 0, 0);
    return wait_exit(timeout_ms, code);
}

bool ProductRun::shut_down() {
    if (!pi_.hProcess) return true;
    DWORD code = 1;
    if (!running()) return wait_exit(0, &code) && code == 0;
    if (exit_by_menu(kPatience, &code) || close_window(kPatience, &code)) return code == 0;
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, 5000);
    return false;
}

bool ini_value(const std::string& ini, const char* section, const char* key, std::string* value) {
    std::string current;
    size_t pos = 0;
    while (pos < ini.size()) {
        size_t end = ini.find('\n', pos);
        if (end == std::string::npos) end = ini.size();
        std::string line = ini.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            current = line.substr(1, line.size() - 2);
            continue;
        }
        size_t eq = line.find('=');
        if (eq == std::string::npos || current != section) continue;
        if (line.compare(0, eq, key) == 0 && std::strlen(key) == eq) {
            if (value) *value = line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

} // namespace e2e
