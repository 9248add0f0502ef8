// Timers of the library: objects with an interval, an enabled flag and a handler. One hidden
// message-only window serves them all through a single system timer armed for the earliest
// deadline of the shared schedule, so thousands of timers cost one USER object.
#pragma once

#include "ui/TimerQueue.h"

#include <functional>

namespace vigrel {

class TTimer : private TimerQueue::Entry {
public:
    explicit TTimer(std::function<void()> onTimer = {}) : OnTimer(std::move(onTimer)) {}
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;
    ~TTimer() = default; // the entry leaves the schedule by itself

    bool Enabled() const { return enabled_; }
    // Enabling (re)starts the period from now, like a system timer; disabling is immediate, so
    // a disabled timer never fires again. An enabled timer with interval 0 does not run, as
    // with a Windows timer component. Throws when the timer cannot be made to run (the hidden
    // window or the system timer cannot be made); the timer is then disabled.
    void SetEnabled(bool enabled);

    // A new interval restarts an enabled timer; 0 stops it until the interval changes again.
    // Throws as SetEnabled does.
    void SetInterval(unsigned milliseconds);

    // Runs on the thread that enabled the timer, from its message loop.
    std::function<void()> OnTimer;

private:
    friend class TimerWindow;
    void Schedule();

    unsigned interval_ = 1000;
    bool enabled_ = false;
};

// Stops every timer's delivery: destroys the hidden window, or leaves it inert when it belongs to
// another thread. Called when the library is unloaded, so no timer message can reach unloaded
// code; a later start makes a new window.
void ShutdownTimers();

// Destroys the hidden window when no timer is running (a later start makes it again); true when
// there is no hidden window afterwards.
bool ReleaseIdleTimers();

} // namespace vigrel
