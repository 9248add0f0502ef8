#include "ui/BitmapImage.h"

namespace vigrel {

void AssignImage(TBitmap& bitmap, const RgbImage& image) {
    bitmap.SetSize(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        std::uint32_t* row = bitmap.Row(y);
        for (int x = 0; x < image.width; ++x) {
            const Rgb& pixel = image.At(x, y);
            row[x] = std::uint32_t{pixel.red} << 16 | std::uint32_t{pixel.green} << 8 | pixel.blue;
        }
    }
}

} // namespace vigrel
