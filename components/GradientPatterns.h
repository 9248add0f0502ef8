// The computation behind the gradient fill control: a 256-entry colour table between two colours,
// and 24 painters that draw a small pattern of fixed size from it, one table entry per pixel. The
// control scales the finished pattern onto the screen; nothing here knows about its size or state.
#pragma once

#include "ui/PatternBitmap.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vigrel {

// One table entry, laid out as one pixel of a 32-bit bitmap, so painters copy entries whole. The
// reserved byte carries no meaning.
struct TGradientEntry {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
    std::uint8_t reserved;

    friend bool operator==(const TGradientEntry&, const TGradientEntry&) = default;
};
static_assert(sizeof(TGradientEntry) == sizeof(std::uint32_t));

// For an unrotated ramp entry 0 is the start colour and entry 255 the end colour.
using TGradientColors = std::array<TGradientEntry, 256>;

enum class TGradientStyle : std::uint8_t {
    gsCustom,
    gsRadialC,
    gsRadialT,
    gsRadialB,
    gsRadialL,
    gsRadialR,
    gsRadialTL,
    gsRadialTR,
    gsRadialBL,
    gsRadialBR,
    gsLinearH,
    gsLinearV,
    gsReflectedH,
    gsReflectedV,
    gsDiagonalLF,
    gsDiagonalLB,
    gsDiagonalRF,
    gsDiagonalRB,
    gsArrowL,
    gsArrowR,
    gsArrowU,
    gsArrowD,
    gsDiamond,
    gsButterfly,
    gsRadialRect,
};

// a * b / c with a 64-bit product, rounded to the nearest integer with halves away from zero, as
// the Windows function of that name: -1 when c is 0 or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

// The colour table from `startRgb` to `endRgb` (0x00BBGGRR: red in byte 0, blue in byte 2; the
// top byte is ignored). `shift` moves the start colour towards the end colour (the end colour
// towards the start colour when negative), in percent; `rotation` folds the ramp so that the end
// colour (the start colour when negative) sits at an inner entry. Both must be in -100..100;
// anything else, and an unresolved system colour reference (top byte 0xFF), throws
// std::invalid_argument.
TGradientColors BuildGradientColors(std::uint32_t startRgb, std::uint32_t endRgb, int shift,
                                    int rotation);

// A pattern bitmap in ordinary memory.
class MemoryPattern final : public PatternBitmap {
public:
    // Keeps the pixels when the size is unchanged; otherwise every pixel becomes 0. A negative
    // size throws std::invalid_argument and leaves the pattern as it was.
    void SetSize(int width, int height) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // A row outside 0..Height()-1 throws std::out_of_range.
    std::uint32_t* Row(int y) override { return pixels_.data() + Offset(y); }
    const std::uint32_t* Row(int y) const { return pixels_.data() + Offset(y); }

private:
    std::size_t Offset(int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

// A painter sizes the pattern for its style and writes every pixel; it changes nothing else.
using PatternPainter = void (*)(const TGradientColors& colors, PatternBitmap& pattern);

void PaintRadialC(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialT(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialB(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialL(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialR(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialTL(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialTR(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialBL(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialBR(const TGradientColors& colors, PatternBitmap& pattern);
void PaintLinearH(const TGradientColors& colors, PatternBitmap& pattern);
void PaintLinearV(const TGradientColors& colors, PatternBitmap& pattern);
void PaintReflectedH(const TGradientColors& colors, PatternBitmap& pattern);
void PaintReflectedV(const TGradientColors& colors, PatternBitmap& pattern);
void PaintDiagonalLF(const TGradientColors& colors, PatternBitmap& pattern);
void PaintDiagonalLB(const TGradientColors& colors, PatternBitmap& pattern);
void PaintDiagonalRF(const TGradientColors& colors, PatternBitmap& pattern);
void PaintDiagonalRB(const TGradientColors& colors, PatternBitmap& pattern);
void PaintArrowL(const TGradientColors& colors, PatternBitmap& pattern);
void PaintArrowR(const TGradientColors& colors, PatternBitmap& pattern);
void PaintArrowU(const TGradientColors& colors, PatternBitmap& pattern);
void PaintArrowD(const TGradientColors& colors, PatternBitmap& pattern);
void PaintDiamond(const TGradientColors& colors, PatternBitmap& pattern);
void PaintButterfly(const TGradientColors& colors, PatternBitmap& pattern);
void PaintRadialRect(const TGradientColors& colors, PatternBitmap& pattern);

// The painter of each style, indexed by the style value; gsCustom has none (its pattern comes
// from the control's handler).
inline constexpr std::array<PatternPainter, 25> StylePainters = {
    nullptr,         PaintRadialC,    PaintRadialT,    PaintRadialB,    PaintRadialL,
    PaintRadialR,    PaintRadialTL,   PaintRadialTR,   PaintRadialBL,   PaintRadialBR,
    PaintLinearH,    PaintLinearV,    PaintReflectedH, PaintReflectedV, PaintDiagonalLF,
    PaintDiagonalLB, PaintDiagonalRF, PaintDiagonalRB, PaintArrowL,     PaintArrowR,
    PaintArrowU,     PaintArrowD,     PaintDiamond,    PaintButterfly,  PaintRadialRect,
};
static_assert(StylePainters.size() == static_cast<std::size_t>(TGradientStyle::gsRadialRect) + 1);

} // namespace vigrel
