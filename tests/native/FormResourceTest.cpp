#include "ui/FormResource.h"
#include "tools/forms/ComponentWriter.h"
#include "tools/forms/FormWriter.h"
#include "ui/FormLoader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel {
namespace {

// What the test components saw, in order.
std::vector<std::string> journal;
int live = 0;

class TTestFont : public TPersistent {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TTestFont>("TTestFont")
                .Text("Name", &TTestFont::name, &TTestFont::name, "MS Sans Serif")
                .Integer("Height", &TTestFont::height, &TTestFont::height, -11)
                .Color("Color", &TTestFont::color, &TTestFont::color, clWindowText)
                .Set("Style", &TTestFont::style, &TTestFont::style, 0,
                     {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"});
        return info;
    }

    std::string name = "MS Sans Serif";
    int height = -11;
    TColor color = clWindowText;
    std::uint32_t style = 0;
};

// A control: bounds and a parent; journals its parent, its Caption and its end of loading.
class TTestControl : public TComponent {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TTestControl>("TTestControl", TComponent::StaticClass())
                .Integer("Left", &TTestControl::left, &TTestControl::left, 0)
                .Integer("Top", &TTestControl::top, &TTestControl::top, 0)
                .Integer("Width", &TTestControl::width, &TTestControl::width, 0)
                .Integer("Height", &TTestControl::height, &TTestControl::height, 0)
                .Text("Caption", &TTestControl::caption, &TTestControl::SetCaption)
                .Record("Font", &TTestControl::font);
        return info;
    }

    TTestControl() { ++live; }
    ~TTestControl() override { --live; }

    TComponent* GetParentComponent() const override { return parent_; }
    void SetCaption(const std::string& text) {
        caption = text;
        journal.push_back(Name() + ".Caption" +
                          (ComponentState().Contains(csLoading) ? " loading" : ""));
    }

    int left = 0, top = 0, width = 0, height = 0;
    std::string caption;
    TTestFont font;
    bool failLoaded = false;

protected:
    void SetParentComponent(TComponent* parent) override {
        parent_ = parent;
        journal.push_back(Name() + " in " + parent->Name());
    }
    void Loaded() override {
        TComponent::Loaded();
        journal.push_back(Name() + ".Loaded");
        if (failLoaded) {
            throw std::runtime_error("cannot finish");
        }
    }

private:
    TComponent* parent_ = nullptr;
};

class TTestForm : public TTestControl {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TTestForm>("TTestForm", TTestControl::StaticClass())
                .Boolean("FailLoaded", &TTestForm::failLoaded, &TTestForm::failLoaded, false);
        return info;
    }
};

enum class TTestStyle : std::uint8_t { gsCustom, gsRadialC, gsLinearH, gsLinearV };

// Mimics the gradient's stored rules: the colours are written only while they do not follow the
// system colours and differ from their defaults; the size defaults to 100.
class TTestGradient : public TTestControl {
public:
    VIGREL_PUBLISHED_CLASS() {
        using G = TTestGradient;
        static const ClassInfo info =
            ClassBuilder<G>("TTestGradient", TTestControl::StaticClass())
                .Default("Width", 100)
                .Default("Height", 100)
                .Color("BorderColor", &G::borderColor, &G::borderColor, clActiveBorder)
                .Integer("BorderWidth", &G::borderWidth, &G::borderWidth, 0, 0, 2147483647)
                .Color("ColorBegin", &G::colorBegin, &G::SetColorBegin, clWhite)
                .StoredWhen([](const G& g) { return !g.useSysColors && g.colorBegin != clWhite; })
                .Color("ColorEnd", &G::colorEnd, &G::colorEnd, clBtnFace)
                .StoredWhen([](const G& g) { return !g.useSysColors && g.colorEnd != clBtnFace; })
                .Enumeration(
                    "Style", &G::style, &G::style, TTestStyle::gsRadialC,
                    VIGREL_ENUM_NAMES(TTestStyle, gsCustom, gsRadialC, gsLinearH, gsLinearV))
                .Boolean("UseSysColors", &G::useSysColors, &G::useSysColors, false);
        return info;
    }

    TTestGradient() { width = height = 100; }
    void SetColorBegin(TColor color) {
        if (color == clBlack) {
            throw std::runtime_error("no black");
        }
        colorBegin = color;
    }

    TColor borderColor = clActiveBorder;
    int borderWidth = 0;
    TColor colorBegin = clWhite;
    TColor colorEnd = clBtnFace;
    TTestStyle style = TTestStyle::gsRadialC;
    bool useSysColors = false;
};

