// UTF-8 and UTF-16, for the file system, the command line and the system's own texts.
#pragma once

#include <string>
#include <string_view>

namespace vigrel::tshost {

// Invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

} // namespace vigrel::tshost
