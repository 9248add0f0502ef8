// Text-to-extended conversion against glibc's correctly rounded strtold: a text of the accepted
// form (with '.') must convert to the same value, or fail exactly where strtold overflows; any
// other text must fail. Other separators and the digits-only entry must not crash.
#include "monitor/Extended.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The accepted form, written out independently of the converter's own reader.
bool InAcceptedForm(std::string_view text) {
    std::size_t at = 0;
    const auto skip = [&](auto accept) {
        const std::size_t start = at;
        while (at < text.size() && accept(text[at])) {
            ++at;
        }
        return at - start;
    };
    const auto one = [&](std::string_view choices) {
        if (at < text.size() && choices.find(text[at]) != std::string_view::npos) {
            ++at;
            return true;
        }
        return false;
    };
    skip([](char c) { return c == ' '; });
    one("+-");
    std::size_t digits = skip(IsDigit);
    if (one(".")) {
        digits += skip(IsDigit);
    }
    if (digits == 0) {
        return false;
    }
    if (one("eE")) {
        one("+-");
        if (skip(IsDigit) == 0) {
            return false;
        }
    }
    skip([](char c) { return c == ' '; });
    return at == text.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    vigrel::TextToExtended(text, ',');
    vigrel::DigitsToExtended(text);
    const auto converted = vigrel::TextToExtended(text, '.');
    if (!InAcceptedForm(text)) {
        if (converted) {
            std::abort();
        }
        return 0;
    }
    const long double expected = std::strtold(text.c_str(), nullptr);
    if (std::isinf(expected)
            ? converted.has_value()
            : !converted || vigrel::ToLongDouble(*converted) != expected ||
                  std::signbit(vigrel::ToLongDouble(*converted)) != std::signbit(expected)) {
        std::abort();
    }
    return 0;
}
