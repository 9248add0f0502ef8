// N repeating monitors in the real DLL for a few seconds, with a host whose variable read is
// trivial (the value is empty, so no monitor fires): ticks delivered per monitor against the
// ideal of one per 50 ms, the process's CPU time per tick and the share of one core it took,
// and the private memory each monitor added.
//   MonitorScaleBench.exe [seconds] [N...]
#include "bench/BenchHost.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Run(int monitors, unsigned seconds) {
    std::vector<unsigned> ticks(static_cast<std::size_t>(monitors));
    // As trivial as a read can be that still counts ticks per monitor: the index is read from
    // the variable's name ("V123") by hand.
    vigrel::tshost::PlugInHost host(
        {.recordEvents = false, .fastRead = [&](const char* name) {
             std::size_t index = 0;
             for (const char* digit = name + 1; *digit != '\0'; ++digit) {
                 index = index * 10 + static_cast<std::size_t>(*digit - '0');
             }
             ++ticks[index];
         }});
    vigrel::bench::StartPlugIn(host);
    const std::size_t memoryBefore = vigrel::bench::PrivateBytes();
    for (int i = 0; i < monitors; ++i) {
        const std::string index = std::to_string(i);
        host.ExecAction(1, {"M" + index, "V" + index, "=", "0", "S", "true", "true"});
    }
    const double bytesEach =
        (static_cast<double>(vigrel::bench::PrivateBytes()) - memoryBefore) / monitors;
    std::fill(ticks.begin(), ticks.end(), 0u);
    const double cpuBefore = vigrel::bench::CpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    host.PassTime(seconds * 1000);
    const double cpu = vigrel::bench::CpuSeconds() - cpuBefore;
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
    host.Unload(true);

    const double ideal = seconds * 20.0;
    double total = 0;
    unsigned least = ticks.empty() ? 0 : ticks[0];
    for (const unsigned t : ticks) {
        total += t;
        least = std::min(least, t);
    }
    const double mean = total / monitors;
    std::printf("%7d monitors: %6.1f ticks each of %3.0f ideal (%5.1f%%), fewest %u, "
                "%7.2f us CPU per tick, %5.1f%% of a core, %4.0f bytes per monitor\n",
                monitors, mean, ideal, 100.0 * mean / ideal, least,
                total > 0 ? cpu * 1e6 / total : 0.0, 100.0 * cpu / wall.count(), bytesEach);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 5;
    const std::vector<int> counts =
        vigrel::bench::NumbersFrom(argc, argv, 2, {1, 100, 1000, 10000, 100000});
    for (const int n : counts) {
        Run(n, seconds);
    }
    return 0;
}
