#include "components/GradientPatterns.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <limits>
#include <stdexcept>
#include <string>

namespace vigrel {
namespace {

constexpr std::uint32_t kSystemColorFlag = 0xFF000000;

void CheckPercent(const char* what, int value) {
    if (value < -100 || value > 100) {
        throw std::invalid_argument(std::string("gradient ") + what + " " + std::to_string(value) +
                                    " is outside -100..100");
    }
}

// Entry i of one channel from c1 to c2 (already shifted), folded by r = rotation in 1/255.
int RampValue(int i, int c1, int c2, int r) {
    const int d = c2 - c1;
    if (r == 0) {
        return c1 + i * d / 255;
    }
    if (r > 0) {
        // Up from c1 to c2 at entry n, then back down to c1 at entry 255.
        const int n = 255 - r;
        return i < n ? c1 + i * d / n : c1 + (255 - i) * d / r;
    }
    // Down from c2 to c1 at entry m, then back up to c2 at entry 255.
    const int m = -r;
    return i <= m ? c2 - i * d / m : c2 - (255 - i) * d / (255 - m);
}

void FillChannel(TGradientColors& colors, std::uint8_t TGradientEntry::*channel, int c1, int c2,
                 int shift, int r) {
    if (shift > 0) {
        c1 += MulDiv(c2 - c1, shift, 100);
    } else if (shift < 0) {
        c2 += MulDiv(c2 - c1, shift, 100);
    }
    for (int i = 0; i < 256; ++i) {
        colors[i].*channel = static_cast<std::uint8_t>(RampValue(i, c1, c2, r));
    }
}

int Channel(std::uint32_t rgb, int byte) {
    return static_cast<int>((rgb >> (8 * byte)) & 0xFF);
}

// The table as whole pixels, in the same byte layout.
using PixelTable = std::array<std::uint32_t, 256>;

PixelTable Pixels(const TGradientColors& colors) {
    return std::bit_cast<PixelTable>(colors);
}

// Sizes the pattern and writes pixel (x, y) as entry index(x, y), one row pointer per row.
template <typename Index>
void PaintByIndex(const TGradientColors& colors, PatternBitmap& pattern, int width, int height,
                  Index index) {
    const PixelTable pixels = Pixels(colors);
    pattern.SetSize(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = pattern.Row(y);
        for (int x = 0; x < width; ++x) {
            row[x] = pixels[index(x, y)];
        }
    }
}

// The radial styles compute distances for coordinates k = 0..180 on each axis. An axis either
// has the ring centre at its first pixel (Near: distance k) or at its last (Far: distance
// 180 - k), or it is twice as long with the centre between pixels 180 and 181 (Mirrored:
// distance 180 - k, written at k and 361 - k).
enum class RadialAxis { Near, Far, Mirrored };

constexpr int Radius = 180;
constexpr int RadialSide = Radius + 1;

constexpr std::array<int, RadialSide> Squares = [] {
    std::array<int, RadialSide> squares{};
    for (int k = 0; k < RadialSide; ++k) {
        squares[k] = k * k;
    }
    return squares;
}();

int Extent(RadialAxis axis) {
    return axis == RadialAxis::Mirrored ? 2 * RadialSide : RadialSide;
}

int Distance(RadialAxis axis, int k) {
    return axis == RadialAxis::Near ? k : Radius - k;
}

// The nearest whole number to sqrt(n), moved there from a nearby guess k: k is right when
// (k - 1/2)^2 < n < (k + 1/2)^2, that is k*k - k < n <= k*k + k for whole numbers (a root of a
// whole number never ends in exactly .5). Integer arithmetic only: no floating-point unit, no
// rounding mode and no instruction set beyond the oldest processor's.
int RoundedRoot(int n, int k) {
    while (n > k * k + k) {
        ++k;
    }
    while (k > 0 && n <= k * k - k) {
        --k;
    }
    return k;
}

// One rounded root per computed pixel, written to up to four mirror pixels. Along a row the
// squared distance changes by at most 2 * 180 + 1 from one pixel to the next, so the root moves
// by a step or two from its neighbour's; each row starts from the previous row's start. The
// largest, sqrt(2 * 180^2) = 254.56, rounds to 255, inside the table.
void PaintRadial(const TGradientColors& colors, PatternBitmap& pattern, RadialAxis horizontal,
                 RadialAxis vertical) {
    const PixelTable pixels = Pixels(colors);
    const int width = Extent(horizontal);
    const int height = Extent(vertical);
    const bool mirrorX = horizontal == RadialAxis::Mirrored;
    pattern.SetSize(width, height);
    int rowStart = 0;
    for (int y = 0; y < RadialSide; ++y) {
        std::uint32_t* top = pattern.Row(y);
        std::uint32_t* bottom =
            vertical == RadialAxis::Mirrored ? pattern.Row(height - 1 - y) : top;
        const int dy2 = Squares[Distance(vertical, y)];
        rowStart = RoundedRoot(Squares[Distance(horizontal, 0)] + dy2, rowStart);
        int root = rowStart;
        for (int x = 0; x < RadialSide; ++x) {
            root = RoundedRoot(Squares[Distance(horizontal, x)] + dy2, root);
            const std::uint32_t pixel = pixels[root];
            top[x] = pixel;
            bottom[x] = pixel;
            if (mirrorX) {
                top[width - 1 - x] = pixel;
                bottom[width - 1 - x] = pixel;
            }
        }
    }
}

} // namespace

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t divisor = std::llabs(c);
    const std::int64_t magnitude = (std::llabs(product) + divisor / 2) / divisor;
    const std::int64_t result = (product < 0) != (c < 0) ? -magnitude : magnitude;
    if (result < std::numeric_limits<int>::min() || result > std::numeric_limits<int>::max()) {
        return -1;
    }
    return static_cast<int>(result);
}

