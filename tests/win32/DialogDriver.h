// The "Action Properties" dialog of the real Vigrel.tsp, opened through tsEditAction by the test
// host (tshost's PlugInHost, which accounts for every block) on a virtual display and driven from
// inside its modal run by a timer of the test thread: the fixture and the helpers that find, read
// and press its controls. Shared by the dialog's tests and the tests of the dialog around its
// host.
#pragma once

#include "tests/win32/MessageBoxes.h"
#include "tests/win32/TestHost.h"
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
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

// The plug-in in a fresh test host, started without its interface access (a host without pick
// lists; RegisterInterfaceAccess adds it). Every boundary fault of the host fails the test.
class DialogDriver : public PlugInTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Replaces the host with a fresh one, the plug-in loaded and registered.
    void LoadHost();
    void RegisterInterfaceAccess() { host->RegisterInterfaceAccess(); }

    // Opens the dialog on `slots` and runs `script` inside it; true when the dialog confirmed,
    // with the texts it wrote in Texts().
    bool Run(const Slots& slots, std::vector<std::function<void(HWND)>> script,
             std::int32_t number = MonitorActionNumber);
    // The seven texts the last confirmed dialog wrote back; none after a false answer, when the
    // host holds every slot as it gave it (a slot replaced then is a boundary fault).
    const std::vector<std::string>& Texts() const { return written; }

    // What the test's interface access answers (null declines every request), what it was asked,
    // and the texts it was handed.
    std::function<std::optional<std::string>(std::int32_t, const std::string&)> interfaceAnswer;
    std::vector<std::int32_t> interfaceRequests;
    std::vector<std::string> interfaceTexts;
    // What the test's script processor does with each line; null only counts it.
    std::function<void(const char*)> scriptAnswer;

    // The steps a test runs inside the dialog's modal run, one per tick of a timer of this thread,
    // each given the dialog window once it is shown and enabled (no message box of it open); and
    // the dialog window the last step was given.
    std::vector<std::function<void(HWND)>> steps;
    std::size_t nextStep = 0;
    HWND openDialog = nullptr;

private:
    std::vector<std::string> written;

    // The steps' timer carries no context: it reaches the driver of the test that runs through
    // this one pointer, set for the test's length.
    static DialogDriver* running;
    static void CALLBACK RunStep(HWND window, UINT message, UINT_PTR timer, DWORD time);
};

extern const Slots counterAction;
// A repeating monitor named `name` that fires on every tick: the test host's variables read as
// empty.
Slots Firing(const std::string& name);

} // namespace vigrel::test
