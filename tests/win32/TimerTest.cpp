// The library's timers in this test program: interval 0 means stopped, and a timer that cannot
// be made to run says so instead of claiming to be enabled.
#include "ui/Timer.h"
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

namespace vigrel {
namespace {

using test::Pump;

TEST(Timer, IntervalZeroIsStoppedWhileEnabled) {
    int ticks = 0;
    TTimer timer([&] { ++ticks; });
    timer.SetInterval(0);
    timer.SetEnabled(true);
    EXPECT_TRUE(timer.Enabled());
    Pump(100);
    EXPECT_EQ(ticks, 0);
    timer.SetInterval(10);
    Pump(100);
    EXPECT_GE(ticks, 3);
    timer.SetInterval(0);
    const int before = ticks;
    Pump(100);
    EXPECT_EQ(ticks, before);
    EXPECT_TRUE(timer.Enabled());
}

TEST(Timer, TimerThatCannotRunThrowsAndIsNotEnabled) {
    TTimer first;
    first.SetInterval(10);
    first.SetEnabled(true);
    first.SetEnabled(false);
    Pump(60); // the system timer fires once more, finds nothing due and is not armed again
    HWND window = FindWindowExA(HWND_MESSAGE, nullptr, "VigrelTimerWindow", nullptr);
    ASSERT_NE(window, nullptr);
    DestroyWindow(window); // someone else destroyed the hidden window

    int ticks = 0;
    TTimer timer([&] { ++ticks; });
    timer.SetInterval(10);
    EXPECT_THROW(timer.SetEnabled(true), std::runtime_error);
    EXPECT_FALSE(timer.Enabled());

    // After the shutdown the next timer makes a new window and runs.
    ShutdownTimers();
    timer.SetEnabled(true);
    Pump(100);
    EXPECT_GE(ticks, 3);
}

} // namespace
} // namespace vigrel
