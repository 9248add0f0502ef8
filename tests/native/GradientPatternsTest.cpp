#include "components/GradientPatterns.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vigrel {
namespace {

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, result;
    };
    const Case cases[] = {
        {5, 1, 2, 3},
        {-5, 1, 2, -3},
        {5, 1, -2, -3},
        {-5, -1, -2, -3},
        {7, 1, 3, 2},
        {4, 1, 3, 1},
        {-7, 1, 3, -2},
        {255, -50, 100, -128},
        {-1, 1, 3, 0},
        {INT_MAX, 2, 4, 1073741824},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << " * " << c.b << " / " << c.c;
    }
}

TEST(MulDiv, GivesMinusOneForZeroDivisorAndOverflow) {
    EXPECT_EQ(MulDiv(5, 3, 0), -1);
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, 2, 1), -1);
}

struct Rgb {
    int red, green, blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << '(' << c.red << ", " << c.green << ", " << c.blue << ')';
}

Rgb At(const TGradientColors& colors, int i) {
    return {colors[i].red, colors[i].green, colors[i].blue};
}

Rgb Grey(int v) {
    return {v, v, v};
}

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

TEST(GradientRamp, BlackToWhite) {
    struct Case {
        int shift, rotation;
        std::vector<std::pair<int, int>> entries; // index, grey value
    };
    const Case cases[] = {
        {0,
         50,
         {{0, 0},
          {1, 2},
          {2, 4},
          {126, 252},
          {127, 255},
          {128, 253},
          {129, 251},
          {254, 1},
          {255, 0}}},
        {0,
         -50,
         {{0, 255}, {1, 254}, {2, 252}, {127, 2}, {128, 0}, {129, 3}, {254, 253}, {255, 255}}},
        {50, 0, {{0, 128}, {1, 128}, {255, 255}}},
        {-50, 0, {{0, 0}, {255, 127}}},
    };
    for (const Case& c : cases) {
        const TGradientColors colors = BuildGradientColors(kBlack, kWhite, c.shift, c.rotation);
        for (const auto& [index, value] : c.entries) {
            EXPECT_EQ(At(colors, index), Grey(value))
                << "shift " << c.shift << " rotation " << c.rotation << " entry " << index;
        }
    }
}

TEST(GradientRamp, FullRotationsAndNoneRunStraight) {
    const TGradientColors plain = BuildGradientColors(kBlack, kWhite, 0, 0);
    const TGradientColors up = BuildGradientColors(kBlack, kWhite, 0, 100);
    const TGradientColors down = BuildGradientColors(kBlack, kWhite, 0, -100);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(At(plain, i), Grey(i)) << i;
        EXPECT_EQ(At(up, i), Grey(255 - i)) << i;
        EXPECT_EQ(At(down, i), Grey(255 - i)) << i;
    }
}

TEST(GradientRamp, TakesRedFromTheLowByte) {
    const TGradientColors colors = BuildGradientColors(0xF0CAA6, kWhite, 0, 0);
    EXPECT_EQ(At(colors, 0), (Rgb{166, 202, 240}));
    EXPECT_EQ(At(colors, 128), (Rgb{210, 228, 247}));
    EXPECT_EQ(At(colors, 255), (Rgb{255, 255, 255}));
    EXPECT_EQ(colors[0].reserved, 0);
}

TEST(GradientRamp, StaysBetweenTheTwoColours) {
    for (int rotation = -100; rotation <= 100; rotation += 5) {
        for (int shift : {-100, -37, 0, 63, 100}) {
            const TGradientColors colors = BuildGradientColors(0x10F020, 0xE0008F, shift, rotation);
            for (const TGradientEntry& e : colors) {
                ASSERT_TRUE(e.red >= 0x20 && e.red <= 0x8F) << shift << ' ' << rotation;
                ASSERT_TRUE(e.green >= 0x00 && e.green <= 0xF0) << shift << ' ' << rotation;
                ASSERT_TRUE(e.blue >= 0x10 && e.blue <= 0xE0) << shift << ' ' << rotation;
            }
        }
    }
}

