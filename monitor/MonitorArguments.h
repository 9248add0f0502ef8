// The seven arguments of the monitor action and their checks, in the order the host reports
// them through "[MonitorError]".
#pragma once

#include "monitor/Locale.h"

#include <functional>
#include <string>
#include <string_view>

namespace vigrel {

// The host variable that receives argument errors, brackets included.
inline constexpr std::string_view MonitorErrorVariable = "[MonitorError]";

// Written by a tick whose subroutine name is empty.
inline constexpr std::string_view MissingSubroutineMessage =
    "Отсутствует подпрограмма для выполнения .";

struct MonitorArguments {
    std::string name;
    std::string variable;
    std::string condition;
    std::string comparison;
    std::string subroutine;
    std::string executionMode; // lower-cased by a successful check
    std::string startMode;     // kept as given
};

// Called with the text to write into "[MonitorError]": empty after each check that passes,
// the message of the first check that fails.
using ErrorReport = std::function<void(std::string_view message)>;

// Checks the arguments in order: monitor name, variable name, condition, execution mode, start
// mode. Stops at the first failure (reporting its message) and returns false. On success every
// check has reported the empty text, `args.executionMode` holds the lower-cased mode and
// `startsRunning` tells whether the lower-cased start mode is "true".
bool CheckMonitorArguments(MonitorArguments& args, const LocaleServices& locale,
                           const ErrorReport& report, bool& startsRunning);

} // namespace vigrel
