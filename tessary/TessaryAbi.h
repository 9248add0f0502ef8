// What a plug-in knows of its host: the calling convention, the entry-point and callback types,
// and the codes both sides agree on. Shared by the plug-in and by the host stand-in.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define TS_CALL __stdcall
#else
#define TS_CALL
#endif

namespace vigrel {

// A Boolean crossing the boundary: one byte, 1 for true and 0 for false.
using TsBool = std::uint8_t;
constexpr TsBool TsTrue = 1;
constexpr TsBool TsFalse = 0;

// A host string: NUL-terminated 8-bit text in the system code page, held in a fixed block of the
// global heap (GlobalAlloc, flags 0) of length plus one bytes; null reads as empty text.
using HostStringPtr = char*;

// Callbacks the host hands over. Results marked "ignored" are never looked at by the plug-in.
using THostAddAction = TsBool(TS_CALL*)(std::int32_t number, const char* name, const char* hint,
                                        const std::uint8_t* typeCodes, std::int32_t lastCodeIndex,
                                        std::int32_t paramCount); // result ignored
using THostGetVariable = void(TS_CALL*)(const char* name, HostStringPtr* value);
using THostSetVariable = TsBool(TS_CALL*)(const char* name, const char* value); // result ignored
using THostScriptProcessor = TsBool(TS_CALL*)(const char* line);                // result ignored
using THostInterfaceAccess = TsBool(TS_CALL*)(std::int32_t request, HostStringPtr* value);

// Entry points of a plug-in, exported by these undecorated names.
using TtsRegisterPlugIn = void(TS_CALL*)(THostAddAction addAction, void* registrationValue,
                                         THostGetVariable getVariable,
                                         THostSetVariable setVariable);
using TtsInitPlugIn = void(TS_CALL*)(std::uint32_t initValue, HostStringPtr* title,
                                     HostStringPtr* publisher, HostStringPtr* hint);
using TtsRegisterScriptProcessor = void(TS_CALL*)(THostScriptProcessor scriptProcessor);
using TtsRegisterInterfaceAccess = void(TS_CALL*)(THostInterfaceAccess interfaceAccess);
using TtsExecAction = TsBool(TS_CALL*)(std::int32_t number, HostStringPtr* args);
using TtsEditAction = TsBool(TS_CALL*)(std::int32_t number, HostStringPtr* args);
using TtsMessage = void(TS_CALL*)(std::int32_t code);

// The seven entry points of a loaded plug-in, found by their names; null where it has none.
// Value-initialise it (`{}`) to start with none.
struct TessaryEntryPoints {
    TtsRegisterPlugIn tsRegisterPlugIn;
    TtsInitPlugIn tsInitPlugIn;
    TtsRegisterScriptProcessor tsRegisterScriptProcessor;
    TtsRegisterInterfaceAccess tsRegisterInterfaceAccess;
    TtsExecAction tsExecAction;
    TtsEditAction tsEditAction;
    TtsMessage tsMessage;
};

// Action numbers, argument slots, messages and interface requests.
constexpr std::int32_t PlugInEntryNumber = 0;
constexpr std::int32_t MonitorActionNumber = 1;
constexpr int MonitorArgumentCount = 7;
constexpr std::int32_t CloseMessage = 2;
constexpr std::int32_t RequestPickVariable = 14;
constexpr std::int32_t RequestSubroutineList = 5;

// Type codes the host is told for the monitor action's slots.
constexpr std::uint8_t TypeCodeText = 1;
constexpr std::uint8_t TypeCodeVariable = 6;

} // namespace vigrel
