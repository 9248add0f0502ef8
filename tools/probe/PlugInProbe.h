// Driving a loaded plug-in from outside, as a host of the test's own does: its entry points by
// name, host strings made the host's way, its dialog found on screen, and its system calls seen
// (and faked) through its import table. Shared by the tests, the benchmarks and the
// dialog's picture.
#pragma once

#include "tessary/ImportTable.h" // to see and fake its system calls

#include <windows.h>

#include <string>
#include <string_view>

namespace vigrel::test {

// The file `name` in the folder of this program, whatever the length of its path.
std::wstring BesideProgram(std::wstring_view name);
// The Vigrel.tsp built beside this program, in the ANSI code page (as LoadLibraryA and the host
// take it).
std::string PlugInPath();

// The entry point `name` of `module` as a function of type F, or null.
template <class F> F Entry(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// A fixed global block holding `text` and its NUL, as the host hands strings over.
char* GlobalText(std::string_view text);

// The visible top-level window of this thread with that caption, or null.
HWND ShownWindow(const wchar_t* caption);
// The visible form of this thread that a loaded plug-in made (its dialog), or null; the program's
// own forms are not it.
HWND ShownPlugInForm();

// Runs this thread's messages, as a host's loop does, for about `milliseconds`.
void Pump(DWORD milliseconds);

// A high-contrast colour scheme while it lives: the session's colours for windows and buttons,
// their texts and links are set (and put back when it goes), and the plug-in's own query of the
// system answers that high contrast is on (Wine cannot switch it on).
class HighContrastScheme {
public:
    HighContrastScheme(HMODULE plugIn, COLORREF face, COLORREF text, COLORREF hotLight);
    HighContrastScheme(const HighContrastScheme&) = delete;
    HighContrastScheme& operator=(const HighContrastScheme&) = delete;
    ~HighContrastScheme();

private:
    static constexpr int Count = 5;
    static constexpr int elements_[Count] = {COLOR_WINDOW, COLOR_BTNFACE, COLOR_WINDOWTEXT,
                                             COLOR_BTNTEXT, COLOR_HOTLIGHT};
    HMODULE plugIn_;
    COLORREF saved_[Count] = {};
};

} // namespace vigrel::test
