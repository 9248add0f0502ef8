// The test framework's customisation point, found before the framework's own empty one. The
// win32-threads runtime has no std::mutex or std::condition_variable, from which the framework
// builds the notification its threads start on; this one is a Windows event.
#pragma once

#if defined(_WIN32)
#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() : event_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;
    ~Notification() { CloseHandle(event_); }

    void Notify() { SetEvent(event_); }
    void WaitForNotification() { WaitForSingleObject(event_, INFINITE); }

private:
    HANDLE event_; // owned
};

} // namespace testing::internal
#endif
