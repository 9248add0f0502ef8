#include "monitor/NameRule.h"

#include "tessary/AsciiCase.h"

#include <algorithm>

namespace vigrel {
namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

} // namespace

bool IsValidName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), IsAsciiLetterOrDigit);
}

std::string MonitorNameKey(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), AsciiUpper<char>);
    return key;
}

} // namespace vigrel
