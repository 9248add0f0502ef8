// N repeating monitors in the real DLL for a few seconds, with a host whose variable read is
// trivial (the value is empty, so no monitor fires): ticks delivered per monitor against the
// ideal of one per 50 ms, and the process's CPU time per tick.
//   MonitorScaleBench.exe [seconds] [N...]
#include "bench/BenchHost.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Run(int monitors, unsigned seconds) {
    vigrel::tshost::PlugInHost host;
    host.recordEvents = false;
    std::string error;
    if (!host.Load(vigrel::bench::PlugInPath(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    host.Start();
    std::vector<unsigned> ticks(static_cast<std::size_t>(monitors));
    host.fastRead = [&](const char* name) { ++ticks[std::strtoul(name + 1, nullptr, 10)]; };
    for (int i = 0; i < monitors; ++i) {
        const std::string index = std::to_string(i);
        host.ExecAction(1, {"M" + index, "V" + index, "=", "0", "S", "true", "true"});
    }
    std::fill(ticks.begin(), ticks.end(), 0u);
    const double cpuBefore = vigrel::bench::CpuSeconds();
    host.PassTime(seconds * 1000);
    const double cpu = vigrel::bench::CpuSeconds() - cpuBefore;
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
                "%7.2f us CPU per tick\n",
                monitors, mean, ideal, 100.0 * mean / ideal, least,
                total > 0 ? cpu * 1e6 / total : 0.0);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 5;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i) {
        counts.push_back(std::atoi(argv[i]));
    }
    if (counts.empty()) {
        counts = {1, 100, 1000, 10000, 100000};
    }
    for (const int n : counts) {
        Run(n, seconds);
    }
    return 0;
}
