// Probes the end-to-end tests use to look at a running brisvane.exe from the
// outside: its windows, the screen, the clipboard, the tooltip text, and the
// keyboard and mouse input it polls. Everything here works across processes,
// so the suite never links against the product.
#pragma once
#include <windows.h>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// How long a wait for something that must happen may last. Generous: on a
// busy machine the program, Wine or the X server can lag for seconds, and a
// wait ends as soon as its condition holds.
constexpr DWORD kPatience = 15000;

// Polls cond every step_ms until it holds or timeout_ms has passed; returns
// the last result. The only way the suite waits for the product.
bool wait_until(const std::function<bool()>& cond, DWORD timeout_ms = kPatience,
                DWORD step_ms = 10);

// Watches cond for the whole period and returns false as soon as it fails.
bool holds_for(const std::function<bool()>& cond, DWORD period_ms, DWORD step_ms = 10);

// Windows path of the product under test (BRISVANE_EXE), empty when unset.
std::string product_exe_path();

// ---- windows -----------------------------------------------------------

// Top-level windows of process pid whose class is cls (any class when null),
// hidden ones included.
std::vector<HWND> top_windows(DWORD pid, const char* cls);
// The same, visible ones only.
std::vector<HWND> visible_top_windows(DWORD pid, const char* cls);
// Waits for a visible top-level window of process pid of class cls (and with
// that title when one is given). Returns it, or null when none came in time.
HWND wait_window(DWORD pid, const char* cls, const char* title = nullptr,
                 DWORD timeout_ms = kPatience);
std::string class_of(HWND w);
std::string title_of(HWND w);
RECT window_rect(HWND w);
SIZE client_size(HWND w);
bool same_rect(const RECT& r, int left, int top, int width, int height);
std::string describe(const RECT& r); // "(l, t) w x h", for failure messages

// ---- screen ------------------------------------------------------------

// A copy of a screen rectangle, exact 24-bit values. Pixels are 0xRRGGBB.
struct Grab {
    RECT area{};
    std::vector<uint32_t> pixels;
    bool contains(int x, int y) const {
        return x >= area.left && x < area.right && y >= area.top && y < area.bottom;
    }
    // x, y in screen coordinates.
    uint32_t at(int x, int y) const {
        return pixels[(y - area.top) * (area.right - area.left) + (x - area.left)];
    }
};

// BitBlt from the desktop DC into a 24-bit DIB section. Under Wine this
// includes layered windows, so a grab of the loupe shows what it drew.
Grab grab_screen(const RECT& area);
Grab grab_window(HWND w);
// A grab taken once three grabs 100 ms apart agree (or after 1.5 s): for
// screenshots of windows that may still be repainting.
Grab settled_grab(const RECT& area);
// Writes the grab as a 24-bit BMP named name (".bmp" appended) into the
// screenshot folder (BRISVANE_SHOTS, else the current one).
bool save_bmp(const Grab& g, const std::string& name);
bool save_bmp_file(const Grab& g, const std::string& path);
std::string rgb_text(uint32_t rgb); // "(r, g, b)" for failure messages

// ---- input -------------------------------------------------------------

// Presses the keys in order, holds them hold_ms (longer than the product's
// 10 ms poll), releases them in reverse order.
// Runs xdotool on the X display Wine uses (Wine starts Unix programs like
// any other); false when it is not installed or does not start.
bool xdotool(const std::string& args);
// Moves the pointer and waits until it stays there (see probe.cpp for why
// this goes through the X server under Wine).
bool move_pointer(int x, int y);
void hold_keys(const std::vector<WORD>& vks, DWORD hold_ms);
void key_down(WORD vk);
void key_up(WORD vk);
// Posts WM_MOUSEWHEEL as the system would deliver it: delta in the signed
// high word of wParam, key state in the low word, screen point in lParam.
void post_wheel(HWND w, int delta, WORD keys, int x, int y);

// ---- clipboard -----------------------------------------------------------

bool empty_clipboard();
// Waits until the clipboard's sequence number differs from before and has
// then stayed the same for quiet_ms, without opening the clipboard (opening
// it while the program copies makes the program's OpenClipboard fail).
bool wait_clipboard_settled(DWORD before, DWORD timeout_ms = kPatience, DWORD quiet_ms = 300);
// The CF_DIB block on the clipboard, or an empty vector.
std::vector<uint8_t> clipboard_dib();
// The text on the clipboard in CF_TEXT or CF_UNICODETEXT (its ASCII
// characters; any other one becomes '?'), "" when there is none.
std::string clipboard_text(UINT format);

// ---- tooltip -------------------------------------------------------------

// Text of the tool (owner, uId = owner, TTF_IDISHWND) of another process's
// tooltip, read with TTM_GETTEXTA through memory allocated in that process.
std::string remote_tooltip_text(HANDLE process, HWND tooltip, HWND owner);

// ---- tray ----------------------------------------------------------------

// NIM_MODIFY of the tip of icon (owner, uid): succeeds only while that icon
// exists in the notification area.
bool tray_icon_exists(HWND owner, UINT uid);
bool tray_icon_delete(HWND owner, UINT uid);

// ---- Wine ----------------------------------------------------------------

// Makes Wine report another Windows version to processes named exe_name
// (HKCU\Software\Wine\AppDefaults\<exe_name>\Version), and restores the
// previous value (or none) on destruction.
class WineVersionOverride {
  public:
    WineVersionOverride(const char* exe_name, const char* version);
    ~WineVersionOverride();
    bool ok() const { return ok_; }
    long error() const { return error_; } // the failing registry call's result
    WineVersionOverride(const WineVersionOverride&) = delete;
    WineVersionOverride& operator=(const WineVersionOverride&) = delete;

  private:
    std::string key_;
    bool ok_ = false;
    long error_ = 0;
    std::string previous_; // a Version value that was there before
    bool had_previous_ = false;
};

} // namespace e2e
