#include "monitor/NameRule.h"

#include <algorithm>

namespace vigrel {
namespace {

bool IsAsciiLetterOrDigit(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

bool IsValidName(std::string_view name) {
    return std::all_of(name.begin(), name.end(), IsAsciiLetterOrDigit);
}

std::string MonitorNameKey(std::string_view name) {
    std::string key(name);
    std::transform(key.begin(), key.end(), key.begin(), AsciiUpper);
    return key;
}

} // namespace vigrel
