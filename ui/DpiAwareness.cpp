#include "ui/DpiAwareness.h"

namespace vigrel {
namespace {

using SetContextFunction = DPI_AWARENESS_CONTEXT(WINAPI*)(DPI_AWARENESS_CONTEXT);

// The system's SetThreadDpiAwarenessContext, or null before Windows 10 1607.
SetContextFunction SetThreadContext() {
    static const auto function = reinterpret_cast<SetContextFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext")));
    return function;
}

// Sets the thread's awareness and gives back the one it replaced; null where the system keeps
// none per thread, or refuses the one asked for.
DPI_AWARENESS_CONTEXT SetContext(DPI_AWARENESS_CONTEXT context) {
    const SetContextFunction set = SetThreadContext();
    return set != nullptr && context != nullptr ? set(context) : nullptr;
}

// The host's awareness while a dialog's is in force on the thread (null otherwise), and how many
// DialogDpiAwareness scopes are open. The library runs on the host's user-interface thread only.
DPI_AWARENESS_CONTEXT hostContext = nullptr;
int dialogScopes = 0;

} // namespace

// Plain unaware rather than GDI-scaled unaware (Windows 10 1809): the system then stretches the
// dialog as one picture, its gradients, pictures and text alike, exactly as for a host that is
// not aware; GDI scaling draws text sharper but scales the drawn pictures apart from it, and
// leaves what is drawn into bitmaps (the gradients, the glyphs) at 96 dpi.
DialogDpiAwareness::DialogDpiAwareness() : replaced_(SetContext(DPI_AWARENESS_CONTEXT_UNAWARE)) {
    if (dialogScopes++ == 0) {
        hostContext = replaced_;
    }
}

DialogDpiAwareness::~DialogDpiAwareness() {
    SetContext(replaced_);
    if (--dialogScopes == 0) {
        hostContext = nullptr;
    }
}

HostDpiAwareness::HostDpiAwareness() : replaced_(SetContext(hostContext)) {}

HostDpiAwareness::~HostDpiAwareness() {
    SetContext(replaced_);
}

} // namespace vigrel
