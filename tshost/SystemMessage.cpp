#include "tshost/SystemMessage.h"

#include "tshost/Utf16.h"

#include <windows.h>

namespace vigrel::tshost {

std::string SystemError(std::uint32_t code) {
    std::string result = "error " + std::to_string(code);
    wchar_t* text = nullptr;
    const auto format = [&](DWORD language) {
        return FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                  FORMAT_MESSAGE_IGNORE_INSERTS,
                              nullptr, code, language, reinterpret_cast<wchar_t*>(&text), 0,
                              nullptr);
    };
    DWORD length = format(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    if (length == 0) {
        length = format(0);
    }
    if (length == 0) {
        return result;
    }
    std::wstring message(text, length);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' ||
                                message.back() == L' ' || message.back() == L'.')) {
        message.pop_back();
    }
    return message.empty() ? result : result + ": " + WideToUtf8(message);
}

} // namespace vigrel::tshost
