#include "ui/WideText.h"

#include <limits>
#include <stdexcept>

namespace vigrel {
namespace {

int Length(std::size_t size) {
    if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        throw std::length_error("text too long to convert");
    }
    return static_cast<int>(size);
}

} // namespace

std::wstring ToWide(std::string_view text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = Length(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), wide);
    return result;
}

std::string FromWide(std::wstring_view text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = Length(text.size());
    const int narrow =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, result.data(), narrow, nullptr, nullptr);
    return result;
}

std::string ToCodePage(std::string_view text, UINT codePage) {
    return FromWide(ToWide(text), codePage);
}

std::string FromCodePage(std::string_view bytes, UINT codePage) {
    return FromWide(ToWide(bytes, codePage));
}

std::wstring WindowTextW(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

} // namespace vigrel
