// Conversions at the edges of the toolkit, whose own texts are UTF-8: the W functions of the
// window system take UTF-16, host strings come in the ANSI code page, and the library's own
// narrow literals are Windows-1251.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace vigrel {

inline constexpr UINT CodePage1251 = 1251;

// Bytes of `codePage` (CP_UTF8, CP_ACP, 1251...) to UTF-16 and back. Invalid input never throws:
// the system's replacement rules apply, as they would for any window text.
std::wstring ToWide(std::string_view text, UINT codePage = CP_UTF8);
std::string FromWide(std::wstring_view text, UINT codePage = CP_UTF8);

// The toolkit's UTF-8 text in the bytes of `codePage`, and such bytes as UTF-8.
std::string ToCodePage(std::string_view text, UINT codePage);
std::string FromCodePage(std::string_view bytes, UINT codePage);

// The text of a window, whole, however long.
std::wstring WindowTextW(HWND window);

} // namespace vigrel
