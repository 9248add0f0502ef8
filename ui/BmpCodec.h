// BMP files as bytes, without Windows: the decoder reads uncompressed 8-, 24- and 32-bit files
// into plain RGB pixels and refuses anything else with a clear error. The encoder, which only the
// tools and the tests use, is tools/pictures/BmpEncoder.h.
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

// The layout both the decoder and the encoder (tools/pictures/BmpEncoder.h) follow: the sizes of
// the two headers, the BI_RGB compression value, and the bytes of a row of `width` pixels at
// `bitCount` bits each, padded to 4 bytes.
inline constexpr std::size_t BmpFileHeaderSize = 14;
inline constexpr std::size_t BmpInfoHeaderSize = 40;
inline constexpr std::uint32_t bmpRgb = 0;
std::uint64_t BmpStride(std::int64_t width, int bitCount);

// The pixels of an uncompressed (BI_RGB) file of 8, 24 or 32 bits per pixel, bottom-up or
// top-down; the reserved byte of 32-bit pixels is ignored. Throws BmpError for anything else:
// too short, not "BM", a header size, offset or palette outside the file, rows that do not fit,
// sizes out of range, another depth or compression, a palette index beyond the palette.
RgbImage DecodeBmp(std::span<const std::uint8_t> bytes);

} // namespace vigrel
