// Building a form resource from a source that names its pictures' drawings.
#include "tools/pictures/FormPictures.h"
#include "tools/forms/FormWriter.h"
#include "tools/pictures/PixelArt.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace vigrel {
namespace {

const std::map<std::string, std::string> drawings = {
    {"Cross.pix", "size 5 3\ndepth 24\ncolour . F0F0F0\ncolour x C01818\npixels\nx...x\n..x..\n"
                  "x...x\n"},
    {"pictures/Dot.pix", "size 1 1\ndepth 8\ncolour o 000080\npixels\no\n"},
    {"Broken.pix", "size 2 1\ndepth 24\ncolour . F0F0F0\npixels\n.x\n"},
};

BuiltForm Build(const std::string& source) {
    return BuildForm(source, [](const std::string& name) -> std::optional<std::string> {
        const auto drawing = drawings.find(name);
        if (drawing == drawings.end()) {
            return std::nullopt;
        }
        return drawing->second;
    });
}

std::vector<std::uint8_t> Encoded(const std::string& name) {
    return EncodePixelArt(ParsePixelArt(drawings.at(name)));
}

TEST(FormPictures, PutsEachDrawingsEncodingWhereTheSourceNamesIt) {
    const BuiltForm built = Build("object Form1: TForm\n"
                                  "  Caption = \"Test\"\n"
                                  "  object Page: TImage\n"
                                  "    Picture = drawing \"Cross.pix\"\n"
                                  "  end\n"
                                  "  object Panel1: TPanel\n"
                                  "    object Kn1: TSpeedButton\n"
                                  "      Glyph = drawing \"pictures/Dot.pix\"\n"
                                  "    end\n"
                                  "    object Kn2: TSpeedButton\n"
                                  "      Glyph  =  drawing\t\"Cross.pix\"  \r\n"
                                  "    end\n"
                                  "  end\n"
                                  "end\n");
    EXPECT_EQ(built.drawings,
              (std::vector<std::string>{"Cross.pix", "pictures/Dot.pix", "Cross.pix"}));
    const FormObject form = ParseForm(built.text);
    EXPECT_EQ(form.children.at(0).properties.at(0).value.bytes, Encoded("Cross.pix"));
    const FormObject& panel = form.children.at(1);
    EXPECT_EQ(panel.children.at(0).properties.at(0).value.bytes, Encoded("pictures/Dot.pix"));
    EXPECT_EQ(panel.children.at(1).properties.at(0).value.bytes, Encoded("Cross.pix"));
    // Canonical: blocks of 32 bytes indented for each depth, as the form writer lays them out.
    EXPECT_EQ(WriteForm(form), built.text);
    EXPECT_NE(built.text.find("\n    Picture = {\n      424D"), std::string::npos);
}

TEST(FormPictures, LeavesEverythingElseAsTheFormReaderReadsIt) {
    // A bare identifier "drawing", a string mentioning one, an empty picture and a comment.
    const BuiltForm built = Build("// drawing \"Cross.pix\"\n"
                                  "object Form1: TForm\n"
                                  "  Caption = \"drawing \\\"Cross.pix\\\"\"\n"
                                  "  Style = drawing\n"
                                  "  Glyph = {}\n"
                                  "end\n");
    EXPECT_TRUE(built.drawings.empty());
    EXPECT_EQ(built.text, "object Form1: TForm\n"
                          "  Caption = \"drawing \\\"Cross.pix\\\"\"\n"
                          "  Style = drawing\n"
                          "  Glyph = {}\n"
                          "end\n");
}

TEST(FormPictures, RefusesBadReferencesNamingTheSourceLine) {
    const std::string head = "object Form1: TForm\n  object Kn1: TSpeedButton\n";
    const struct {
        const char* line;
        const char* error;
    } cases[] = {
        {"    Glyph = drawing \"Absent.pix\"", "line 3: cannot read the drawing Absent.pix"},
        {"    Glyph = drawing \"Broken.pix\"",
         "line 3: Broken.pix: line 5: character x at pixel 2 is not in the legend"},
        {"    Glyph = drawing Cross.pix",
         "line 3: a drawing is named in double quotes, without escapes: drawing \"FILE.pix\""},
        {"    Glyph = drawing \"\"",
         "line 3: a drawing is named in double quotes, without escapes: drawing \"FILE.pix\""},
        {"    Glyph = drawing \"Cross.pix\" x",
         "line 3: a drawing is named in double quotes, without escapes: drawing \"FILE.pix\""},
        {"    Glyph = drawing \"Cro\\\"ss.pix\"",
         "line 3: a drawing is named in double quotes, without escapes: drawing \"FILE.pix\""},
        {"    Glyph = drawng \"Cross.pix\"", "line 3: unexpected text after the value of Glyph"},
        {"    Glyph = {424D}",
         "line 3: Glyph holds picture bytes: name its drawing instead (drawing \"FILE.pix\")"},
        {"    Glyph = {\n      424D\n    }",
         "line 3: Glyph holds picture bytes: name its drawing instead (drawing \"FILE.pix\")"},
    };
    for (const auto& test : cases) {
        const std::string source = head + test.line + "\n  end\nend\n";
        try {
            Build(source);
            ADD_FAILURE() << "accepted: " << test.line;
        } catch (const SourceError& error) {
            EXPECT_EQ(std::string(error.what()), test.error) << test.line;
        }
    }
}

TEST(FormPictures, KeepsTheSourcesLineNumbersAfterAReference) {
    try {
        Build("object Form1: TForm\n"
              "  Glyph = drawing \"Cross.pix\"\n"
              "  Caption = 'x'\n"
              "end\n");
        ADD_FAILURE() << "accepted a bad value";
    } catch (const SourceError& error) {
        EXPECT_EQ(error.Line(), 3);
    }
}

} // namespace
} // namespace vigrel
