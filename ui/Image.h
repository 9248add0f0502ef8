// TImage: a windowless control that shows a picture given as the bytes of a BMP file, either at
// its own size at the top-left corner or stretched over the control's bounds.
#pragma once

#include "ui/Bitmap.h"
#include "ui/Control.h"

#include <cstdint>
#include <vector>

namespace vigrel {

class TImage : public TGraphicControl {
public:
    VIGREL_PUBLISHED_CLASS();

    // The bytes of a BMP file (ui/BmpCodec.h reads which), or none for no picture.
    const std::vector<std::uint8_t>& Picture() const { return picture_; }
    // Decodes `bytes` and repaints. Bytes that do not decode throw BmpError, and a picture too
    // large for a bitmap std::invalid_argument; either way the previous picture stays.
    void SetPicture(const std::vector<std::uint8_t>& bytes);
    // The decoded picture; empty without one.
    const TBitmap& Bitmap() const { return bitmap_; }

    bool Stretch() const { return stretch_; }
    // True scales the picture to the bounds, whole pixels repeated or dropped; False draws it at
    // its size at the top-left corner, clipped by the bounds. A stretched picture covers the
    // control, which is then opaque.
    void SetStretch(bool stretch);

protected:
    void Paint(TCanvas& canvas) override;

private:
    void Changed();

    std::vector<std::uint8_t> picture_;
    TBitmap bitmap_;
    bool stretch_ = false;
};

} // namespace vigrel
