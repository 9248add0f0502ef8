// Plain RGB pictures (ui/BmpCodec.h) put into the 32-bit bitmaps that the canvas draws.
#pragma once

#include "ui/Bitmap.h"
#include "ui/BmpCodec.h"

namespace vigrel {

// Sizes `bitmap` to `image` and copies its pixels. A size the bitmap refuses throws and leaves it
// as it was.
void AssignImage(TBitmap& bitmap, const RgbImage& image);

} // namespace vigrel
