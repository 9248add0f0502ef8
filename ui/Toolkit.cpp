#include "ui/Toolkit.h"

#include "ui/Accessible.h"
#include "ui/Timer.h"
#include "ui/WinControl.h"
#include "ui/WindowClass.h"

namespace vigrel {

void ShutdownToolkit() {
    ReleaseLibraryWindows();
    ShutdownTimers();
    UnregisterWindowClasses();
}

void ReleaseIdleToolkit() {
    if (ReleaseIdleTimers() && !LibraryWindowsLeft()) {
        UnregisterWindowClasses();
    }
    ReleaseAccessibleHold();
}

} // namespace vigrel