TEST(GradientRamp, RefusesValuesOutOfRange) {
    EXPECT_THROW(BuildGradientColors(kBlack, kWhite, 101, 0), std::invalid_argument);
    EXPECT_THROW(BuildGradientColors(kBlack, kWhite, -101, 0), std::invalid_argument);
    EXPECT_THROW(BuildGradientColors(kBlack, kWhite, 0, 101), std::invalid_argument);
    EXPECT_THROW(BuildGradientColors(kBlack, kWhite, 0, -101), std::invalid_argument);
    EXPECT_THROW(BuildGradientColors(0xFF00000F, kWhite, 0, 0), std::invalid_argument);
    EXPECT_THROW(BuildGradientColors(kBlack, 0xFF00000A, 0, 0), std::invalid_argument);
}

TEST(MemoryPattern, RefusesBadSizeAndRowsAndKeepsItsPixels) {
    MemoryPattern pattern;
    pattern.SetSize(3, 2);
    pattern.Row(1)[2] = 42;
    EXPECT_THROW(pattern.SetSize(-1, 5), std::invalid_argument);
    EXPECT_THROW(pattern.Row(2), std::out_of_range);
    EXPECT_THROW(pattern.Row(-1), std::out_of_range);
    EXPECT_EQ(pattern.Width(), 3);
    EXPECT_EQ(pattern.Height(), 2);
    EXPECT_EQ(pattern.Row(1)[2], 42u);
}

// Entry i is recognisable from all four of its bytes, so a pixel decodes to the index it was
// copied from; 0 and 0xFFFFFFFF are no entry at all.
TGradientColors IndexColors() {
    TGradientColors colors{};
    for (int i = 0; i < 256; ++i) {
        colors[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                     static_cast<std::uint8_t>(i ^ 0x5A), static_cast<std::uint8_t>(i ^ 0xA5)};
    }
    return colors;
}

const TGradientColors IndexColorTable = IndexColors();

// The index the pixel was copied from, or -1 when it is no entry of IndexColorTable.
int IndexOf(std::uint32_t pixel) {
    const auto entry = std::bit_cast<TGradientEntry>(pixel);
    return entry == IndexColorTable[entry.blue] ? entry.blue : -1;
}

int Dist(int a, int b) {
    return static_cast<int>(std::lround(std::sqrt(a * a + b * b)));
}
int Fold(int v, int n) {
    return std::min(v, n - 1 - v);
}

struct Style {
    TGradientStyle style;
    int width, height;
    std::function<int(int, int)> index;
};

