// Drawings from arbitrary text. The parser either refuses them with a SourceError or gives a
// drawing whose BMP file, at its own depth, decodes to the drawing's pixels.
#include "tools/pictures/PixelArt.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vigrel::PixelArt art;
    try {
        art = vigrel::ParsePixelArt({reinterpret_cast<const char*>(data), size});
    } catch (const vigrel::SourceError&) {
        return 0;
    }
    if (vigrel::DecodeBmp(vigrel::EncodePixelArt(art)).pixels != art.Image().pixels) {
        std::abort();
    }
    return 0;
}
