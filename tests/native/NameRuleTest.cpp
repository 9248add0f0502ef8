#include "monitor/NameRule.h"

#include <gtest/gtest.h>

namespace vigrel {
namespace {

TEST(IsValidName, AcceptsOnlyAsciiLettersAndDigits) {
    for (const char* name : {"", "Mon1", "ABCxyz0189", "9", "z"}) {
        EXPECT_TRUE(IsValidName(name)) << name;
    }
    for (const char* name : {"Mon 1", "Mon_1", "Mon-1", "[Counter]", "Mon.", "\xcc\xee\xed",
                             "Mon\t", "@", "`", "{", "/", ":"}) {
        EXPECT_FALSE(IsValidName(name)) << name;
    }
}

TEST(MonitorNameKey, IgnoresAsciiCaseOnly) {
    const auto same = [](const char* a, const char* b) {
        return MonitorNameKey(a) == MonitorNameKey(b);
    };
    EXPECT_TRUE(same("Mon1", "MON1"));
    EXPECT_TRUE(same("", ""));
    EXPECT_FALSE(same("Mon1", "Mon"));
    EXPECT_FALSE(same("Mon1", "Mon2"));
    // '@' and '`' sit next to the letters: they are not case variants of anything.
    EXPECT_FALSE(same("@", "`"));
    EXPECT_EQ(MonitorNameKey("az@`[{"), "AZ@`[{");
    // Cyrillic letters compare as bytes: lower and upper case differ.
    EXPECT_FALSE(same("\xe0", "\xc0"));
    EXPECT_EQ(MonitorNameKey("\xe0\xff"), "\xe0\xff");
}

} // namespace
} // namespace vigrel
