// The log of everything the host sees: one event a line in UTF-8, written as it happens.
#pragma once

#include "tshost/PlugInHost.h"

#include <chrono>
#include <cstdio>
#include <string_view>

namespace vigrel::tshost {

class EventLog {
public:
    // With `times`, every line starts with the milliseconds since the log was made.
    EventLog(std::FILE* file, bool times);

    void Line(std::string_view utf8);
    // The host-string accounting once the plug-in is unloaded: "host strings: clean", or one
    // line for each fault. Returns whether it was clean.
    bool ReportHostStrings(PlugInHost& host);

private:
    std::FILE* file_;
    bool times_;
    std::chrono::steady_clock::time_point start_;
};

} // namespace vigrel::tshost
