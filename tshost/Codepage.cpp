#include "tshost/Codepage.h"

#include <windows.h>

namespace vigrel::tshost {
namespace {

constexpr UINT Cyrillic = 1251;

std::wstring Wide(UINT codePage, DWORD flags, std::string_view text, bool& valid) {
    valid = true;
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (length <= 0) {
        valid = false;
        return {};
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    bool valid = false;
    Wide(CP_UTF8, MB_ERR_INVALID_CHARS, text, valid);
    return valid;
}

bool Utf8ToCp1251(std::string_view utf8, std::string& cp1251) {
    bool valid = false;
    const std::wstring wide = Wide(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, valid);
    if (!valid) {
        return false;
    }
    if (wide.empty()) {
        cp1251.clear();
        return true;
    }
    const int size = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(Cyrillic, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                           nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(Cyrillic, WC_NO_BEST_FIT_CHARS, wide.data(), size, text.data(), length,
                        nullptr, nullptr);
    cp1251 = std::move(text);
    return true;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    bool valid = false;
    return WideToUtf8(Wide(Cyrillic, 0, cp1251, valid));
}

std::wstring Utf8ToWide(std::string_view utf8) {
    bool valid = false;
    return Wide(CP_UTF8, 0, utf8, valid);
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::string UpperCp1251(std::string_view cp1251) {
    bool valid = false;
    std::wstring wide = Wide(Cyrillic, 0, cp1251, valid);
    if (wide.empty()) {
        return {};
    }
    CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
    const int size = static_cast<int>(wide.size());
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(Cyrillic, 0, wide.data(), size, text.data(), size, nullptr, nullptr);
    return text;
}

} // namespace vigrel::tshost
