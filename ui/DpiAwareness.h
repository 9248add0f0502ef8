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

// While one lives, the calling thread is unaware of DPI: windows and message boxes made meanwhile
// are stretched by the system. It remembers the host's awareness it replaced (that of the
// outermost one, when they nest), for HostDpiAwareness, and puts it back when it goes.
class DialogDpiAwareness {
public:
    DialogDpiAwareness();
    DialogDpiAwareness(const DialogDpiAwareness&) = delete;
    DialogDpiAwareness& operator=(const DialogDpiAwareness&) = delete;
    ~DialogDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

// While one lives inside a DialogDpiAwareness, the calling thread has the host's awareness again:
// around a call into the host, and around making a window that outlives the dialog. Outside one
// the thread already has it, and nothing is done.
class HostDpiAwareness {
public:
    HostDpiAwareness();
    HostDpiAwareness(const HostDpiAwareness&) = delete;
    HostDpiAwareness& operator=(const HostDpiAwareness&) = delete;
    ~HostDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

} // namespace vigrel
