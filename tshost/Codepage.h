// Conversions between the UTF-8 of publications and logs and the Windows-1251 of host strings.
#pragma once

#include <string>
#include <string_view>

namespace vigrel::tshost {

// False when `utf8` is not valid UTF-8 or holds a character that Windows-1251 lacks; `cp1251`
// is then left unchanged.
bool Utf8ToCp1251(std::string_view utf8, std::string& cp1251);
bool IsValidUtf8(std::string_view text);
std::string Cp1251ToUtf8(std::string_view cp1251);
// UTF-8 and UTF-16, for the file system and the command line; invalid UTF-8 becomes U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// Upper-cases Windows-1251 text by the letters of that code page, whatever the user's one is.
std::string UpperCp1251(std::string_view cp1251);

} // namespace vigrel::tshost
