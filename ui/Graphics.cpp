#include "ui/Graphics.h"

#include <stdexcept>
#include <string>

namespace vigrel {

TColor SystemColor(int index) {
    // GetSysColor answers 0 for an index it does not know; the brush query tells them apart.
    if (index < 0 || GetSysColorBrush(index) == nullptr) {
        throw std::invalid_argument("unknown system colour " + std::to_string(index));
    }
    return GetSysColor(index) & 0xFFFFFF;
}

bool HighContrastOn() {
    HIGHCONTRASTW state{};
    state.cbSize = sizeof state;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof state, &state, 0) != FALSE &&
           (state.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

TColor ColorToRGB(TColor color) {
    if ((color & 0xFF000000) == 0xFF000000) {
        return SystemColor(static_cast<int>(color & 0xFF));
    }
    return color & 0xFFFFFF;
}

template <class Handle> GdiObject<Handle> Created(Handle handle, const char* what) {
    if (handle == nullptr) {
        throw std::runtime_error(std::string("cannot create ") + what);
    }
    return GdiObject<Handle>(handle);
}

template OwnedPen Created(HPEN, const char*);
template OwnedBrush Created(HBRUSH, const char*);
template OwnedRegion Created(HRGN, const char*);
template OwnedBitmap Created(HBITMAP, const char*);

WindowDC::WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {
    if (dc_ == nullptr) {
        throw std::runtime_error("cannot get a device context of a window");
    }
}

} // namespace vigrel
