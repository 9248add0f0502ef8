// What the Windows benchmarks share: where the plug-in is, and the process's CPU time and
// private memory.
#pragma once

#include <cstddef>
#include <string>

namespace vigrel::bench {

// The Vigrel.tsp built beside the benchmark program.
std::string PlugInPath();
// User and kernel time of this process so far.
double CpuSeconds();
// The bytes of private memory this process has committed.
std::size_t PrivateBytes();

} // namespace vigrel::bench
