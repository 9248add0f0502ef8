#include "gallery/SheetPicture.h"

#include "tools/gdi/MemoryDC.h"
#include "ui/Bitmap.h"
#include "ui/WinControl.h"

#include <windows.h>

#include <cstdio>
#include <fstream>

namespace vigrel {

RgbImage FromPixelRows(int width, int height, const std::function<const std::uint32_t*(int)>& row) {
    RgbImage image{width, height, {}};
    image.pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* pixels = row(y);
        for (int x = 0; x < width; ++x) {
            image.pixels.push_back({static_cast<std::uint8_t>(pixels[x] >> 16),
                                    static_cast<std::uint8_t>(pixels[x] >> 8),
                                    static_cast<std::uint8_t>(pixels[x])});
        }
    }
    return image;
}

RgbImage PaintSheet(TWinControl& sheet, const std::vector<Caption>& captions) {
    TBitmap bitmap(sheet.Width(), sheet.Height());
    MemoryDC dc;
    const SelectedObject selected(dc.Get(), bitmap.Handle());
    sheet.PaintTo(dc.Get());
    const SelectedObject font(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc.Get(), TRANSPARENT);
    SetTextColor(dc.Get(), RGB(0, 0, 0));
    for (const Caption& caption : captions) {
        TextOutA(dc.Get(), caption.x, caption.y, caption.text.c_str(),
                 static_cast<int>(caption.text.size()));
    }
    GdiFlush();
    return FromPixelRows(bitmap.Width(), bitmap.Height(), [&](int y) { return bitmap.Row(y); });
}

bool WriteBmpFile(const char* path, const RgbImage& image) {
    const std::vector<std::uint8_t> file = EncodeBmp24(image);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path);
        return false;
    }
    return true;
}

} // namespace vigrel
