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

TEST(SameMonitorName, IgnoresAsciiCaseOnly) {
    EXPECT_TRUE(SameMonitorName("Mon1", "MON1"));
    EXPECT_TRUE(SameMonitorName("", ""));
    EXPECT_FALSE(SameMonitorName("Mon1", "Mon"));
    EXPECT_FALSE(SameMonitorName("Mon1", "Mon2"));
    // '@' and '`' sit next to the letters: they are not case variants of anything.
    EXPECT_FALSE(SameMonitorName("@", "`"));
    // Cyrillic letters compare as bytes: lower and upper case differ.
    EXPECT_FALSE(SameMonitorName("\xe0", "\xc0"));
}

} // namespace
} // namespace vigrel
