// Data embedded in the module this code is linked into (the plug-in DLL, or a test program) as
// RCDATA resources, such as form resources.
#pragma once

#include <string_view>

namespace vigrel {

// The bytes of the RCDATA resource `name`; they live as long as the module. Throws
// std::runtime_error when the module has no such resource.
std::string_view ModuleResourceData(const wchar_t* name);

} // namespace vigrel
