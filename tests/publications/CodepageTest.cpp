// The code page's conversions, natively: what UTF-8 is refused, that every byte comes back from
// its UTF-8, and which letters have capitals. Plain literals here are Windows-1251, u8 literals
// UTF-8; CodepageSystemTest compares every byte and character with the system's conversion.
#include "tshost/Codepage.h"
#include "tests/native/U8.h"

#include <gtest/gtest.h>

#include <string>

namespace vigrel::tshost {
namespace {

using test::U8;

TEST(CodepageTest, RefusesUtf8ThatIsNotWellFormedOrOutsideTheCodePage) {
    struct Case {
        std::string utf8;
        bool valid;
        bool inCodePage;
    };
    const Case cases[] = {
        {"", true, true},
        {U8(u8"Ёж € №"), true, true},
        {std::string("a\0b", 3), true, true},
        {"\xC2\x98", true, true},          // U+0098, which stands for the unassigned 0x98
        {U8(u8"漢"), true, false},         // three bytes, no byte of its own
        {"\xF0\x9F\x98\x80", true, false}, // beyond U+FFFF
        {"\xEF\xBF\xBE", true, false},     // a noncharacter is still a character
        {"\x80", false, false},            // a continuation byte alone
        {"\xC3", false, false},            // cut short
        {"\xE2\x82", false, false},
        {"\xC0\xAF", false, false}, // overlong forms
        {"\xE0\x9F\xBF", false, false},
        {"\xF0\x8F\xBF\xBF", false, false},
        {"\xED\xA0\x80", false, false},     // a surrogate
        {"\xF4\x90\x80\x80", false, false}, // beyond U+10FFFF
        {"\xF8\x88\x80\x80\x80", false, false},
        {"\xE2\x28\xA1", false, false}, // a second byte that does not continue
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsValidUtf8(c.utf8), c.valid) << testing::PrintToString(c.utf8);
        std::string converted = "unchanged";
        EXPECT_EQ(Utf8ToCp1251(c.utf8, converted), c.inCodePage) << testing::PrintToString(c.utf8);
        if (!c.inCodePage) {
            EXPECT_EQ(converted, "unchanged");
        }
    }
}

TEST(CodepageTest, EveryByteComesBackFromItsUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        const std::string utf8 = Cp1251ToUtf8(byte);
        EXPECT_TRUE(IsValidUtf8(utf8)) << b;
        std::string back;
        EXPECT_TRUE(Utf8ToCp1251(utf8, back)) << b;
        EXPECT_EQ(back, byte) << b;
    }
    EXPECT_EQ(Cp1251ToUtf8("Ёж"), U8(u8"Ёж"));
}

TEST(CodepageTest, UpperCasesTheLettersOfTheCodePageOnly) {
    EXPECT_EQ(UpperCp1251("counter_1 Счёт ґїєўђѓјљњћќџ"), "COUNTER_1 СЧЁТ ҐЇЄЎЂЃЈЉЊЋЌЏ");
    EXPECT_EQ(UpperCp1251("µ«»№€ ЁЖ"), "µ«»№€ ЁЖ"); // no capital in the code page, or one already
}

} // namespace
} // namespace vigrel::tshost
