// Writes BMP files: a BITMAPFILEHEADER and a BITMAPINFOHEADER followed by bottom-up rows padded to
// 4 bytes, either 8 bits per pixel with a 256-entry palette or 24 bits per pixel, as DecodeBmp
// (ui/BmpCodec.h) reads them.
#pragma once

#include "ui/BmpCodec.h"

#include <cstdint>
#include <vector>

namespace vigrel {

// A 24-bit file of `image`. Throws std::invalid_argument for an empty or oversized image or one
// whose pixel count does not match its size.
std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);

// An 8-bit file: `palette` (1 to 256 colours, the rest of the 256 entries written black) and one
// palette index per pixel, top row first. Throws std::invalid_argument for an empty or oversized
// picture, a wrong number of indices, a bad palette size or an index beyond the palette.
std::vector<std::uint8_t> EncodeBmp8(int width, int height, const std::vector<Rgb>& palette,
                                     const std::vector<std::uint8_t>& indices);

} // namespace vigrel
