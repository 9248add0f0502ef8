// BMP files as bytes, without Windows: the encoder writes a BITMAPFILEHEADER and a
// BITMAPINFOHEADER followed by bottom-up rows padded to 4 bytes, either 8 bits per pixel with a
// 256-entry palette or 24 bits per pixel; the decoder reads uncompressed 8-, 24- and 32-bit files
// into plain RGB pixels and refuses anything else with a clear error.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace vigrel {

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// A picture as plain colours, the top row first, each row Width() pixels.
struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    const Rgb& At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// Bytes that are not a BMP file the decoder can read; what() says what is wrong.
class BmpError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file holds at most this many pixels (the 32-bit bitmaps they become must stay addressable).
inline constexpr std::int64_t maxBmpPixels = 0x7FFFFFFF / 4;

// A 24-bit file of `image`. Throws std::invalid_argument for an empty or oversized image or one
// whose pixel count does not match its size.
std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image);

// An 8-bit file: `palette` (1 to 256 colours, the rest of the 256 entries written black) and one
// palette index per pixel, top row first. Throws std::invalid_argument for an empty or oversized
// picture, a wrong number of indices, a bad palette size or an index beyond the palette.
std::vector<std::uint8_t> EncodeBmp8(int width, int height, const std::vector<Rgb>& palette,
                                     const std::vector<std::uint8_t>& indices);

// The pixels of an uncompressed (BI_RGB) file of 8, 24 or 32 bits per pixel, bottom-up or
// top-down; the reserved byte of 32-bit pixels is ignored. Throws BmpError for anything else:
// too short, not "BM", a header size, offset or palette outside the file, rows that do not fit,
// sizes out of range, another depth or compression, a palette index beyond the palette.
RgbImage DecodeBmp(std::span<const std::uint8_t> bytes);

} // namespace vigrel
