// GetThreadId for the C++ runtime, without importing it from kernel32.
//
// The runtime of GCC 13 and later (the win32 thread model, as Debian 13 ships
// it) compares threads with GetThreadId, which Windows XP's kernel32 does not
// have: imported, it would stop brisvane.exe from loading there. This file
// defines the import's pointer itself, so the linker takes the name from here
// and imports nothing; the function asks ntdll's NtQueryInformationThread,
// which every NT version has. With an older runtime nothing refers to it.
// The executable links this object directly (cmake/win32.cmake): taken from
// the library, it would come after kernel32's import library had answered.
#include <windows.h>

namespace {

// What NtQueryInformationThread fills for ThreadBasicInformation (class 0).
struct ThreadBasicInformation {
    LONG exit_status;
    void* teb;
    HANDLE process_id;
    HANDLE thread_id;
    ULONG_PTR affinity_mask;
    LONG priority;
    LONG base_priority;
};
using QueryInformationThread = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

DWORD WINAPI thread_id_of(HANDLE thread) {
    const auto query = reinterpret_cast<QueryInformationThread>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    ThreadBasicInformation info = {};
    if (!query || query(thread, 0, &info, sizeof info, nullptr) < 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info.thread_id));
}

} // namespace

// The pointer a dllimport call of GetThreadId reads (the import's own name).
extern "C" {
DWORD(WINAPI* thread_id_import)(HANDLE) __asm__("__imp__GetThreadId@4") = thread_id_of;
}
