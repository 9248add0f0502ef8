// The drawing format: what it accepts, its encodings at both depths, and a clear error naming the
// line for every kind of mistake.
#include "tools/pictures/PixelArt.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace vigrel {
namespace {

const char* const flag = "// a small flag\n"
                         "size 3 2\n"
                         "\n"
                         "depth 8\n"
                         "colour . F0F0F0   // background\n"
                         "colour R c02020\n"
                         // A Cyrillic letter, written as UTF-8 bytes: the compiler's execution
                         // character set would turn the letter itself into Windows-1251.
                         "colour \xD0\xB6 2040A0\n"
                         "pixels\n"
                         ".R\xD0\xB6\n"
                         "\xD0\xB6.R\n";

TEST(PixelArt, ReadsHeaderLegendAndRowsInOrder) {
    const PixelArt art = ParsePixelArt(flag);
    EXPECT_EQ(art.width, 3);
    EXPECT_EQ(art.height, 2);
    EXPECT_EQ(art.depth, 8);
    EXPECT_EQ(art.legend,
              (std::vector<Rgb>{{0xF0, 0xF0, 0xF0}, {0xC0, 0x20, 0x20}, {0x20, 0x40, 0xA0}}));
    EXPECT_EQ(art.indices, (std::vector<std::uint32_t>{0, 1, 2, 2, 0, 1}));
    EXPECT_EQ(art.Image().At(2, 0), (Rgb{0x20, 0x40, 0xA0}));
}

TEST(PixelArt, AcceptsCrLfAndAMissingFinalLineEnd) {
    std::string text = flag;
    text.pop_back();
    EXPECT_EQ(ParsePixelArt(text).indices, ParsePixelArt(flag).indices);
    std::string crlf;
    for (const char c : std::string(flag)) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    EXPECT_EQ(ParsePixelArt(crlf).indices, ParsePixelArt(flag).indices);
}

TEST(PixelArt, EncodesAtItsOwnDepth) {
    const PixelArt art = ParsePixelArt(flag);
    const std::vector<std::uint8_t> paletted = EncodePixelArt(art);
    EXPECT_EQ(paletted[28], 8);
    EXPECT_EQ(DecodeBmp(paletted).pixels, art.Image().pixels);
    PixelArt trueColour = art;
    trueColour.depth = 24;
    const std::vector<std::uint8_t> rgb = EncodePixelArt(trueColour);
    EXPECT_EQ(rgb[28], 24);
    EXPECT_EQ(DecodeBmp(rgb).pixels, art.Image().pixels);
}

// A drawing of one row with `count` colours, each written as its own character.
std::string ManyColours(int depth, int count) {
    std::string text =
        "size " + std::to_string(count) + " 1\ndepth " + std::to_string(depth) + "\n";
    std::string row;
    for (int i = 0; i < count; ++i) {
        // Two-byte UTF-8 characters from U+0100 on.
        const int c = 0x100 + i;
        const std::string character{static_cast<char>(0xC0 | c >> 6),
                                    static_cast<char>(0x80 | (c & 0x3F))};
        text += "colour " + character + " 0000" + (i % 2 ? "FF" : "00") + "\n";
        row += character;
    }
    return text + "pixels\n" + row + "\n";
}

TEST(PixelArt, HoldsAtMost256ColoursAtDepth8) {
    EXPECT_EQ(ParsePixelArt(ManyColours(8, 256)).legend.size(), 256u);
    EXPECT_EQ(EncodePixelArt(ParsePixelArt(ManyColours(8, 256)))[28], 8);
    EXPECT_EQ(ParsePixelArt(ManyColours(24, 300)).legend.size(), 300u);
    try {
        ParsePixelArt(ManyColours(8, 257));
        ADD_FAILURE();
    } catch (const SourceError& error) {
        EXPECT_EQ(error.Line(), 259);
        EXPECT_STREQ(error.what(), "line 259: more than 256 colours at depth 8");
    }
}

TEST(PixelArt, RefusesEveryMistakeNamingItsLine) {
    const std::string legend = "size 2 2\ndepth 24\ncolour . FFFFFF\ncolour # 000000\npixels\n";
    const struct {
        std::string text;
        int line;
        const char* message;
    } cases[] = {
        {"", 1, "the text ends where \"size\" was expected"},
        {"// only a comment\n", 2, "the text ends where \"size\""},
        {"depth 8\n", 1, "expected \"size WIDTH HEIGHT\""},
        {"size 2\n", 1, "expected \"size WIDTH HEIGHT\""},
        {"size two 2\n", 1, "bad width \"two\": expected 1 to 4096"},
        {"size 0 2\n", 1, "bad width \"0\""},
        {"size 2 4097\n", 1, "bad height \"4097\""},
        {"size -2 2\n", 1, "bad width \"-2\""},
        {"size 2 2x\n", 1, "bad height \"2x\""},
        {"size 2 99999999999\n", 1, "bad height"},
        {"size 2 2\ndepth 16\n", 2, "depth 16: only 8 and 24 are drawn"},
        {"size 2 2\ndepth\n", 2, "expected \"depth 8\" or \"depth 24\""},
        {"size 2 2\ndepth 8\npixels\n..\n..\n", 3, "no colour before \"pixels\""},
        {"size 2 2\ndepth 8\ncolor . FFFFFF\n", 3, "expected \"colour CHARACTER RRGGBB\" or"},
        {"size 2 2\ndepth 8\ncolour . FFFFFF\ncolour . 000000\n", 4,
         "the character . is given twice"},
        {"size 2 2\ndepth 8\ncolour .. FFFFFF\n", 3, "\"..\" is not a single printable"},
        {"size 2 2\ndepth 8\ncolour \x7F FFFFFF\n", 3, "\"\x7F\" is not a single printable"},
        {"size 2 2\ndepth 8\ncolour \xC3 FFFFFF\n", 3, "\"\xC3\" is not a single printable"},
        {"size 2 2\ndepth 8\ncolour . FFFFF\n", 3, "bad colour \"FFFFF\": expected six hex"},
        {"size 2 2\ndepth 8\ncolour . FFFFFG\n", 3, "bad colour \"FFFFFG\""},
        {"size 2 2\ndepth 8\ncolour . FFFFFF white\n", 3,
         "expected \"colour CHARACTER RRGGBB\", optionally followed by a // comment"},
        {"size 2 2\ndepth 8\ncolour . FFFFFF\n", 4, "the text ends where \"colour\" was expected"},
        {legend + ".#\n", 7, "1 rows, 2 expected"},
        {legend, 6, "0 rows, 2 expected"},
        {legend + ".#\n.\n", 7, "the row has 1 pixels, 2 expected"},
        {legend + ".#\n.#.\n", 7, "the row is longer than 2 pixels"},
        {legend + ".#\n .\n", 7, "character   at pixel 1 is not in the legend"},
        {legend + ".#\n.x\n", 7, "character x at pixel 2 is not in the legend"},
        {legend + ".#\n.#\r\r\n", 7, "the row is longer than 2 pixels"},
        {legend + "\n.#\n", 6, "the row has 0 pixels"},
        {legend + ".#\n.\xE2\x82\n", 7, "not UTF-8 at byte 2 of the row"},
        {legend + ".#\n.\xC0\xAE\n", 7, "not UTF-8 at byte 2"},     // overlong
        {legend + ".#\n.\xED\xA0\x80\n", 7, "not UTF-8 at byte 2"}, // surrogate
        {legend + ".#\n.#\n\n.#\n", 9, "more than 2 rows"},
    };
    for (const auto& c : cases) {
        try {
            ParsePixelArt(c.text);
            ADD_FAILURE() << c.text;
        } catch (const SourceError& error) {
            EXPECT_EQ(error.Line(), c.line) << c.text << error.what();
            EXPECT_EQ(error.Message().rfind(c.message, 0), 0u) << error.what();
            EXPECT_EQ(error.what(), "line " + std::to_string(c.line) + ": " + error.Message());
        }
    }
}

// The dialog's drawings: their sizes and depths, and the glyphs' transparent colour in their
// bottom-left pixel.
TEST(PixelArt, TheDialogsDrawingsHaveTheirSizesAndDepths) {
    const struct {
        const char* file;
        int width;
        int height;
        int depth;
    } drawings[] = {
        {"Page2.pix", 29, 36, 8},
        {"KnVariable.pix", 26, 24, 24},
        {"KnSubroutine.pix", 26, 24, 24},
    };
    for (const auto& d : drawings) {
        std::ifstream in(std::string(VIGREL_SOURCE_DIR) + "/editor/pictures/" + d.file);
        ASSERT_TRUE(in) << d.file;
        const PixelArt art = ParsePixelArt(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
        EXPECT_EQ(art.width, d.width) << d.file;
        EXPECT_EQ(art.height, d.height) << d.file;
        EXPECT_EQ(art.depth, d.depth) << d.file;
        if (d.depth == 24) {
            EXPECT_EQ(art.Image().At(0, d.height - 1), (Rgb{0xF0, 0xF0, 0xF0})) << d.file;
        }
    }
}

} // namespace
} // namespace vigrel
