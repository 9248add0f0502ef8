#include "monitor/WinLocale.h"

#include <windows.h>

#include <climits>
#include <optional>

namespace vigrel {
namespace {

std::optional<WinLocale>& Instance() {
    static std::optional<WinLocale> instance;
    return instance;
}

int Length(std::string_view text) {
    return text.size() > INT_MAX ? INT_MAX : static_cast<int>(text.size());
}

} // namespace

WinLocale::WinLocale() : separator_('.') {
    char buffer[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) == 2) {
        separator_ = buffer[0];
    }
}

bool WinLocale::SameTextIgnoringCase(std::string_view a, std::string_view b) const {
    if (a.empty() || b.empty()) {
        return a.empty() && b.empty();
    }
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), Length(a), b.data(),
                          Length(b)) == CSTR_EQUAL;
}

std::string WinLocale::LowerCase(std::string_view text) const {
    if (text.empty()) {
        return {};
    }
    const int size =
        LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), Length(text), nullptr, 0);
    std::string lower(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size <= 0 || LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_LOWERCASE, text.data(), Length(text),
                                  lower.data(), size) != size) {
        return std::string(text);
    }
    return lower;
}

const LocaleServices& UserLocale() {
    auto& instance = Instance();
    if (!instance) {
        instance.emplace();
    }
    return *instance;
}

void CaptureUserLocale() {
    Instance().emplace();
}

} // namespace vigrel
