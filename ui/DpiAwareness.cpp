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

// The awareness `window` was made in; null where the system keeps none.
DPI_AWARENESS_CONTEXT WindowContext(HWND window) {
    using Function = DPI_AWARENESS_CONTEXT(WINAPI*)(HWND);
    static const auto function = User32<Function>("GetWindowDpiAwarenessContext");
    return function != nullptr ? function(window) : nullptr;
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

// Plain unaware rather than GDI-scaled unaware (Windows 10 1809): the system then stretches the
// dialog as one picture, its gradients, pictures and text alike, exactly as for a host that is
// not aware; GDI scaling draws text sharper but scales the drawn pictures apart from it, and
// leaves what is drawn into bitmaps (the gradients, the glyphs) at 96 dpi.
DialogDpiAwareness::DialogDpiAwareness() : replaced_(SetContext(DPI_AWARENESS_CONTEXT_UNAWARE)) {}

DialogDpiAwareness::~DialogDpiAwareness() {
    SetContext(replaced_);
}

HostDpiAwareness::HostDpiAwareness() : replaced_(SetContext(hostContext)) {}

HostDpiAwareness::~HostDpiAwareness() {
    SetContext(replaced_);
}

WindowDpiAwareness::WindowDpiAwareness(HWND window)
    : replaced_(SetContext(WindowContext(window))) {}

WindowDpiAwareness::~WindowDpiAwareness() {
    SetContext(replaced_);
}

} // namespace vigrel