class TTestCombo : public TTestControl {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TTestCombo>("TTestCombo", TTestControl::StaticClass())
                .Strings("Items", &TTestCombo::items, &TTestCombo::items)
                .Binary("Glyph", &TTestCombo::glyph, &TTestCombo::glyph);
        return info;
    }

    std::vector<std::string> items;
    std::vector<std::uint8_t> glyph;
};

const ClassRegistry registry{&TTestControl::StaticClass(), &TTestGradient::StaticClass(),
                             &TTestCombo::StaticClass()};

// Canonical: what the writer emits for what it reads.
const char* const dialog = R"form(object Form1: TTestForm
  Width = 504
  Height = 360
  Caption = "Action Properties"
  object Gradient1: TTestGradient
    Left = 10
    Top = 10
    Width = 66
    Height = 311
    BorderColor = clMedGray
    BorderWidth = 2
    ColorBegin = clSkyBlue
    Style = gsLinearV
  end
  object Panel1: TTestControl
    Left = 80
    Top = 10
    Width = 420
    Height = 311
    object grdnt6: TTestGradient
      Left = -3
      Top = 20
      Width = 420
      Height = 2
      BorderColor = clGray
      ColorBegin = $00123456
      ColorEnd = clWhite
      Style = gsLinearH
    end
    object lbl6: TTestControl
      Caption = " Команда создания монитора переменной - \r\nпозволяет контролировать изменение содержания переменной."
      Font.Name = "Comic Sans MS"
      Font.Height = -9
      Font.Color = clBlue
      Font.Style = [fsBold, fsUnderline]
    end
    object ComboBox1: TTestCombo
      Caption = "Ждать команду \"Monitor Start\" \\ \t\x01"
      Items = ("Равно (=)", "Не равно (<>)", "")
      Glyph = {
        000102030405060708090A0B0C0D0E0F101112131415161718191A1B1C1D1E1F
        20
      }
    end
  end
end
)form";

TEST(FormResource, CanonicalTextRoundTripsThroughData) {
    const FormObject form = ParseForm(dialog);
    EXPECT_EQ(WriteForm(form), dialog);
    ASSERT_EQ(form.children.size(), 2u);
    const FormObject& combo = form.children[1].children[2];
    EXPECT_EQ(combo.line, 37);
    EXPECT_EQ(combo.properties[0].value.text, "Ждать команду \"Monitor Start\" \\ \t\x01");
    EXPECT_EQ(combo.properties[1].value.items.size(), 3u);
    EXPECT_EQ(combo.properties[2].value.bytes.size(), 33u);
    EXPECT_EQ(form.children[1].children[0].properties[0].value.number, -3);
    EXPECT_EQ(form.children[1].children[0].properties[5].value.kind, FormValue::Kind::HexNumber);
}

TEST(FormResource, LooseSpellingsReadAsTheCanonicalText) {
    const char* const loose = "\xEF\xBB\xBF// a comment\r\n"
                              "\tobject   F :TTestForm  \r\n"
                              "\r\n"
                              "Width=504\r\n"
                              "Color=$a6caf0\r\n"
                              "  Caption = \"\\x41\"\r\n"
                              "  Font.Style = [ ]\r\n"
                              "  Glyph = {\r\n"
                              "    0a\r\n"
                              "    // inside binary data\r\n"
                              "    0B\r\n"
                              "  }\r\n"
                              "end";
    EXPECT_EQ(WriteForm(ParseForm(loose)), "object F: TTestForm\n"
                                           "  Width = 504\n"
                                           "  Color = $00A6CAF0\n"
                                           "  Caption = \"A\"\n"
                                           "  Font.Style = []\n"
                                           "  Glyph = {0A0B}\n"
                                           "end\n");
}

struct BadText {
    const char* text;
    int line;
    const char* message;
};

