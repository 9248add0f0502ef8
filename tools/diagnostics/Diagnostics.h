// How the project's programs word what they report: one error line that names where the fault
// is, and texts shown in double quotes. Plain C++, for tshost and the build tools alike.
#pragma once

#include <string>
#include <string_view>

namespace vigrel {

// "WHERE:LINE: error: MESSAGE", or "WHERE: error: MESSAGE" when `line` is 0. WHERE is the file
// at fault, or the program's name for a fault of its command line or its set-up.
std::string ErrorAt(std::string_view where, int line, std::string_view message);
std::string ErrorAt(std::string_view where, std::string_view message);

// The text between double quotes, taken as it is.
std::string Quoted(std::string_view text);

} // namespace vigrel
