// Loads the real DLL, creates monitors, lets them tick, and unloads it, over and over: the
// growth of the process's private memory and of its GDI and USER objects across the cycles is
// what each load leaves behind. Run it without Wine's heap checker (warn+heap), which holds freed
// blocks back from reuse and so shows growth that is not there.
//   ReloadBench.exe [cycles] [monitors per cycle]
#include "bench/BenchHost.h"
#include "tshost/PlugInHost.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Cycle(int monitors) {
    vigrel::tshost::PlugInHost host({.recordEvents = false});
    vigrel::bench::StartPlugIn(host);
    for (int i = 0; i < monitors; ++i) {
        const std::string index = std::to_string(i);
        host.ExecAction(1, {"M" + index, "V", "=", "0", "S", "true", "true"});
    }
    host.PassTime(0);
    host.Unload(false); // no close message: the unload itself must release the monitors
}

} // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int monitors = argc > 2 ? std::atoi(argv[2]) : 50;
    // The first cycles warm the host's own heap and the loader's caches.
    for (int i = 0; i < 10; ++i) {
        Cycle(monitors);
    }
    const auto objects = [](DWORD kind) {
        return static_cast<long>(GetGuiResources(GetCurrentProcess(), kind));
    };
    const std::size_t before = vigrel::bench::PrivateBytes();
    const long gdiBefore = objects(GR_GDIOBJECTS);
    const long userBefore = objects(GR_USEROBJECTS);
    for (int i = 0; i < cycles; ++i) {
        Cycle(monitors);
    }
    const double growth = static_cast<double>(vigrel::bench::PrivateBytes()) - before;
    std::printf("%d load/create/unload cycles with %d monitors each: private memory grew by "
                "%.0f KB (%.0f bytes per cycle), GDI objects by %ld, USER objects by %ld\n",
                cycles, monitors, growth / 1024, growth / cycles,
                objects(GR_GDIOBJECTS) - gdiBefore, objects(GR_USEROBJECTS) - userBefore);
    return 0;
}
