// A 32-bit memory surface for painting tests: a DIB section selected into a memory device context,
// read back pixel by pixel as RGB values (0x00BBGGRR, like TColor).
#pragma once

#include "tools/gdi/MemoryDC.h"
#include "ui/Bitmap.h"
#include "ui/Graphics.h"

#include <windows.h>

namespace vigrel::test {

class Surface {
public:
    Surface(int width, int height, TColor fill) : bitmap_(width, height) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                bitmap_.Row(y)[x] = RGBToPixel(fill);
            }
        }
    }
    HDC DC() const { return dc_.Get(); }
    // The RGB value (0x00BBGGRR) at (x, y).
    TColor Pixel(int x, int y) {
        GdiFlush();
        const std::uint32_t pixel = bitmap_.Row(y)[x];
        return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
    }

private:
    TBitmap bitmap_;
    MemoryDC dc_;
    SelectedObject selected_{dc_.Get(), bitmap_.Handle()};
};

} // namespace vigrel::test
