// Cross-process probes of the end-to-end suite (see probe.h).
#include "tests/e2e/probe.h"

#include "tests/common/bmp_file.h"

#include <commctrl.h>
#include <shellapi.h>
#include <cstdio>
#include <cstring>

namespace e2e {

bool wait_until(const std::function<bool()>& cond, DWORD timeout_ms, DWORD step_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (cond()) return true;
        if (GetTickCount() - start >= timeout_ms) return cond();
        Sleep(step_ms);
    }
}

bool holds_for(const std::function<bool()>& cond, DWORD period_ms, DWORD step_ms) {
    const DWORD start = GetTickCount();
    do {
        if (!cond()) return false;
        Sleep(step_ms);
    } while (GetTickCount() - start < period_ms);
    return cond();
}

static std::string env(const char* name) {
    char buf[1024];
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof buf);
    if (n == 0 || n >= sizeof buf) return "";
    return std::string(buf, n);
}

std::string product_exe_path() {
    return env("BRISVANE_EXE");
}

// ---- windows -----------------------------------------------------------

namespace {
struct EnumQuery {
    DWORD pid;
    const char* cls;
    bool visible_only;
    std::vector<HWND>* out;
};

BOOL CALLBACK collect_window(HWND w, LPARAM lp) {
    auto* q = reinterpret_cast<EnumQuery*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != q->pid) return TRUE;
    if (q->visible_only && !IsWindowVisible(w)) return TRUE;
    if (q->cls && class_of(w) != q->cls) return TRUE;
    q->out->push_back(w);
    return TRUE;
}

std::vector<HWND> collect_windows(DWORD pid, const char* cls, bool visible_only) {
    std::vector<HWND> out;
    EnumQuery q{pid, cls, visible_only, &out};
    EnumWindows(collect_window, reinterpret_cast<LPARAM>(&q));
    return out;
}
} // namespace

std::vector<HWND> top_windows(DWORD pid, const char* cls) {
    return collect_windows(pid, cls, false);
}

std::vector<HWND> visible_top_windows(DWORD pid, const char* cls) {
    return collect_windows(pid, cls, true);
}

HWND wait_window(DWORD pid, const char* cls, const char* title, DWORD timeout_ms) {
    HWND found = nullptr;
    wait_until(
        [&] {
            for (HWND w : visible_top_windows(pid, cls))
                if (!title || title_of(w) == title) return (found = w) != nullptr;
            return false;
        },
        timeout_ms);
    return found;
}

std::string class_of(HWND w) {
    char buf[256] = "";
    int n = GetClassNameA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

std::string title_of(HWND w) {
    char buf[512] = "";
    int n = GetWindowTextA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

RECT window_rect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

SIZE client_size(HWND w) {
    RECT r{};
    GetClientRect(w, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool same_rect(const RECT& r, int left, int top, int width, int height) {
    return r.left == left && r.top == top && r.right - r.left == width &&
           r.bottom - r.top == height;
}

std::string describe(const RECT& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "(%ld, %ld) %ld x %ld", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    return buf;
}

// ---- screen ------------------------------------------------------------

Grab grab_screen(const RECT& area) {
    Grab g;
    g.area = area;
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return g;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h; // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
    GdiFlush();
    const int stride = (3 * w + 3) & ~3;
    g.pixels.resize(static_cast<size_t>(w) * h);
    const auto* p = static_cast<const uint8_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* px = p + y * stride + 3 * x;
            g.pixels[y * w + x] = (uint32_t(px[2]) << 16) | (uint32_t(px[1]) << 8) | px[0];
        }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return g;
}

Grab grab_window(HWND w) {
    return grab_screen(window_rect(w));
}

Grab settled_grab(const RECT& area) {
    Grab last = grab_screen(area);
    int same = 0;
    wait_until(
        [&] {
            Grab next = grab_screen(area);
            same = next.pixels == last.pixels ? same + 1 : 0;
            last = std::move(next);
            return same >= 2;
        },
        1500, 100);
    return last;
}

bool save_bmp_file(const Grab& g, const std::string& path) {
    const int w = g.area.right - g.area.left, h = g.area.bottom - g.area.top;
    return write_bmp24(path, w, h, [&](int x, int y) { return g.pixels[y * w + x]; });
}

bool save_bmp(const Grab& g, const std::string& name) {
    return save_bmp_file(g, shots_dir() + name + ".bmp");
}

std::string rgb_text(uint32_t rgb) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "(%u, %u, %u)", unsigned(rgb >> 16), unsigned((rgb >> 8) & 0xFF),
                  unsigned(rgb & 0xFF));
    return buf;
}

// ---- input -------------------------------------------------------------

static void send_key(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &in, sizeof in);
}

