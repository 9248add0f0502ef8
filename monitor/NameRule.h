// The name rule shared by monitor creation and the action editor, and the registry's key.
#pragma once

#include <string>
#include <string_view>

namespace vigrel {

// True when every character is an ASCII letter or digit; the empty text passes.
bool IsValidName(std::string_view name);

// The registry's key of a monitor name: ASCII letters upper-cased, every other byte as it is.
// Two monitor names match exactly when their keys are equal.
std::string MonitorNameKey(std::string_view name);

} // namespace vigrel
