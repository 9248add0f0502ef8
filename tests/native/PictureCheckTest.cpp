// Finding a form's binary property by object and property name, and telling a picture that
// matches its drawing from one that drifted.
#include "tools/pictures/PictureCheck.h"
#include "tools/pictures/PixelArt.h"

#include <gtest/gtest.h>

#include <string>

namespace vigrel {
namespace {

const char* const drawing = "size 2 1\ndepth 24\ncolour . F0F0F0\ncolour x C01818\npixels\n.x\n";

// A form whose button Kn1, inside Panel1, carries `glyph`.
std::string Form(const std::vector<std::uint8_t>& glyph) {
    FormValue value;
    value.kind = FormValue::Kind::Binary;
    value.bytes = glyph;
    return "object Form1: TForm\n"
           "  Caption = \"Test\"\n"
           "  object Panel1: TPanel\n"
           "    Font.Name = \"Tahoma\"\n"
           "    object Kn1: TSpeedButton\n"
           "      Glyph = " +
           WriteFormValue(value, 2) +
           "\n"
           "    end\n"
           "  end\n"
           "end\n";
}

std::vector<std::uint8_t> Encoded() {
    return EncodePixelArt(ParsePixelArt(drawing));
}

std::string Mismatch(const std::string& form, const std::string& path) {
    try {
        CheckFormPicture(form, path, drawing);
    } catch (const PictureMismatch& error) {
        return error.what();
    }
    return "no mismatch";
}

TEST(PictureCheck, FindsPropertiesOfTheRootAndOfNestedObjects) {
    const FormObject form = ParseForm(Form(Encoded()));
    EXPECT_EQ(FindFormProperty(form, "Form1.Caption").value.text, "Test");
    EXPECT_EQ(FindFormProperty(form, "Panel1.Font.Name").value.text, "Tahoma");
    EXPECT_EQ(FindFormProperty(form, "Kn1.Glyph").line, 6);
    EXPECT_THROW(FindFormProperty(form, "Kn1"), PictureMismatch);
    EXPECT_THROW(FindFormProperty(form, "Kn2.Glyph"), PictureMismatch);
    EXPECT_THROW(FindFormProperty(form, "Panel1.Glyph"), PictureMismatch);
}

TEST(PictureCheck, AcceptsTheExactEncodingWrappedInBlocks) {
    ASSERT_GT(Encoded().size(), 32u); // long enough to be written as a block
    EXPECT_NO_THROW(CheckFormPicture(Form(Encoded()), "Kn1.Glyph", drawing));
}

TEST(PictureCheck, ReportsWhereAPictureDriftedFromItsDrawing) {
    std::vector<std::uint8_t> changed = Encoded();
    changed[57] ^= 1;
    EXPECT_EQ(Mismatch(Form(changed), "Kn1.Glyph"),
              "Kn1.Glyph (line 6) differs from the drawing: 62 bytes in the form, 62 encoded from "
              "the drawing, first difference at byte 57");
    std::vector<std::uint8_t> shorter = Encoded();
    shorter.pop_back();
    EXPECT_EQ(Mismatch(Form(shorter), "Kn1.Glyph"),
              "Kn1.Glyph (line 6) differs from the drawing: 61 bytes in the form, 62 encoded from "
              "the drawing");
    EXPECT_EQ(Mismatch(Form(Encoded()), "Form1.Caption"),
              "Form1.Caption (line 2) is not binary data");
    EXPECT_EQ(Mismatch(Form(Encoded()), "Kn1.Picture"), "Kn1 (line 5) has no property Picture");
}

TEST(PictureCheck, PassesParseErrorsOfEitherTextOn) {
    EXPECT_THROW(CheckFormPicture("object F: TForm\n", "F.Glyph", drawing), FormError);
    EXPECT_THROW(CheckFormPicture(Form(Encoded()), "Kn1.Glyph", "size 2 1\n"), PixelArtError);
}

} // namespace
} // namespace vigrel
