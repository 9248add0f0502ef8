// Replaces a function a loaded module imports, in the module's import table, as verification
// tools and heap checkers do: the module's calls of that function then go to the replacement. The
// plug-in uses it on itself (ui/Module.h); tshost and the test hosts on the plug-in.
#pragma once

#include <windows.h>

#include <string>

namespace vigrel {

struct ImportPatch {
    // What the first slot patched held before; null when none was.
    void* previous = nullptr;
    // How many slots now hold the replacement: a module may import the same DLL through more
    // than one import descriptor.
    int slots = 0;
    // Empty, or why nothing was patched: a slot could not be made writable. No slot is changed
    // then, those written before it included.
    std::string error;

    // Whether the replacement is in place.
    explicit operator bool() const { return slots > 0 && error.empty(); }
};

// Puts `replacement` in every import slot through which `module` calls `function` of `dll` (the
// DLL's name in any letter case). Where the import descriptor has a name table, a slot is
// matched by the name of its entry; where it has none (an old-style or bound descriptor), by the
// address it holds: the one GetProcAddress gives for the function in `dll` as loaded now, so a
// slot that already holds a replacement is not found there. A module that imports nothing, or
// not that function, gets no change and no error.
ImportPatch PatchImport(HMODULE module, const char* dll, const char* function, void* replacement);

} // namespace vigrel
