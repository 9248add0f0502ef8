// The seven arguments of the monitor action and their checks, in the order the host reports
// them through "[MonitorError]".
#pragma once

#include "monitor/Locale.h"

#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vigrel {

// The host variable that receives argument errors, brackets included.
inline constexpr std::string_view MonitorErrorVariable = "[MonitorError]";

// Written by a tick whose subroutine name is empty.
inline constexpr std::string_view MissingSubroutineMessage =
    "Отсутствует подпрограмма для выполнения .";

// The fixed texts of the argument checks, in the order they run. A failed check writes its text,
// the monitor-name argument and a full stop.
inline constexpr std::string_view BadMonitorNameText = "Неверно указано имя создаваемого монитора ";
inline constexpr std::string_view BadVariableText =
    "Неверно указано имя контролируемой переменной в ";
inline constexpr std::string_view BadConditionText =
    "Неверно указано условие контроля переменной в ";
inline constexpr std::string_view BadExecutionModeText = "Неверно указан аргумент \"Выполнение\" ";
inline constexpr std::string_view BadStartModeText = "Неверно указан аргумент \"Старт\" ";
inline constexpr std::array<std::string_view, 5> ArgumentErrorTexts = {
    BadMonitorNameText, BadVariableText, BadConditionText, BadExecutionModeText, BadStartModeText};

// What a failed check writes into "[MonitorError]".
std::string ArgumentErrorMessage(std::string_view fixedText, std::string_view monitorName);

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
