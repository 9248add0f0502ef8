// Letter case of the ASCII letters alone, for names and words whose case does not count: every
// other byte or character stays as it is, whatever the code page.
#pragma once

#include <algorithm>
#include <string_view>

namespace vigrel {

// `c` with a to z made capitals; for char and wchar_t alike.
template <class Char> constexpr Char AsciiUpper(Char c) {
    return c >= Char('a') && c <= Char('z') ? static_cast<Char>(c - Char('a') + Char('A')) : c;
}

// Whether `a` and `b` are the same text when ASCII letters are compared without their case.
constexpr bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiUpper(x) == AsciiUpper(y);
           });
}

} // namespace vigrel
