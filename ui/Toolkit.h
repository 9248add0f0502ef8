// The toolkit's one shutdown: destroys every window the library still has, stops the timers and
// unregisters every window class the library registered, so that no window procedure or timer of
// the library runs again and the library can be loaded again later in the same process.
#pragma once

namespace vigrel {

void ShutdownToolkit();

} // namespace vigrel
