#include "tshost/Codepage.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vigrel::tshost {
namespace {

// The characters of the bytes 0x80 to 0xFF; below them the code page is ASCII. 0x98, which the
// code page leaves unassigned, stands for U+0098 as it does in the system's conversion.
constexpr std::array<char16_t, 128> high{
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039,
    0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408,
    0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB,
    0x0458, 0x0405, 0x0455, 0x0457, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439, 0x043A, 0x043B,
    0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

constexpr char32_t Decode(unsigned char byte) {
    return byte < 0x80 ? byte : high[byte - 0x80];
}

// The byte of a character, or -1 when the code page lacks it.
constexpr int Encode(char32_t c) {
    if (c < 0x80) {
        return static_cast<int>(c);
    }
    const auto found = std::find(high.begin(), high.end(), c);
    return found != high.end() ? 0x80 + static_cast<int>(found - high.begin()) : -1;
}

// The capital of a letter of the code page: a to z, the Russian letters, the other Cyrillic
// small letters U+0450 to U+045F and ghe with upturn.
constexpr char32_t UpperCharacter(char32_t c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0x0430 && c <= 0x044F)) {
        return c - 0x20;
    }
    if (c >= 0x0450 && c <= 0x045F) {
        return c - 0x50;
    }
    return c == 0x0491 ? 0x0490 : c;
}

constexpr std::array<unsigned char, 256> upper = [] {
    std::array<unsigned char, 256> bytes{};
    for (std::size_t b = 0; b < bytes.size(); ++b) {
        bytes[b] = static_cast<unsigned char>(
            Encode(UpperCharacter(Decode(static_cast<unsigned char>(b)))));
    }
    return bytes;
}();

// The next character of UTF-8 text from `at`, which it moves past; -1, with `at` left alone,
// where the text is not well-formed.
std::int32_t NextCharacter(std::string_view text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // The length of the sequence, the bits of its lead byte, and the range of its second byte,
    // which rules out overlong forms, surrogates and characters beyond U+10FFFF.
    std::size_t length = 0;
    std::int32_t value = 0;
    unsigned char low = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        highest = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        highest = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return -1;
    }
    if (text.size() - at < length || byte(at + 1) < low || byte(at + 1) > highest) {
        return -1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) {
            return -1;
        }
        value = (value << 6) | (byte(at + i) & 0x3F);
    }
    at += length;
    return value;
}

} // namespace

bool IsValidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        if (NextCharacter(text, at) < 0) {
            return false;
        }
    }
    return true;
}

bool Utf8ToCp1251(std::string_view utf8, std::string& cp1251) {
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::int32_t c = NextCharacter(utf8, at);
        const int byte = c < 0 ? -1 : Encode(static_cast<char32_t>(c));
        if (byte < 0) {
            return false;
        }
        text += static_cast<char>(byte);
    }
    cp1251 = std::move(text);
    return true;
}

std::string Cp1251ToUtf8(std::string_view cp1251) {
    std::string text;
    text.reserve(cp1251.size() * 2);
    for (const char byte : cp1251) {
        const char32_t c = Decode(static_cast<unsigned char>(byte));
        if (c < 0x80) {
            text += static_cast<char>(c);
        } else if (c < 0x800) {
            text += static_cast<char>(0xC0 | (c >> 6));
            text += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text += static_cast<char>(0xE0 | (c >> 12));
            text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return text;
}

std::string UpperCp1251(std::string_view cp1251) {
    std::string text(cp1251);
    for (char& byte : text) {
        byte = static_cast<char>(upper[static_cast<unsigned char>(byte)]);
    }
    return text;
}

} // namespace vigrel::tshost
