#include "monitor/Extended.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <string>
#include <vector>

namespace vigrel {
namespace {

// The x87 extended format as mantissa * 2^exponent with a normalised 64-bit mantissa: the
// largest finite value is (2^64 - 1) * 2^16320 and subnormals are multiples of 2^-16445.
constexpr std::int64_t MaxExponent = 16320;
constexpr std::int64_t MinUlpExponent = -16445;

// The longest exact decimal of a halfway point between two extended values has about 11515
// significant digits. Beyond this many, the digits matter only as "something non-zero follows",
// which one extra digit 1 records without changing the rounding.
constexpr std::size_t MaxDigits = 12000;

// With n significant digits and power of ten p, the value lies in [10^(n+p-1), 10^(n+p)). When
// n + p > 4933 it overflows; when n + p <= -4951 it is less than half the smallest subnormal
// (about 1.8e-4951) and rounds to zero.
constexpr std::int64_t MaxDecimalPlaces = 4933;
constexpr std::int64_t ZeroDecimalPlaces = -4951;

// Exponents beyond this are saturated while reading; they are far out of range either way.
constexpr std::int64_t ExponentLimit = 1'000'000'000'000'000;

constexpr auto Pow10 = [] {
    std::array<std::uint64_t, 20> powers{1};
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers[i] = powers[i - 1] * 10;
    }
    return powers;
}();

// 5^13 is the largest power of five that fits in a limb.
constexpr std::size_t Pow5Step = 13;
constexpr auto Pow5 = [] {
    std::array<std::uint32_t, Pow5Step + 1> powers{1};
    for (std::size_t i = 1; i < powers.size(); ++i) {
        powers[i] = powers[i - 1] * 5;
    }
    return powers;
}();

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A non-negative integer in 32-bit limbs, least significant first, without leading zero limbs.
class BigInt {
public:
    explicit BigInt(std::string_view digits) {
        limbs_.reserve(digits.size() / 9 + 1);
        std::size_t chunk = digits.size() % 9 == 0 ? 9 : digits.size() % 9;
        for (std::size_t at = 0; at < digits.size(); at += chunk, chunk = 9) {
            std::uint32_t value = 0;
            for (const char c : digits.substr(at, chunk)) {
                value = value * 10 + static_cast<std::uint32_t>(c - '0');
            }
            MultiplyAdd(static_cast<std::uint32_t>(Pow10[chunk]), value);
        }
    }

    void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
        std::uint64_t carry = addend;
        for (std::uint32_t& limb : limbs_) {
            const std::uint64_t product = std::uint64_t{limb} * factor + carry;
            limb = static_cast<std::uint32_t>(product);
            carry = product >> 32;
        }
        if (carry != 0) {
            limbs_.push_back(static_cast<std::uint32_t>(carry));
        }
    }

    void MultiplyByPow5(std::int64_t power) {
        for (; power >= static_cast<std::int64_t>(Pow5Step); power -= Pow5Step) {
            MultiplyAdd(Pow5[Pow5Step], 0);
        }
        MultiplyAdd(Pow5[static_cast<std::size_t>(power)], 0);
    }

