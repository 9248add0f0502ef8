// A 32-bit bitmap with direct row access, as pattern painters write it: row 0 is the top row, each
// row a contiguous run of Width() pixels of four bytes (blue, green, red, reserved). Portable: the
// painters fill one in memory or a DIB section alike.
#pragma once

#include <cstdint>

namespace vigrel {

class PatternBitmap {
public:
    virtual ~PatternBitmap() = default;

    virtual void SetSize(int width, int height) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual std::uint32_t* Row(int y) = 0;
};

} // namespace vigrel
