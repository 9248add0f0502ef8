// What the pictures of the docs share: a sheet of controls painted into a memory bitmap with
// captions, and the 24-bit BMP file the picture is written as.
#pragma once

#include "tools/pictures/BmpEncoder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vigrel {

class TWinControl;

struct Caption {
    int x;
    int y;
    std::string text;
};

// The picture of 32-bit pixels (0x00RRGGBB) whose row y `row` gives.
RgbImage FromPixelRows(int width, int height, const std::function<const std::uint32_t*(int)>& row);

// Paints `sheet` at its size, then each caption in black in the default GUI font.
RgbImage PaintSheet(TWinControl& sheet, const std::vector<Caption>& captions);

// Writes `image` as a 24-bit BMP file; false, with the file's name on standard error, when it
// cannot be written.
bool WriteBmpFile(const char* path, const RgbImage& image);

} // namespace vigrel
