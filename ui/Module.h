// The module this code is linked into (the plug-in DLL, or a test program): its instance handle,
// used to register window classes, and what its statically linked runtime holds until unload.
#pragma once

#include <windows.h>

namespace vigrel {

HINSTANCE ModuleInstance();

// Called before the library makes any window (its controls' and the timers' hidden one). The
// first thread to make one is the library's own. Once one is
// made on another thread the module stays loaded until the process ends: an unload can destroy
// windows and timers of the unloading thread only, and a window left on another thread would
// take its next message in unloaded code.
void NoteWindowThread();

// Makes this module's exceptions independent of what else the process has loaded. On 32-bit
// Windows GCC's code unwinds with tables registered at load time; when a libgcc_s_dw2-1.dll is
// already in the process (any other module built with the same compiler can bring it), the
// runtime's start-up code registers this module's tables with that DLL's unwinder, while this
// module's own throws search the copy linked into it, find nothing and end the process. Call it
// first at load, and ForgetOwnUnwindTables at unload. Nothing to do elsewhere.
void RegisterOwnUnwindTables();
void ForgetOwnUnwindTables();

// Keeps account of the thread-local storage indexes the statically linked runtime takes (GCC's
// thread-local variables, its exception state among them, take one at their first use and never
// give it back), so that ReleaseRuntimeReserves can free them: a host that loads the plug-in, has
// it throw and unloads it again would run out of indexes after about a thousand rounds and then
// end in the runtime's abort. Call it first at load.
void WatchRuntimeStorage();

// Frees the memory the statically linked C++ runtime reserved for good when the module was
// loaded: with GCC's runtime, the emergency pool from which exceptions are allocated when the heap
// is exhausted (about 19 KB on 32-bit), which it never frees itself; and the thread-local storage
// indexes WatchRuntimeStorage saw taken. Call it last on the unload path, when nothing of the
// module will throw again.
void ReleaseRuntimeReserves();

} // namespace vigrel
