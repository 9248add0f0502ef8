// The project's own drawings as text (docs/PICTURES.md): a size, a bit depth, a legend that maps
// one character to a colour, then one text row per pixel row. Parsing is strict; a parsed
// drawing encodes as a BMP file of its depth (ui/BmpCodec.h).
#pragma once

#include "ui/BmpCodec.h"
#include "ui/Errors.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vigrel {

// Sides of a drawing are 1 to this many pixels.
inline constexpr int MaxPixelArtSide = 4096;

struct PixelArt {
    int width = 0;
    int height = 0;
    int depth = 24;          // 8: a 256-colour palette; 24: true colour
    std::vector<Rgb> legend; // in the order written: the palette of an 8-bit drawing
    // One legend index per pixel, the top row first.
    std::vector<std::uint32_t> indices;

    // Every pixel's colour.
    RgbImage Image() const;
};

// Parses a whole drawing; throws SourceError naming the line of the first problem: a missing
// or malformed header line, a bad number, a depth other than 8 or 24, a legend character given
// twice or not a single printable character, more than 256 colours at depth 8, text that is not
// UTF-8, a row of the wrong length or with a character the legend lacks, too few or too many
// rows.
PixelArt ParsePixelArt(std::string_view text);

// The BMP file of `art` at its depth: 8 bits with the legend as palette, or 24 bits.
std::vector<std::uint8_t> EncodePixelArt(const PixelArt& art);

} // namespace vigrel
