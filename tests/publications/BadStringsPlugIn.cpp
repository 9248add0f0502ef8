// A plug-in that breaks the host-string rules on purpose, so the scenarios can show that tshost
// finds each fault: its title is not a global block, action 1 releases a block the host owns,
// and action 2 keeps the value of a variable read without releasing it.
#include "tessary/TessaryAbi.h"

#include <windows.h>

#include <cstdint>

using namespace vigrel;

namespace {

THostGetVariable getVariable = nullptr;
char title[] = "BadStrings";

} // namespace

extern "C" void TS_CALL tsRegisterPlugIn(THostAddAction addAction, void*, THostGetVariable get,
                                         THostSetVariable) {
    getVariable = get;
    const std::uint8_t codes[] = {TypeCodeText};
    addAction(1, "BadStrings", "", codes, 0, 1);
}

extern "C" void TS_CALL tsInitPlugIn(std::uint32_t, HostStringPtr* titleSlot, HostStringPtr*,
                                     HostStringPtr*) {
    *titleSlot = title;
}

extern "C" void TS_CALL tsRegisterScriptProcessor(THostScriptProcessor) {}

extern "C" void TS_CALL tsRegisterInterfaceAccess(THostInterfaceAccess) {}

extern "C" TsBool TS_CALL tsExecAction(std::int32_t number, HostStringPtr* args) {
    if (number == 1) {
        GlobalFree(args[0]);
        return TsTrue;
    }
    if (number == 2) {
        HostStringPtr kept = nullptr;
        getVariable(args[0], &kept);
        return TsTrue;
    }
    return TsFalse;
}

extern "C" TsBool TS_CALL tsEditAction(std::int32_t, HostStringPtr*) {
    return TsFalse;
}

extern "C" void TS_CALL tsMessage(std::int32_t) {}
