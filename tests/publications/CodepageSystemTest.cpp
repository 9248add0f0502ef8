// The code page's fixed table against the system's own conversion, for every byte and every
// character: what tshost reads and writes is what the system would make of it.
#include "tshost/Codepage.h"
#include "tshost/Utf16.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace vigrel::tshost {
namespace {

constexpr UINT Cyrillic = 1251;

TEST(CodepageSystemTest, EveryByteReadsAndUpperCasesAsTheSystemHasIt) {
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        wchar_t wide = 0;
        ASSERT_EQ(MultiByteToWideChar(Cyrillic, 0, &byte, 1, &wide, 1), 1) << b;
        EXPECT_EQ(Cp1251ToUtf8(std::string(1, byte)), WideToUtf8(std::wstring(1, wide))) << b;
        CharUpperBuffW(&wide, 1);
        char upper = 0;
        ASSERT_EQ(WideCharToMultiByte(Cyrillic, 0, &wide, 1, &upper, 1, nullptr, nullptr), 1) << b;
        EXPECT_EQ(UpperCp1251(std::string(1, byte)), std::string(1, upper)) << b;
    }
}

TEST(CodepageSystemTest, EveryCharacterIsKeptOrRefusedAsTheSystemHasIt) {
    for (unsigned c = 0; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) {
            continue; // half a character: not a text of its own
        }
        const wchar_t wide = static_cast<wchar_t>(c);
        char byte = 0;
        BOOL lossy = FALSE;
        WideCharToMultiByte(Cyrillic, WC_NO_BEST_FIT_CHARS, &wide, 1, &byte, 1, nullptr, &lossy);
        std::string converted = "unchanged";
        const bool kept = Utf8ToCp1251(WideToUtf8(std::wstring(1, wide)), converted);
        EXPECT_EQ(kept, !lossy) << std::hex << c;
        EXPECT_EQ(converted, kept ? std::string(1, byte) : "unchanged") << std::hex << c;
    }
}

// Every lead byte followed by up to three bytes from the edges of the ranges that decide
// whether UTF-8 is well-formed.
TEST(CodepageSystemTest, TellsWellFormedUtf8AsTheSystemDoes) {
    constexpr std::array<unsigned char, 12> next{0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90,
                                                 0x9F, 0xA0, 0xBF, 0xC0, 0xE0, 0xFF};
    const auto check = [](const std::string& text) {
        const bool system = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                                static_cast<int>(text.size()), nullptr, 0) > 0;
        EXPECT_EQ(IsValidUtf8(text), system) << testing::PrintToString(text);
    };
    for (int lead = 0; lead < 256; ++lead) {
        const std::string one(1, static_cast<char>(lead));
        check(one);
        for (const unsigned char a : next) {
            const std::string two = one + static_cast<char>(a);
            check(two);
            for (const unsigned char b : next) {
                const std::string three = two + static_cast<char>(b);
                check(three);
                for (const unsigned char c : next) {
                    check(three + static_cast<char>(c));
                }
            }
        }
    }
}

} // namespace
} // namespace vigrel::tshost
