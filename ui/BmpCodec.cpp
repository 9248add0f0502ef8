#include "ui/BmpCodec.h"

#include <limits>
#include <string>

namespace vigrel {
namespace {

constexpr std::size_t fileHeaderSize = 14;
constexpr std::size_t infoHeaderSize = 40;
constexpr std::uint32_t biRgb = 0;

std::string Size(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

// Bytes per row: whole pixels, padded to 4 bytes.
std::uint64_t Stride(std::int64_t width, int bitCount) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
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
    const std::uint64_t image = Stride(width, bitCount) * static_cast<std::uint64_t>(height);
    const std::uint64_t offset = fileHeaderSize + infoHeaderSize + paletteSize * 4;
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
    Put32(out, infoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // positive: the bottom row comes first
    Put16(out, 1);                                  // planes
    Put16(out, static_cast<std::uint32_t>(bitCount));
    Put32(out, biRgb);
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

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint32_t U16(std::size_t at) const {
        return bytes_[at] | std::uint32_t{bytes_[at + 1]} << 8;
    }
    std::uint32_t U32(std::size_t at) const { return U16(at) | U16(at + 2) << 16; }
    std::int32_t I32(std::size_t at) const { return static_cast<std::int32_t>(U32(at)); }

private:
    std::span<const std::uint8_t> bytes_;
};

[[noreturn]] void Fail(const std::string& message) {
    throw BmpError("BMP: " + message);
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

RgbImage DecodeBmp(std::span<const std::uint8_t> bytes) {
    const std::uint64_t size = bytes.size();
    if (size < fileHeaderSize + 4) {
        Fail("truncated: " + std::to_string(size) + " bytes cannot hold the headers");
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        Fail("not a BMP file: it does not start with \"BM\"");
    }
    const Reader in(bytes);
    const std::uint64_t fileSize = in.U32(2);
    if (fileSize > size) {
        Fail("truncated: the file header says " + std::to_string(fileSize) + " bytes, " +
             std::to_string(size) + " are present");
    }
    const std::uint64_t headerSize = in.U32(14);
    if (headerSize < infoHeaderSize) {
        Fail("unsupported info header of " + std::to_string(headerSize) + " bytes (at least " +
             std::to_string(infoHeaderSize) + " are read)");
    }
    if (fileHeaderSize + headerSize > size) {
        Fail("truncated: the info header of " + std::to_string(headerSize) + " bytes ends after " +
             std::to_string(size) + " bytes");
    }
    const std::int64_t width = in.I32(18);
    const std::int64_t rawHeight = in.I32(22);
    const std::uint32_t planes = in.U16(26);
    const int bitCount = static_cast<int>(in.U16(28));
    const std::uint32_t compression = in.U32(30);
    const std::uint64_t coloursUsed = in.U32(46);
    const std::int64_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    if (width <= 0 || height == 0 || width * height > maxBmpPixels) {
        Fail("unsupported size " + Size(width, rawHeight));
    }
    if (planes != 1) {
        Fail(std::to_string(planes) + " colour planes instead of 1");
    }
    if (compression != biRgb) {
        Fail("unsupported compression " + std::to_string(compression) +
             " (only uncompressed files are read)");
    }
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
        Fail("unsupported depth of " + std::to_string(bitCount) +
             " bits per pixel (8, 24 and 32 are read)");
    }

    const std::uint64_t offset = in.U32(10);
    std::uint64_t headersEnd = fileHeaderSize + headerSize;
    std::vector<Rgb> palette;
    if (bitCount == 8) {
        const std::uint64_t colours = coloursUsed == 0 ? 256 : coloursUsed;
        if (colours > 256) {
            Fail("a palette of " + std::to_string(colours) + " colours for 8 bits per pixel");
        }
        const std::uint64_t paletteEnd = headersEnd + colours * 4;
        if (paletteEnd > size) {
            Fail("truncated: the palette of " + std::to_string(colours) + " colours ends after " +
                 std::to_string(size) + " bytes");
        }
        for (std::uint64_t at = headersEnd; at < paletteEnd; at += 4) {
            palette.push_back({bytes[at + 2], bytes[at + 1], bytes[at]});
        }
        headersEnd = paletteEnd;
    }
    if (offset < headersEnd) {
        Fail("the pixels at offset " + std::to_string(offset) +
             " overlap the headers and palette, which end at " + std::to_string(headersEnd));
    }
    const std::uint64_t stride = Stride(width, bitCount);
    const std::uint64_t rows = stride * static_cast<std::uint64_t>(height);
    if (offset > size || rows > size - offset) {
        Fail("truncated: " + std::to_string(height) + " rows of " + std::to_string(stride) +
             " bytes from offset " + std::to_string(offset) + " do not fit in " +
             std::to_string(size) + " bytes");
    }

    RgbImage image;
    image.width = static_cast<int>(width);
    image.height = static_cast<int>(height);
    image.pixels.resize(static_cast<std::size_t>(width * height));
    const std::size_t step = static_cast<std::size_t>(bitCount / 8);
    for (std::int64_t y = 0; y < height; ++y) {
        // A positive height stores the bottom row first.
        const std::int64_t fileRow = rawHeight > 0 ? height - 1 - y : y;
        const std::size_t row = static_cast<std::size_t>(offset + stride * fileRow);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::size_t at = row + static_cast<std::size_t>(x) * step;
            Rgb& pixel = image.pixels[static_cast<std::size_t>(y * width + x)];
            if (bitCount == 8) {
                if (bytes[at] >= palette.size()) {
                    Fail("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                         ") has palette index " + std::to_string(bytes[at]) +
                         " beyond the palette of " + std::to_string(palette.size()) + " colours");
                }
                pixel = palette[bytes[at]];
            } else {
                pixel = {bytes[at + 2], bytes[at + 1], bytes[at]};
            }
        }
    }
    return image;
}

} // namespace vigrel
