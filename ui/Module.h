// The instance handle of the module this code is linked into (the plug-in DLL, or a test
// program), used to register window classes.
#pragma once

#include <windows.h>

namespace vigrel {

HINSTANCE ModuleInstance();

} // namespace vigrel
