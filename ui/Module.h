// The module this code is linked into (the plug-in DLL, or a test program): its instance handle,
// used to register window classes, and what its statically linked runtime holds until unload.
#pragma once

#include <windows.h>

namespace vigrel {

HINSTANCE ModuleInstance();

// Frees the memory the statically linked C++ runtime reserved for good when the module was
// loaded: with GCC's runtime, the emergency pool from which exceptions are allocated when the heap
// is exhausted (about 19 KB on 32-bit), which it never frees itself. Call it last on the unload
// path, when nothing of the module will throw again.
void ReleaseRuntimeReserves();

} // namespace vigrel
