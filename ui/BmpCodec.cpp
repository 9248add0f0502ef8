#include "ui/BmpCodec.h"

#include <limits>
#include <string>

namespace vigrel {
namespace {

std::string Size(std::int64_t width, std::int64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
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

RgbImage DecodeBmp(std::span<const std::uint8_t> bytes) {
    const std::uint64_t size = bytes.size();
    if (size < BmpFileHeaderSize + 4) {
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
    if (headerSize < BmpInfoHeaderSize) {
        Fail("unsupported info header of " + std::to_string(headerSize) + " bytes (at least " +
             std::to_string(BmpInfoHeaderSize) + " are read)");
    }
    if (BmpFileHeaderSize + headerSize > size) {
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
    if (compression != bmpRgb) {
        Fail("unsupported compression " + std::to_string(compression) +
             " (only uncompressed files are read)");
    }
    if (bitCount != 8 && bitCount != 24 && bitCount != 32) {
        Fail("unsupported depth of " + std::to_string(bitCount) +
             " bits per pixel (8, 24 and 32 are read)");
    }

    const std::uint64_t offset = in.U32(10);
    std::uint64_t headersEnd = BmpFileHeaderSize + headerSize;
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
    const std::uint64_t stride = BmpStride(width, bitCount);
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

std::uint64_t BmpStride(std::int64_t width, int bitCount) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32 * 4;
}

} // namespace vigrel
