// Text to x87 extended precision (64-bit significand, 15-bit exponent), converted exactly in
// integer arithmetic and rounded to nearest with ties to even. The floating-point unit is never
// used, so the result does not depend on its precision setting (a host process may have lowered
// it to 53 bits) nor on the compiler having an 80-bit long double at all.
#pragma once

#include <cfloat>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vigrel {

// The exact value (-1)^negative * mantissa * 2^exponent. Zero has mantissa 0 and exponent 0;
// any other value has the top bit of its mantissa set (subnormals too), so equal values have
// equal fields, except that +0 equals -0.
struct Extended {
    bool negative = false;
    std::uint64_t mantissa = 0;
    std::int32_t exponent = 0;
};

// Exact equality; +0 equals -0.
bool operator==(const Extended& a, const Extended& b);

// Accepts optional spaces around the number, an optional sign, digits with at most one
// `decimalSeparator` and at least one digit, and an optional exponent ('E' or 'e', an optional
// sign, at least one digit). Anything else gives nothing, and so does a value that rounds above
// the largest finite extended value. A value below the smallest subnormal rounds to zero, which
// keeps its sign.
std::optional<Extended> TextToExtended(std::string_view text, char decimalSeparator);

// The value of a non-empty string of digits of any length, leading zeros allowed, rounded to
// extended. Anything but digits, or a value beyond the extended range, gives nothing.
std::optional<Extended> DigitsToExtended(std::string_view digits);

#if LDBL_MANT_DIG == 64
// The same value as a native extended long double (exact: both hold the same 64-bit significand).
long double ToLongDouble(const Extended& value);
#endif

} // namespace vigrel
