// The BMP encoder's exact layout, round trips of both depths, the other layouts the decoder
// reads, and every malformed file it must refuse.
#include "ui/BmpCodec.h"
#include "tools/pictures/BmpEncoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& bytes, std::size_t at) {
    return bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

void Set32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

RgbImage ThreeByTwo() {
    return {3, 2, {{1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 11, 12}, {13, 14, 15}, {16, 17, 18}}};
}

// A 2 x 2 picture of three colours at 8 bits per pixel.
Bytes EightBit() {
    return EncodeBmp8(2, 2, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, {0, 1, 2, 1});
}

TEST(BmpEncoder, Writes24BitFilesBottomUpWithRowsPaddedToFourBytes) {
    const Bytes file = EncodeBmp24(ThreeByTwo());
    ASSERT_EQ(file.size(), 54u + 2 * 12);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(U32(file, 2), file.size());
    EXPECT_EQ(U32(file, 10), 54u);
    EXPECT_EQ(U32(file, 14), 40u);
    EXPECT_EQ(U32(file, 18), 3u);
    EXPECT_EQ(U32(file, 22), 2u); // positive height: bottom-up
    EXPECT_EQ(file[26] | file[27] << 8, 1);
    EXPECT_EQ(file[28] | file[29] << 8, 24);
    EXPECT_EQ(U32(file, 30), 0u);
    EXPECT_EQ(U32(file, 34), 24u);
    // The bottom row first, blue green red, then three bytes of padding.
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 66),
              (Bytes{12, 11, 10, 15, 14, 13, 18, 17, 16, 0, 0, 0}));
    EXPECT_EQ(Bytes(file.begin() + 66, file.begin() + 69), (Bytes{3, 2, 1}));
}

TEST(BmpEncoder, Writes8BitFilesWithAFull256EntryPalette) {
    const Bytes file = EightBit();
    ASSERT_EQ(file.size(), 54u + 1024 + 2 * 4);
    EXPECT_EQ(U32(file, 10), 54u + 1024);
    EXPECT_EQ(file[28], 8);
    EXPECT_EQ(U32(file, 46), 0u); // every colour the depth allows
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 66),
              (Bytes{0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}));
    EXPECT_EQ(U32(file, 54 + 4 * 255), 0u); // unused entries are black
    EXPECT_EQ(Bytes(file.begin() + 1078, file.end()), (Bytes{2, 1, 0, 0, 0, 1, 0, 0}));
}

TEST(BmpCodec, RoundTripsBothDepths) {
    const RgbImage image = ThreeByTwo();
    const RgbImage decoded = DecodeBmp(EncodeBmp24(image));
    EXPECT_EQ(decoded.width, 3);
    EXPECT_EQ(decoded.height, 2);
    EXPECT_EQ(decoded.pixels, image.pixels);
    const RgbImage paletted = DecodeBmp(EightBit());
    EXPECT_EQ(paletted.pixels,
              (std::vector<Rgb>{{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 0}}));
}

TEST(BmpDecoder, ReadsTopDownAnd32BitFilesAndIgnoresTheReservedByte) {
    Bytes file = EncodeBmp24({1, 1, {{0, 0, 0}}});
    file.resize(54 + 8);
    file[28] = 32;
    Set32(file, 2, static_cast<std::uint32_t>(file.size()));
    Set32(file, 22, static_cast<std::uint32_t>(-2)); // top-down
    const Bytes pixels{30, 20, 10, 0xFF, 3, 2, 1, 0x7F};
    std::copy(pixels.begin(), pixels.end(), file.begin() + 54);
    const RgbImage image = DecodeBmp(file);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.At(0, 0), (Rgb{10, 20, 30}));
    EXPECT_EQ(image.At(0, 1), (Rgb{1, 2, 3}));
}

TEST(BmpDecoder, ReadsAShortPaletteAndALargerInfoHeader) {
    Bytes file = EightBit();
    Set32(file, 46, 3); // three colours used
    EXPECT_EQ(DecodeBmp(file).At(1, 0), (Rgb{0, 255, 0}));
    // A version 5 header of 124 bytes: the palette moves, the pixels stay where the offset says.
    Bytes v5 = EncodeBmp24(ThreeByTwo());
    v5.insert(v5.begin() + 54, 124 - 40, 0);
    Set32(v5, 14, 124);
    Set32(v5, 10, 54 + 84);
    Set32(v5, 2, static_cast<std::uint32_t>(v5.size()));
    EXPECT_EQ(DecodeBmp(v5).pixels, ThreeByTwo().pixels);
}

