// A UTF-8 literal (u8"...", of char8_t) as the std::string of bytes the code under test takes:
// the sources are compiled with the Windows-1251 execution character set, so a test writes
// Cyrillic it means as UTF-8 this way.
#pragma once

#include <string>
#include <string_view>

namespace vigrel::test {

inline std::string U8(std::u8string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

} // namespace vigrel::test
