// BMP files from arbitrary bytes. The decoder either refuses them with a BmpError or gives a
// picture whose 24-bit encoding decodes to the same pixels.
#include "ui/BmpCodec.h"
#include "tools/pictures/BmpEncoder.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vigrel::RgbImage image;
    try {
        image = vigrel::DecodeBmp({data, size});
    } catch (const vigrel::BmpError&) {
        return 0;
    }
    const vigrel::RgbImage again = vigrel::DecodeBmp(vigrel::EncodeBmp24(image));
    if (again.width != image.width || again.height != image.height ||
        again.pixels != image.pixels) {
        std::abort();
    }
    return 0;
}
