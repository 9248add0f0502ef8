// Replacing an entry of a loaded module's import table, so a test or a benchmark sees (and fakes)
// the system calls a DLL makes without the DLL knowing.
#pragma once

#include <windows.h>

namespace vigrel::test {

// Puts `replacement` in the module's import table in place of `function` of `dll` and gives the
// old entry back, or null when the module does not import it.
void* PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

} // namespace vigrel::test
