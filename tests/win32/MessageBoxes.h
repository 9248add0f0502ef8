// Message boxes of the test thread, read and closed from a timer while they run their own loop.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace vigrel::test {

struct Box {
    std::wstring caption;
    std::wstring text;
    HWND owner = nullptr;
};

// Reads and closes the message box this thread shows now, if there is one.
std::optional<Box> CloseMessageBox();

// Every box closed by the timer procedure CloseMessageBoxes, in order.
extern std::vector<Box> closedBoxes;
// A timer procedure: closes the box shown now and keeps what it said in closedBoxes.
void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD);

} // namespace vigrel::test
