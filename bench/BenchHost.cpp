#include "bench/BenchHost.h"

#include "tools/probe/PlugInProbe.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vigrel::bench {

void StartPlugIn(tshost::PlugInHost& host) {
    std::string error;
    if (!host.Load(test::PlugInPath(), error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    host.Start();
}

std::vector<int> NumbersFrom(int argc, char** argv, int first, std::vector<int> defaults) {
    std::vector<int> numbers;
    for (int i = first; i < argc; ++i) {
        numbers.push_back(std::atoi(argv[i]));
    }
    return numbers.empty() ? defaults : numbers;
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

double Seconds() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

double MillisecondsSince(double start) {
    return (Seconds() - start) * 1e3;
}

namespace {

BOOL CALLBACK AddWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<void*>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK AddWindowAndChildren(HWND window, LPARAM list) {
    AddWindow(window, list);
    EnumChildWindows(window, &AddWindow, list);
    return TRUE;
}

} // namespace

std::vector<void*> ThreadWindows() {
    std::vector<void*> windows;
    EnumThreadWindows(GetCurrentThreadId(), &AddWindowAndChildren,
                      reinterpret_cast<LPARAM>(&windows));
    return windows;
}

unsigned GdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) {
        return static_cast<unsigned>(reported);
    }
    // Wine gives 0. Its handle table takes a GDI handle by the low 16 bits alone when the high
    // ones are zero, so every live object answers GetObjectType at one of those values.
    unsigned live = 0;
    for (ULONG_PTR value = 1; value <= 0xFFFF; ++value) {
        live += GetObjectType(reinterpret_cast<HGDIOBJ>(value)) != 0 ? 1 : 0;
    }
    return live;
}

unsigned UserObjects() {
    return static_cast<unsigned>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS));
}

namespace {

std::size_t BusyHeapBlocks() {
    const HANDLE heap = GetProcessHeap();
    std::size_t busy = 0;
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    while (HeapWalk(heap, &entry)) {
        busy += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0 ? 1 : 0;
    }
    HeapUnlock(heap);
    return busy;
}

} // namespace

Holdings CountHoldings() {
    return {ThreadWindows().size(), GdiObjects(), UserObjects(), PrivateBytes(), BusyHeapBlocks()};
}

void PrintGrowth(const Holdings& before, const Holdings& after) {
    const auto growth = [](const char* what, std::size_t from, std::size_t to) {
        std::printf("  %-34s %8lld -> %8lld (%+lld)\n", what, static_cast<long long>(from),
                    static_cast<long long>(to),
                    static_cast<long long>(to) - static_cast<long long>(from));
    };
    growth("windows of the thread", before.windows, after.windows);
    growth("GDI objects", before.gdi, after.gdi);
    growth("USER objects", before.user, after.user);
    growth("private memory, KB", before.privateBytes / 1024, after.privateBytes / 1024);
    growth("busy blocks of the process heap", before.heapBlocks, after.heapBlocks);
}

Spread SpreadOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t half = values.size() / 2;
    const double median =
        values.size() % 2 == 1 ? values[half] : (values[half - 1] + values[half]) / 2;
    return {values.front(), median, values.back()};
}

void PrintSpread(const char* what, const std::vector<double>& values, const char* target) {
    const Spread spread = SpreadOf(values);
    std::printf("  %-46s %7.2f %7.2f %7.2f%s\n", what, spread.min, spread.median, spread.max,
                target);
}

} // namespace vigrel::bench
