// Replacing a monitor by name in the real DLL.
//   MonitorReplaceBench.exe [seconds] [N...]
// First the time of one replacement (VigrelCreate under a registered name, the monitors
// stopped) among N monitors; then N running monitors with one more whose subroutine replaces
// one of them on every firing (every tick), as a publication may do: ticks delivered per
// monitor against the ideal of one per 50 ms.
#include "bench/BenchHost.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using vigrel::tshost::PlugInHost;

void TimeReplacement(int monitors) {
    PlugInHost host({.recordEvents = false});
    vigrel::bench::StartPlugIn(host);
    const auto create = [&](int i) {
        const std::string index = std::to_string(i);
        host.ExecAction(1, {"M" + index, "V" + index, "=", "0", "S", "true", "false"});
    };
    for (int i = 0; i < monitors; ++i) {
        create(i);
    }
    constexpr int replacements = 2000;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < replacements; ++r) {
        create(static_cast<int>((r * 7919LL) % monitors));
    }
    const std::chrono::duration<double, std::micro> elapsed =
        std::chrono::steady_clock::now() - start;
    host.Unload(true);
    std::printf("%7d monitors: %6.2f us per replacement (the whole action, five error writes "
                "included)\n",
                monitors, elapsed.count() / replacements);
    std::fflush(stdout);
}

void ReplacePerFiring(int monitors, unsigned seconds) {
    std::vector<unsigned> ticks(static_cast<std::size_t>(monitors) + 1);
    int replaced = 0;
    // The subroutine's line replaces one monitor; `create` is set before any line can come.
    std::function<void(int)> create;
    PlugInHost host(
        {.recordEvents = false,
         .onScriptLine =
             [&](const std::string&) {
                 create(static_cast<int>((replaced++ * 7919LL) % monitors));
             },
         .fastRead = [&](const char* name) { ++ticks[std::strtoul(name + 1, nullptr, 10)]; }});
    vigrel::bench::StartPlugIn(host);
    create = [&](int i) {
        const std::string index = std::to_string(i);
        host.ExecAction(1, {"M" + index, "V" + index, "=", "0", "S", "true", "true"});
    };
    for (int i = 0; i < monitors; ++i) {
        create(i);
    }
    // Reads the empty text, which equals the empty comparison string: fires on every tick.
    const std::string last = std::to_string(monitors);
    host.ExecAction(1, {"Replacer", "V" + last, "=", "", "Replace", "true", "true"});
    std::fill(ticks.begin(), ticks.end(), 0u);
    replaced = 0;
    host.PassTime(seconds * 1000);
    host.Unload(true);

    const double ideal = seconds * 20.0;
    double total = 0;
    for (int i = 0; i < monitors; ++i) {
        total += ticks[static_cast<std::size_t>(i)];
    }
    const double mean = total / monitors;
    std::printf("%7d monitors, one replaced per firing: %6.1f ticks each of %3.0f ideal "
                "(%5.1f%%); the replacer fired %u times (%5.1f%%), %d replacements\n",
                monitors, mean, ideal, 100.0 * mean / ideal, ticks.back(),
                100.0 * ticks.back() / ideal, replaced);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 5;
    const std::vector<int> counts =
        vigrel::bench::NumbersFrom(argc, argv, 2, {1000, 10000, 100000});
    for (const int n : counts) {
        TimeReplacement(n);
    }
    for (const int n : counts) {
        ReplacePerFiring(n, seconds);
    }
    return 0;
}
