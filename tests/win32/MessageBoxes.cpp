#include "tests/win32/MessageBoxes.h"

#include "ui/WideText.h"

namespace vigrel::test {
namespace {

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (IsWindowVisible(window) && std::wstring(name) == L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

std::vector<Box> closedBoxes;

std::optional<Box> CloseMessageBox() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        return std::nullopt;
    }
    Box read{WindowTextW(box), WindowTextW(GetDlgItem(box, 0xFFFF)), GetWindow(box, GW_OWNER)};
    // A posted click can lose a race with the box's activation; the command cannot.
    SendMessageW(box, WM_COMMAND, IDOK, 0);
    return read;
}

void CALLBACK CloseMessageBoxes(HWND, UINT, UINT_PTR, DWORD) {
    if (auto box = CloseMessageBox()) {
        closedBoxes.push_back(*box);
    }
}

} // namespace vigrel::test