// Every style with its size and the index formula of each pixel, written out plainly.
const Style AllStyles[] = {
    {TGradientStyle::gsRadialC, 362, 362,
     [](int x, int y) { return Dist(180 - Fold(x, 362), 180 - Fold(y, 362)); }},
    {TGradientStyle::gsRadialT, 362, 181, [](int x, int y) { return Dist(180 - Fold(x, 362), y); }},
    {TGradientStyle::gsRadialB, 362, 181,
     [](int x, int y) { return Dist(180 - Fold(x, 362), 180 - y); }},
    {TGradientStyle::gsRadialL, 181, 362, [](int x, int y) { return Dist(x, 180 - Fold(y, 362)); }},
    {TGradientStyle::gsRadialR, 181, 362,
     [](int x, int y) { return Dist(180 - x, 180 - Fold(y, 362)); }},
    {TGradientStyle::gsRadialTL, 181, 181, [](int x, int y) { return Dist(x, y); }},
    {TGradientStyle::gsRadialTR, 181, 181, [](int x, int y) { return Dist(180 - x, y); }},
    {TGradientStyle::gsRadialBL, 181, 181, [](int x, int y) { return Dist(x, 180 - y); }},
    {TGradientStyle::gsRadialBR, 181, 181, [](int x, int y) { return Dist(180 - x, 180 - y); }},
    {TGradientStyle::gsLinearH, 256, 1, [](int x, int) { return x; }},
    {TGradientStyle::gsLinearV, 1, 256, [](int, int y) { return y; }},
    {TGradientStyle::gsReflectedH, 1, 512, [](int, int y) { return y <= 255 ? 255 - y : y - 256; }},
    {TGradientStyle::gsReflectedV, 512, 1, [](int x, int) { return x <= 255 ? 255 - x : x - 256; }},
    {TGradientStyle::gsDiagonalLF, 128, 129, [](int x, int y) { return x + y; }},
    {TGradientStyle::gsDiagonalLB, 128, 129, [](int x, int y) { return y - x + 127; }},
    {TGradientStyle::gsDiagonalRF, 256, 256, [](int x, int y) { return std::abs(x + y - 255); }},
    {TGradientStyle::gsDiagonalRB, 256, 256, [](int x, int y) { return std::abs(x - y); }},
    {TGradientStyle::gsArrowL, 129, 256,
     [](int x, int y) { return y <= 127 ? 255 - x - y : y - x; }},
    {TGradientStyle::gsArrowR, 129, 256,
     [](int x, int y) { return y <= 127 ? x - y + 127 : x + y - 128; }},
    {TGradientStyle::gsArrowU, 256, 129,
     [](int x, int y) { return x <= 127 ? 255 - x - y : x - y; }},
    {TGradientStyle::gsArrowD, 256, 129,
     [](int x, int y) { return x <= 127 ? y - x + 127 : x + y - 128; }},
    {TGradientStyle::gsDiamond, 256, 256,
     [](int x, int y) {
         const bool left = x <= 127, top = y <= 127;
         return top ? (left ? 255 - x - y : x - y) : (left ? y - x : x + y - 255);
     }},
    {TGradientStyle::gsButterfly, 256, 256,
     [](int x, int y) {
         const bool left = x <= 127, top = y <= 127;
         return top ? (left ? x - y + 128 : 383 - x - y) : (left ? x + y - 128 : y - x + 128);
     }},
    {TGradientStyle::gsRadialRect, 512, 512,
     [](int x, int y) {
         return std::min({x, 511 - x, y, 511 - y});
     }},
};

std::string Name(TGradientStyle style) {
    return "style " + std::to_string(int(style));
}

MemoryPattern Paint(TGradientStyle style, const TGradientColors& colors) {
    MemoryPattern pattern;
    StylePainters[static_cast<std::size_t>(style)](colors, pattern);
    return pattern;
}

TEST(StylePainters, HaveOnePainterPerStyleButCustom) {
    EXPECT_EQ(StylePainters[0], nullptr);
    ASSERT_EQ(std::size(AllStyles), StylePainters.size() - 1);
    for (std::size_t i = 0; i < std::size(AllStyles); ++i) {
        EXPECT_EQ(static_cast<std::size_t>(AllStyles[i].style), i + 1);
        EXPECT_NE(StylePainters[i + 1], nullptr) << i + 1;
    }
}

// Sizes, and every pixel a whole table entry at the index of its formula: nothing is left
// unwritten and no index leaves the table.
TEST(StylePainters, WriteEveryPixelFromItsFormula) {
    for (const Style& s : AllStyles) {
        const MemoryPattern pattern = Paint(s.style, IndexColorTable);
        ASSERT_EQ(pattern.Width(), s.width) << Name(s.style);
        ASSERT_EQ(pattern.Height(), s.height) << Name(s.style);
        int wrong = 0;
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const int expected = s.index(x, y);
                ASSERT_TRUE(expected >= 0 && expected <= 255)
                    << Name(s.style) << " " << x << "," << y;
                if (IndexOf(pattern.Row(y)[x]) != expected && ++wrong <= 3) {
                    ADD_FAILURE() << Name(s.style) << " pixel " << x << "," << y << " index "
                                  << IndexOf(pattern.Row(y)[x]) << ", expected " << expected;
                }
            }
        }
        EXPECT_EQ(wrong, 0) << Name(s.style);
    }
}