TEST(BmpDecoder, RefusesMalformedFilesWithAClearError) {
    const struct {
        const char* name;
        void (*spoil)(Bytes&);
        const char* message;
    } cases[] = {
        {"empty", [](Bytes& f) { f.clear(); }, "truncated: 0 bytes"},
        {"cut in the file header", [](Bytes& f) { f.resize(10); }, "truncated: 10 bytes"},
        {"no signature", [](Bytes& f) { f[1] = 'N'; }, "not a BMP file"},
        {"file size beyond the bytes", [](Bytes& f) { Set32(f, 2, 5000); }, "the file header says"},
        {"core header", [](Bytes& f) { Set32(f, 14, 12); }, "unsupported info header of 12"},
        {"header beyond the file", [](Bytes& f) { Set32(f, 14, 0xFFFFFFF0); },
         "truncated: the info header"},
        {"zero width", [](Bytes& f) { Set32(f, 18, 0); }, "unsupported size 0 x 2"},
        {"negative width", [](Bytes& f) { Set32(f, 18, 0xFFFFFFFE); }, "unsupported size -2"},
        {"zero height", [](Bytes& f) { Set32(f, 22, 0); }, "unsupported size"},
        {"smallest height", [](Bytes& f) { Set32(f, 22, 0x80000000); }, "unsupported size"},
        {"too many pixels", [](Bytes& f) { Set32(f, 18, 65536), Set32(f, 22, 65536); },
         "unsupported size 65536 x 65536"},
        {"two planes", [](Bytes& f) { f[26] = 2; }, "2 colour planes"},
        {"run-length encoded", [](Bytes& f) { Set32(f, 30, 1); }, "unsupported compression 1"},
        {"bit fields", [](Bytes& f) { Set32(f, 30, 3); }, "unsupported compression 3"},
        {"4 bits", [](Bytes& f) { f[28] = 4; }, "unsupported depth of 4"},
        {"16 bits", [](Bytes& f) { f[28] = 16; }, "unsupported depth of 16"},
        {"palette too large", [](Bytes& f) { Set32(f, 46, 257); }, "a palette of 257 colours"},
        {"palette beyond the file", [](Bytes& f) { f.resize(300), Set32(f, 2, 0); },
         "truncated: the palette"},
        {"pixels inside the palette", [](Bytes& f) { Set32(f, 10, 54); }, "overlap"},
        {"pixels beyond the file", [](Bytes& f) { Set32(f, 10, 0xFFFFFF00); }, "do not fit"},
        {"last row cut", [](Bytes& f) { f.pop_back(), Set32(f, 2, 0); }, "do not fit"},
        {"rows of a huge width", [](Bytes& f) { Set32(f, 18, 0x1FFFFFFF), Set32(f, 22, 1); },
         "do not fit"},
        {"index beyond the palette", [](Bytes& f) { Set32(f, 46, 2); },
         "pixel (0, 1) has palette index 2 beyond the palette of 2 colours"},
    };
    for (const auto& c : cases) {
        Bytes file = EightBit();
        c.spoil(file);
        try {
            DecodeBmp(file);
            ADD_FAILURE() << c.name;
        } catch (const BmpError& error) {
            EXPECT_NE(std::string(error.what()).find(c.message), std::string::npos)
                << c.name << ": " << error.what();
            EXPECT_EQ(std::string(error.what()).rfind("BMP: ", 0), 0u) << c.name;
        }
    }
}

TEST(BmpEncoder, RefusesPicturesItCannotWrite) {
    EXPECT_THROW(EncodeBmp24({0, 1, {}}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp24({2, 1, {{}}}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp24({65536, 65536, {}}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp8(1, 1, {}, {0}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp8(1, 1, std::vector<Rgb>(257), {0}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp8(1, 1, {{}, {}}, {2}), std::invalid_argument);
    EXPECT_THROW(EncodeBmp8(2, 1, {{}}, {0}), std::invalid_argument);
}

} // namespace
} // namespace vigrel