TEST(FormResource, MalformedTextNamesItsLine) {
    const BadText cases[] = {
        {"", 1, "holds no object"},
        {"end\n", 1, "expected \"object Name: Class\""},
        {"object : TX\nend", 1, "expected the object's name"},
        {"object A TX\nend", 1, "expected ':'"},
        {"object A: TX extra\nend", 1, "unexpected text after the class name"},
        {"\nobject A: TX\n", 2, "object A has no \"end\""},
        {"object A: TX\n  Left 1\nend", 2, "expected '=' after Left"},
        {"object A: TX\n  = 1\nend", 2, "expected \"Name = value\""},
        {"object A: TX\n  Font. = 1\nend", 2, "expected a name after '.'"},
        {"object A: TX\n  object= 1\nend", 2, "\"object\" cannot name a property"},
        {"object A: TX\n  Left =\nend", 2, "expected a value"},
        {"object A: TX\n  Left = @\nend", 2, "expected a value"},
        {"object A: TX\n  Left = 1 2\nend", 2, "unexpected text after the value of Left"},
        {"object A: TX\n  Left = -\nend", 2, "expected digits"},
        {"object A: TX\n  Left = 9223372036854775808\nend", 2, "number out of range"},
        {"object A: TX\n  Color = $\nend", 2, "expected hex digits"},
        {"object A: TX\n  Color = $123456789\nend", 2, "longer than 8 digits"},
        {"object A: TX\n  Caption = \"abc\nend", 2, "unterminated string"},
        {"object A: TX\n  Caption = \"a\\qb\"\nend", 2, "unknown escape"},
        {"object A: TX\n  Caption = \"\\x4\"\nend", 2, "\\x takes two hex digits"},
        {"object A: TX\n  Caption = \"a\tb\"\nend", 2, "control character"},
        {"object A: TX\n  Items = (\"a\" \"b\")\nend", 2, "expected ',' or ')'"},
        {"object A: TX\n  Items = (\"a\", b)\nend", 2, "expected a string"},
        {"object A: TX\n  Style = [fsBold,]\nend", 2, "expected an identifier in the set"},
        {"object A: TX\n  Glyph = {ABC}\nend", 2, "even number of hex digits"},
        {"object A: TX\n  Glyph = {AB\nend", 2, "expected hex digits or '}'"},
        {"object A: TX\n  Glyph = {\n    AB\nend", 4, "even number of hex digits"},
        {"object A: TX\n  Glyph = {\n    AB\n", 2, "binary data has no closing '}'"},
        {"object A: TX\n  object B: TY\n  end\n  Left = 1\nend", 4, "must come before"},
        {"object A: TX\nend\n\nLeft = 1", 4, "text after the end of the root object"},
    };
    for (const BadText& bad : cases) {
        try {
            ParseForm(bad.text);
            ADD_FAILURE() << "accepted: " << bad.text;
        } catch (const SourceError& error) {
            EXPECT_EQ(error.Line(), bad.line) << bad.text;
            EXPECT_NE(std::string(error.what()).find(bad.message), std::string::npos)
                << bad.text << "\n  gave: " << error.what();
        }
    }
}

TEST(FormResource, NestingIsBounded) {
    std::string text;
    for (int depth = 0; depth <= MaxFormDepth; ++depth) {
        text += "object O" + std::to_string(depth) + ": TX\n";
    }
    try {
        ParseForm(text);
        FAIL() << "accepted nesting deeper than " << MaxFormDepth;
    } catch (const SourceError& error) {
        EXPECT_EQ(error.Line(), MaxFormDepth + 1);
    }
}

TEST(FormResource, WriterRefusesNamesTheFormatCannotHold) {
    FormObject form{"Form1", "TTestForm", {}, {}, 0};
    form.children.push_back({"two words", "TX", {}, {}, 0});
    EXPECT_THROW(WriteForm(form), std::invalid_argument);
    form.children[0] = {"Child", "TX", {{"Left.", {}, 0}}, {}, 0};
    EXPECT_THROW(WriteForm(form), std::invalid_argument);
    form.children[0].properties[0].name = "object.Left";
    EXPECT_THROW(WriteForm(form), std::invalid_argument);
}

class FormLoaderTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }

    // Loads `text` into a fresh form and expects it to fail at `line` with `message`, leaving the
    // form as it was apart from what its own setters were given.
    void ExpectFailure(const std::string& text, int line, const std::string& message) {
        TTestForm form;
        form.SetName("Untouched");
        try {
            ReadComponentResource(form, text, registry);
            ADD_FAILURE() << "accepted: " << text;
        } catch (const SourceError& error) {
            EXPECT_EQ(error.Line(), line) << text;
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos)
                << text << "\n  gave: " << error.what();
        }
        EXPECT_EQ(form.ComponentCount(), 0u) << text;
        EXPECT_EQ(live, 1) << text;
        EXPECT_FALSE(form.ComponentState().Contains(csLoading)) << text;
    }
};

TEST_F(FormLoaderTest, ReadsAndWritesTheSameText) {
    TTestForm form;
    ReadComponentResource(form, dialog, registry);
    EXPECT_EQ(WriteComponentResource(form), dialog);
    auto& label = static_cast<TTestControl&>(*form.FindComponent("lbl6"));
    EXPECT_EQ(label.Owner(), &form);
    EXPECT_EQ(label.GetParentComponent(), form.FindComponent("Panel1"));
    EXPECT_EQ(label.font.style, 0b101u);
    EXPECT_EQ(static_cast<TTestGradient&>(*form.FindComponent("grdnt6")).colorBegin, 0x123456u);
}

