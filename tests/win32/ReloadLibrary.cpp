// A library that uses the toolkit the way the plug-in will: it shows a form of its own window
// classes and cleans up in DllMain when it is unloaded. The reload tests load and unload it to
// see that the classes register again and that nothing of an unloaded copy ever runs.
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Edit.h"
#include "ui/Form.h"
#include "ui/Module.h"
#include "ui/Timer.h"
#include "ui/Toolkit.h"

#include <windows.h>

#include <memory>

using namespace vigrel;

namespace {

struct TestForm {
    TestForm() {
        form.SetCaption("Reload");
        form.SetClientWidth(240);
        form.SetClientHeight(100);
        edit.SetParent(&form);
        edit.SetBounds(8, 24, 150, 21);
        edit.EditLabel.SetCaption("Name");
        button.SetParent(&form);
        button.SetBounds(8, 60, 75, 25);
        button.SetCaption("OK");
        form.Show();
        // Every waiting message, with no idle pass.
        while (!Application().Terminated() && Application().ProcessMessage()) {
        }
    }

    TForm form;
    TLabeledEdit edit;
    TButton button;
};

// What LeaveTestFormShown keeps alive until the library is unloaded.
std::unique_ptr<TestForm> leftShown;
std::unique_ptr<TTimer> leftRunning;
int ticks = 0;

} // namespace

// Shows a form with a labelled edit box and a button, lets it paint, then destroys it (or keeps
// it when `keep` is true, until the next call or the unload) and gives the handle its window had.
extern "C" HWND __stdcall ShowTestForm(BOOL keep) {
    try {
        auto shown = std::make_unique<TestForm>();
        const HWND window = shown->form.Handle();
        if (keep) {
            leftShown = std::move(shown);
        }
        return window;
    } catch (...) {
        return nullptr;
    }
}

// Leaves a shown form and a running 10 ms timer behind for the unload to deal with; gives the
// form's window.
extern "C" HWND __stdcall LeaveTestFormShown() {
    try {
        leftRunning = std::make_unique<TTimer>([] { ++ticks; });
        leftRunning->SetInterval(10);
        leftRunning->SetEnabled(true);
        leftShown = std::make_unique<TestForm>();
        return leftShown->form.Handle();
    } catch (...) {
        return nullptr;
    }
}

extern "C" int __stdcall TimerTicks() {
    return ticks;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // As the plug-in does: on FreeLibrary the windows go, the timers stop and the classes are
    // unregistered while the code is still there; the objects themselves die afterwards with the
    // library's statics.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        ShutdownToolkit();
        ReleaseRuntimeReserves();
    }
    return TRUE;
}
