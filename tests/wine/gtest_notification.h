// gtest_notification.h: GoogleTest's Notification on a Win32 event, for builds whose C++
// library has no std::mutex (MinGW's win32 thread model, the shipped 32-bit build).
//
// GoogleTest's Windows port does its own locking on Win32 critical sections; only this class,
// which its thread helpers wait on, is written with std::mutex and std::condition_variable.
// GoogleTest lets a port bring its own (GTEST_HAS_NOTIFICATION_): cmake/windows.cmake defines
// that and includes this header ahead of every GoogleTest and test source of such a build.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace testing::internal {

class Notification {
public:
    Notification() : event_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { ::CloseHandle(event_); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { ::SetEvent(event_); }
    void WaitForNotification() { ::WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_;
};

}  // namespace testing::internal
