// A locale for portable tests: ASCII case rules and a chosen decimal separator.
#pragma once

#include "monitor/Locale.h"

#include <algorithm>
#include <cctype>

namespace vigrel::test {

class FakeLocale final : public LocaleServices {
public:
    explicit FakeLocale(char separator) : separator_(separator) {}

    char DecimalSeparator() const override { return separator_; }

    bool SameTextIgnoringCase(std::string_view a, std::string_view b) const override {
        return LowerCase(a) == LowerCase(b);
    }

    std::string LowerCase(std::string_view text) const override {
        std::string lower(text);
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return lower;
    }

private:
    char separator_;
};

} // namespace vigrel::test
