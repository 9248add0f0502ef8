#include "monitor/Extended.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace vigrel {
namespace {

static_assert(LDBL_MANT_DIG == 64, "the oracle needs the x87 extended long double");

constexpr std::uint64_t Top = std::uint64_t{1} << 63;

// A non-negative integer in base 10^9, for writing exact decimals of binary values.
class DecimalInteger {
public:
    explicit DecimalInteger(std::uint64_t value) {
        for (; value != 0; value /= Base) {
            limbs_.push_back(static_cast<std::uint32_t>(value % Base));
        }
    }

    DecimalInteger& MultiplyAdd(std::uint32_t factor, std::uint32_t addend = 0) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product % Base);
            carry = product / Base;
        }
        for (; carry != 0; carry /= Base) {
            limbs_.push_back(static_cast<std::uint32_t>(carry % Base));
        }
        return *this;
    }

    std::string ToString() const {
        std::string text = limbs_.empty() ? "0" : std::to_string(limbs_.back());
        char chunk[16];
        for (std::size_t i = limbs_.size() - 1; i-- > 0;) {
            std::snprintf(chunk, sizeof chunk, "%09u", static_cast<unsigned>(limbs_[i]));
            text += chunk;
        }
        return text;
    }

private:
    static constexpr std::uint32_t Base = 1'000'000'000;
    std::vector<std::uint32_t> limbs_;
};

// The exact decimal of value * 2^exponent: digits, then "e-k" when the exponent is negative.
std::string Exact(DecimalInteger value, int exponent) {
    for (; exponent > 0; exponent -= std::min(exponent, 30)) {
        value.MultiplyAdd(std::uint32_t{1} << std::min(exponent, 30));
    }
    for (int k = -exponent; k > 0; k -= std::min(k, 13)) {
        std::uint32_t power = 1;
        for (int i = std::min(k, 13); i > 0; --i) {
            power *= 5;
        }
        value.MultiplyAdd(power);
    }
    return value.ToString() + (exponent < 0 ? "e" + std::to_string(exponent) : "");
}

// The exact decimal halfway between mantissa * 2^exponent and the next value up.
std::string Halfway(std::uint64_t mantissa, int exponent) {
    return Exact(DecimalInteger(mantissa).MultiplyAdd(2, 1), exponent - 1);
}

// The same text with its last mantissa digit decreased by one unit: slightly less.
std::string Below(std::string text) {
    std::size_t at = text.find('e');
    at = at == std::string::npos ? text.size() : at;
    while (text[--at] == '0') {
        text[at] = '9';
    }
    --text[at];
    return text;
}

// The same text with a digit 1 appended to its mantissa after `zeros` zeros: slightly more.
std::string Above(const std::string& text, std::size_t zeros = 0) {
    const std::size_t at = text.find('e');
    const int exponent = at == std::string::npos ? 0 : std::stoi(text.substr(at + 1));
    return text.substr(0, at) + std::string(zeros, '0') + "1e" +
           std::to_string(exponent - static_cast<int>(zeros) - 1);
}

std::string Shorten(const std::string& text) {
    return text.size() <= 80
               ? text
               : text.substr(0, 60) + "... (" + std::to_string(text.size()) + " characters)";
}

