#include "plugin/Vigrel.h"

#include "editor/EditMonitor.h"
#include "monitor/Monitor.h"
#include "monitor/WinLocale.h"
#include "plugin/PlugInTexts.h"
#include "tessary/PlugInUtils.h"
#include "ui/Accessible.h"
#include "ui/Boundary.h"
#include "ui/Module.h"
#include "ui/Toolkit.h"

#include <windows.h>

#include <cstdint>
#include <utility>

namespace vigrel {
namespace {

// Without the host's callback nothing is declared. It is looked at before each call, since the
// host may register again from inside the first one.
void DeclareActions() {
    const std::uint8_t entryCodes[] = {0};
    if (HostAddAction != nullptr) {
        HostAddAction(PlugInEntryNumber, PlugInName, "", entryCodes, 0, 0);
    }
    const std::uint8_t monitorCodes[MonitorArgumentCount] = {
        TypeCodeText, TypeCodeVariable, TypeCodeText, TypeCodeText,
        TypeCodeText, TypeCodeText,     TypeCodeText};
    if (HostAddAction != nullptr) {
        HostAddAction(MonitorActionNumber, MonitorActionName, MonitorActionHint, monitorCodes,
                      MonitorArgumentCount - 1, MonitorArgumentCount);
    }
}

MonitorArguments CopyArguments(HostStringPtr* slots) {
    return {HostText(slots[0]), HostText(slots[1]), HostText(slots[2]), HostText(slots[3]),
            HostText(slots[4]), HostText(slots[5]), HostText(slots[6])};
}

} // namespace
} // namespace vigrel

using namespace vigrel;

// Every entry point contains every failure at its edge (ui/Boundary.h): no C++ exception may
// unwind into the host. The host holds the module while it calls in, so the two that run the
// plug-in's actions are where the module lets go of the reference its screen readers' objects
// kept, once none is left (so is the close).

extern "C" void TS_CALL tsRegisterPlugIn(THostAddAction addAction, void* registrationValue,
                                         THostGetVariable getVariable,
                                         THostSetVariable setVariable) noexcept {
    HostGetVariable = getVariable;
    HostSetVariable = setVariable;
    HostAddAction = addAction;
    HostRegistrationValue = registrationValue;
    Contain(DeclareActions, [] {});
}

extern "C" void TS_CALL tsInitPlugIn(std::uint32_t initValue, HostStringPtr* title,
                                     HostStringPtr* publisher, HostStringPtr* hint) noexcept {
    HostInitValue = initValue;
    Contain(
        [&] {
            for (auto [slot, text] : {std::pair{title, Title}, std::pair{publisher, Publisher},
                                      std::pair{hint, Hint}}) {
                if (slot != nullptr) {
                    SetHostString(*slot, text);
                }
            }
        },
        [] {});
}

extern "C" void TS_CALL tsRegisterScriptProcessor(THostScriptProcessor scriptProcessor) noexcept {
    HostScriptProcessor = scriptProcessor;
}

extern "C" void TS_CALL tsRegisterInterfaceAccess(THostInterfaceAccess interfaceAccess) noexcept {
    HostInterfaceAccess = interfaceAccess;
}

extern "C" TsBool TS_CALL tsExecAction(std::int32_t number, HostStringPtr* args) noexcept {
    ReleaseAccessibleHold();
    if (number != MonitorActionNumber || args == nullptr) {
        return TsFalse;
    }
    return Contain([&] { return CreateMonitor(CopyArguments(args)) ? TsTrue : TsFalse; },
                   [] { return TsFalse; });
}

// A failure anywhere in the dialog ends its modal run with nothing written: the dialog and its
// temporary strings are gone by then, and every slot holds what the host gave.
extern "C" TsBool TS_CALL tsEditAction(std::int32_t number, HostStringPtr* args) noexcept {
    ReleaseAccessibleHold();
    if (number != MonitorActionNumber || args == nullptr) {
        return TsFalse;
    }
    return Contain(
        [&] {
            return EditMonitorAction(
                       std::span<HostStringPtr, MonitorArgumentCount>(args, MonitorArgumentCount))
                       ? TsTrue
                       : TsFalse;
        },
        [] { return TsFalse; });
}

extern "C" void TS_CALL tsMessage(std::int32_t code) noexcept {
    if (code != CloseMessage) {
        return;
    }
    Contain(
        [] {
            CloseAllMonitors();
            ReleaseIdleToolkit();
        },
        [] {});
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) noexcept {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        RegisterOwnUnwindTables();
        WatchRuntimeStorage();
        CaptureUserLocale();
        break;
    case DLL_PROCESS_DETACH:
        // Unloaded by FreeLibrary while monitors may still run (a host that closed them with
        // message 2 first left nothing here): stop them all, destroy the library's windows and
        // unregister its classes, so no timer or window message reaches code that is about to
        // go and a later load can register the classes again. A host may unload on another
        // thread than the one its monitors tick on: the windows there, which only their own
        // thread may destroy, are left inert, and nothing here sends to or waits on that thread.
        // At process exit (reserved not null) nothing will run again, so nothing is done. Last,
        // the runtime's reserve goes back to the heap, or every load would leave it behind.
        if (reserved == nullptr) {
            Contain(CloseAllMonitors, [] {});
            ShutdownToolkit();
            ReleaseRuntimeReserves();
            ForgetOwnUnwindTables();
        }
        break;
    default:
        break;
    }
    return TRUE;
}