TEST(StylePainters, OverwriteAPatternOfTheSameSize) {
    MemoryPattern pattern;
    pattern.SetSize(362, 362);
    std::fill_n(pattern.Row(0), 362 * 362, 0xFFFFFFFFu);
    PaintRadialC(IndexColorTable, pattern);
    for (int y = 0; y < 362; ++y) {
        for (int x = 0; x < 362; ++x) {
            ASSERT_NE(IndexOf(pattern.Row(y)[x]), -1) << x << "," << y;
        }
    }
}

TEST(StylePainters, CharacteristicPixels) {
    using enum TGradientStyle;
    struct Point {
        TGradientStyle style;
        int x, y, index;
    };
    const Point points[] = {
        {gsRadialC, 180, 180, 0},      {gsRadialC, 181, 181, 0},    {gsRadialC, 181, 0, 180},
        {gsRadialC, 0, 180, 180},      {gsRadialC, 361, 361, 255},  {gsRadialT, 180, 0, 0},
        {gsRadialB, 181, 180, 0},      {gsRadialL, 0, 181, 0},      {gsRadialR, 180, 180, 0},
        {gsRadialTL, 180, 180, 255},   {gsRadialTR, 180, 0, 0},     {gsRadialBL, 0, 180, 0},
        {gsReflectedH, 0, 256, 0},     {gsReflectedH, 0, 511, 255}, {gsReflectedV, 255, 0, 0},
        {gsDiagonalLF, 127, 128, 255}, {gsDiagonalLB, 127, 0, 0},   {gsDiagonalRF, 255, 0, 0},
        {gsArrowL, 128, 128, 0},       {gsArrowR, 0, 127, 0},       {gsArrowU, 127, 128, 0},
        {gsArrowD, 128, 0, 0},         {gsDiamond, 127, 127, 1},    {gsDiamond, 128, 128, 1},
        {gsDiamond, 0, 255, 255},      {gsButterfly, 0, 128, 0},    {gsButterfly, 0, 255, 127},
        {gsButterfly, 255, 255, 128},  {gsButterfly, 128, 0, 255},  {gsRadialRect, 0, 300, 0},
        {gsRadialRect, 255, 256, 255},
    };
    for (const Point& p : points) {
        EXPECT_EQ(IndexOf(Paint(p.style, IndexColorTable).Row(p.y)[p.x]), p.index)
            << Name(p.style) << " pixel " << p.x << "," << p.y;
    }
}

int CountIndex(TGradientStyle style, int index) {
    const MemoryPattern pattern = Paint(style, IndexColorTable);
    int count = 0;
    for (int y = 0; y < pattern.Height(); ++y) {
        count += static_cast<int>(std::count(pattern.Row(y), pattern.Row(y) + pattern.Width(),
                                             std::bit_cast<std::uint32_t>(IndexColorTable[index])));
    }
    return count;
}

TEST(StylePainters, DiamondSkipsTheStartAndButterflyTouchesItOnce) {
    EXPECT_EQ(CountIndex(TGradientStyle::gsDiamond, 0), 0);
    EXPECT_EQ(CountIndex(TGradientStyle::gsButterfly, 0), 1);
}

TEST(StylePainters, EqualColoursGiveUniformPatterns) {
    const TGradientColors colors = BuildGradientColors(0x2A5C91, 0x2A5C91, 40, -70);
    const auto first = std::bit_cast<std::uint32_t>(colors[0]);
    EXPECT_TRUE(std::all_of(colors.begin(), colors.end(),
                            [&](const TGradientEntry& e) { return e == colors[0]; }));
    for (const Style& s : AllStyles) {
        const MemoryPattern pattern = Paint(s.style, colors);
        for (int y = 0; y < pattern.Height(); ++y) {
            ASSERT_TRUE(std::all_of(pattern.Row(y), pattern.Row(y) + pattern.Width(),
                                    [&](std::uint32_t pixel) { return pixel == first; }))
                << Name(s.style) << " row " << y;
        }
    }
}

} // namespace
} // namespace vigrel