bool SameBits(long double a, long double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

void ExpectSameAsStrtold(const std::string& text) {
    const long double expected = std::strtold(text.c_str(), nullptr);
    const auto converted = TextToExtended(text, '.');
    if (std::isinf(expected)) {
        EXPECT_FALSE(converted.has_value()) << Shorten(text);
        return;
    }
    ASSERT_TRUE(converted.has_value()) << Shorten(text);
    EXPECT_TRUE(SameBits(ToLongDouble(*converted), expected))
        << Shorten(text) << ": " << ToLongDouble(*converted) << " instead of " << expected;
}

// Texts are written with ',' as separator and also run with '.' and the two characters swapped.
std::string WithSeparator(std::string text, char separator) {
    if (separator == '.') {
        for (char& c : text) {
            c = c == ',' ? '.' : c == '.' ? ',' : c;
        }
    }
    return text;
}

TEST(TextToExtended, AcceptsTheDocumentedForms) {
    const struct {
        const char* text;
        long double value;
    } cases[] = {
        {"7", 7},
        {"+7", 7},
        {"-7", -7},
        {"007", 7},
        {"   7", 7},
        {"7   ", 7},
        {"  -12,25  ", -12.25L},
        {"5,", 5},
        {",5", 0.5L},
        {"0,000", 0},
        {"1e3", 1000},
        {"1E3", 1000},
        {"1e+3", 1000},
        {"1e-3", 1e-3L},
        {"1,5e2", 150},
        {",5E-1", 0.05L},
        {"5,e1", 50},
        {"1e0003", 1000},
        {"-0", -0.0L},
    };
    for (const char separator : {',', '.'}) {
        for (const auto& c : cases) {
            const std::string text = WithSeparator(c.text, separator);
            const auto converted = TextToExtended(text, separator);
            ASSERT_TRUE(converted.has_value()) << '"' << text << "\" with '" << separator << "'";
            EXPECT_TRUE(SameBits(ToLongDouble(*converted), c.value)) << '"' << text << '"';
        }
    }
}

TEST(TextToExtended, RefusesEverythingElse) {
    const std::string cases[] = {
        "",
        " ",
        "   ",
        "\t7",
        "7\t",
        "7\n",
        "\n",
        "inf",
        "-inf",
        "nan",
        "infinity",
        "0x1p3",
        "0x10",
        "1,2,3",
        ",,5",
        "1.5",
        "1.000,5",
        "1 000",
        "1e",
        "1e+",
        "1E-",
        "e5",
        ",e5",
        "+",
        "-",
        ",",
        "- 7",
        "+-7",
        "--7",
        "7-",
        "1e5,5",
        "1e5e5",
        "1 2",
        "1,5 e2",
        "1e 5",
        "12a",
        "a12",
        "1e1,",
        std::string("7\0", 2),
        std::string("\0"
                    "7",
                    2),
    };
    for (const char separator : {',', '.'}) {
        for (const std::string& c : cases) {
            const std::string text = WithSeparator(c, separator);
            EXPECT_FALSE(TextToExtended(text, separator).has_value())
                << '"' << text << "\" with '" << separator << "'";
        }
    }
}

TEST(TextToExtended, GivesExactNormalisedFields) {
    const struct {
        const char* text;
        Extended expected;
    } cases[] = {
        {"0", {false, 0, 0}},
        {"1", {false, Top, -63}},
        {"0,5", {false, Top, -64}},
        {"-7", {true, 7 * (Top >> 2), -61}},
        {"18446744073709551615", {false, ~std::uint64_t{0}, 0}},
        {"3,6451995318824746025e-4951", {false, Top, -16445 - 63}}, // smallest subnormal
    };
    for (const auto& c : cases) {
        const auto converted = TextToExtended(c.text, ',');
        ASSERT_TRUE(converted.has_value()) << c.text;
        EXPECT_EQ(converted->negative, c.expected.negative) << c.text;
        EXPECT_EQ(converted->mantissa, c.expected.mantissa) << c.text;
        EXPECT_EQ(converted->exponent, c.expected.exponent) << c.text;
    }
}

TEST(TextToExtended, ComparesEqualValuesEqual) {
    EXPECT_EQ(*TextToExtended("7", ','), *TextToExtended("7,0", ','));
    EXPECT_EQ(*TextToExtended("0,5", ','), *TextToExtended("5e-1", ','));
    EXPECT_EQ(*TextToExtended("-0", ','), *TextToExtended("0", ','));
    EXPECT_TRUE(TextToExtended("-0", ',')->negative);
    EXPECT_EQ(*TextToExtended("1e-5000", ','), *TextToExtended("0", ','));
    EXPECT_EQ(*TextToExtended("0e999999999999999999999", ','), *TextToExtended("0", ','));
    EXPECT_FALSE(*TextToExtended("7", ',') == *TextToExtended("-7", ','));
    EXPECT_FALSE(*TextToExtended("0,1", ',') == *TextToExtended("0,10000000000000000001", ','));
}

TEST(TextToExtended, FailsAboveTheRangeAndGivesZeroBelowIt) {
    EXPECT_TRUE(TextToExtended("1e4932", '.').has_value());
    EXPECT_FALSE(TextToExtended("1.2e4932", '.').has_value());
    EXPECT_FALSE(TextToExtended("-1.2e4932", '.').has_value());
    EXPECT_FALSE(TextToExtended("1e999999999999999999999", '.').has_value());
    EXPECT_FALSE(TextToExtended("1" + std::string(5000, '0'), '.').has_value());

    const auto largest = TextToExtended(Exact(DecimalInteger(~std::uint64_t{0}), 16320), '.');
    ASSERT_TRUE(largest.has_value());
    EXPECT_EQ(largest->mantissa, ~std::uint64_t{0});
    EXPECT_EQ(largest->exponent, 16320);
    // The halfway point above the largest value would round to an even mantissa of 2^64.
    const std::string overflowHalfway = Halfway(~std::uint64_t{0}, 16320);
    EXPECT_FALSE(TextToExtended(overflowHalfway, '.').has_value());
    EXPECT_EQ(TextToExtended(Below(overflowHalfway), '.'), largest);

    const auto tiny = TextToExtended("-1e-99999999999999999999", '.');
    ASSERT_TRUE(tiny.has_value());
    EXPECT_EQ(*tiny, Extended{});
    EXPECT_TRUE(tiny->negative);
}

TEST(TextToExtended, RoundsHalfwayCasesToEven) {
    const std::string one = Halfway(Top, -63);       // 1 + 2^-64: ties down to 1
    const std::string three = Halfway(Top + 1, -63); // 1 + 3 * 2^-64: ties up to 1 + 2^-62
    const std::string subnormal = Exact(DecimalInteger(1), -16446); // half the smallest
    const std::string subnormal3 = Exact(DecimalInteger(3), -16446);
    const struct {
        std::string text;
        Extended expected;
    } cases[] = {
        {one, {false, Top, -63}},
        {Below(one), {false, Top, -63}},
        {Above(one), {false, Top + 1, -63}},
        {three, {false, Top + 2, -63}},
        {Below(three), {false, Top + 1, -63}},
        // Digits past the kept ones still decide a tie.
        {Above(one, 20000), {false, Top + 1, -63}},
        {one.substr(0, one.find('e')) + std::string(20000, '0') + "e-20064", {false, Top, -63}},
        {subnormal, {}},
        {Above(subnormal), {false, Top, -16445 - 63}},
        {subnormal3, {false, Top, -16444 - 63}},
        {Below(subnormal3), {false, Top, -16445 - 63}},
    };
    for (const auto& c : cases) {
        const auto converted = TextToExtended(c.text, '.');
        ASSERT_TRUE(converted.has_value()) << Shorten(c.text);
        EXPECT_EQ(*converted, c.expected) << Shorten(c.text);
    }
}

// glibc's strtold rounds correctly into the same 80-bit format: an exact oracle.
TEST(TextToExtended, MatchesStrtoldOnRandomDecimals) {
    std::mt19937_64 random(20261208);
    const auto digits = [&](std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    for (int i = 0; i < 6000; ++i) {
        const std::size_t count = i % 100 == 0 ? 30 + random() % 800 : 1 + random() % 25;
        std::string text = digits(count);
        text.insert(random() % (count + 1), ".");
        // Every third exponent anywhere in and beyond the range, the others typical.
        const int range = i % 3 == 0 ? 5000 : 40;
        const int exponent = static_cast<int>(random() % (2 * range + 1)) - range;
        ExpectSameAsStrtold((random() % 2 ? "-" : "") + text + "e" + std::to_string(exponent));
    }
}

TEST(TextToExtended, MatchesStrtoldNearRoundingBoundaries) {
    // Exact values, halfway points and their neighbours: many of moderate size, fewer over the
    // whole range and among subnormals, whose decimals run to thousands of digits.
    const struct {
        int count;
        bool subnormal;
        int lowestExponent;
        int highestExponent;
    } families[] = {{200, false, -200, 200}, {16, false, -16445, 16320}, {8, true, -16445, -16445}};
    std::mt19937_64 random(4932);
    for (const auto& family : families) {
        for (int i = 0; i < family.count; ++i) {
            const std::uint64_t mantissa =
                family.subnormal ? (random() >> (random() % 63 + 1)) | 1 : random() | Top;
            const int exponent =
                family.lowestExponent +
                static_cast<int>(random() % (family.highestExponent - family.lowestExponent + 1));
            const std::string halfway = Halfway(mantissa, exponent);
            for (const std::string& text : {halfway, Below(halfway), Above(halfway),
                                            Exact(DecimalInteger(mantissa), exponent)}) {
                ExpectSameAsStrtold(text);
            }
        }
    }
}

TEST(TextToExtended, HandlesHugeTextsQuickly) {
    const std::string longDigits = "0." + std::string(100000, '3') + "e1";
    ExpectSameAsStrtold(longDigits);
    ExpectSameAsStrtold(std::string(100000, '0') + "1" + std::string(100000, '0') + "e-100000");
    ExpectSameAsStrtold("1e-" + std::string(100000, '0') + "4950");
}

TEST(DigitsToExtended, RoundsLongIntegersToNearestEven) {
    const struct {
        const char* digits;
        Extended expected;
    } cases[] = {
        {"0", {}},
        {"000000000000000000000000000000000012", {false, 3 * (Top >> 1), -60}},
        {"18446744073709551615", {false, ~std::uint64_t{0}, 0}},
        {"18446744073709551616", {false, Top, 1}},
        {"18446744073709551617", {false, Top, 1}},     // tie: even mantissa 2^63
        {"18446744073709551618", {false, Top + 1, 1}}, // exact
        {"18446744073709551619", {false, Top + 2, 1}}, // tie: even mantissa 2^63 + 2
    };
    for (const auto& c : cases) {
        const auto converted = DigitsToExtended(c.digits);
        ASSERT_TRUE(converted.has_value()) << c.digits;
        EXPECT_EQ(*converted, c.expected) << c.digits;
    }
    std::mt19937_64 random(40);
    for (int i = 0; i < 1000; ++i) {
        std::string digits;
        for (int d = 0; d < 40; ++d) {
            digits += static_cast<char>('0' + random() % 10);
        }
        const auto converted = DigitsToExtended(digits);
        ASSERT_TRUE(converted.has_value()) << digits;
        EXPECT_TRUE(SameBits(ToLongDouble(*converted), std::strtold(digits.c_str(), nullptr)))
            << digits;
    }
}

TEST(DigitsToExtended, RefusesAnythingButDigitsAndValuesOutOfRange) {
    for (const std::string& text :
         {std::string(), std::string("12a"), std::string(" 12"), std::string("-12"),
          std::string("1,5"), std::string("1e5"), std::string(5000, '9')}) {
        EXPECT_FALSE(DigitsToExtended(text).has_value()) << Shorten(text);
    }
    EXPECT_TRUE(DigitsToExtended(std::string(4932, '9')).has_value());
}

} // namespace
} // namespace vigrel
