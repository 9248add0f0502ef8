// What the Windows benchmarks share: the plug-in loaded, the clock, the process's CPU time and
// private memory, and the windows and system objects it holds.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vigrel::tshost {
class PlugInHost;
}

namespace vigrel::bench {

// Loads the Vigrel.tsp built beside the benchmark program into `host` (made with events not
// recorded: they would be counted in every figure) and makes the host's registration calls; a
// plug-in that cannot be loaded ends the benchmark with the loader's message.
void StartPlugIn(tshost::PlugInHost& host);
// The whole numbers given from argv[first] on, or `defaults` when there are none.
std::vector<int> NumbersFrom(int argc, char** argv, int first, std::vector<int> defaults);
// User and kernel time of this process so far.
double CpuSeconds();
// The bytes of private memory this process has committed.
std::size_t PrivateBytes();
// Seconds from QueryPerformanceCounter.
double Seconds();
// Milliseconds from `start` (a Seconds() value) to now.
double MillisecondsSince(double start);
// The windows of this thread: its top-level windows, hidden ones included, and every window
// inside them (message-only windows are not enumerated).
std::vector<void*> ThreadWindows();
// GDI objects of this process: GetGuiResources, or under Wine, which reports none, the live
// handles of its GDI handle table.
unsigned GdiObjects();
// USER objects of this process (GetGuiResources; 0 under Wine, which does not count them).
unsigned UserObjects();

// What this thread and process hold, for the benchmarks that repeat a cycle and look for growth.
struct Holdings {
    std::size_t windows;      // ThreadWindows
    unsigned gdi;             // GdiObjects
    unsigned user;            // UserObjects
    std::size_t privateBytes; // PrivateBytes
    std::size_t heapBlocks;   // busy blocks of the process heap
};
Holdings CountHoldings();
// One line each: what was held before, after, and the growth (the target is none).
void PrintGrowth(const Holdings& before, const Holdings& after);

// Minimum, median and maximum of a sample.
struct Spread {
    double min;
    double median;
    double max;
};
Spread SpreadOf(std::vector<double> values);
// One line: `what`, then the minimum, median and maximum of `values`, then `target`.
void PrintSpread(const char* what, const std::vector<double>& values, const char* target);

} // namespace vigrel::bench
