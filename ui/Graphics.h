// Colour values on the Windows side and owning wrappers of GDI objects. System colour references
// are resolved through the current system colours each time they are used.
#pragma once

#include "ui/Colors.h"

#include <windows.h>

#include <utility>

namespace vigrel {

// The plain RGB value (0x00BBGGRR) of `color`: a system colour reference (top byte 0xFF) gives the
// current value of that system colour, any other value loses its top byte. A system colour index
// that this system does not know throws std::invalid_argument.
TColor ColorToRGB(TColor color);
// The current value of system colour `index` (COLOR_BTNFACE and friends); an unknown index throws
// std::invalid_argument.
TColor SystemColor(int index);

// Whether the system's high-contrast mode is on. Text then takes the system's text colours and
// drawn fills give way to the flat button face, so that the author's theme decides what is
// readable; without it every colour is the one asked for.
bool HighContrastOn();

// The pixel of a 32-bit bitmap (blue, green, red, reserved bytes) showing RGB value `rgb`.
inline std::uint32_t RGBToPixel(TColor rgb) {
    return (rgb & 0xFF) << 16 | (rgb & 0xFF00) | (rgb >> 16 & 0xFF);
}

// Owns one GDI object (pen, brush, region, bitmap) and deletes it when dropped. Move-only; the raw
// handle is given out only by Get(), and never selected into a device context by this type.
template <class Handle> class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle_(handle) {}
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void Reset() {
        if (handle_ != nullptr) {
            DeleteObject(handle_);
            handle_ = nullptr;
        }
    }

private:
    Handle handle_ = nullptr; // owned
};

using OwnedPen = GdiObject<HPEN>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedRegion = GdiObject<HRGN>;
using OwnedBitmap = GdiObject<HBITMAP>;
using OwnedGdiObject = GdiObject<HGDIOBJ>;

// Takes ownership of a freshly created object; a null handle (creation failed) throws
// std::runtime_error naming `what`.
template <class Handle> GdiObject<Handle> Created(Handle handle, const char* what);

// The device context of a window (of the screen when null), released when dropped, so that a
// failure while it is in use gives it back too. One the system cannot give throws
// std::runtime_error.
class WindowDC {
public:
    explicit WindowDC(HWND window);
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { ReleaseDC(window_, dc_); }

    HDC Get() const { return dc_; }

private:
    HWND window_; // not owned
    HDC dc_;      // owned
};

// Selects an object into a device context and puts the previous one back when dropped.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { SelectObject(dc_, previous_); }

private:
    HDC dc_;           // not owned
    HGDIOBJ previous_; // not owned: it belongs to whoever selected it
};

} // namespace vigrel
