// A 32-bit top-down DIB section with direct row access: row 0 is the top row, each row a
// contiguous run of Width() pixels (blue, green, red, reserved bytes). It is the pattern bitmap of
// the gradient painters and can be selected into a memory device context for GDI drawing.
#pragma once

#include "ui/Graphics.h"
#include "ui/PatternBitmap.h"

#include <windows.h>

#include <cstdint>

namespace vigrel {

class TBitmap final : public PatternBitmap {
public:
    TBitmap() = default;
    TBitmap(int width, int height) { SetSize(width, height); }
    TBitmap(const TBitmap&) = delete;
    TBitmap& operator=(const TBitmap&) = delete;

    // Keeps the pixels when the size is unchanged; otherwise every pixel becomes 0. A negative
    // size, or one the system cannot allocate, throws and leaves the bitmap as it was.
    void SetSize(int width, int height) override;
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    // A row outside 0..Height()-1, or any row of an empty bitmap, throws std::out_of_range. GDI
    // drawing on the bitmap through a device context must be flushed (GdiFlush) before its rows are
    // read.
    std::uint32_t* Row(int y) override { return Pixels() + Offset(y); }
    const std::uint32_t* Row(int y) const { return Pixels() + Offset(y); }

    // Null while the bitmap is empty (either side 0).
    HBITMAP Handle() const { return bitmap_.Get(); }
    // The header that describes the pixels to StretchDIBits and friends.
    BITMAPINFO Info() const;
    const void* Bits() const { return bits_; }

private:
    std::uint32_t* Pixels() const { return static_cast<std::uint32_t*>(bits_); }
    std::size_t Offset(int y) const;

    OwnedBitmap bitmap_;
    void* bits_ = nullptr; // owned by bitmap_
    int width_ = 0;
    int height_ = 0;
};

} // namespace vigrel