TEST_F(FormLoaderTest, WritesOnlyStoredValues) {
    TTestForm form;
    form.SetName("Form1");
    auto& gradient = form.CreateComponent<TTestGradient>();
    gradient.SetName("G");
    const char* const defaults = "object Form1: TTestForm\n  object G: TTestGradient\n  end\nend\n";
    EXPECT_EQ(WriteComponentResource(form), defaults);
    gradient.colorBegin = clSkyBlue;
    gradient.colorEnd = clWhite;
    gradient.useSysColors = true;
    EXPECT_EQ(WriteComponentResource(form), "object Form1: TTestForm\n"
                                            "  object G: TTestGradient\n"
                                            "    UseSysColors = True\n"
                                            "  end\n"
                                            "end\n");
    gradient.useSysColors = false;
    gradient.colorBegin = clWhite;
    FormValue white;
    white.kind = FormValue::Kind::Identifier;
    white.text = "clWhite";
    EXPECT_EQ(WriteComponent(form).children[0].properties,
              (std::vector<FormProperty>{{"ColorEnd", white, 0}}));
}

TEST_F(FormLoaderTest, LoadedRunsOnceForEachAfterEveryAssignment) {
    TTestForm form;
    ReadComponentResource(form,
                          "object Form1: TTestForm\n"
                          "  Caption = \"form\"\n"
                          "  object A: TTestControl\n"
                          "    Caption = \"a\"\n"
                          "    object B: TTestControl\n"
                          "      Caption = \"b\"\n"
                          "    end\n"
                          "  end\n"
                          "  object C: TTestControl\n"
                          "  end\n"
                          "end\n",
                          registry);
    EXPECT_EQ(journal,
              (std::vector<std::string>{"Form1.Caption loading", "A in Form1", "A.Caption loading",
                                        "B in A", "B.Caption loading", "C in Form1", "Form1.Loaded",
                                        "A.Loaded", "B.Loaded", "C.Loaded"}));
    EXPECT_EQ(form.ComponentState(), TComponentState());
    EXPECT_EQ(form.FindComponent("B")->ComponentState(), TComponentState());
}

TEST_F(FormLoaderTest, ConvertsTextsBothWays) {
    const TextConversion upper{[](std::string_view text) {
                                   if (text.find('~') != std::string_view::npos) {
                                       throw std::invalid_argument("~ has no equivalent");
                                   }
                                   std::string converted(text);
                                   for (char& c : converted) {
                                       c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
                                   }
                                   return converted;
                               },
                               [](std::string_view text) {
                                   std::string converted(text);
                                   for (char& c : converted) {
                                       c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
                                   }
                                   return converted;
                               }};
    const char* const text = "object F: TTestForm\n"
                             "  Caption = \"abc\"\n"
                             "  object C: TTestCombo\n"
                             "    Items = (\"x\", \"y\")\n"
                             "  end\n"
                             "end\n";
    TTestForm form;
    ReadComponentResource(form, text, registry, upper);
    EXPECT_EQ(form.caption, "ABC");
    EXPECT_EQ(static_cast<TTestCombo&>(*form.FindComponent("C")).items,
              (std::vector<std::string>{"X", "Y"}));
    EXPECT_EQ(WriteComponentResource(form, upper), text);
    TTestForm other;
    try {
        ReadComponentResource(other, "object F: TTestForm\n\n  Caption = \"~\"\nend\n", registry,
                              upper);
        FAIL() << "accepted a text the conversion refuses";
    } catch (const SourceError& error) {
        EXPECT_STREQ(error.what(), "line 3: Caption: ~ has no equivalent");
    }
}

