// Unloading a library that showed forms of the toolkit and loading it again in the same process:
// its window classes register again, and nothing of the unloaded copy (windows, window
// procedures, timers) is left to run.
#include "tools/probe/PlugInProbe.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel::test {
namespace {

using ShowTestFormFunction = HWND(__stdcall*)(BOOL);
using LeaveTestFormShownFunction = HWND(__stdcall*)();
using TimerTicksFunction = int(__stdcall*)();

bool ClassRegistered(HMODULE library, LPCWSTR name) {
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    return GetClassInfoExW(library, name, &info) != 0;
}

struct WindowSearch {
    HMODULE library;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<WindowSearch*>(context);
    if (reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE)) == search.library) {
        search.found.push_back(window);
    }
    return TRUE;
}

// Every top-level and message-only window made with the module's instance.
std::vector<HWND> WindowsOf(HMODULE library) {
    WindowSearch search{library, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window != nullptr;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CollectWindow(window, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

class Reload : public ::testing::Test {
protected:
    HMODULE Load() {
        const HMODULE library = LoadLibraryW(BesideProgram(L"ReloadLibrary.dll").c_str());
        EXPECT_NE(library, nullptr) << "error " << GetLastError();
        return library;
    }
};

TEST_F(Reload, FormShowsAgainAfterUnloadAndLoad) {
    for (int round = 0; round < 2; ++round) {
        const HMODULE library = Load();
        ASSERT_NE(library, nullptr);
        const auto show = Entry<ShowTestFormFunction>(library, "ShowTestForm");
        ASSERT_NE(show, nullptr);
        // Twice in one load: the second form uses the classes the first registered.
        for (int form = 0; form < 2; ++form) {
            const HWND window = show(FALSE);
            ASSERT_NE(window, nullptr) << "round " << round << ", form " << form;
            EXPECT_FALSE(IsWindow(window)) << "round " << round << ", form " << form;
        }
        EXPECT_TRUE(ClassRegistered(library, L"VigrelForm")) << "round " << round;
        ASSERT_TRUE(FreeLibrary(library));
        EXPECT_FALSE(ClassRegistered(library, L"VigrelForm")) << "round " << round;
        EXPECT_TRUE(WindowsOf(library).empty()) << "round " << round;
    }
}

TEST_F(Reload, FormAndTimerLeftRunningAtUnloadAreGone) {
    const HMODULE library = Load();
    ASSERT_NE(library, nullptr);
    const auto leave = Entry<LeaveTestFormShownFunction>(library, "LeaveTestFormShown");
    const auto ticks = Entry<TimerTicksFunction>(library, "TimerTicks");
    ASSERT_NE(leave, nullptr);
    ASSERT_NE(ticks, nullptr);
    const HWND form = leave();
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(IsWindowVisible(form));
    EXPECT_NE(GetWindow(form, GW_CHILD), nullptr);
    const DWORD start = GetTickCount();
    while (ticks() == 0 && GetTickCount() - start < 2000) {
        Pump(10);
    }
    ASSERT_GT(ticks(), 0) << "the timer never ran";
    EXPECT_TRUE(ClassRegistered(library, L"VigrelTimerWindow"));
    EXPECT_EQ(WindowsOf(library).size(), 2u) << "the form and the timers' window";

    ASSERT_TRUE(FreeLibrary(library));
    EXPECT_FALSE(IsWindow(form));
    EXPECT_TRUE(WindowsOf(library).empty());
    EXPECT_FALSE(ClassRegistered(library, L"VigrelForm"));
    EXPECT_FALSE(ClassRegistered(library, L"VigrelTimerWindow"));
    EXPECT_FALSE(PostMessageW(form, WM_TIMER, 1, 0));
    EXPECT_FALSE(PostMessageW(form, WM_PAINT, 0, 0));
    // A timer or window procedure of the unloaded copy would be called here and crash.
    Pump(100);

    const HMODULE again = Load();
    ASSERT_NE(again, nullptr);
    const auto show = Entry<ShowTestFormFunction>(again, "ShowTestForm");
    ASSERT_NE(show, nullptr);
    EXPECT_NE(show(FALSE), nullptr) << "the classes could not be registered again";
    EXPECT_TRUE(FreeLibrary(again));
}

// A form made on a second thread of the host: an unload from the first can destroy neither it nor
// its classes, so the library stays loaded and the form keeps working until its thread ends.
struct SecondThread {
    ShowTestFormFunction show;
    HANDLE shown;
    HANDLE stop;
    HWND window = nullptr;
};

DWORD WINAPI ShowOnSecondThread(void* context) {
    auto& thread = *static_cast<SecondThread*>(context);
    thread.window = thread.show(TRUE);
    SetEvent(thread.shown);
    while (MsgWaitForMultipleObjects(1, &thread.stop, FALSE, INFINITE, QS_ALLINPUT) !=
           WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    return 0;
}

TEST_F(Reload, AFormOnAnotherThreadKeepsTheLibraryLoaded) {
    // A copy of its own, since this one stays loaded for the rest of the process.
    const std::wstring copy = BesideProgram(L"ReloadLibraryKept.dll");
    ASSERT_TRUE(CopyFileW(BesideProgram(L"ReloadLibrary.dll").c_str(), copy.c_str(), FALSE));
    const HMODULE library = LoadLibraryW(copy.c_str());
    ASSERT_NE(library, nullptr);
    SecondThread second{Entry<ShowTestFormFunction>(library, "ShowTestForm"),
                        CreateEventW(nullptr, TRUE, FALSE, nullptr),
                        CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    ASSERT_NE(second.show(FALSE), nullptr); // this thread made the library's first window
    const HANDLE thread = CreateThread(nullptr, 0, &ShowOnSecondThread, &second, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(second.shown, 5000);
    ASSERT_NE(second.window, nullptr);

    EXPECT_TRUE(FreeLibrary(library));
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), library);
    EXPECT_TRUE(IsWindow(second.window));
    DWORD_PTR result = 0;
    RedrawWindow(second.window, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    EXPECT_NE(SendMessageTimeoutW(second.window, WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(L"Still here"), SMTO_BLOCK, 5000,
                                  &result),
              0);

    SetEvent(second.stop);
    WaitForSingleObject(thread, 5000);
    EXPECT_FALSE(IsWindow(second.window));
    CloseHandle(thread);
    CloseHandle(second.shown);
    CloseHandle(second.stop);
}

} // namespace
} // namespace vigrel::test
