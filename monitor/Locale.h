// The locale services the portable comparison code is given; the Windows side implements them
// with the user's regional settings.
#pragma once

#include <string>
#include <string_view>

namespace vigrel {

class LocaleServices {
public:
    virtual ~LocaleServices() = default;
    // The decimal separator of the string-to-floating conversion.
    virtual char DecimalSeparator() const = 0;
    // Text equality with case ignored, letters of the system code page included.
    virtual bool SameTextIgnoringCase(std::string_view a, std::string_view b) const = 0;
    // Locale-aware lower-casing.
    virtual std::string LowerCase(std::string_view text) const = 0;
};

} // namespace vigrel