TEST_F(FormLoaderTest, RefusesWhatDoesNotFitTheClasses) {
    const auto one = [](const std::string& line) {
        return "object F: TTestForm\n  object G: TTestGradient\n    Left = 1\n    " + line +
               "\n  end\n  object C: TTestCombo\n  end\nend\n";
    };
    const BadText cases[] = {
        {"Bogus = 1", 4, "TTestGradient has no property Bogus"},
        {"Width = \"wide\"", 4, "Width: expected an integer"},
        {"BorderWidth = -1", 4, "BorderWidth: -1 is outside 0..2147483647"},
        {"Left = 2", 4, "duplicate property Left"},
        {"Style = gsNope", 4, "gsNope is not one of gsCustom, gsRadialC, gsLinearH, gsLinearV"},
        {"Style = 1", 4, "Style: expected one of"},
        {"UseSysColors = 1", 4, "UseSysColors: expected True or False"},
        {"ColorBegin = clNope", 4, "unknown colour clNope"},
        {"ColorBegin = -1", 4, "ColorBegin: expected a colour name"},
        {"Caption = Hello", 4, "Caption: expected a string"},
        {"Font.Style = [fsBold, fsBold]", 4, "fsBold appears twice"},
        {"Font.Style = [fsHuge]", 4, "fsHuge is not one of"},
        {"Font.Style = fsBold", 4, "expected a set"},
        {"Font.Size = 3", 4, "TTestFont has no property Size"},
        {"Width.Inner = 1", 4, "Width has no properties"},
        {"Font = 1", 4, "Font: takes no value"},
        {"object N: TNope\n    end", 4, "unknown class TNope"},
        {"object G: TTestControl\n    end", 4, "duplicate component name G"},
    };
    for (const BadText& bad : cases) {
        ExpectFailure(one(bad.text), bad.line, bad.message);
    }
    ExpectFailure("object F: TTestForm\n  object C: TTestCombo\n    Items = \"x\"\n  end\nend", 3,
                  "Items: expected a list of strings");
    ExpectFailure("object F: TTestForm\n  object C: TTestCombo\n    Glyph = 1\n  end\nend", 3,
                  "Glyph: expected binary data");
    ExpectFailure("object F: TTestControl\nend", 1, "the root is a TTestForm, not a TTestControl");
    EXPECT_TRUE(journal.empty()) << "a component was touched before the resource was checked";
}

TEST_F(FormLoaderTest, FailureInAComponentDestroysWhatTheLoadCreated) {
    const char* const head = "object F: TTestForm\n"
                             "  object A: TTestControl\n"
                             "    object B: TTestGradient\n"
                             "    end\n"
                             "  end\n"
                             "  object C: TTestGradient\n";
    ExpectFailure(std::string(head) + "    ColorBegin = clBlack\n  end\nend\n", 7,
                  "ColorBegin: no black");
    ExpectFailure("object F: TTestForm\n  FailLoaded = True\n" + std::string(head).substr(20) +
                      "  end\nend\n",
                  1, "F: cannot finish");
}

// Does away with a sibling when loading ends, as a component may.
class TTaker : public TTestControl {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TTaker>("TTaker", TTestControl::StaticClass())
                .Boolean("FailLoaded", &TTaker::failLoaded, &TTaker::failLoaded, false);
        return info;
    }

protected:
    void Loaded() override {
        if (TComponent* victim = Owner()->FindComponent("victim")) {
            Owner()->RemoveComponent(*victim);
        }
        TTestControl::Loaded();
    }
};

TEST(FormResource, AFailedLoadDestroysEverythingItMadeAndReportsTheFirstError) {
    const ClassRegistry classes{&TTestControl::StaticClass(), &TTaker::StaticClass()};
    const int before = live;
    TTestForm root;
    try {
        ReadComponentResource(root,
                              "object F: TTestForm\n"
                              "  object victim: TTestControl\n  end\n"
                              "  object taker: TTaker\n  end\n"
                              "  object last: TTaker\n    FailLoaded = True\n  end\n"
                              "end\n",
                              classes);
        FAIL() << "the failing Loaded was not reported";
    } catch (const SourceError& error) {
        EXPECT_EQ(error.Line(), 6);
        EXPECT_NE(std::string(error.what()).find("cannot finish"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(root.ComponentCount(), 0u);
    EXPECT_EQ(live, before + 1); // only the root
}

TEST(FormResource, ASetOfMoreThan32ElementsIsRefusedWhenDeclared) {
    std::vector<std::string> names;
    for (int i = 0; i < 33; ++i) {
        names.push_back("e" + std::to_string(i));
    }
    EXPECT_THROW(ClassBuilder<TTestControl>("TWide", TTestControl::StaticClass())
                     .Set(
                         "Wide", [](const TTestControl&) { return std::uint32_t{0}; },
                         [](TTestControl&, std::uint32_t) {}, 0, names),
                 std::logic_error);
    names.pop_back();
    EXPECT_NO_THROW(ClassBuilder<TTestControl>("TWide", TTestControl::StaticClass())
                        .Set(
                            "Wide", [](const TTestControl&) { return std::uint32_t{0}; },
                            [](TTestControl&, std::uint32_t) {}, 0, names));
}

} // namespace
} // namespace vigrel
