#include "monitor/MonitorArguments.h"

#include "monitor/NameRule.h"

#include <optional>

namespace vigrel {
namespace {

// "true" or "false" after lower-casing, or nothing for any other mode.
std::optional<bool> ParseMode(std::string_view mode, const LocaleServices& locale,
                              std::string* lowered = nullptr) {
    std::string lower = locale.LowerCase(mode);
    const std::optional<bool> result = lower == "true"    ? std::optional<bool>(true)
                                       : lower == "false" ? std::optional<bool>(false)
                                                          : std::nullopt;
    if (result && lowered != nullptr) {
        *lowered = std::move(lower);
    }
    return result;
}

} // namespace

std::string ArgumentErrorMessage(std::string_view fixedText, std::string_view monitorName) {
    std::string message(fixedText);
    message += monitorName;
    message += '.';
    return message;
}

bool CheckMonitorArguments(MonitorArguments& args, const LocaleServices& locale,
                           const ErrorReport& report, bool& startsRunning) {
    auto fail = [&](std::string_view fixedText) {
        report(ArgumentErrorMessage(fixedText, args.name));
        return false;
    };
    if (!IsValidName(args.name)) {
        return fail(BadMonitorNameText);
    }
    report({});
    if (!IsValidName(args.variable)) {
        return fail(BadVariableText);
    }
    report({});
    if (args.condition != "=" && args.condition != "<>") {
        return fail(BadConditionText);
    }
    report({});
    if (!ParseMode(args.executionMode, locale, &args.executionMode)) {
        return fail(BadExecutionModeText);
    }
    report({});
    const std::optional<bool> starts = ParseMode(args.startMode, locale);
    if (!starts) {
        return fail(BadStartModeText);
    }
    report({});
    startsRunning = *starts;
    return true;
}

} // namespace vigrel
