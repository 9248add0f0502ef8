// The toolkit's one shutdown: destroys every window the library still has on the calling thread,
// stops the timers and unregisters every window class the library registered, so that no window
// procedure or timer of the library runs again and the library can be loaded again later in the
// same process. Windows on other threads never meet an unload: the first of them keeps the module
// loaded (NoteWindowThread, ui/Module.h).
#pragma once

namespace vigrel {

void ShutdownToolkit();

// Gives back what the toolkit keeps between uses while nothing of it is in use: the timers' hidden
// window when no timer is running, and the window classes when no window of the library is left.
// All come back at the next use. For a close that the host sends before it unloads, so that the
// unload itself has nothing heavy left to do under the loader lock.
void ReleaseIdleToolkit();

} // namespace vigrel
