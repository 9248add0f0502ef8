#include "bench/BenchHost.h"

#include <windows.h>

namespace vigrel::bench {

std::string PlugInPath() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.resize(folder.find_last_of("\\/") + 1);
    return folder + "Vigrel.tsp";
}

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](const FILETIME& t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) * 1e-7;
    };
    return seconds(kernel) + seconds(user);
}

std::size_t PrivateBytes() {
    // Wine reports no private usage in the process counters: add up the committed private
    // regions of the address space instead.
    std::size_t bytes = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            bytes += region.RegionSize;
        }
    }
    return bytes;
}

} // namespace vigrel::bench
