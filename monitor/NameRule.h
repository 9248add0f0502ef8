// The name rule shared by monitor creation and the action editor, and the registry's key.
#pragma once

#include <string_view>

namespace vigrel {

// True when every character is an ASCII letter or digit; the empty text passes.
bool IsValidName(std::string_view name);

// Monitor names match when equal with ASCII letters compared case-insensitively; every other
// byte compares as itself.
bool SameMonitorName(std::string_view a, std::string_view b);

} // namespace vigrel
