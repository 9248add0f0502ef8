// A plug-in whose tsEditAction plays an author in the action editor, so the scenarios can drive
// tshost --edit. Its first argument (the monitor name) is a list of steps separated by blanks:
//   var:KEYS   asks for a variable (request 14) with the second argument's text, as the
//              variable field's button does, and takes the answer into it
//   cmp:KEYS   the same for the fourth argument, the comparison string
//   subs       asks for the subroutines (request 5) and writes the answer into the fifth
//              argument, with CR and LF spelled \r and \n so it fits on a line
//   wrap       puts the comparison string in quotes, with a blank before and ", " after
//   break      appends a line break to the comparison string
//   cancel     answers false at the end, touching no argument
//   leak       writes the new first argument without releasing the block it replaces
// KEYS, separated by '/', are what happens in the pick-list once it has the focus: enter,
// escape, down, up (keys posted to the focused window), dblclick (a double click on the
// selected item), ok, cancel (the buttons' commands) and close (the close box).
// Otherwise every argument is written back as a new block by the host-string rule.
#include "tessary/TessaryAbi.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

using namespace vigrel;

namespace {

THostInterfaceAccess interfaceAccess = nullptr;
std::string pendingKeys;
UINT_PTR driver = 0;

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t end = std::min(text.find(separator, at), text.size());
        if (end > at) {
            parts.push_back(text.substr(at, end - at));
        }
        at = end + 1;
    }
    return parts;
}

HostStringPtr NewHostString(const std::string& text) {
    auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, text.size() + 1));
    std::memcpy(block, text.c_str(), text.size() + 1);
    return block;
}

void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    PostMessageW(window, message, wParam, lParam);
}

// Runs inside the pick-list's modal loop: once a window of the thread has the focus (the
// plug-in has none of its own, so it is the list), the keys go to it in one go.
void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    HWND focus = GetFocus();
    if (focus == nullptr) {
        return;
    }
    KillTimer(nullptr, driver);
    driver = 0;
    HWND list = GetAncestor(focus, GA_ROOT);
    for (const std::string& key : Split(pendingKeys, '/')) {
        const WPARAM virtualKey = key == "enter"    ? VK_RETURN
                                  : key == "escape" ? VK_ESCAPE
                                  : key == "down"   ? VK_DOWN
                                  : key == "up"     ? VK_UP
                                                    : 0;
        if (virtualKey != 0) {
            Post(focus, WM_KEYDOWN, virtualKey, 1);
            Post(focus, WM_KEYUP, virtualKey, 0xC0000001);
        } else if (key == "dblclick") {
            RECT item{};
            const LRESULT index = SendMessageW(focus, LB_GETCURSEL, 0, 0);
            SendMessageW(focus, LB_GETITEMRECT, static_cast<WPARAM>(index),
                         reinterpret_cast<LPARAM>(&item));
            const LPARAM at =
                MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            Post(focus, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
            Post(focus, WM_LBUTTONUP, 0, at);
        } else if (key == "ok" || key == "cancel") {
            Post(list, WM_COMMAND, key == "ok" ? IDOK : IDCANCEL, 0);
        } else if (key == "close") {
            Post(list, WM_CLOSE, 0, 0);
        }
    }
}

// Asks the host as the dialog's buttons do: a new block with the field's text, the answer
// read when the host says true, the block released whatever it holds.
bool Ask(std::int32_t request, const std::string& keys, std::string& field) {
    if (interfaceAccess == nullptr) {
        return false;
    }
    HostStringPtr value = NewHostString(field);
    pendingKeys = keys;
    driver = SetTimer(nullptr, 0, 10, Drive);
    const bool answered = interfaceAccess(request, &value) != TsFalse;
    if (driver != 0) {
        KillTimer(nullptr, driver);
        driver = 0;
    }
    if (answered) {
        field = value != nullptr ? value : "";
    }
    GlobalFree(value);
    return answered;
}

std::string OnOneLine(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        shown += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
    }
    return shown;
}

} // namespace

extern "C" void TS_CALL tsRegisterPlugIn(THostAddAction addAction, void*, THostGetVariable,
                                         THostSetVariable) {
    const std::uint8_t codes[] = {TypeCodeText, TypeCodeVariable, TypeCodeText, TypeCodeText,
                                  TypeCodeText, TypeCodeText,     TypeCodeText};
    addAction(MonitorActionNumber, "EditorCreate", "", codes, 6, 7);
}

extern "C" void TS_CALL tsInitPlugIn(std::uint32_t, HostStringPtr*, HostStringPtr*,
                                     HostStringPtr*) {}

extern "C" void TS_CALL tsRegisterScriptProcessor(THostScriptProcessor) {}

extern "C" void TS_CALL tsRegisterInterfaceAccess(THostInterfaceAccess access) {
    interfaceAccess = access;
}

extern "C" TsBool TS_CALL tsExecAction(std::int32_t, HostStringPtr*) {
    return TsFalse;
}

extern "C" TsBool TS_CALL tsEditAction(std::int32_t number, HostStringPtr* args) {
    if (number != MonitorActionNumber) {
        return TsFalse;
    }
    std::vector<std::string> fields;
    for (int i = 0; i < MonitorArgumentCount; ++i) {
        fields.emplace_back(args[i] != nullptr ? args[i] : "");
    }
    bool cancel = false;
    bool leak = false;
    for (const std::string& step : Split(fields[0], ' ')) {
        if (step.starts_with("var:")) {
            Ask(RequestPickVariable, step.substr(4), fields[1]);
        } else if (step.starts_with("cmp:")) {
            Ask(RequestPickVariable, step.substr(4), fields[3]);
        } else if (step == "subs") {
            std::string list = fields[4];
            if (Ask(RequestSubroutineList, "", list)) {
                fields[4] = OnOneLine(list);
            }
        } else if (step == "wrap") {
            fields[3] = " \"" + fields[3] + "\", ";
        } else if (step == "break") {
            fields[3] += "\r\n";
        } else if (step == "cancel") {
            cancel = true;
        } else if (step == "leak") {
            leak = true;
        }
    }
    if (cancel) {
        return TsFalse;
    }
    for (int i = 0; i < MonitorArgumentCount; ++i) {
        if (!leak || i > 0) {
            GlobalFree(args[i]);
        }
        args[i] = NewHostString(fields[i]);
    }
    return TsTrue;
}

extern "C" void TS_CALL tsMessage(std::int32_t) {}
