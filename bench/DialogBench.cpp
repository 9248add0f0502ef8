// Under Wine, on a display: the "Action Properties" dialog of the real Vigrel.tsp, opened through
// tsEditAction by a host of this program's own with host strings made by GlobalAlloc.
//   DialogBench.exe [runs] [openings]
// Each opening sets a 1 ms thread timer before the call. The timer's first tick that finds the
// dialog's window visible calls RedrawWindow(RDW_UPDATENOW | RDW_ALLCHILDREN) on it, which paints
// whatever the modal loop has not painted yet and returns once every window of the dialog has
// handled its WM_PAINT; "first complete paint" is the time from the call to that return. Since a
// thread's WM_PAINT messages are taken before its WM_TIMER messages, the modal loop has normally
// painted everything already and the forced paint finds nothing left (its own time is printed).
// The same tick then posts BM_CLICK to the OK button; "OK to return" is the time from that post
// to the return of tsEditAction (the click, the modal loop's end, the hide, the seven host
// strings written and the dialog destroyed).
// A CBT hook of the thread marks the phases: the first window created (the form built from its
// resource and filled), the dialog activated (every window created, the show under way), and,
// after OK, the dialog's window starting to be destroyed.
// Then `openings` openings closed with OK, with the thread's windows, the process's GDI and USER
// objects, private memory and busy blocks of the process heap counted before and after, and
// every global block accounted for: the plug-in's GlobalAlloc and GlobalFree are counted through
// its import table, each block this host or the plug-in allocates must be freed exactly once,
// and nothing may be left. Prints figures; never fails.
#include "bench/BenchHost.h"
#include "tessary/TessaryAbi.h"
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using namespace vigrel;
using bench::MillisecondsSince;
using bench::Seconds;
using test::Entry;

// The accounting of global blocks: every block this host or the plug-in allocates is live until
// it is freed; a free of a block not live is a fault.
struct Accounting {
    std::set<HGLOBAL> live;
    unsigned hostAllocs = 0;
    unsigned hostFrees = 0;
    unsigned plugInAllocs = 0;
    unsigned plugInFrees = 0;
    unsigned faults = 0;

    void Allocated(HGLOBAL block) {
        if (block != nullptr && !live.insert(block).second) {
            ++faults;
        }
    }
    void Freed(HGLOBAL block) {
        if (block != nullptr && live.erase(block) == 0) {
            ++faults;
        }
    }
} blocks;

using GlobalAllocFunction = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFunction = HGLOBAL(WINAPI*)(HGLOBAL);
GlobalAllocFunction systemGlobalAlloc = nullptr;
GlobalFreeFunction systemGlobalFree = nullptr;

HGLOBAL WINAPI PlugInGlobalAlloc(UINT flags, SIZE_T size) {
    const HGLOBAL block = systemGlobalAlloc(flags, size);
    ++blocks.plugInAllocs;
    blocks.Allocated(block);
    return block;
}

HGLOBAL WINAPI PlugInGlobalFree(HGLOBAL block) {
    ++blocks.plugInFrees;
    blocks.Freed(block);
    return systemGlobalFree(block);
}

char* HostBlock(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    auto* block = static_cast<char*>(GlobalAlloc(GMEM_FIXED, size));
    std::memcpy(block, text, size);
    ++blocks.hostAllocs;
    blocks.Allocated(block);
    return block;
}

void FreeHostBlock(char* block) {
    if (block != nullptr) {
        ++blocks.hostFrees;
        blocks.Freed(block);
        GlobalFree(block);
    }
}

void TS_CALL GetVariable(const char*, HostStringPtr*) {}
TsBool TS_CALL SetVariable(const char*, const char*) {
    return TsTrue;
}
TsBool TS_CALL AddAction(std::int32_t, const char*, const char*, const std::uint8_t*, std::int32_t,
                         std::int32_t) {
    return TsTrue;
}
TsBool TS_CALL ScriptProcessor(const char*) {
    return TsTrue;
}

