// Asking a window for its accessibility caret. The usual helper
// (AccessibleObjectFromWindow) sends WM_GETOBJECT with a plain SendMessage,
// which waits for ever on a hung program, so the steps are taken here one by
// one, each with its guard:
//   1. IsHungAppWindow: a program that has not read its messages for seconds
//      is not asked at all;
//   2. WM_GETOBJECT(OBJID_CARET) by SendMessageTimeout, SMTO_ABORTIFHUNG and
//      SMTO_BLOCK (nothing of ours runs meanwhile), answered within
//      kAccessibleAnswerMs or not at all;
//   3. ObjectFromLresult and IAccessible::accLocation, COM calls into the
//      program right after it answered: should it stop answering in between,
//      a message filter cancels the call after kAccessibleCallLimitMs. (Wine's
//      COM calls the filter but goes on waiting: there this last guard holds
//      only on Windows.)
// A window that fails any step, or has no caret object, is left alone for a
// while; each tick asks at most one window one question, and an answer
// stands for a moment before the next question.
//
// oleacc and ole32 are loaded on the first question, not imported: most
// users never need them, and the program keeps starting on systems and in
// set-ups where they are missing.
#include "engine/caret_accessible.h"

#include <oleacc.h>

namespace {

// Spelled out rather than taken from the import libraries, which the
// program does not link.
const IID kIidAccessible = {
    0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
const IID kIidUnknown = {0, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID kIidMessageFilter = {0x16, 0, 0, {0xc0, 0, 0, 0, 0, 0, 0, 0x46}};

using ObjectFromLresultFunction = HRESULT(WINAPI*)(LRESULT, REFIID, WPARAM, void**);
using CoInitializeExFunction = HRESULT(WINAPI*)(void*, DWORD);
using CoRegisterMessageFilterFunction = HRESULT(WINAPI*)(IMessageFilter*, IMessageFilter**);

struct ComFunctions {
    ObjectFromLresultFunction object_from_lresult = nullptr;
    CoRegisterMessageFilterFunction register_message_filter = nullptr;
};

template <typename Function> Function lookup(HMODULE module, const char* name) {
    return module
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
               : nullptr;
}

// Loaded and COM started (single-threaded apartment: this is the window's
// thread) on the first question; kept for the rest of the run.
ComFunctions load_com() {
    ComFunctions com;
    HMODULE ole32 = LoadLibraryA("ole32.dll");
    HMODULE oleacc = LoadLibraryA("oleacc.dll");
    auto co_initialize_ex = lookup<CoInitializeExFunction>(ole32, "CoInitializeEx");
    com.register_message_filter =
        lookup<CoRegisterMessageFilterFunction>(ole32, "CoRegisterMessageFilter");
    com.object_from_lresult = lookup<ObjectFromLresultFunction>(oleacc, "ObjectFromLresult");
    if (!co_initialize_ex || !com.register_message_filter) {
        com.object_from_lresult = nullptr;
        return com;
    }
    // Already started by someone else, in either model, is as good.
    const HRESULT started = co_initialize_ex(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(started) && started != RPC_E_CHANGED_MODE) com.object_from_lresult = nullptr;
    return com;
}

// Loaded once, on the first question; a flag rather than a static
// initialised by a call, for Windows XP (see dpi_maps in caret_read_win.cpp).
const ComFunctions& com() {
    static ComFunctions functions;
    static bool loaded = false;
    if (!loaded) {
        functions = load_com();
        loaded = true;
    }
    return functions;
}

// Cancels our outgoing call once it has waited too long. COM calls it while
// it waits, whenever a message arrives for this thread (a timer set for the
// call makes sure one does).
class CallLimit : public IMessageFilter {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, kIidUnknown) || IsEqualIID(iid, kIidMessageFilter)) {
            *object = static_cast<IMessageFilter*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the stack for one call: no counting.
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO) override {
        return SERVERCALL_ISHANDLED;
    }
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK, DWORD, DWORD) override {
        return static_cast<DWORD>(-1); // give up at once
    }
    DWORD STDMETHODCALLTYPE MessagePending(HTASK, DWORD waited_ms, DWORD) override {
        return waited_ms > kAccessibleCallLimitMs ? PENDINGMSG_CANCELCALL
                                                  : PENDINGMSG_WAITDEFPROCESS;
    }
};

