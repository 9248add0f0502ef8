#include "ui/Resources.h"

#include "ui/Module.h"
#include "ui/WideText.h"

#include <windows.h>

#include <stdexcept>

namespace vigrel {

std::string_view ModuleResourceData(const wchar_t* name) {
    const HMODULE module = ModuleInstance();
    const HRSRC found = FindResourceW(module, name, MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        throw std::runtime_error("the module has no resource " + FromWide(name));
    }
    return {static_cast<const char*>(data), SizeofResource(module, found)};
}

} // namespace vigrel
