// The entry points of the real DLL, as a host sees them.
#include "tests/win32/TestHost.h"
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <algorithm>

namespace vigrel::test {
namespace {

using tshost::DeclaredAction;

const char monitorHint[] =
    "Создать невизуальный объект для наблюдения за изменениями выбранной папки или файла.";

TEST_F(PlugInTest, DeclaresTheActionTableInOrderOnEveryRegistration) {
    const std::size_t before = host->Actions().size();
    host->RegisterPlugIn();
    const auto& actions = host->Actions();
    ASSERT_EQ(actions.size(), before + 2);
    for (std::size_t first : {std::size_t{0}, before}) {
        const DeclaredAction& entry = actions[first];
        const DeclaredAction& monitor = actions[first + 1];
        EXPECT_EQ(entry.number, 0);
        EXPECT_EQ(entry.name, "Vigrel");
        EXPECT_EQ(entry.hint, "");
        EXPECT_EQ(entry.typeCodes, std::vector<std::uint8_t>({0}));
        EXPECT_EQ(entry.lastCodeIndex, 0);
        EXPECT_EQ(entry.paramCount, 0);
        EXPECT_EQ(monitor.number, 1);
        EXPECT_EQ(monitor.name, "VigrelCreate");
        EXPECT_EQ(monitor.hint, monitorHint);
        EXPECT_EQ(monitor.typeCodes, std::vector<std::uint8_t>({1, 6, 1, 1, 1, 1, 1}));
        EXPECT_EQ(monitor.lastCodeIndex, 6);
        EXPECT_EQ(monitor.paramCount, 7);
    }
}

TEST_F(PlugInTest, HandsOverIdentityStringsAndReleasesBlocksAlreadyHeld) {
    const std::size_t releasedBefore = host->Ledger().PlugInReleases();
    const tshost::Identity fresh = host->InitPlugIn();
    EXPECT_EQ(fresh.title, "Vigrel_ALFA");
    EXPECT_EQ(fresh.publisher, "Vigrel project");
    EXPECT_EQ(fresh.hint, "Контроль за изменением переменных Tessary.");
    EXPECT_EQ(host->Ledger().PlugInReleases(), releasedBefore);

    const tshost::Identity again = host->InitPlugIn("old title", "old publisher", "old hint");
    EXPECT_EQ(again.title, fresh.title);
    EXPECT_EQ(again.hint, fresh.hint);
    EXPECT_EQ(host->Ledger().PlugInReleases(), releasedBefore + 3);
}

TEST_F(PlugInTest, ExportsExactlyTheEntryPointsByUndecoratedName) {
    HMODULE module = GetModuleHandleA(PlugInPath().c_str());
    ASSERT_NE(module, nullptr);
    const auto* base = reinterpret_cast<const BYTE*>(module);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const auto& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + directory.VirtualAddress);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    std::vector<std::string> exported;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        exported.emplace_back(reinterpret_cast<const char*>(base + names[i]));
    }
    std::sort(exported.begin(), exported.end());
    EXPECT_EQ(exported,
              std::vector<std::string>({"tsEditAction", "tsExecAction", "tsInitPlugIn", "tsMessage",
                                        "tsRegisterInterfaceAccess", "tsRegisterPlugIn",
                                        "tsRegisterScriptProcessor"}));
    EXPECT_EQ(exports->NumberOfFunctions, exports->NumberOfNames);
}

TEST_F(PlugInTest, ServesNoActionButNumberOne) {
    for (const std::int32_t number : {0, 2, -1, 100}) {
        EXPECT_FALSE(host->ExecAction(number, {"Mon1", "Counter", "=", "1", "Sub", "true", "true"}))
            << number;
    }
    host->SetVariable("Counter", "1");
    host->PassTime(150);
    EXPECT_TRUE(Events("set").empty());
    EXPECT_TRUE(Events("script").empty());
}

TEST_F(PlugInTest, ReadsNullSlotsAsEmptyText) {
    const Slots slots(7, std::nullopt);
    EXPECT_FALSE(host->ExecAction(1, slots));
    // Empty names pass; the empty condition is the first check to fail, naming the empty name.
    EXPECT_EQ(Events("set"),
              std::vector<std::string>({"[MonitorError] = \"\"", "[MonitorError] = \"\"",
                                        "[MonitorError] = \"Неверно указано условие контроля "
                                        "переменной в .\""}));
    Slots mostlyNull(7, std::nullopt);
    mostlyNull[2] = "<>";
    mostlyNull[3] = "x";
    mostlyNull[4] = "Sub";
    mostlyNull[5] = "true";
    mostlyNull[6] = "true";
    EXPECT_TRUE(host->ExecAction(1, mostlyNull));
    host->PassTime(120);
    EXPECT_GE(Count("script GoSub \"Sub\""), 1u);
}

TEST_F(PlugInTest, CloseMessageBeforeAnyMonitorAndTwiceDoesNothing) {
    host->Message(2);
    host->Message(2);
    host->Message(7);
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Fired", "true", "true"));
    host->PassTime(120);
    EXPECT_GE(Count("script GoSub \"Fired\""), 1u);
    host->Message(2);
    host->ClearEvents();
    host->PassTime(150);
    EXPECT_TRUE(Events("script").empty());
    host->Message(2);
    // A new registry after the close.
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Again", "false", "true"));
    host->PassTime(150);
    EXPECT_EQ(Count("script GoSub \"Again\""), 1u);
}

