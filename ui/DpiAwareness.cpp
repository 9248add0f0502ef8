#include "ui/DpiAwareness.h"

namespace vigrel {
namespace {

using SetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);
using GetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)();

// A function of user32 by name, as type F; null where the system has none.
template <class F> F User32(const char* name) {
    return reinterpret_cast<F>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// The system's SetThreadDpiAwarenessContext, or null before Windows 10 1607.
SetContextFunction SetThreadContext() {
    static const auto function = User32<SetContextFunction>("SetThreadDpiAwarenessContext");
    return function;
}

// The thread's awareness; null where the system keeps none per thread.
DPI_AWARENESS_CONTEXT ThreadContext() {
    static const auto function = User32<GetContextFunction>("GetThreadDpiAwarenessContext");
    return function != nullptr ? function() : nullptr;
}

// Sets the thread's awareness and gives back the one it replaced; null where the system keeps
// none per thread, or refuses the one asked for.
DPI_AWARENESS_CONTEXT SetContext(DPI_AWARENESS_CONTEXT context) {
    const SetContextFunction set = SetThreadContext();
    return set != nullptr && context != nullptr ? set(context) : nullptr;
}

// The host's awareness while a HostDpiContext lives (null otherwise), and how many are open. The
// library runs on the host's user-interface thread only.
DPI_AWARENESS_CONTEXT hostContext = nullptr;
int hostScopes = 0;

} // namespace

HostDpiContext::HostDpiContext() {
    if (hostScopes++ == 0) {
        hostContext = ThreadContext();
    }
}

HostDpiContext::~HostDpiContext() {
    if (--hostScopes == 0) {
        hostContext = nullptr;
    }
}

ThreadDpiAwareness::ThreadDpiAwareness(DPI_AWARENESS_CONTEXT context)
    : replaced_(SetContext(context)) {}

ThreadDpiAwareness::~ThreadDpiAwareness() {
    SetContext(replaced_);
}

DPI_AWARENESS_CONTEXT DialogAwareness() {
    return DPI_AWARENESS_CONTEXT_UNAWARE;
}

DPI_AWARENESS_CONTEXT HostAwareness() {
    return hostContext;
}

DPI_AWARENESS_CONTEXT WindowAwareness(HWND window) {
    using Function = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    static const auto function = User32<Function>("GetWindowDpiAwarenessContext");
    return function != nullptr ? function(window) : nullptr;
}

} // namespace vigrel
