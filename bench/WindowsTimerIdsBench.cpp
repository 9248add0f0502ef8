// The alternative the library's timers do not take: one system timer id per object on one
// message-only window. Counts WM_TIMER messages per id over a few seconds at 50 ms.
//   WindowsTimerIdsBench.exe [seconds] [N...]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

std::vector<unsigned>* counts = nullptr;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        ++(*counts)[wParam - 1];
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void Run(HWND window, int timers, unsigned seconds) {
    std::vector<unsigned> ticks(static_cast<std::size_t>(timers));
    counts = &ticks;
    int created = 0;
    for (int i = 0; i < timers; ++i) {
        created += SetTimer(window, static_cast<UINT_PTR>(i + 1), 50, nullptr) != 0 ? 1 : 0;
    }
    const DWORD end = GetTickCount() + seconds * 1000;
    MSG message;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    for (int i = 0; i < timers; ++i) {
        KillTimer(window, static_cast<UINT_PTR>(i + 1));
    }
    double total = 0;
    for (const unsigned t : ticks) {
        total += t;
    }
    const double ideal = seconds * 20.0;
    std::printf("%7d timer ids (%d created): %6.1f ticks each of %3.0f ideal (%5.1f%%)\n", timers,
                created, total / timers, ideal, 100.0 * total / timers / ideal);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    const unsigned seconds = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : 5;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "TimerIdsBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "TimerIdsBench", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    std::vector<int> sizes;
    for (int i = 2; i < argc; ++i) {
        sizes.push_back(std::atoi(argv[i]));
    }
    if (sizes.empty()) {
        sizes = {1, 100, 1000, 10000};
    }
    for (const int n : sizes) {
        Run(window, n, seconds);
    }
    DestroyWindow(window);
    return 0;
}
