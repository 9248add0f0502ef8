#include "tools/pictures/BmpEncoder.h"

#include <limits>
#include <stdexcept>
#include <string>

namespace vigrel {
namespace {

std::string Size(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

void RequireEncodable(int width, int height) {
    if (width <= 0 || height <= 0 || std::int64_t{width} * height > maxBmpPixels) {
        throw std::invalid_argument("cannot encode a picture of " + Size(width, height));
    }
}

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// The two headers of an uncompressed bottom-up file; the caller appends the palette and rows.
std::vector<std::uint8_t> Headers(int width, int height, int bitCount, std::size_t paletteSize) {
    const std::uint64_t image = BmpStride(width, bitCount) * static_cast<std::uint64_t>(height);
    const std::uint64_t offset = BmpFileHeaderSize + BmpInfoHeaderSize + paletteSize * 4;
    if (offset + image > std::numeric_limits<std::uint32_t>::max()) {
        throw std::invalid_argument("cannot encode a picture of " + Size(width, height));
    }
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(offset + image));
    out.push_back('B');
    out.push_back('M');
    Put32(out, static_cast<std::uint32_t>(offset + image));
    Put32(out, 0); // reserved
    Put32(out, static_cast<std::uint32_t>(offset));
    Put32(out, BmpInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // positive: the bottom row comes first
    Put16(out, 1);                                  // planes
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, bmpRgb);
    Put32(out, static_cast<std::uint32_t>(image));
    Put32(out, 0); // horizontal resolution: unspecified
    Put32(out, 0); // vertical resolution
    Put32(out, 0); // colours used: all the depth allows
    Put32(out, 0); // colours important: all
    return out;
}

void Pad(std::vector<std::uint8_t>& out, std::size_t rowBytes) {
    out.insert(out.end(), (4 - rowBytes % 4) % 4, 0);
}

} // namespace

std::vector<std::uint8_t> EncodeBmp24(const RgbImage& image) {
    RequireEncodable(image.width, image.height);
    if (image.pixels.size() != static_cast<std::size_t>(image.width) * image.height) {
        throw std::invalid_argument("a picture of " + Size(image.width, image.height) + " has " +
                                    std::to_string(image.pixels.size()) + " pixels");
    }
    std::vector<std::uint8_t> out = Headers(image.width, image.height, 24, 0);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& pixel = image.At(x, y);
            out.push_back(pixel.blue);
            out.push_back(pixel.green);
            out.push_back(pixel.red);
        }
        Pad(out, static_cast<std::size_t>(image.width) * 3);
    }
    return out;
}

std::vector<std::uint8_t> EncodeBmp8(int width, int height, const std::vector<Rgb>& palette,
                                     const std::vector<std::uint8_t>& indices) {
    RequireEncodable(width, height);
    if (palette.empty() || palette.size() > 256) {
        throw std::invalid_argument("an 8-bit palette holds 1 to 256 colours, not " +
                                    std::to_string(palette.size()));
    }
    if (indices.size() != static_cast<std::size_t>(width) * height) {
        throw std::invalid_argument("a picture of " + Size(width, height) + " has " +
                                    std::to_string(indices.size()) + " pixels");
    }
    for (const std::uint8_t index : indices) {
        if (index >= palette.size()) {
            throw std::invalid_argument("palette index " + std::to_string(index) +
                                        " beyond a palette of " + std::to_string(palette.size()));
        }
    }
    std::vector<std::uint8_t> out = Headers(width, height, 8, 256);
    for (std::size_t i = 0; i < 256; ++i) {
        const Rgb colour = i < palette.size() ? palette[i] : Rgb{};
        out.push_back(colour.blue);
        out.push_back(colour.green);
        out.push_back(colour.red);
        out.push_back(0);
    }
    for (int y = height - 1; y >= 0; --y) {
        const auto row = indices.begin() + static_cast<std::ptrdiff_t>(y) * width;
        out.insert(out.end(), row, row + width);
        Pad(out, static_cast<std::size_t>(width));
    }
    return out;
}

} // namespace vigrel
