// One run of the real brisvane.exe for an end-to-end test: a fresh temporary
// folder holding a copy of the executable (and, when the test wants one, a
// brisvane.ini), the process, its loupe window, and a teardown that always
// leaves nothing running so one failing test never poisons the next.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

#include "tests/e2e/probe.h"

namespace e2e {

class ProductRun {
  public:
    // Copies the executable named by BRISVANE_EXE (or exe when given) into a
    // new temporary folder under the name file_name, which may name folders
    // inside it too ("a\\b\\x.exe"; they are made).
    explicit ProductRun(const std::string& exe = "", const char* file_name = "brisvane.exe");
    ~ProductRun(); // terminates a process still alive, deletes the folder
    ProductRun(const ProductRun&) = delete;
    ProductRun& operator=(const ProductRun&) = delete;

    bool prepared() const { return prepared_; }           // the folder and the copy exist
    const std::string& folder() const { return folder_; } // trailing backslash
    std::string ini_path() const { return exe_folder_ + "brisvane.ini"; }

    bool write_ini(const std::string& text); // "\n" becomes CR LF
    bool ini_exists() const;
    std::string read_ini() const; // raw bytes, "" when absent

    // Starts the copy, optionally with a command line tail.
    bool start(const std::string& args = "");
    // Writes the INI text (none when empty), starts the copy and waits for
    // its loupe window. On failure *why says which step failed.
    bool launch(const std::string& ini, std::string* why = nullptr);
    DWORD pid() const { return pi_.dwProcessId; }
    HANDLE process() const { return pi_.hProcess; }
    bool running() const;

    // Waits for the loupe window: a top-level window of class BRISVANE_CLASS
    // of this process. Returns it, or null when none appeared in time.
    HWND wait_loupe(DWORD timeout_ms = kPatience);
    HWND loupe() const { return loupe_; }

    // Waits for the process to end; true with its exit code when it did.
    bool wait_exit(DWORD timeout_ms, DWORD* code);
    // The exit command of the popup menu (WM_COMMAND 40001), then the wait.
    bool exit_by_menu(DWORD timeout_ms, DWORD* code);
    // WM_CLOSE to the loupe, then the wait.
    bool close_window(DWORD timeout_ms, DWORD* code);
    // Ends the run however it can: the exit command, WM_CLOSE, then
    // TerminateProcess. True when the process ended by itself with code 0.
    bool shut_down();

    void post_command(WORD id) const;

  private:
    std::string source_;
    std::string folder_;
    std::vector<std::string> subfolders_; // made inside folder_, outermost first
    std::string exe_folder_;
    std::string exe_path_;
    bool prepared_ = false;
    PROCESS_INFORMATION pi_{};
    HWND loupe_ = nullptr;
};

// Reads key from [section] of an INI text (as written by the product).
// Returns false when the key is absent.
bool ini_value(const std::string& ini, const char* section, const char* key, std::string* value);

} // namespace e2e
