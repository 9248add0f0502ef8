// A host that runs a scenario with the plug-in again and again, refusing one request to the
// system at a time, and tells for each refused request whether the plug-in survived it with a
// right result and gave back everything it took.
//
//   FaultHost PLUGIN SCENARIO count              prints how many requests of each kind one run
//                                                makes: "requests KIND N"
//   FaultHost PLUGIN SCENARIO KIND FIRST LAST [STEP]
//                                                runs once per point, refusing request N of
//                                                KIND for N = FIRST, FIRST + STEP, ... LAST
//
// SCENARIO is "run" (monitors created, ticking, firing, replaced by name, closed by message 2,
// the plug-in unloaded, loaded again, a one-shot monitor, closed and unloaded) or "dialog" (the
// action's dialog filled, read as a screen reader reads it, and confirmed, then opened and
// cancelled). Each point prints one line,
// "point SCENARIO KIND N: RESULT", RESULT being "ok", "not reached" (the run made fewer
// requests), "wrong: ..." or "leak: ..."; a run that takes longer than 20 s prints "hang" and
// ends the process with status 4. A crash ends the process before its line is printed. With
// FAULTHOST_TRACE set in the environment, each refused request prints its call stack to standard
// error as offsets into the modules (map them with the toolchain's nm).
#include "tests/faults/Injector.h"
#include "tools/probe/PlugInProbe.h"
#include "tshost/PlugInHost.h"

#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

using namespace vigrel;
using namespace vigrel::faults;

namespace {

using tshost::Slots;
using Findings = std::vector<std::string>;

std::string plugInPath;
volatile LONG deadline = 0; // GetTickCount at which the point in progress counts as hung
std::string current;        // the point in progress, for the hang line

DWORD WINAPI Watchdog(void*) {
    for (;;) {
        Sleep(250);
        const LONG until = deadline;
        if (until != 0 && static_cast<LONG>(GetTickCount() - until) > 0) {
            std::printf("%s: hang\n", current.c_str());
            std::fflush(stdout);
            TerminateProcess(GetCurrentProcess(), 4);
        }
    }
}

std::size_t Fired(const tshost::PlugInHost& host, const char* subroutine) {
    const std::string line = std::string("script GoSub \"") + subroutine + "\"";
    std::size_t count = 0;
    for (const std::string& event : host.Events()) {
        count += event == line ? 1 : 0;
    }
    return count;
}

bool Load(tshost::PlugInHost& host, Findings& findings) {
    std::string error;
    if (!host.Load(plugInPath, error)) {
        findings.push_back("load failed: " + error);
        return false;
    }
    wchar_t name[MAX_PATH];
    MultiByteToWideChar(CP_UTF8, 0, plugInPath.c_str(), -1, name, MAX_PATH);
    if (!Injector::Current().Watch(GetModuleHandleW(name), error)) {
        findings.push_back("cannot watch the plug-in: " + error);
        return false;
    }
    host.Start();
    return true;
}

bool Create(tshost::PlugInHost& host, const char* name, const char* subroutine,
            const char* repeat) {
    return host.ExecAction(1, Slots{name, "V", "=", "go", subroutine, repeat, "true"});
}

// A created monitor runs; a refused one never does; a replacement takes over; nothing runs
// after the close; all of it again after a reload.
void RunScenario(tshost::PlugInHost& host, Findings& findings) {
    if (!Load(host, findings)) {
        return;
    }
    host.SetVariable("V", "go");
    const bool first = Create(host, "Mon1", "S1", "true");
    host.PassTime(250);
    // Created, it keeps firing: at every tick while the condition holds.
    if (first ? Fired(host, "S1") < 2 : Fired(host, "S1") != 0) {
        findings.push_back("Mon1 (created: " + std::string(first ? "yes" : "no") + ") fired " +
                           std::to_string(Fired(host, "S1")) + " times in 250 ms");
    }
    const bool second = Create(host, "mon1", "S2", "true");
    host.ClearEvents();
    host.PassTime(250);
    if (second && (Fired(host, "S2") < 2 || Fired(host, "S1") != 0)) {
        findings.push_back("the replacement of Mon1 was created but did not take over");
    }
    if (!second && Fired(host, "S2") != 0) {
        findings.push_back("the replacement of Mon1 was refused but fired");
    }
    host.Message(2);
    host.ClearEvents();
    host.PassTime(120);
    if (Fired(host, "S1") + Fired(host, "S2") != 0) {
        findings.push_back("a monitor fired after message 2");
    }
    host.Unload(false);
    if (!Load(host, findings)) {
        return;
    }
    const bool third = Create(host, "Mon2", "S3", "false");
    host.PassTime(200);
    if (third ? Fired(host, "S3") != 1 : Fired(host, "S3") != 0) {
        findings.push_back("the one-shot Mon2 (created: " + std::string(third ? "yes" : "no") +
                           ") fired " + std::to_string(Fired(host, "S3")) + " times");
    }
    host.Unload(true);
}

// The dialog's driver: fills the name and presses OK, or closes the dialog; closes any message
// box; gives up on a dialog that stays open.
enum class Answer { Ok, Cancel };
Answer answer = Answer::Ok;
DWORD shownAt = 0;

struct ChildSearch {
    const wchar_t* windowClass;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<ChildSearch*>(context);
    wchar_t name[64] = {};
    wchar_t text[64] = {};
    GetClassNameW(window, name, 64);
    GetWindowTextW(window, text, 64);
    if (lstrcmpiW(name, search.windowClass) == 0 && lstrcmpW(text, search.text) == 0) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text) {
    ChildSearch search{windowClass, text, nullptr};
    EnumChildWindows(parent, &FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Asks the window's client object for its children and the drawn ones' names, as a screen reader
// does: whatever the plug-in refuses, it answers with less, never with a crash or a leak.
void ReadAsAScreenReader(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))) ||
        object == nullptr) {
        return;
    }
    LONG count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count > 0 ? count : 0));
    LONG got = 0;
    AccessibleChildren(object, 0, static_cast<LONG>(children.size()), children.data(), &got);
    for (LONG i = 0; i < got; ++i) {
        if (children[i].vt == VT_I4) {
            BSTR name = nullptr;
            object->get_accName(children[i], &name);
            SysFreeString(name);
        }
        VariantClear(&children[i]);
    }
    object->Release();
}

