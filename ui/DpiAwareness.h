// The thread's DPI awareness, where the system keeps one per thread (Windows 10 1607 and later;
// looked up at run time, so that on older systems everything here does nothing).
//
// The library's dialogs are laid out in pixels at 96 dpi, so they are made unaware of DPI: the
// system then stretches them for a DPI-aware host as it stretches every window of a host that is
// not aware. Only their making needs it: a window keeps the awareness it was made in, and its
// procedure runs in it. Everything else keeps the host's awareness: the thread during the modal
// run (a host's thread timer, hook or event callback that runs then included), the windows that
// outlive a dialog, and every call into the host.
#pragma once

#include <windows.h>

namespace vigrel {

// While one lives, the host's awareness is known: the calling thread's when the outermost one was
// made. A call of the host's that shows a dialog keeps one for its whole length, so that
// HostAwareness can be put back inside the dialog's window procedures.
class HostDpiContext {
public:
    HostDpiContext();
    HostDpiContext(const HostDpiContext&) = delete;
    HostDpiContext& operator=(const HostDpiContext&) = delete;
    ~HostDpiContext();
};

// While one lives, the calling thread has the awareness `context`; the one it replaced comes back
// when it goes. Nothing for a null context, or where the system keeps none per thread.
class ThreadDpiAwareness {
public:
    explicit ThreadDpiAwareness(DPI_AWARENESS_CONTEXT context);
    ThreadDpiAwareness(const ThreadDpiAwareness&) = delete;
    ThreadDpiAwareness& operator=(const ThreadDpiAwareness&) = delete;
    ~ThreadDpiAwareness();

private:
    DPI_AWARENESS_CONTEXT replaced_ = nullptr;
};

// The awareness the library's dialogs and message boxes are made in: plain unaware rather than
// GDI-scaled unaware (Windows 10 1809), so that the system stretches a dialog as one picture, its
// gradients, pictures and text alike, exactly as for a host that is not aware; GDI scaling draws
// text sharper but scales the drawn pictures apart from it, and leaves what is drawn into bitmaps
// (the gradients, the glyphs) at 96 dpi.
DPI_AWARENESS_CONTEXT DialogAwareness();
// The host's awareness while a HostDpiContext lives, else null: around a call into the host from
// a dialog's window procedure, and around making a window that outlives the dialog (the timers',
// COM's).
DPI_AWARENESS_CONTEXT HostAwareness();
// The awareness `window` was made in, in which its coordinates read as its own procedure reads
// them; null where the system keeps none.
DPI_AWARENESS_CONTEXT WindowAwareness(HWND window);

} // namespace vigrel
