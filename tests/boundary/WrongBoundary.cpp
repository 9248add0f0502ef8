// A plug-in whose binary boundary is wrong in two ways the boundary check must see: its
// tsMessage takes two arguments instead of one, and it needs a DLL that is not Windows' own
// (ReloadLibrary.dll, a test library of this project).
#include "tessary/TessaryAbi.h"

#include <cstdint>

// Exported undecorated; with no arguments either calling convention serves.
extern "C" int TimerTicks();

using namespace vigrel;

extern "C" {
void TS_CALL tsRegisterPlugIn(THostAddAction, void*, THostGetVariable, THostSetVariable) {}
void TS_CALL tsInitPlugIn(std::uint32_t, HostStringPtr*, HostStringPtr*, HostStringPtr*) {}
void TS_CALL tsRegisterScriptProcessor(THostScriptProcessor) {}
void TS_CALL tsRegisterInterfaceAccess(THostInterfaceAccess) {}
TsBool TS_CALL tsExecAction(std::int32_t, HostStringPtr*) { return TimerTicks() > 0; }
TsBool TS_CALL tsEditAction(std::int32_t, HostStringPtr*) { return 0; }
void TS_CALL tsMessage(std::int32_t, std::int32_t) {}
}
