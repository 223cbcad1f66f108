// GetThreadId as the runtime gets it (app/thread_id_win.cpp): this program's
// own function in place of kernel32's, giving the same ids.
#include <gtest/gtest.h>

#include <windows.h>

extern "C" DWORD(WINAPI* thread_id_import)(HANDLE) __asm__("__imp__GetThreadId@4");

namespace {

DWORD WINAPI wait_for_event(void* event) {
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 0;
}

TEST(ThreadId, IsThisProgramsOwnAndGivesTheIdsOfThreads) {
    HMODULE owner = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<const char*>(thread_id_import), &owner));
    EXPECT_EQ(GetModuleHandleA(nullptr), owner);

    EXPECT_EQ(GetCurrentThreadId(), thread_id_import(GetCurrentThread()));
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, wait_for_event, release, 0, &id);
    EXPECT_EQ(id, thread_id_import(thread));
    SetEvent(release);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    CloseHandle(release);

    SetLastError(0);
    EXPECT_EQ(0u, thread_id_import(nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());
}

} // namespace