// Under Wine the X server's pointer is the truth: 100 ms after the last
// change, GetCursorPos takes the X pointer's position back. SetCursorPos
// (and SendInput) may leave the X pointer where it was, since Wine can refuse
// to warp it, so the pointer is moved on the X side with xdotool, which Wine
// starts like any program; SendInput is the fallback where there is none.
bool xdotool(const std::string& args) {
    // Wine starts a Unix program but hands back no usable process handle
    // (and leaves junk in PROCESS_INFORMATION that must not be closed),
    // so the shell around it leaves xdotool's exit status in a file that we
    // wait for.
    static const char* const kShell = "Z:\\bin\\sh";
    static LONG counter = 0;
    if (GetFileAttributesA(kShell) == INVALID_FILE_ATTRIBUTES) return false;
    char name[96];
    std::snprintf(name, sizeof name, "/tmp/brisvane-e2e-xdotool-%lu-%ld", GetCurrentProcessId(),
                  InterlockedIncrement(&counter));
    const std::string unix_path = name;
    std::string windows_path = "Z:" + unix_path;
    for (char& c : windows_path)
        if (c == '/') c = '\\';
    DeleteFileA(windows_path.c_str());
    std::string cmd = "sh -c \"xdotool " + args + "; echo $? > " + unix_path + ".tmp && mv " +
                      unix_path + ".tmp " + unix_path + "\"";
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back(0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(kShell, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return false;
    if (!wait_until(
            [&] { return GetFileAttributesA(windows_path.c_str()) != INVALID_FILE_ATTRIBUTES; },
            kPatience, 5))
        return false;
    char status[16] = "";
    FILE* f = std::fopen(windows_path.c_str(), "rb");
    if (f) {
        size_t n = std::fread(status, 1, sizeof status - 1, f);
        status[n] = 0;
        std::fclose(f);
    }
    DeleteFileA(windows_path.c_str());
    return status[0] == '0';
}

static bool xdotool_move(int x, int y) {
    return xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
}

static void input_move(int x, int y) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    // Rounded up, so that the system's truncating scale-back lands on x, y.
    in.mi.dx = (x * 65536 + w - 1) / w;
    in.mi.dy = (y * 65536 + h - 1) / h;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

static void move_once(int x, int y) {
    if (!xdotool_move(x, y)) input_move(x, y);
}

bool move_pointer(int x, int y) {
    // Trusted once it has held longer than Wine's 100 ms resynchronisation.
    constexpr DWORD kStable = 150, kResend = 400;
    move_once(x, y);
    const DWORD start = GetTickCount();
    DWORD last_move = start, on_target_since = 0;
    bool on_target = false;
    for (;;) {
        const DWORD now = GetTickCount();
        POINT p{};
        GetCursorPos(&p);
        if (p.x == x && p.y == y) {
            if (!on_target) on_target_since = now;
            on_target = true;
            if (now - on_target_since >= kStable) return true;
        } else {
            on_target = false;
            if (now - last_move >= kResend) {
                move_once(x, y);
                last_move = now;
            }
        }
        if (now - start >= kPatience) return false;
        Sleep(5);
    }
}

void key_down(WORD vk) {
    send_key(vk, false);
}
void key_up(WORD vk) {
    send_key(vk, true);
}

void hold_keys(const std::vector<WORD>& vks, DWORD hold_ms) {
    for (WORD vk : vks) {
        key_down(vk);
        Sleep(20);
    }
    Sleep(hold_ms);
    for (auto it = vks.rbegin(); it != vks.rend(); ++it) {
        key_up(*it);
        Sleep(20);
    }
}

void post_wheel(HWND w, int delta, WORD keys, int x, int y) {
    WPARAM wp = (static_cast<WPARAM>(static_cast<WORD>(static_cast<short>(delta))) << 16) | keys;
    LPARAM lp = static_cast<LPARAM>((static_cast<DWORD>(static_cast<WORD>(y)) << 16) |
                                    static_cast<WORD>(x));
    PostMessageA(w, WM_MOUSEWHEEL, wp, lp);
}

// ---- clipboard -----------------------------------------------------------

bool empty_clipboard() {
    if (!OpenClipboard(nullptr)) return false;
    BOOL ok = EmptyClipboard();
    CloseClipboard();
    return ok != 0;
}

bool wait_clipboard_settled(DWORD before, DWORD timeout_ms, DWORD quiet_ms) {
    if (!wait_until([&] { return GetClipboardSequenceNumber() != before; }, timeout_ms))
        return false;
    DWORD seen = GetClipboardSequenceNumber();
    DWORD since = GetTickCount();
    return wait_until(
        [&] {
            const DWORD now = GetClipboardSequenceNumber();
            if (now != seen) {
                seen = now;
                since = GetTickCount();
            }
            return GetTickCount() - since >= quiet_ms;
        },
        timeout_ms);
}

std::vector<uint8_t> clipboard_dib() {
    std::vector<uint8_t> out;
    if (!OpenClipboard(nullptr)) return out;
    HANDLE h = GetClipboardData(CF_DIB);
    if (h) {
        SIZE_T n = GlobalSize(h);
        const void* p = GlobalLock(h);
        if (p && n) out.assign(static_cast<const uint8_t*>(p), static_cast<const uint8_t*>(p) + n);
        if (p) GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

std::string clipboard_text(UINT format) {
    std::string out;
    if (!OpenClipboard(nullptr)) return "(clipboard busy)";
    if (HANDLE h = GetClipboardData(format)) {
        if (const void* p = GlobalLock(h)) {
            if (format == CF_UNICODETEXT)
                for (const WCHAR* w = static_cast<const WCHAR*>(p); *w; ++w)
                    out += *w < 0x80 ? static_cast<char>(*w) : '?';
            else
                out = static_cast<const char*>(p);
            GlobalUnlock(h);
        }
    }
    CloseClipboard();
    return out;
}

// ---- tooltip -------------------------------------------------------------

std::string remote_tooltip_text(HANDLE process, HWND tooltip, HWND owner) {
    // TOOLINFOA in its 44-byte form, then the text buffer.
    constexpr SIZE_T kInfoSize = 44, kTextSize = 256;
    auto* remote = static_cast<uint8_t*>(
        VirtualAllocEx(process, nullptr, kInfoSize + kTextSize, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return "<no remote memory>";
    TOOLINFOA ti{};
    ti.cbSize = kInfoSize;
    ti.uFlags = TTF_IDISHWND;
    ti.hwnd = owner;
    ti.uId = reinterpret_cast<UINT_PTR>(owner);
    ti.lpszText = reinterpret_cast<LPSTR>(remote + kInfoSize);
    char text[kTextSize] = "";
    SIZE_T done = 0;
    WriteProcessMemory(process, remote, &ti, kInfoSize, &done);
    WriteProcessMemory(process, remote + kInfoSize, text, kTextSize, &done);
    DWORD_PTR result = 0;
    SendMessageTimeoutA(tooltip, TTM_GETTEXTA, kTextSize, reinterpret_cast<LPARAM>(remote),
                        SMTO_ABORTIFHUNG, 2000, &result);
    ReadProcessMemory(process, remote + kInfoSize, text, kTextSize - 1, &done);
    text[kTextSize - 1] = 0;
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return text;
}

// ---- tray ----------------------------------------------------------------

static NOTIFYICONDATAA icon_data(HWND owner, UINT uid) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = 88; // the first form, as the product uses
    nid.hWnd = owner;
    nid.uID = uid;
    return nid;
}

bool tray_icon_exists(HWND owner, UINT uid) {
    NOTIFYICONDATAA nid = icon_data(owner, uid);
    nid.uFlags = NIF_TIP;
    std::strcpy(nid.szTip, "Brisvane");
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != 0;
}

bool tray_icon_delete(HWND owner, UINT uid) {
    NOTIFYICONDATAA nid = icon_data(owner, uid);
    return Shell_NotifyIconA(NIM_DELETE, &nid) != 0;
}

// ---- Wine ----------------------------------------------------------------

WineVersionOverride::WineVersionOverride(const char* exe_name, const char* version)
    : key_(std::string("Software\\Wine\\AppDefaults\\") + exe_name) {
    HKEY k = nullptr;
    error_ = RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0,
                             KEY_SET_VALUE | KEY_QUERY_VALUE, nullptr, &k, nullptr);
    if (error_ != ERROR_SUCCESS) return;
    char old[64];
    DWORD type = 0, size = sizeof old;
    if (RegQueryValueExA(k, "Version", nullptr, &type, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        had_previous_ = true;
        previous_.assign(old, size > 0 ? size - 1 : 0);
    }
    error_ = RegSetValueExA(k, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version),
                            static_cast<DWORD>(std::strlen(version) + 1));
    ok_ = error_ == ERROR_SUCCESS;
    RegCloseKey(k);
}

WineVersionOverride::~WineVersionOverride() {
    HKEY k = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
        if (had_previous_)
            RegSetValueExA(k, "Version", 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(previous_.c_str()),
                           static_cast<DWORD>(previous_.size() + 1));
        else
            RegDeleteValueA(k, "Version");
        RegCloseKey(k);
    }
    // The key itself stays (empty, it changes nothing): deleting it while a
    // process that read it is still being torn down by the server leaves a
    // deleted key that the next RegCreateKeyEx may hand out, and setting a
    // value on it fails.
}

} // namespace e2e
