// The window classes the library registers, kept in one place so that unloading can unregister
// every one of them: a class left registered makes the next load of the library fail to register
// it again, and its window procedure would point into unloaded code.
#pragma once

#include "ui/Boundary.h"

#include <windows.h>

namespace vigrel {

// Registers a Unicode window class of this module under `name` the first time it is asked for
// and gives back the name to create windows with: `name`, or, where a class of that name is
// still registered for windows an earlier load of the module left on another thread, `name`
// with a number (valid until the next class is registered). Throws std::runtime_error when the
// system refuses it.
LPCWSTR UseWindowClass(LPCWSTR name, GuardedWindowProc windowProc, UINT style = 0,
                       HCURSOR cursor = nullptr);

// Unregisters every class UseWindowClass registered. Their windows must be gone.
void UnregisterWindowClasses();

} // namespace vigrel
