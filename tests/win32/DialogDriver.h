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

HWND ShownDialog();

// The dialog's windowed controls, by name.
extern const std::vector<const char*> windowedControls;

// The window of the named control, found by its control ID: its place in the dialog's form
// resource, read from the plug-in that made the dialog.
HWND Find(HWND dialog, const char* name);
// The named control's bounds in the dialog's client coordinates, as the form resource the plug-in
// carries places it (its place moved by those of the controls it lies in).
RECT FormPlace(HWND dialog, const char* name);
// The middle of the drawn control that screen readers know by `name`, in the dialog's client
// coordinates: where the accessible object of the window it is drawn on places it.
POINT DrawnCentre(HWND dialog, const wchar_t* name);
std::wstring ComboText(HWND combo);
bool Checked(HWND button);
void Click(HWND dialog, const char* name);
// A left click at a point of the dialog's client area, delivered to the window there.
void ClickAt(HWND dialog, POINT point);
void Key(HWND window, WPARAM key);
// Presses OK.
void ok(HWND dialog);

// The picture buttons, by their accessible names: the variable's, the comparison's and the
// subroutine's.
inline constexpr const wchar_t* Kn1 = L"Выбрать переменную";
inline constexpr const wchar_t* Kn2 = L"Выбрать переменную для сравнения";
inline constexpr const wchar_t* Kn3 = L"Список подпрограмм";

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

    // What the test's interface-access callback does (null answers false), what it was asked, and
    // how many variables the plug-in read.
    std::function<TsBool(std::int32_t, HostStringPtr*)> interfaceAnswer;
    std::vector<std::int32_t> interfaceRequests;
    std::vector<std::string> interfaceTexts;
    int reads = 0;
    // What the test's script processor does with each line; null only counts it.
    std::function<void(const char*)> scriptAnswer;

    // The steps a test runs inside the dialog's modal run, one per tick of a timer of this thread,
    // each given the dialog window once it is shown and enabled (no message box of it open); and
    // the dialog window the last step was given.
    std::vector<std::function<void(HWND)>> steps;
    std::size_t nextStep = 0;
    HWND openDialog = nullptr;

private:
    // The host callbacks and the steps' timer carry no context: they reach the driver of the
    // test that runs through this one pointer, set for the test's length.
    static DialogDriver* running;
    static TsBool TS_CALL InterfaceAccess(std::int32_t request, HostStringPtr* value);
    static void TS_CALL GetVariable(const char* name, HostStringPtr* value);
    static TsBool TS_CALL ScriptProcessor(const char* line);
    static void CALLBACK RunStep(HWND window, UINT message, UINT_PTR timer, DWORD time);
};

extern const Slots counterAction;
// A repeating monitor named `name` that fires on every tick: the test host's variables read as
// empty.
std::vector<std::string> Firing(const std::string& name);

} // namespace vigrel::test