void CALLBACK Drive(HWND, UINT, UINT_PTR, DWORD) {
    if (const HWND box = test::ShownWindow(L"Error"); box != nullptr) {
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
    const HWND dialog = test::ShownPlugInForm();
    if (dialog == nullptr) {
        shownAt = 0;
        return;
    }
    shownAt = shownAt == 0 ? GetTickCount() : shownAt;
    const HWND name = Child(dialog, L"Edit", L"Counting");
    const HWND ok = Child(dialog, L"Button", L"OK");
    if (answer == Answer::Ok && name != nullptr && ok != nullptr) {
        ReadAsAScreenReader(GetParent(name));
        SetWindowTextW(name, L"Edited");
        SendMessageW(ok, BM_CLICK, 0, 0);
    } else if (answer == Answer::Cancel || GetTickCount() - shownAt > 3000) {
        SendMessageW(dialog, WM_CLOSE, 0, 0);
    }
}

// The dialog confirms with the author's texts or answers false with every slot as it was; the
// second opening is cancelled.
void DialogScenario(tshost::PlugInHost& host, Findings& findings) {
    if (!Load(host, findings)) {
        return;
    }
    const Slots action{"Counting", "Counter", "<>", "10", "Count", "true", "true"};
    const std::vector<std::string> edited{"Edited", "Counter", "<>", "10", "Count", "True", "True"};
    const UINT_PTR driver = SetTimer(nullptr, 0, 30, &Drive);
    answer = Answer::Ok;
    shownAt = 0;
    const auto confirmed = host.EditAction(1, action);
    if (confirmed && *confirmed != edited) {
        findings.push_back("the dialog confirmed other texts than the author's");
    }
    answer = Answer::Cancel;
    shownAt = 0;
    if (host.EditAction(1, action)) {
        findings.push_back("a cancelled dialog answered true");
    }
    KillTimer(nullptr, driver);
    host.Unload(true);
}

std::string Point(const char* scenario, Resource kind, unsigned n) {
    return "point " + std::string(scenario) + " " + Name(kind) + " " + std::to_string(n);
}

// One run of the scenario with request `n` of `kind` refused (0: none).
Findings RunOnce(const std::string& scenario, Resource kind, unsigned n) {
    Injector& injector = Injector::Current();
    injector.Arm(kind, n);
    Findings findings;
    {
        tshost::PlugInHost host(
            {.declineRead = [&injector] { return injector.Refuse(Resource::Callback); }});
        (scenario == "dialog" ? DialogScenario : RunScenario)(host, findings);
        host.Ledger().CheckNoneLeft();
        for (const std::string& fault : host.Faults()) {
            findings.push_back(fault);
        }
    }
    for (const std::string& leak : injector.Leaks()) {
        findings.push_back("leak: " + leak);
    }
    return findings;
}

int Usage() {
    std::fprintf(stderr, "usage: FaultHost PLUGIN run|dialog count\n"
                         "       FaultHost PLUGIN run|dialog KIND FIRST LAST [STEP]\n"
                         "KIND: memory global class window timer gdi callback\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        return Usage();
    }
    plugInPath = argv[1];
    const std::string scenario = argv[2];
    if (scenario != "run" && scenario != "dialog") {
        return Usage();
    }
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    if (std::string(argv[3]) == "count") {
        current = "count " + scenario;
        deadline = static_cast<LONG>(GetTickCount() + 20000);
        const Findings findings = RunOnce(scenario, Resource::Memory, 0);
        for (const std::string& finding : findings) {
            std::printf("unexpected without a fault: %s\n", finding.c_str());
        }
        for (std::size_t kind = 0; kind < ResourceCount; ++kind) {
            std::printf("requests %s %u\n", Name(static_cast<Resource>(kind)),
                        Injector::Current().Requests(static_cast<Resource>(kind)));
        }
        return findings.empty() ? 0 : 1;
    }
    Resource kind;
    if (argc < 6 || !Parse(argv[3], kind)) {
        return Usage();
    }
    const unsigned first = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));
    const unsigned last = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
    const unsigned step = argc > 6 ? static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)) : 1;
    if (first == 0 || step == 0) {
        return Usage();
    }
    for (unsigned n = first; n <= last; n += step) {
        current = Point(scenario.c_str(), kind, n);
        std::printf("%s: start\n", current.c_str());
        std::fflush(stdout);
        deadline = static_cast<LONG>(GetTickCount() + 20000);
        const Findings findings = RunOnce(scenario, kind, n);
        deadline = 0;
        std::string result = Injector::Current().Fired() ? "ok" : "not reached";
        if (!findings.empty()) {
            result = findings.front().rfind("leak: ", 0) == 0 ? "" : "wrong: ";
            for (std::size_t i = 0; i < findings.size(); ++i) {
                result += (i != 0 ? "; " : "") + findings[i];
            }
        }
        std::printf("%s: %s\n", current.c_str(), result.c_str());
        std::fflush(stdout);
    }
    return 0;
}
