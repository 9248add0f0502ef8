// The toolkit's one shutdown: destroys every window the library still has on the calling thread,
// leaves those of other threads inert (their procedures the system's own), stops the timers and
// unregisters every window class the library registered, so that no window procedure or timer of
// the library runs again and the library can be loaded again later in the same process. A window
// made on a thread other than the library's first keeps the module loaded (NoteWindowThread,
// ui/Module.h); a host that unloads from another thread than its windows' meets the inert
// windows, and their classes, still registered, make the next load take new class names.
#pragma once

namespace vigrel {

void ShutdownToolkit();

// Gives back what the toolkit keeps between uses while nothing of it is in use: the timers' hidden
// window when no timer is running, the window classes when no window of the library is left, and
// the module's reference to itself when no accessible object it handed out is alive
// (ui/Accessible.h).
// All come back at the next use. For a close that the host sends before it unloads, so that the
// unload itself has nothing heavy left to do under the loader lock.
void ReleaseIdleToolkit();

} // namespace vigrel
