// Driving a loaded plug-in from outside, as a host of the test's own does: its entry points by
// name, host strings made the host's way, its dialog found on screen, and its system calls seen
// (and faked) through its import table. Shared by the dialog's tests, benchmark and picture.
#pragma once

#include "ui/Module.h" // ReplaceImport, to see and fake its system calls

#include <windows.h>

#include <string_view>

namespace vigrel::test {

// The entry point `name` of `module` as a function of type F, or null.
template <class F> F Entry(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A fixed global block holding `text` and its NUL, as the host hands strings over.
char* GlobalText(std::string_view text);

// The visible top-level window of this thread with that caption, or null.
HWND ShownWindow(const wchar_t* caption);

// Runs this thread's messages, as a host's loop does, for about `milliseconds`.
void Pump(DWORD milliseconds);

} // namespace vigrel::test