bool busy = false;
// One window left alone until a time (the focused window is the one asked).
HWND paused_window = nullptr;
DWORD paused_until = 0;
// The last answer: which window, when, and where its caret was.
HWND answered_window = nullptr;
DWORD answered_at = 0;
PixelRect answered_rect = {};

void pause_window(HWND window, DWORD milliseconds) {
    paused_window = window;
    paused_until = GetTickCount() + milliseconds;
}

bool paused(HWND window) {
    return window == paused_window && static_cast<LONG>(paused_until - GetTickCount()) > 0;
}

// Where the caret object says the caret is; false when it cannot say.
bool locate(IAccessible* caret, PixelRect* rect) {
    VARIANT self = {};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    long left = 0, top = 0, width = 0, height = 0;
    if (caret->accLocation(&left, &top, &width, &height, self) != S_OK) return false;
    *rect = {left, top, left + width, top + height};
    return true;
}

} // namespace

bool accessible_caret_busy() {
    return busy;
}

void forget_accessible_caret() {
    paused_window = nullptr;
    answered_window = nullptr;
}

bool accessible_caret_rect(HWND window, PixelRect* rect) {
    if (busy || !window || paused(window)) return false;
    if (window == answered_window && GetTickCount() - answered_at < kAccessibleAnswerStandsMs) {
        *rect = answered_rect;
        return true;
    }
    answered_window = nullptr;
    if (IsHungAppWindow(window)) {
        pause_window(window, kUnansweredPauseMs);
        return false;
    }
    // COM is started before the question, so that its answer can be read.
    if (!com().object_from_lresult) return false;

    // The question doubles as the proof that the program answers now: the
    // COM calls below follow it at once, and the object is let go before
    // the tick ends (a kept one would be called, or released, later, when
    // its program might no longer answer).
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CARET),
                             SMTO_ABORTIFHUNG | SMTO_BLOCK, kAccessibleAnswerMs, &answer)) {
        pause_window(window, kUnansweredPauseMs);
        return false;
    }
    if (answer == 0) {
        // No caret object of its own. (The system's stand-in for a window
        // that does not answer covers the system caret, read already.)
        pause_window(window, kNoAccessibleCaretPauseMs);
        return false;
    }

    busy = true;
    // Should the program stop answering in the middle of a call, the limit
    // cancels the call (where the system's COM honours the cancel).
    CallLimit limit;
    IMessageFilter* previous = nullptr;
    const bool limited = SUCCEEDED(com().register_message_filter(&limit, &previous));
    // The filter hears of the time only when a message arrives: a timer of
    // the thread's own makes sure one does.
    const UINT_PTR reminder = SetTimer(nullptr, 0, kAccessibleCallLimitMs / 2, nullptr);
    const DWORD started = GetTickCount();
    IAccessible* caret = nullptr;
    bool located = false;
    // Always called on an answer: it also frees what the program set aside.
    if (SUCCEEDED(com().object_from_lresult(static_cast<LRESULT>(answer), kIidAccessible, 0,
                                            reinterpret_cast<void**>(&caret))) &&
        caret) {
        located = locate(caret, rect);
        caret->Release();
    }
    const DWORD took = GetTickCount() - started;
    if (reminder) KillTimer(nullptr, reminder);
    if (limited) com().register_message_filter(previous, nullptr);
    busy = false;

    if (took > kAccessibleCallLimitMs)
        pause_window(window, kUnansweredPauseMs);
    else if (!located)
        pause_window(window, kNoAccessibleCaretPauseMs);
    if (located) {
        answered_window = window;
        answered_at = GetTickCount();
        answered_rect = *rect;
    }
    return located;
}
