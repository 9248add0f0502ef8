#include "ui/Timer.h"

#include "ui/Boundary.h"
#include "ui/DpiAwareness.h"
#include "ui/Module.h"
#include "ui/WindowClass.h"

#include <windows.h>

#include <stdexcept>

namespace vigrel {
namespace {

constexpr wchar_t TimerWindowClass[] = L"VigrelTimerWindow";
constexpr UINT_PTR ScheduleTimerId = 1;
// A run of due timers returns to the message loop after this long, so input and paint keep
// flowing even when ticks cannot keep up.
constexpr std::int64_t MaxRunMicroseconds = 50'000;

std::int64_t NowMicroseconds() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    const std::int64_t c = counter.QuadPart;
    return c / frequency * 1'000'000 + c % frequency * 1'000'000 / frequency;
}

} // namespace

// The hidden window and the schedule behind every TTimer.
class TimerWindow {
public:
    static TimerWindow& Instance() {
        static TimerWindow instance;
        return instance;
    }

    // Throws, leaving the timer off the schedule, when the system timer cannot be armed.
    void Start(TTimer& timer) {
        const std::int64_t now = NowMicroseconds();
        queue_.Schedule(timer, std::int64_t{timer.interval_} * 1000, now);
        if (!armed_ || timer.Due() < armedDue_) {
            try {
                Arm(now);
            } catch (...) {
                queue_.Cancel(timer);
                throw;
            }
        }
    }

    void Stop(TTimer& timer) { queue_.Cancel(timer); }

    // Only the window's own thread can destroy it (a window destroyed by someone else is gone).
    // From another thread it is made inert, its procedure the system's default one, and is
    // posted WM_CLOSE: the default handling destroys it on its own thread, and its system timer
    // with it, the next time that thread takes its messages. A post waits for nothing, so it may
    // be made under the loader's lock.
    void Shutdown() {
        if (window_ == nullptr) {
            return;
        }
        const DWORD owner = GetWindowThreadProcessId(window_, nullptr);
        if (owner == 0 || owner == GetCurrentThreadId()) {
            DestroyWindow(window_);
        } else {
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DefWindowProcW));
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
        window_ = nullptr;
        armed_ = false;
    }

    bool ReleaseIfIdle() {
        if (!queue_.NextDue()) {
            Shutdown();
        }
        return window_ == nullptr;
    }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept {
        if (message == WM_TIMER && wParam == ScheduleTimerId) {
            // A failure here is the system timer that could not be armed again; the next Start
            // tries anew.
            Contain([] { Instance().RunDue(); }, [] {});
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    bool EnsureWindow() {
        if (window_ != nullptr) {
            return true;
        }
        NoteWindowThread();
        // Made with the host's DPI awareness even while a dialog's is in force: the window
        // outlives the dialog, and its timers' handlers call into the host.
        const ThreadDpiAwareness hostAwareness(HostAwareness());
        window_ = CreateWindowExW(0, UseWindowClass(TimerWindowClass, WindowProc), L"", 0, 0, 0, 0,
                                  0, HWND_MESSAGE, nullptr, ModuleInstance(), nullptr);
        return window_ != nullptr;
    }

    void Arm(std::int64_t now) {
        const auto next = queue_.NextDue();
        if (!next) {
            if (armed_ && window_ != nullptr) {
                KillTimer(window_, ScheduleTimerId);
            }
            armed_ = false;
            return;
        }
        if (!EnsureWindow()) {
            throw std::runtime_error("the timers' hidden window cannot be made");
        }
        const std::int64_t wait = *next - now;
        const auto milliseconds = static_cast<UINT>(wait <= 0 ? 0 : (wait + 999) / 1000);
        armed_ = SetTimer(window_, ScheduleTimerId, milliseconds, nullptr) != 0;
        if (!armed_) {
            throw std::runtime_error("the timers' system timer cannot be armed");
        }
        armedDue_ = *next;
    }

    // Fires every timer that is due. A handler may enable, disable or destroy any timer, and
    // may pump messages, which runs this again nested: each timer is rescheduled before its
    // handler runs, so nothing here depends on the state the handler leaves behind.
    void RunDue() {
        const std::int64_t start = NowMicroseconds();
        std::int64_t now = start;
        while (TimerQueue::Entry* entry = queue_.PopDue(now)) {
            Fire(static_cast<TTimer&>(*entry));
            if (const auto next = queue_.NextDue(); next && *next > now) {
                now = NowMicroseconds();
                if (now - start > MaxRunMicroseconds) {
                    break;
                }
            }
        }
        Arm(NowMicroseconds());
    }

    static void Fire(TTimer& timer) {
        try {
            if (timer.OnTimer) {
                timer.OnTimer();
            }
        } catch (...) {
            // A handler's failure ends that tick only; it never reaches the window system.
        }
    }

    TimerQueue queue_;
    HWND window_ = nullptr; // owned; destroyed by Shutdown
    bool armed_ = false;
    std::int64_t armedDue_ = 0;
};

void TTimer::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Schedule();
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (milliseconds == interval_) {
        return;
    }
    interval_ = milliseconds;
    Schedule();
}

void TTimer::Schedule() {
    if (!enabled_ || interval_ == 0) {
        TimerWindow::Instance().Stop(*this);
        return;
    }
    try {
        TimerWindow::Instance().Start(*this);
    } catch (...) {
        enabled_ = false;
        throw;
    }
}

void ShutdownTimers() {
    TimerWindow::Instance().Shutdown();
}

bool ReleaseIdleTimers() {
    return TimerWindow::Instance().ReleaseIfIdle();
}

} // namespace vigrel
