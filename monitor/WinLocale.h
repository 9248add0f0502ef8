// The locale services of the user's regional settings, through the Windows locale functions.
#pragma once

#include "monitor/Locale.h"

namespace vigrel {

class WinLocale final : public LocaleServices {
public:
    // Reads the decimal separator of the user's default locale, the one the comparisons use
    // ('.' if it cannot be read).
    WinLocale();

    char DecimalSeparator() const override { return separator_; }
    bool SameTextIgnoringCase(std::string_view a, std::string_view b) const override;
    std::string LowerCase(std::string_view text) const override;

private:
    char separator_;
};

// The library's locale, whose separator is read when the library loads (see CaptureUserLocale).
const LocaleServices& UserLocale();
// Reads the separator now; called once from the library's load notification.
void CaptureUserLocale();

} // namespace vigrel