    // Floor division in place; returns whether the remainder is non-zero.
    bool Divide(std::uint32_t divisor) {
        std::uint64_t remainder = 0;
        for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
            const std::uint64_t current = (remainder << 32) | *limb;
            *limb = static_cast<std::uint32_t>(current / divisor);
            remainder = current % divisor;
        }
        while (!limbs_.empty() && limbs_.back() == 0) {
            limbs_.pop_back();
        }
        return remainder != 0;
    }

    void ShiftLeft(std::size_t bits) {
        const unsigned within = bits % 32;
        if (within != 0) {
            std::uint32_t carry = 0;
            for (std::uint32_t& limb : limbs_) {
                const std::uint32_t out = limb >> (32 - within);
                limb = (limb << within) | carry;
                carry = out;
            }
            if (carry != 0) {
                limbs_.push_back(carry);
            }
        }
        limbs_.insert(limbs_.begin(), bits / 32, 0);
    }

    std::size_t BitLength() const {
        return limbs_.empty() ? 0 : 32 * (limbs_.size() - 1) + std::bit_width(limbs_.back());
    }

    // The 64 bits starting at bit `from`.
    std::uint64_t Bits(std::size_t from) const {
        const std::size_t index = from / 32;
        const unsigned within = from % 32;
        const std::uint64_t low = Limb(index) | (std::uint64_t{Limb(index + 1)} << 32);
        if (within == 0) {
            return low;
        }
        return (low >> within) | (std::uint64_t{Limb(index + 2)} << (64 - within));
    }

    bool Bit(std::size_t index) const { return ((Limb(index / 32) >> (index % 32)) & 1) != 0; }

    bool AnyBitBelow(std::size_t index) const {
        const std::size_t whole = std::min(index / 32, limbs_.size());
        if (std::any_of(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole),
                        [](std::uint32_t limb) { return limb != 0; })) {
            return true;
        }
        return (Limb(index / 32) & ((std::uint32_t{1} << (index % 32)) - 1)) != 0;
    }

private:
    std::uint32_t Limb(std::size_t index) const {
        return index < limbs_.size() ? limbs_[index] : 0;
    }

    std::vector<std::uint32_t> limbs_;
};

Extended Zero(bool negative) {
    return Extended{negative, 0, 0};
}

Extended Normalised(bool negative, std::uint64_t mantissa, std::int64_t exponent) {
    const int shift = std::countl_zero(mantissa);
    return Extended{negative, mantissa << shift, static_cast<std::int32_t>(exponent - shift)};
}

// Rounds value * 2^binaryExponent to the nearest extended value, ties to even. `inexact` says
// that the true value lies strictly between this and the next integer `value`; the caller then
// makes sure `value` has more bits than are kept, so that the dropped bits carry it.
std::optional<Extended> Round(const BigInt& value, std::int64_t binaryExponent, bool inexact,
                              bool negative) {
    const auto top = static_cast<std::int64_t>(value.BitLength()) - 1 + binaryExponent;
    if (top > MaxExponent + 63) {
        return std::nullopt;
    }
    std::int64_t ulp = std::max(top - 63, MinUlpExponent);
    const std::int64_t dropped = ulp - binaryExponent;
    if (dropped <= 0) {
        return Normalised(negative, value.Bits(0) << -dropped, ulp);
    }
    const auto half = static_cast<std::size_t>(dropped - 1);
    std::uint64_t mantissa = value.Bits(half + 1);
    if (value.Bit(half) && (inexact || value.AnyBitBelow(half) || (mantissa & 1) != 0)) {
        if (++mantissa == 0) {
            mantissa = std::uint64_t{1} << 63;
            ++ulp;
        }
    }
    if (mantissa == 0) {
        return Zero(negative);
    }
    const Extended result = Normalised(negative, mantissa, ulp);
    if (result.exponent > MaxExponent) {
        return std::nullopt;
    }
    return result;
}

// Significant decimal digits (no leading zeros, never empty unless the value is zero) and the
// power of ten that scales them.
struct Decimal {
    bool negative = false;
    std::string digits;
    std::int64_t power = 0;
};

