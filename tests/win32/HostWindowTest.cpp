// The dialog and the monitors around a real host: an owner minimised and restored while the
// dialog is open, an unload from another thread than the monitors', a host thread with no active
// window, a DPI-aware host, and the dialog's face on every system.
#include "tests/win32/DialogDriver.h"
#include "ui/Form.h"
#include "ui/WideText.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

// The host's main window, shown, for as long as the test runs.
class MainWindow {
public:
    MainWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                  300, 200, nullptr, nullptr, nullptr, nullptr)) {}
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;
    ~MainWindow() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

void SetText(HWND window, const wchar_t* text) {
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

using HostWindowTest = DialogDriver;

DWORD WINAPI Unload(void* host) {
    static_cast<tshost::PlugInHost*>(host)->Unload(false);
    return 0;
}

// The owner whose owned windows a thread timer shows again, once the modal run has gone on for a
// while with them hidden.
HWND restoredOwner = nullptr;

void CALLBACK RestoreOwned(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    ShowOwnedPopups(restoredOwner, TRUE);
}

TEST_F(HostWindowTest, HiddenWithItsMinimisedOwnerTheDialogKeepsWhatWasTyped) {
    const MainWindow host;
    SetActiveWindow(host.Get());
    restoredOwner = host.Get();
    bool hidden = false;
    const bool confirmed = Run(counterAction, {[&](HWND dialog) {
                                                   SetText(Find(dialog, "LEdit1"), L"Typed");
                                                   SetText(Find(dialog, "LEdit3"), L"42");
                                                   ShowOwnedPopups(host.Get(), FALSE);
                                                   hidden = !IsWindowVisible(dialog);
                                                   SetTimer(nullptr, 0, 200, &RestoreOwned);
                                               },
                                               ok});
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(Texts(),
              (std::vector<std::string>{"Typed", "Counter", "<>", "42", "Count", "True", "True"}));
}

TEST_F(HostWindowTest, AnUnloadOnAnotherThreadLeavesNothingToRunAndALaterLoadWorks) {
    int fired = 0;
    const auto count = [&](const char*) { ++fired; };
    scriptAnswer = count;
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(host->ExecAction(MonitorActionNumber, Firing("M" + std::to_string(i))));
    }
    Pump(200);
    ASSERT_GT(fired, 0) << "the monitors never fired";

    const HMODULE unloaded = host->Module();
    const HWND timerWindow = FindWindowExW(HWND_MESSAGE, nullptr, L"VigrelTimerWindow", nullptr);
    ASSERT_NE(timerWindow, nullptr);
    const HANDLE unloader = CreateThread(nullptr, 0, &Unload, host.get(), 0, nullptr);
    ASSERT_NE(unloader, nullptr);
    ASSERT_EQ(WaitForSingleObject(unloader, 10000), WAIT_OBJECT_0);
    CloseHandle(unloader);
    const int firedBefore = fired;
    // A timer or window procedure of the unloaded copy would be called here and crash; the
    // abandoned timer window ends at its first message, and no timer of it wakes the host after.
    int timerMessages = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 1000;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            timerMessages += message.message == WM_TIMER && message.hwnd == timerWindow ? 1 : 0;
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    EXPECT_EQ(fired, firedBefore);
    EXPECT_EQ(timerMessages, 0) << "the abandoned timer window keeps waking the host";
    EXPECT_FALSE(IsWindow(timerWindow)) << "the abandoned timer window is still there";

    LoadHost();
    ASSERT_TRUE(host->ExecAction(MonitorActionNumber, Firing("Again")));
    Pump(200);
    EXPECT_GT(fired, firedBefore) << "a monitor of the second load never fired";

    // The host's part, once the second load is gone too: the class of the window that went
    // after the unload can go now.
    FinishHost();
    EXPECT_TRUE(UnregisterClassW(L"VigrelTimerWindow", unloaded));
}

