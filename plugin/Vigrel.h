// The plug-in's entry points, called by the host with its own calling convention. They are
// exported undecorated through Vigrel.def.
#pragma once

#include "tessary/TessaryAbi.h"

extern "C" {
void TS_CALL tsRegisterPlugIn(vigrel::THostAddAction addAction, void* registrationValue,
                              vigrel::THostGetVariable getVariable,
                              vigrel::THostSetVariable setVariable) noexcept;
void TS_CALL tsInitPlugIn(std::uint32_t initValue, vigrel::HostStringPtr* title,
                          vigrel::HostStringPtr* publisher, vigrel::HostStringPtr* hint) noexcept;
void TS_CALL tsRegisterScriptProcessor(vigrel::THostScriptProcessor scriptProcessor) noexcept;
void TS_CALL tsRegisterInterfaceAccess(vigrel::THostInterfaceAccess interfaceAccess) noexcept;
vigrel::TsBool TS_CALL tsExecAction(std::int32_t number, vigrel::HostStringPtr* args) noexcept;
vigrel::TsBool TS_CALL tsEditAction(std::int32_t number, vigrel::HostStringPtr* args) noexcept;
void TS_CALL tsMessage(std::int32_t code) noexcept;
}
