// How a monitor compares the value it reads with its comparison string.
#pragma once

#include "monitor/Locale.h"

#include <string_view>

namespace vigrel {

// The number of characters that are not ASCII digits, minus one (capped at 1); 1 for the empty
// text.
// Negative: integer class (digits only); 0: decimal class (exactly one non-digit); positive:
// text class. Callers look only at the sign.
int ValueClass(std::string_view text);

// True when `condition` ("=" or "<>", byte for byte) holds between `value` and `comparison`.
// Two integer-class strings compare by exact value whatever their length; numbers of the decimal
// class compare as extended floating point, integers widened to it from their digits; a text
// class string, or a numeric conversion that fails, makes the two compare as text with case
// ignored. Any other condition never holds.
bool ConditionHolds(std::string_view condition, std::string_view value, std::string_view comparison,
                    const LocaleServices& locale);

} // namespace vigrel
