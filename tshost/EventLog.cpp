#include "tshost/EventLog.h"

#include "tshost/Codepage.h"

namespace vigrel::tshost {

EventLog::EventLog(std::FILE* file, bool times)
    : file_(file), times_(times), start_(std::chrono::steady_clock::now()) {}

void EventLog::Line(std::string_view utf8) {
    if (times_) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - start_);
        std::fprintf(file_, "%7lld ms  ", static_cast<long long>(elapsed.count()));
    }
    std::fwrite(utf8.data(), 1, utf8.size(), file_);
    std::fputc('\n', file_);
    std::fflush(file_);
}

bool EventLog::ReportHostStrings(PlugInHost& host) {
    host.Ledger().CheckNoneLeft();
    const std::vector<std::string> faults = host.Faults();
    if (faults.empty()) {
        Line("host strings: clean");
    }
    for (const std::string& fault : faults) {
        Line("host strings: fault: " + Cp1251ToUtf8(fault));
    }
    return faults.empty();
}

} // namespace vigrel::tshost
