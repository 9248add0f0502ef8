// A stand-in for ShellExecuteA that records each call instead of launching anything, for the
// tests of what the link hands to the shell: in the toolkit directly, or in the plug-in through
// its import table.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vigrel::test {

struct ShellCall {
    HWND window;
    std::string operation; // "(null)" for a null pointer, as for `file`
    std::string file;
    bool noParameters;
    bool noDirectory;
    INT show;
    HRESULT apartment; // what entering a single-threaded apartment answered during the call
};

// The calls recorded so far; a test clears it before it acts.
std::vector<ShellCall>& ShellCalls();

// Records the call and answers what the shell answers when no program opens the address.
HINSTANCE WINAPI RecordShellCall(HWND window, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                                 LPCSTR directory, INT show);

// Enters the apartment `kind` and leaves it again at once: S_OK when the thread had none,
// S_FALSE when it had one of that kind, RPC_E_CHANGED_MODE when it had the other kind.
HRESULT ProbeApartment(DWORD kind);

} // namespace vigrel::test
