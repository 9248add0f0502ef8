// What the screen shows, read back: the dialog's picture and the tests that measure its colours.
#pragma once

#include "tools/gdi/MemoryDC.h"
#include "ui/Bitmap.h"
#include "ui/Graphics.h"

#include <windows.h>

namespace vigrel {

// Copies the screen's pixels in `area` (screen coordinates) into `bitmap`, sized to the area.
inline void CaptureScreen(const RECT& area, TBitmap& bitmap) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    bitmap.SetSize(width, height);
    MemoryDC memory;
    const SelectedObject selected(memory.Get(), bitmap.Handle());
    const HDC screen = GetDC(nullptr);
    BitBlt(memory.Get(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    GdiFlush();
}

} // namespace vigrel
