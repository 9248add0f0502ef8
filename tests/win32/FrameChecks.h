// What every top-level form of the toolkit shows as a frame, checked the same way for the
// plug-in's dialog and for a form the tests build.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

namespace vigrel::test {

// A dialog frame (no child style, no sizing border, no minimise or maximise box) with a client
// area of the given size, centred on the screen.
inline void ExpectCentredDialogFrame(HWND window, LONG clientWidth, LONG clientHeight) {
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) &
                  (WS_CHILD | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX),
              0);
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, clientWidth);
    EXPECT_EQ(client.bottom, clientHeight);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_NEAR(outer.top + outer.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
}

} // namespace vigrel::test