TEST_F(HostWindowTest, WithNoActiveWindowTheDialogBelongsToTheHostsMainWindow) {
    const MainWindow host;
    SetActiveWindow(nullptr);
    ASSERT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(DefaultOwnerWindow(), host.Get());
    HWND owner = nullptr;
    Run(counterAction, {[&](HWND dialog) {
            owner = GetWindow(dialog, GW_OWNER);
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
    EXPECT_EQ(owner, host.Get());
}

// The classes of the message-only windows made while the thread was unaware: such windows (the
// timers', COM's) outlive the dialog. Wine makes every message-only window unaware whatever the
// thread's awareness, so the thread's is read as each is made.
std::vector<std::wstring> madeUnaware;

LRESULT CALLBACK NoteMessageWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND &&
        reinterpret_cast<CBT_CREATEWNDW*>(lParam)->lpcs->hwndParent == HWND_MESSAGE &&
        AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(),
                                     DPI_AWARENESS_CONTEXT_UNAWARE)) {
        madeUnaware.push_back(ClassOf(reinterpret_cast<HWND>(wParam)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// A host thread aware per monitor (version 2 where the system has it; Wine 8 knows only the
// first): only the dialog's windows are unaware, and host code that runs during the dialog
// outside them keeps the host's awareness.
TEST_F(HostWindowTest, ADpiAwareHostKeepsItsAwarenessWhileTheDialogIsUnaware) {
    DPI_AWARENESS_CONTEXT hostAwareness = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;
    DPI_AWARENESS_CONTEXT before = SetThreadDpiAwarenessContext(hostAwareness);
    if (before == nullptr) {
        hostAwareness = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE;
        before = SetThreadDpiAwarenessContext(hostAwareness);
    }
    ASSERT_NE(before, nullptr) << "the system keeps no DPI awareness per thread";
    struct Restore {
        DPI_AWARENESS_CONTEXT context;
        ~Restore() { SetThreadDpiAwarenessContext(context); }
    } restore{before};
    const auto isHosts = [hostAwareness] {
        return AreDpiAwarenessContextsEqual(GetThreadDpiAwarenessContext(), hostAwareness) != FALSE;
    };
    RegisterInterfaceAccess();
    bool hostsDuringRequest = false;
    interfaceAnswer = [&](std::int32_t, const std::string&) -> std::optional<std::string> {
        hostsDuringRequest = isHosts();
        return std::nullopt;
    };
    std::vector<bool> hostsDuringScript;
    scriptAnswer = [&](const char*) { hostsDuringScript.push_back(isHosts()); };
    std::vector<std::string> unaware;
    // The steps run from a thread timer of the host's, outside every window procedure.
    bool hostsInTimer = false;
    madeUnaware.clear();
    const HHOOK hook = SetWindowsHookExW(WH_CBT, &NoteMessageWindow, nullptr, GetCurrentThreadId());
    Run(counterAction,
        {[&](HWND dialog) {
             hostsInTimer = isHosts();
             // A screen reader's first request enters COM on this thread.
             IAccessible* object = nullptr;
             AccessibleObjectFromWindow(Find(dialog, "Panel1"), static_cast<DWORD>(OBJID_CLIENT),
                                        __uuidof(IAccessible), reinterpret_cast<void**>(&object));
             ASSERT_NE(object, nullptr);
             object->Release();
             for (const char* control : windowedControls) {
                 if (!AreDpiAwarenessContextsEqual(
                         GetWindowDpiAwarenessContext(Find(dialog, control)),
                         DPI_AWARENESS_CONTEXT_UNAWARE)) {
                     unaware.emplace_back(control);
                 }
             }
             ClickAt(dialog, DrawnCentre(dialog, Kn1));
         },
         [&](HWND) {
             // The first monitor, made from the host's timer while the dialog runs.
             ASSERT_TRUE(host->ExecAction(MonitorActionNumber, Firing("During")));
             Pump(200);
         },
         [&](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); }});
    EXPECT_TRUE(unaware.empty()) << "not unaware: " << ::testing::PrintToString(unaware);
    EXPECT_TRUE(hostsInTimer) << "a host's timer ran unaware during the dialog";
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(madeUnaware.empty())
        << "message-only windows made unaware: " << ::testing::PrintToString(madeUnaware);
    EXPECT_EQ(interfaceRequests, std::vector<std::int32_t>{RequestPickVariable});
    EXPECT_TRUE(hostsDuringRequest);
    ASSERT_FALSE(hostsDuringScript.empty()) << "the monitor never fired";
    EXPECT_EQ(std::count(hostsDuringScript.begin(), hostsDuringScript.end(), false), 0);
    EXPECT_TRUE(isHosts()) << "after the call";
}

// The dialog's face has Cyrillic at 11-pixel letters, and its longest texts fit their controls:
// in a radio button the box and its gap take 14 pixels, in a drop-down list the arrow button and
// the edges take 21 (Wine's and Windows' classic metrics).
TEST_F(HostWindowTest, TheDialogsFaceHasCyrillicAndItsTextsFit) {
    std::vector<std::string> faults;
    Run(counterAction, {[&](HWND dialog) {
            for (const char* control : windowedControls) {
                const HWND window = Find(dialog, control);
                const auto font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
                if (font == nullptr) {
                    continue; // the panel draws with its own font: its labels are checked below
                }
                const HDC dc = GetDC(window);
                const HGDIOBJ previous = SelectObject(dc, font);
                TEXTMETRICW metrics{};
                GetTextMetricsW(dc, &metrics);
                const std::string name = control;
                if (GetTextCharset(dc) != RUSSIAN_CHARSET ||
                    metrics.tmHeight - metrics.tmInternalLeading != 11) {
                    faults.push_back(name + ": no Cyrillic at 11 pixels");
                }
                const auto fits = [&](const std::wstring& text, int room) {
                    SIZE size{};
                    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
                    if (size.cx > room) {
                        faults.push_back(name + ": " + Ansi(text) + " needs " +
                                         std::to_string(size.cx) + " of " + std::to_string(room));
                    }
                };
                RECT client;
                GetClientRect(window, &client);
                if (ClassOf(window) == L"ComboBox") {
                    const auto count = SendMessageW(window, CB_GETCOUNT, 0, 0);
                    for (WPARAM i = 0; i < static_cast<WPARAM>(count); ++i) {
                        wchar_t item[64] = {};
                        SendMessageW(window, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
                        fits(item, client.right - 21);
                    }
                } else if (name.starts_with("RadioButton")) {
                    fits(WindowTextW(window), client.right - 14);
                }
                SelectObject(dc, previous);
                ReleaseDC(window, dc);
            }
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
    EXPECT_TRUE(faults.empty()) << ::testing::PrintToString(faults);
}

} // namespace
} // namespace vigrel::test