std::wstring TextOf(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

BOOL CALLBACK FindOk(HWND window, LPARAM found) {
    if (ClassOf(window) == L"Button" && TextOf(window) == L"OK") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CountUnpainted(HWND window, LPARAM count) {
    *reinterpret_cast<int*>(count) += GetUpdateRect(window, nullptr, FALSE) ? 1 : 0;
    return TRUE;
}

// What one opening measured; the times in ms from the tsEditAction call.
struct Opening {
    double firstWindow = 0; // the first window of the dialog is being created
    double activated = 0;   // the dialog is being activated
    double destroying = 0;  // after OK: the dialog's window is being destroyed
    double detected = 0;    // the timer tick that found the dialog shown
    double painted = 0;     // the forced paint returned: first complete paint
    double okPosted = 0;    // BM_CLICK posted to OK
    double returned = 0;    // tsEditAction returned
    int windows = 0;        // windows of the thread while the dialog is shown
    int unpainted = 0;      // dialog windows still holding an update region after the paint
    bool clicked = false;   // an OK button was found and clicked
    bool result = false;    // what tsEditAction gave
    unsigned replaced = 0;  // slots holding another block afterwards
};

Opening current;
double callStart = 0;

LRESULT CALLBACK MarkPhases(int code, WPARAM wParam, LPARAM lParam) {
    if (callStart != 0) {
        if (code == HCBT_CREATEWND && current.firstWindow == 0) {
            current.firstWindow = MillisecondsSince(callStart);
        } else if (code == HCBT_ACTIVATE && current.activated == 0) {
            current.activated = MillisecondsSince(callStart);
        } else if (code == HCBT_DESTROYWND && current.okPosted != 0 && current.destroying == 0) {
            current.destroying = MillisecondsSince(callStart);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK Poll(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = test::ShownPlugInForm();
    if (dialog == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    current.detected = MillisecondsSince(callStart);
    RedrawWindow(dialog, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    current.painted = MillisecondsSince(callStart);
    current.unpainted = GetUpdateRect(dialog, nullptr, FALSE) ? 1 : 0;
    EnumChildWindows(dialog, &CountUnpainted, reinterpret_cast<LPARAM>(&current.unpainted));
    current.windows = static_cast<int>(bench::ThreadWindows().size());
    HWND ok = nullptr;
    EnumChildWindows(dialog, &FindOk, reinterpret_cast<LPARAM>(&ok));
    if (ok == nullptr) {
        // Closes the dialog all the same, so the benchmark goes on and reports it.
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        return;
    }
    current.clicked = true;
    current.okPosted = MillisecondsSince(callStart);
    PostMessageW(ok, BM_CLICK, 0, 0);
}

Opening Open(TtsEditAction edit) {
    const char* const texts[7] = {"Counting", "Counter", "<>", "10", "Count", "true", "true"};
    HostStringPtr slots[7];
    for (int i = 0; i < 7; ++i) {
        slots[i] = HostBlock(texts[i]);
    }
    const std::vector<HostStringPtr> before(slots, slots + 7);
    current = Opening{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 1, &Poll);
    callStart = Seconds();
    current.result = edit(MonitorActionNumber, slots) != TsFalse;
    current.returned = MillisecondsSince(callStart);
    callStart = 0;
    KillTimer(nullptr, timer);
    for (int i = 0; i < 7; ++i) {
        if (slots[i] != before[static_cast<std::size_t>(i)]) {
            ++current.replaced;
        }
        // A block the plug-in wrote into a slot is the host's now, like the ones it put there.
        FreeHostBlock(slots[i]);
    }
    return current;
}

int Run(int runs, int openings) {
    const std::string path = test::PlugInPath();
    const HMODULE module = LoadLibraryA(path.c_str());
    const auto edit = module != nullptr ? Entry<TtsEditAction>(module, "tsEditAction") : nullptr;
    if (edit == nullptr) {
        std::fprintf(stderr, "DialogBench: %s cannot be loaded or has no tsEditAction\n",
                     path.c_str());
        return 1;
    }
    const ImportPatch alloc = PatchImport(module, "kernel32.dll", "GlobalAlloc",
                                          reinterpret_cast<void*>(&PlugInGlobalAlloc));
    const ImportPatch free = PatchImport(module, "kernel32.dll", "GlobalFree",
                                         reinterpret_cast<void*>(&PlugInGlobalFree));
    if (!alloc || !free) {
        const std::string& error = alloc.error.empty() ? free.error : alloc.error;
        std::fprintf(stderr,
                     "DialogBench: the plug-in's GlobalAlloc and GlobalFree cannot be "
                     "counted: %s\n",
                     error.empty() ? "it imports no GlobalAlloc or GlobalFree" : error.c_str());
        return 1;
    }
    systemGlobalAlloc = reinterpret_cast<GlobalAllocFunction>(alloc.previous);
    systemGlobalFree = reinterpret_cast<GlobalFreeFunction>(free.previous);
    Entry<TtsRegisterPlugIn>(module, "tsRegisterPlugIn")(AddAction, nullptr, GetVariable,
                                                         SetVariable);
    Entry<TtsRegisterScriptProcessor>(module, "tsRegisterScriptProcessor")(ScriptProcessor);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, &MarkPhases, nullptr, GetCurrentThreadId());

    const Opening cold = Open(edit);
    std::vector<Opening> timed;
    for (int i = 0; i < runs; ++i) {
        timed.push_back(Open(edit));
    }
    int unpainted = 0;
    int failed = 0;
    for (const Opening& opening : timed) {
        unpainted += opening.unpainted;
        failed += opening.clicked && opening.result && opening.replaced == 7 ? 0 : 1;
    }
    std::printf("The dialog of %s through tsEditAction, %d windows of the thread while it is "
                "shown; ms\n",
                path.c_str(), cold.windows);
    std::printf("  first opening (window classes registered, fonts made): first complete paint "
                "%.2f, OK to return %.2f\n",
                cold.painted, cold.returned - cold.okPosted);
    std::printf("  %d openings:%37s %7s %7s\n", runs, "min", "median", "max");
    const auto column = [&](auto measure) {
        std::vector<double> values;
        for (const Opening& opening : timed) {
            values.push_back(measure(opening));
        }
        return values;
    };
    bench::PrintSpread("call to the first window's creation",
                       column([](const Opening& o) { return o.firstWindow; }), "");
    bench::PrintSpread("call to the dialog's activation",
                       column([](const Opening& o) { return o.activated; }), "");
    bench::PrintSpread("call to the tick that found the dialog shown",
                       column([](const Opening& o) { return o.detected; }), "");
    bench::PrintSpread("the forced paint (RedrawWindow UPDATENOW)",
                       column([](const Opening& o) { return o.painted - o.detected; }), "");
    bench::PrintSpread("call to first complete paint",
                       column([](const Opening& o) { return o.painted; }), "   (target 30)");
    bench::PrintSpread("OK (BM_CLICK posted) to the destruction's start",
                       column([](const Opening& o) { return o.destroying - o.okPosted; }), "");
    bench::PrintSpread("the destruction's start to the return",
                       column([](const Opening& o) { return o.returned - o.destroying; }), "");
    bench::PrintSpread("OK (BM_CLICK posted) to the return",
                       column([](const Opening& o) { return o.returned - o.okPosted; }),
                       "   (target 5)");
    std::printf("  dialog windows left with an update region after the paint: %d; openings "
                "without OK clicked, true and seven slots replaced: %d\n",
                unpainted, failed);

    const bench::Holdings before = bench::CountHoldings();
    const unsigned plugInAllocsBefore = blocks.plugInAllocs;
    const unsigned plugInFreesBefore = blocks.plugInFrees;
    const unsigned hostAllocsBefore = blocks.hostAllocs;
    const unsigned hostFreesBefore = blocks.hostFrees;
    int notOk = 0;
    for (int i = 0; i < openings; ++i) {
        const Opening opening = Open(edit);
        notOk += opening.clicked && opening.result && opening.replaced == 7 ? 0 : 1;
    }
    const bench::Holdings after = bench::CountHoldings();
    std::printf("%d openings closed with OK (%d not as expected): before -> after (growth; "
                "target none)\n",
                openings, notOk);
    bench::PrintGrowth(before, after);
    std::printf("  host strings over these openings: the host allocated %u and freed %u (the "
                "plug-in's included), the plug-in allocated %u and freed %u\n",
                blocks.hostAllocs - hostAllocsBefore, blocks.hostFrees - hostFreesBefore,
                blocks.plugInAllocs - plugInAllocsBefore, blocks.plugInFrees - plugInFreesBefore);
    std::printf("  host strings, every opening: %zu blocks still live, %u frees of a block not "
                "live or allocations of a live one\n",
                blocks.live.size(), blocks.faults);

    UnhookWindowsHookEx(hook);
    Entry<TtsMessage>(module, "tsMessage")(CloseMessage);
    FreeLibrary(module);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const int openings = argc > 2 ? std::atoi(argv[2]) : 200;
    return Run(runs, openings);
}
