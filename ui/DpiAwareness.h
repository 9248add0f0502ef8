// The thread's DPI awareness, where the system keeps one per thread (Windows 10 1607 and later;
// looked up at run time, so that on older systems everything here does nothing).
//
// The library's dialogs are laid out in pixels at 96 dpi, so they are made unaware of DPI: the
// system then stretches them for a DPI-aware host as it stretches every window of a host that is
// not aware. Everything else keeps the host's awareness: the windows that outlive a dialog (a
// window keeps the awareness it was made with whenever its procedure runs) and every call into
// the host.
#pragma once

#include <windows.h>

namespace vigrel {

// While one lives, the host's awareness is known: the calling thread's when the outermost one was
// made. A call of the host's that shows a dialog keeps one for its whole length, so that
// HostDpiAwareness can put the host's awareness back inside the dialog's window procedures.
class HostDpiContext {
public:
    HostDpiContext();
    HostDpiContext(const HostDpiContext&) = delete;
    HostDpiContext& operator=(const HostDpiContext&) = delete;
    ~HostDpiContext();
};

// While one lives, the calling thread is unaware of DPI: windows and message boxes made meanwhile
// are stretched by the system. Only their making needs it; a window's procedure runs in the
// awareness the window was made in, and everything else keeps the host's (a host's thread timer,
// hook or event callback that runs during the dialog's modal run included).
class DialogDpiAwareness {
public:
    DialogDpiAwareness();
    DialogDpiAwareness(const DialogDpiAwareness&) = delete;
    DialogDpiAwareness& operator=(const DialogDpiAwareness&) = delete;
    ~DialogDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

// While one lives inside a HostDpiContext, the calling thread has the host's awareness: around a
// call into the host from a dialog's window procedure, and around making a window that outlives
// the dialog (the timers' window, COM's). Outside one nothing is done.
class HostDpiAwareness {
public:
    HostDpiAwareness();
    HostDpiAwareness(const HostDpiAwareness&) = delete;
    HostDpiAwareness& operator=(const HostDpiAwareness&) = delete;
    ~HostDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

// While one lives, the calling thread has the awareness `window` was made in, so that its
// coordinates read as its own procedure reads them. Nothing where the system keeps none.
class WindowDpiAwareness {
public:
    explicit WindowDpiAwareness(HWND window);
    WindowDpiAwareness(const WindowDpiAwareness&) = delete;
    WindowDpiAwareness& operator=(const WindowDpiAwareness&) = delete;
    ~WindowDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

} // namespace vigrel
