// The "Action Properties" dialog of the real Vigrel.tsp, opened through tsEditAction by a small
// host of the test's own on a virtual display and driven from inside its modal run by a timer of
// the test thread: the fixture and the helpers that find, read and press its controls. Shared
// by the dialog's tests and the tests of the dialog around its host.
#pragma once

#include "tessary/TessaryAbi.h"
#include "tests/win32/MessageBoxes.h"
#include "tests/win32/TestHost.h"
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vigrel::test {

std::wstring ClassOf(HWND window);
std::string Ansi(const std::wstring& text);

// What the test's interface-access callback does (null answers false), what it was asked, and
// how many variables the plug-in read.
extern std::function<TsBool(std::int32_t, HostStringPtr*)> interfaceAnswer;
extern std::vector<std::int32_t> interfaceRequests;
extern std::vector<std::string> interfaceTexts;
extern int reads;
// What the test's script processor does with each line; null only counts it.
extern std::function<void(const char*)> scriptAnswer;

// The steps a test runs inside the dialog's modal run, one per tick of a timer of this thread,
// each given the dialog window once it is shown and enabled (no message box of it open); and the
// dialog window the last step was given.
extern std::vector<std::function<void(HWND)>> steps;
extern std::size_t nextStep;
extern HWND openDialog;

HWND ShownDialog();

struct Control {
    const char* name;
    const wchar_t* windowClass;
    RECT rect; // in the dialog's client coordinates
};
// The dialog's windows, each at its place.
extern const std::vector<Control> windows;

RECT InDialog(HWND dialog, HWND window);
// The window of the named control, found by its class and place.
HWND Find(HWND dialog, const char* name);
std::wstring ComboText(HWND combo);
bool Checked(HWND button);
void Click(HWND dialog, const char* name);
// A left click at a point of the dialog's client area, delivered to the window there.
void ClickAt(HWND dialog, POINT point);
void Key(HWND window, WPARAM key);
// Presses OK.
void ok(HWND dialog);

// The middles of the picture buttons, in the dialog's client coordinates: the variable's, the
// comparison's and the subroutine's.
inline constexpr POINT Kn1Centre{80 + 215 + 13, 10 + 78 + 12};
inline constexpr POINT Kn2Centre{80 + 384 + 13, 10 + 118 + 12};
inline constexpr POINT Kn3Centre{80 + 215 + 13, 10 + 158 + 12};

class DialogDriver : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void RegisterInterfaceAccess();

    // Opens the dialog on `slots` and runs `script` inside it; the slots afterwards are in
    // `blocks`, which the test owns.
    bool Run(const Slots& slots, std::vector<std::function<void(HWND)>> script,
             std::int32_t number = MonitorActionNumber);
    std::vector<std::string> Texts() const;
    // Executes VigrelCreate with the seven texts.
    bool Create(const std::vector<std::string>& args);

    HMODULE module = nullptr;
    TtsEditAction edit = nullptr;
    std::vector<HostStringPtr> blocks;
    std::vector<HostStringPtr> before;
};

extern const Slots counterAction;
// A repeating monitor named `name` that fires on every tick: the test host's variables read as
// empty.
std::vector<std::string> Firing(const std::string& name);

} // namespace vigrel::test