TGradientColors BuildGradientColors(std::uint32_t startRgb, std::uint32_t endRgb, int shift,
                                    int rotation) {
    CheckPercent("shift", shift);
    CheckPercent("rotation", rotation);
    if ((startRgb & kSystemColorFlag) == kSystemColorFlag ||
        (endRgb & kSystemColorFlag) == kSystemColorFlag) {
        throw std::invalid_argument("gradient colours must be resolved RGB values");
    }
    const int r = MulDiv(255, rotation, 100);
    TGradientColors colors{};
    FillChannel(colors, &TGradientEntry::red, Channel(startRgb, 0), Channel(endRgb, 0), shift, r);
    FillChannel(colors, &TGradientEntry::green, Channel(startRgb, 1), Channel(endRgb, 1), shift, r);
    FillChannel(colors, &TGradientEntry::blue, Channel(startRgb, 2), Channel(endRgb, 2), shift, r);
    return colors;
}

void MemoryPattern::SetSize(int width, int height) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("pattern size " + std::to_string(width) + " x " +
                                    std::to_string(height) + " is negative");
    }
    if (width == width_ && height == height_) {
        return;
    }
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    width_ = width;
    height_ = height;
}

std::size_t MemoryPattern::Offset(int y) const {
    if (y < 0 || y >= height_) {
        throw std::out_of_range("pattern row " + std::to_string(y) + " is outside 0.." +
                                std::to_string(height_ - 1));
    }
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

void PaintRadialC(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Mirrored, RadialAxis::Mirrored);
}

void PaintRadialT(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Mirrored, RadialAxis::Near);
}

void PaintRadialB(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Mirrored, RadialAxis::Far);
}

void PaintRadialL(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Near, RadialAxis::Mirrored);
}

void PaintRadialR(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Far, RadialAxis::Mirrored);
}

void PaintRadialTL(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Near, RadialAxis::Near);
}

void PaintRadialTR(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Far, RadialAxis::Near);
}

void PaintRadialBL(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Near, RadialAxis::Far);
}

void PaintRadialBR(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintRadial(colors, pattern, RadialAxis::Far, RadialAxis::Far);
}

void PaintLinearH(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 1, [](int x, int) { return x; });
}

void PaintLinearV(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 1, 256, [](int, int y) { return y; });
}

void PaintReflectedH(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 1, 512, [](int, int y) { return y <= 255 ? 255 - y : y - 256; });
}

void PaintReflectedV(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 512, 1, [](int x, int) { return x <= 255 ? 255 - x : x - 256; });
}

void PaintDiagonalLF(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 128, 129, [](int x, int y) { return x + y; });
}

void PaintDiagonalLB(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 128, 129, [](int x, int y) { return y - x + 127; });
}

void PaintDiagonalRF(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 256, [](int x, int y) { return std::abs(x + y - 255); });
}

void PaintDiagonalRB(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 256, [](int x, int y) { return std::abs(x - y); });
}

void PaintArrowL(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 129, 256,
                 [](int x, int y) { return y < 128 ? 255 - x - y : y - x; });
}

void PaintArrowR(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 129, 256,
                 [](int x, int y) { return y < 128 ? x - y + 127 : x + y - 128; });
}

void PaintArrowU(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 129,
                 [](int x, int y) { return x < 128 ? 255 - x - y : x - y; });
}

void PaintArrowD(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 129,
                 [](int x, int y) { return x < 128 ? y - x + 127 : x + y - 128; });
}

void PaintDiamond(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 256, [](int x, int y) {
        if (y < 128) {
            return x < 128 ? 255 - x - y : x - y;
        }
        return x < 128 ? y - x : x + y - 255;
    });
}

// The bottom-left quarter is one index lower than the mirror image of the other three.
void PaintButterfly(const TGradientColors& colors, PatternBitmap& pattern) {
    PaintByIndex(colors, pattern, 256, 256, [](int x, int y) {
        if (y < 128) {
            return x < 128 ? x - y + 128 : 383 - x - y;
        }
        return x < 128 ? x + y - 128 : y - x + 128;
    });
}

// Row y, at distance d from the nearer of the top and bottom edges, is a rising ramp 0..d-1, a run
// of index d and the same ramp falling: min(x, 511 - x, d) written as three block copies.
void PaintRadialRect(const TGradientColors& colors, PatternBitmap& pattern) {
    constexpr int side = 512;
    const PixelTable pixels = Pixels(colors);
    pattern.SetSize(side, side);
    for (int y = 0; y < side; ++y) {
        std::uint32_t* row = pattern.Row(y);
        const int d = std::min(y, side - 1 - y);
        std::copy_n(pixels.begin(), d, row);
        std::fill(row + d, row + side - d, pixels[d]);
        std::reverse_copy(pixels.begin(), pixels.begin() + d, row + side - d);
    }
}

} // namespace vigrel
