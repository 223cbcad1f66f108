// What caret following adds to each tick, as the shipped 32-bit program
// runs it: built with the product's compiler and flags, linked against the
// product's own library, run under Wine (docs/performance.md). It times the
// tick's caret step, followed_point, with the foreground window in each of
// the states the tick meets:
//
//   off          the setting off: no call at all
//   caret        a window with a system caret (shown)
//   control      a focused small control without a caret (its rectangle)
//   none         a focused large window without a caret, which has no
//                accessibility caret either (asked, then left alone)
//   accessible   no system caret, a caret published through accessibility
//                (the window on another thread of this process: COM across
//                apartments, not across processes); the answer stands for
//                a moment, so a tight loop mostly reuses it
//   accessible-question  the same, asked on every call
//
// Each case: batches of calls lasting about batch_ms, the fastest batch
// counts; then the read and write system calls of 2000 calls (under Wine an
// exact count where time is noisy). Arguments: batches (default 15), seconds
// per batch (0.02). Prints "case microseconds-per-call system-calls-per-call".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "engine/caret_tracking.h"
#include "settings/settings.h"
#include "tests/common/caret_object.h"

namespace {

enum class Kind { caret, control, none, accessible };

// The foreground window of one case, on a thread of its own as another
// program's would be.
struct Foreground {
    Kind kind;
    HWND window = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    caret_test::CaretObject caret_object;
};

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto* self = reinterpret_cast<Foreground*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message == WM_SETFOCUS && self->kind == Kind::caret) {
        CreateCaret(window, nullptr, 2, 16);
        SetCaretPos(40, 20);
        ShowCaret(window);
        return 0;
    }
    if (self && message == WM_GETOBJECT && static_cast<LONG>(lparam) == OBJID_CARET &&
        self->kind == Kind::accessible)
        return LresultFromObject(caret_test::kIidAccessible, wparam, &self->caret_object);
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wparam, lparam);
}

DWORD WINAPI run(void* parameter) {
    auto* self = static_cast<Foreground*>(parameter);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BrisvaneTimingEditor";
    RegisterClassA(&wc);
    self->window = CreateWindowExA(0, wc.lpszClassName, "editor", WS_POPUP | WS_VISIBLE, 300, 200,
                                   400, 200, nullptr, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrA(self->window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->caret_object.left = 340;
    self->caret_object.top = 220;
    if (self->kind == Kind::control) {
        HWND button = CreateWindowExA(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 10, 10, 60, 22,
                                      self->window, nullptr, wc.hInstance, nullptr);
        SetFocus(button);
    }
    SetEvent(self->ready);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    CoUninitialize();
    return 0;
}

double seconds_now() {
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart) QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / frequency.QuadPart;
}

// Read and write system calls this process has made so far (under Wine, its
// server requests and X traffic): Wine maps the Unix root to Z:. -1 when
// they cannot be read (on Windows).
long long system_calls() {
    FILE* file = std::fopen("Z:\\proc\\self\\io", "r");
    if (!file) return -1;
    long long reads = -1, writes = -1;
    char line[128];
    while (std::fgets(line, sizeof line, file)) {
        std::sscanf(line, "syscr: %lld", &reads);
        std::sscanf(line, "syscw: %lld", &writes);
    }
    std::fclose(file);
    return reads < 0 || writes < 0 ? -1 : reads + writes;
}

// One tick's caret step; with `fresh`, following starts afresh first, so
// that an answer from accessibility never stands and every call asks.
void step(bool fresh) {
    if (fresh) restart_caret_following();
    followed_point(POINT{100, 650});
}

// System calls per call, over a fixed number of calls.
double calls_per_call(bool fresh) {
    constexpr int kCalls = 500;
    const long long before = system_calls();
    for (int i = 0; i < kCalls; ++i)
        step(fresh);
    const long long after = system_calls();
    return before < 0 || after < 0 ? -1 : static_cast<double>(after - before) / kCalls;
}

// Seconds per call of the fastest batch.
double best_time(int batches, double batch_seconds, bool fresh) {
    int calls = 0;
    for (double start = seconds_now(); seconds_now() - start < batch_seconds; ++calls)
        step(fresh);
    if (calls < 1) calls = 1;
    double best = 1e30;
    for (int b = 0; b < batches; ++b) {
        const double start = seconds_now();
        for (int i = 0; i < calls; ++i)
            step(fresh);
        const double per_call = (seconds_now() - start) / calls;
        if (per_call < best) best = per_call;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const int batches = argc > 1 ? std::atoi(argv[1]) : 15;
    const double batch_seconds = argc > 2 ? std::atof(argv[2]) : 0.02;
    settings = initial_settings();
    settings.size = {37, 37};

    settings.caret = 0;
    std::printf("off %.2f %.2f\n", best_time(batches, batch_seconds, false) * 1e6,
                calls_per_call(false));

    const struct {
        Kind kind;
        const char* name;
    } cases[] = {{Kind::caret, "caret"},
                 {Kind::control, "control"},
                 {Kind::none, "none"},
                 {Kind::accessible, "accessible"}};
    for (const auto& c : cases) {
        Foreground foreground;
        foreground.kind = c.kind;
        HANDLE thread = CreateThread(nullptr, 0, run, &foreground, 0, nullptr);
        WaitForSingleObject(foreground.ready, 5000);
        bool in_front = false;
        for (int i = 0; i < 300 && !in_front; ++i) {
            SetForegroundWindow(foreground.window);
            GUITHREADINFO info = {};
            info.cbSize = sizeof(info);
            in_front = GetGUIThreadInfo(0, &info) && info.hwndActive == foreground.window &&
                       info.hwndFocus != nullptr;
            if (!in_front) Sleep(10);
        }
        settings.caret = 1;
        restart_caret_following();
        const double seconds = best_time(batches, batch_seconds, false);
        std::printf("%s %.2f %.2f%s\n", c.name, seconds * 1e6, calls_per_call(false),
                    in_front ? "" : " (not in front)");
        if (c.kind == Kind::accessible) {
            // What one question costs, whenever it is asked.
            const double question = best_time(batches, batch_seconds, true);
            std::printf("accessible-question %.2f %.2f\n", question * 1e6, calls_per_call(true));
        }
        PostMessageA(foreground.window, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        CloseHandle(foreground.ready);
    }
    return 0;
}