// The close a host sends before it unloads leaves nothing for the unload to do: the timers'
// hidden window and the window classes go, and come back with the next monitor.
TEST_F(PlugInTest, CloseGivesBackTheHiddenWindowAndTheClassesUntilTheNextMonitor) {
    const HMODULE plugIn = GetModuleHandleW(L"Vigrel.tsp");
    ASSERT_NE(plugIn, nullptr);
    // The test program has a toolkit of its own, with a hidden window of the same class.
    const auto hiddenWindow = [plugIn] {
        HWND window = nullptr;
        while ((window = FindWindowExW(HWND_MESSAGE, window, L"VigrelTimerWindow", nullptr)) &&
               reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) != plugIn) {
        }
        return window;
    };
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Fired", "true", "true"));
    host->PassTime(120);
    EXPECT_NE(hiddenWindow(), nullptr);
    EXPECT_TRUE(GetClassInfoExW(plugIn, L"VigrelTimerWindow", &info));
    host->Message(2);
    EXPECT_EQ(hiddenWindow(), nullptr);
    EXPECT_FALSE(GetClassInfoExW(plugIn, L"VigrelTimerWindow", &info));
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Again", "false", "true"));
    host->PassTime(150);
    EXPECT_EQ(Count("script GoSub \"Again\""), 1u);
}

HGLOBAL WINAPI RefusingGlobalAlloc(UINT, SIZE_T) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
}

// A host that loads the plug-in, has it fail inside (a C++ exception caught at the entry point)
// and unloads it, over and over: the runtime's thread-local storage goes back at every unload,
// so the rounds never run out of it (there are 1,088 indexes in a process).
TEST(PlugInReload, LoadsWithAFailureInsideNeverRunOutOfThreadStorage) {
    const std::string ansiPath = PlugInPath();
    const std::wstring path(ansiPath.begin(), ansiPath.end());
    for (int round = 0; round < 1200; ++round) {
        const HMODULE plugIn = LoadLibraryW(path.c_str());
        ASSERT_NE(plugIn, nullptr) << "round " << round << ", error " << GetLastError();
        const auto init = test::Entry<TtsInitPlugIn>(plugIn, "tsInitPlugIn");
        ASSERT_TRUE(PatchImport(plugIn, "KERNEL32.dll", "GlobalAlloc",
                                reinterpret_cast<void*>(&RefusingGlobalAlloc)));
        HostStringPtr title = nullptr;
        init(0, &title, nullptr, nullptr);
        ASSERT_EQ(title, nullptr) << "round " << round;
        FreeLibrary(plugIn);
    }
    const DWORD index = TlsAlloc();
    EXPECT_NE(index, TLS_OUT_OF_INDEXES);
    TlsFree(index);
}

// With the compiler's own libgcc_s_dw2-1.dll in the process before the plug-in is loaded, a
// failure inside the plug-in (here a global block the system refuses) is still caught at the
// entry point instead of ending the process.
TEST_F(PlugInTest, AFailureIsCaughtWhateverUnwinderTheProcessHasLoaded) {
#if !defined(__i386__)
    GTEST_SKIP() << "64-bit Windows unwinds through each module's own SEH tables: nothing is "
                    "registered at load, so no other module's unwinder can take them";
#else
    const HMODULE unwinder = LoadLibraryW(L"libgcc_s_dw2-1.dll"); // beside the test program
    ASSERT_NE(unwinder, nullptr) << GetLastError();
    host->Unload(true);
    std::string error;
    ASSERT_TRUE(host->Load(PlugInPath(), error)) << error;
    host->Start();
    const HMODULE plugIn = GetModuleHandleW(L"Vigrel.tsp");
    const ImportPatch refusing = PatchImport(plugIn, "KERNEL32.dll", "GlobalAlloc",
                                             reinterpret_cast<void*>(&RefusingGlobalAlloc));
    ASSERT_TRUE(refusing) << refusing.error;
    const tshost::Identity refused = host->InitPlugIn();
    PatchImport(plugIn, "KERNEL32.dll", "GlobalAlloc", refusing.previous);
    EXPECT_EQ(refused.title, "");
    EXPECT_EQ(host->InitPlugIn().title, "Vigrel_ALFA");
    ASSERT_TRUE(Create("Mon1", "V", "=", "", "Fired", "false", "true"));
    host->PassTime(120);
    EXPECT_EQ(Count("script GoSub \"Fired\""), 1u);
#endif
}

TEST_F(PlugInTest, UnloadWithoutCloseStopsEveryTimer) {
    for (const char* name : {"A", "B", "C"}) {
        ASSERT_TRUE(Create(name, "V", "=", "", "Fired", "true", "true"));
    }
    host->PassTime(120);
    EXPECT_GE(Events("script").size(), 3u);
    host->Unload(false);
    host->ClearEvents();
    host->PassTime(300); // a timer left behind would call into unloaded code here
    EXPECT_TRUE(host->Events().empty());

    // The library loads again: its window class was unregistered.
    std::string error;
    ASSERT_TRUE(host->Load(PlugInPath(), error)) << error;
    host->Start();
    ASSERT_TRUE(Create("A", "V", "=", "", "Back", "false", "true"));
    host->PassTime(150);
    EXPECT_EQ(Count("script GoSub \"Back\""), 1u);
}

} // namespace
} // namespace vigrel::test