std::optional<Extended> Convert(const Decimal& decimal) {
    const bool negative = decimal.negative;
    if (decimal.digits.empty()) {
        return Zero(negative);
    }
    const auto count = static_cast<std::int64_t>(decimal.digits.size());
    const std::int64_t places = count + decimal.power;
    if (places > MaxDecimalPlaces) {
        return std::nullopt;
    }
    if (places <= ZeroDecimalPlaces) {
        return Zero(negative);
    }
    // Most texts are short integers or scaled ones: exact in 64 bits, no rounding.
    if (count < 20 && decimal.power >= 0 && decimal.power < 20) {
        std::uint64_t digits = 0;
        for (const char c : decimal.digits) {
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
        }
        const std::uint64_t scale = Pow10[static_cast<std::size_t>(decimal.power)];
        if (digits <= UINT64_MAX / scale) {
            return Normalised(negative, digits * scale, 0);
        }
    }
    BigInt value(decimal.digits);
    if (decimal.power >= 0) {
        // digits * 10^p = (digits * 5^p) * 2^p.
        value.MultiplyByPow5(decimal.power);
        return Round(value, decimal.power, false, negative);
    }
    // digits * 10^-k = (digits * 2^shift / 5^k) * 2^(-shift-k): scale first so the quotient
    // keeps at least 66 bits (64 kept, the halfway bit, one more), then divide by 5^k in
    // steps. Floor divisions compose, and a remainder on the way means the value is inexact.
    std::int64_t k = -decimal.power;
    const std::int64_t pow5Bits = k * 2322 / 1000 + 1; // log2(5) < 2.322
    const std::int64_t shift =
        std::max<std::int64_t>(0, 66 + pow5Bits - static_cast<std::int64_t>(value.BitLength()));
    value.ShiftLeft(static_cast<std::size_t>(shift));
    bool inexact = false;
    for (; k >= static_cast<std::int64_t>(Pow5Step); k -= Pow5Step) {
        inexact |= value.Divide(Pow5[Pow5Step]);
    }
    inexact |= value.Divide(Pow5[static_cast<std::size_t>(k)]);
    return Round(value, decimal.power - shift, inexact, negative);
}

// Reads the accepted form into its significant digits, keeping at most MaxDigits of them.
std::optional<Decimal> Parse(std::string_view text, char separator) {
    std::size_t at = text.find_first_not_of(' ');
    const auto is = [&](char c) { return at < text.size() && text[at] == c; };
    const auto isDigit = [&] { return at < text.size() && IsDigit(text[at]); };
    Decimal decimal;
    if (is('+') || is('-')) {
        decimal.negative = text[at] == '-';
        ++at;
    }
    bool anyDigit = false;
    bool fraction = false;
    bool droppedNonZero = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == separator && !fraction) {
            fraction = true;
            continue;
        }
        if (!IsDigit(c)) {
            break;
        }
        anyDigit = true;
        if (decimal.digits.size() < MaxDigits) {
            if (c != '0' || !decimal.digits.empty()) {
                decimal.digits += c;
            }
            decimal.power -= fraction ? 1 : 0;
        } else {
            droppedNonZero |= c != '0';
            decimal.power += fraction ? 0 : 1;
        }
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    if (is('E') || is('e')) {
        ++at;
        bool negativeExponent = false;
        if (is('+') || is('-')) {
            negativeExponent = text[at] == '-';
            ++at;
        }
        if (!isDigit()) {
            return std::nullopt;
        }
        std::int64_t exponent = 0;
        for (; isDigit(); ++at) {
            exponent = std::min(exponent * 10 + (text[at] - '0'), ExponentLimit);
        }
        decimal.power += negativeExponent ? -exponent : exponent;
    }
    if (text.find_first_not_of(' ', at) != std::string_view::npos) {
        return std::nullopt;
    }
    if (droppedNonZero) {
        decimal.digits += '1';
        --decimal.power;
    } else if (!decimal.digits.empty()) {
        const std::size_t significant = decimal.digits.find_last_not_of('0') + 1;
        decimal.power += static_cast<std::int64_t>(decimal.digits.size() - significant);
        decimal.digits.resize(significant);
    }
    return decimal;
}

} // namespace

bool operator==(const Extended& a, const Extended& b) {
    return a.mantissa == b.mantissa && a.exponent == b.exponent &&
           (a.negative == b.negative || a.mantissa == 0);
}

std::optional<Extended> TextToExtended(std::string_view text, char decimalSeparator) {
    const auto decimal = Parse(text, decimalSeparator);
    if (!decimal) {
        return std::nullopt;
    }
    return Convert(*decimal);
}

std::optional<Extended> DigitsToExtended(std::string_view digits) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), IsDigit)) {
        return std::nullopt;
    }
    return TextToExtended(digits, '.');
}

#if LDBL_MANT_DIG == 64
long double ToLongDouble(const Extended& value) {
    const long double magnitude =
        std::ldexp(static_cast<long double>(value.mantissa), value.exponent);
    return value.negative ? -magnitude : magnitude;
}
#endif

} // namespace vigrel
