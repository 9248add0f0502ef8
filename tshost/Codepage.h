// Conversions between the UTF-8 of publications and logs and the Windows-1251 of host strings,
// and upper-casing in that code page. Plain C++ over a fixed table of the code page, the one the
// system's own conversion uses (a Windows test compares them for every byte and character), so
// they give the same under every regional setting and on every system.
#pragma once

#include <string>
#include <string_view>

namespace vigrel::tshost {

// Well-formed UTF-8: no stray or missing continuation byte, no overlong form, no surrogate, no
// character beyond U+10FFFF.
bool IsValidUtf8(std::string_view text);
// False when `utf8` is not valid UTF-8 or holds a character that Windows-1251 lacks; `cp1251`
// is then left unchanged.
bool Utf8ToCp1251(std::string_view utf8, std::string& cp1251);
std::string Cp1251ToUtf8(std::string_view cp1251);
// Upper-cases Windows-1251 text by the letters of that code page (a to z and its Cyrillic
// letters), whatever the user's code page is.
std::string UpperCp1251(std::string_view cp1251);

} // namespace vigrel::tshost
