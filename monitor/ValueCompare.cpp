#include "monitor/ValueCompare.h"

#include "monitor/Extended.h"

#include <algorithm>
#include <optional>

namespace vigrel {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Exact equality of two digit strings as integers: leading zeros do not count.
bool SameInteger(std::string_view a, std::string_view b) {
    auto significant = [](std::string_view digits) {
        const auto first = digits.find_first_not_of('0');
        return first == std::string_view::npos ? std::string_view() : digits.substr(first);
    };
    return significant(a) == significant(b);
}

std::optional<Extended> ToExtended(std::string_view text, int valueClass, char separator) {
    return valueClass < 0 ? DigitsToExtended(text) : TextToExtended(text, separator);
}

bool ValuesEqual(std::string_view value, std::string_view comparison,
                 const LocaleServices& locale) {
    const int valueClass = ValueClass(value);
    const int comparisonClass = ValueClass(comparison);
    if (valueClass > 0 || comparisonClass > 0) {
        return locale.SameTextIgnoringCase(value, comparison);
    }
    if (valueClass < 0 && comparisonClass < 0) {
        return SameInteger(value, comparison);
    }
    const char separator = locale.DecimalSeparator();
    const auto a = ToExtended(value, valueClass, separator);
    const auto b = ToExtended(comparison, comparisonClass, separator);
    if (!a || !b) {
        // A single letter or sign, or a number in the other locale's form, is still text that an
        // author may want to match: compare it as such rather than never firing.
        return locale.SameTextIgnoringCase(value, comparison);
    }
    return *a == *b;
}

} // namespace

int ValueClass(std::string_view text) {
    if (text.empty()) {
        return 1;
    }
    const auto nonDigits =
        std::count_if(text.begin(), text.end(), [](char c) { return !IsDigit(c); });
    return static_cast<int>(std::min<std::ptrdiff_t>(nonDigits, 2)) - 1;
}

bool ConditionHolds(std::string_view condition, std::string_view value, std::string_view comparison,
                    const LocaleServices& locale) {
    if (condition == "=") {
        return ValuesEqual(value, comparison, locale);
    }
    if (condition == "<>") {
        return !ValuesEqual(value, comparison, locale);
    }
    return false;
}

} // namespace vigrel
