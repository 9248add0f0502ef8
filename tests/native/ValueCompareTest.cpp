#include "monitor/ValueCompare.h"

#include "tools/locale/FakeLocale.h"

#include <gtest/gtest.h>

#include <string>

namespace vigrel {
namespace {

TEST(ValueClass, SortsByTheNumberOfNonDigits) {
    struct Case {
        const char* text;
        int sign;
    };
    const Case cases[] = {
        {"0", -1}, {"007", -1}, {"2147483648", -1}, {"-5", 0},    {"7,0", 0},
        {"a", 0},  {"+", 0},    {" ", 0},           {"12a", 0},   {"-5,0", 1},
        {"", 1},   {"abc", 1},  {" 5 ", 1},         {"1.2.3", 1}, {"\xc0\xc1", 1},
    };
    for (const Case& c : cases) {
        const int result = ValueClass(c.text);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << '"' << c.text << '"';
    }
}

TEST(ValueClass, StaysBoundedOnLongText) {
    EXPECT_GT(ValueClass(std::string(100000, 'x')), 0);
    EXPECT_LT(ValueClass(std::string(100000, '9')), 0);
}

struct Row {
    const char* value;
    const char* comparison;
    char separator;
    bool equal; // "=" fires; "<>" fires exactly when this is false
};

// Every pair of classes under both separators, with the cases that once never fired.
const Row rows[] = {
    // integer with integer: exact value, leading zeros ignored, any length
    {"007", "7", ',', true},
    {"007", "7", '.', true},
    {"0", "000", '.', true},
    {"2147483648", "0", ',', false},
    {"2147483648", "2147483648", '.', true},
    {"99999999999999999999999999", "099999999999999999999999999", ',', true},
    {"99999999999999999999999999", "99999999999999999999999998", ',', false},
    // integer with decimal
    {"7", "7,0", ',', true},
    {"7", "7,5", ',', false},
    {"7", "7,0", '.', false}, // 7,0 is no number here: compared as text
    {"7", "7.0", '.', true},
    {"7,0", "7", ',', true},
    {"100", "1e2", '.', true},
    {"100", "1E2", ',', true},
    {"18446744073709551617", "18446744073709551617,0", ',', true},
    // decimal with decimal
    {"-5", "-5", ',', true},
    {"-5", "-5", '.', true},
    {"+5", "5,", ',', true},
    {",5", "0,5", ',', true},
    {"1,5", "1,50", ',', true},
    {"1,5", "1,51", ',', false},
    {"5e-1", "0,5", ',', false}, // 5e-1 has two non-digits: text
    {"1.5", "1.5", ',', true},   // neither converts with ',': equal as text
    {"a", "a", ',', true},
    {"a", "A", '.', true},
    {"x", "5", ',', false},
    {"+", "-", '.', false},
    // text class on either side
    {"-5", "-5,0", ',', false},
    {"abc", "ABC", '.', true},
    {"", "", ',', true},
    {"5", "", ',', false},
    {"", "0", '.', false},
    {" 5 ", "5", ',', false},
};

TEST(ConditionHolds, ComparesEachClassPairUnderBothConditions) {
    for (const Row& row : rows) {
        const test::FakeLocale locale(row.separator);
        SCOPED_TRACE(std::string("\"") + row.value + "\" vs \"" + row.comparison +
                     "\", separator '" + row.separator + "'");
        EXPECT_EQ(ConditionHolds("=", row.value, row.comparison, locale), row.equal);
        EXPECT_EQ(ConditionHolds("<>", row.value, row.comparison, locale), !row.equal);
    }
}

TEST(ConditionHolds, AnyOtherConditionNeverHolds) {
    const test::FakeLocale locale(',');
    for (const char* condition : {"", "==", " =", "= ", "<", ">", "><", "<>=", "!="}) {
        EXPECT_FALSE(ConditionHolds(condition, "5", "5", locale)) << condition;
        EXPECT_FALSE(ConditionHolds(condition, "5", "6", locale)) << condition;
    }
}

} // namespace
} // namespace vigrel
