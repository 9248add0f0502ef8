// TImage and TSpeedButton built from form resources, painted into memory surfaces and checked by
// pixel probes: stretching, the glyph's transparent colour, the flat frame following the mouse,
// the pressed look, clicks, repaints only on changes, and pictures that cannot be decoded.
#include "tests/win32/Surface.h"
#include "tools/forms/ComponentWriter.h"
#include "tools/forms/FormWriter.h"
#include "tools/pictures/BmpEncoder.h"
#include "ui/BmpCodec.h"
#include "ui/FormLoader.h"
#include "ui/Image.h"
#include "ui/SpeedButton.h"
#include "ui/WinControl.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr Rgb Red{0xFF, 0, 0};
constexpr Rgb Green{0, 0xFF, 0};
constexpr Rgb Blue{0, 0, 0xFF};
constexpr Rgb White{0xFF, 0xFF, 0xFF};
constexpr Rgb Clear{0xF0, 0xF0, 0xF0};  // the glyph's transparent colour
constexpr Rgb Almost{0xF0, 0xF0, 0xF1}; // one step from it: drawn
constexpr TColor clClear = 0xF0F0F0;
constexpr TColor clAlmost = 0xF1F0F0;

TColor ToColor(Rgb rgb) {
    return TColor{rgb.blue} << 16 | TColor{rgb.green} << 8 | rgb.red;
}

// Red, green over blue, white.
Bytes Quadrants() {
    return EncodeBmp24({2, 2, {Red, Green, Blue, White}});
}

// 4 x 3, its bottom-left pixel the transparent colour.
RgbImage GlyphImage() {
    return {4, 3, {Clear, Red, Clear, Almost, Red, Green, Blue, Clear, Clear, Clear, Red, Clear}};
}

std::string Hex(const Bytes& bytes, int depth) {
    FormValue value;
    value.kind = FormValue::Kind::Binary;
    value.bytes = bytes;
    return WriteFormValue(value, depth);
}

ClassRegistry Classes() {
    return {&TWinControl::StaticClass(), &TImage::StaticClass(), &TSpeedButton::StaticClass()};
}

// A yellow form of 20 x 12 with one control built from `object` (a nested object's text).
class PictureForm : public ::testing::Test {
protected:
    void Load(const std::string& object) {
        ReadComponentResource(form,
                              "object Form1: TWinControl\n  Width = 20\n  Height = 12\n"
                              "  Color = clYellow\n" +
                                  object + "end\n",
                              Classes());
    }
    TColor Px(int x, int y) {
        surface = std::make_unique<Surface>(20, 12, clBlack);
        form.PaintTo(surface->DC());
        return surface->Pixel(x, y);
    }

    TWinControl form;
    std::unique_ptr<Surface> surface;
};

class ImageTest : public PictureForm {
protected:
    TImage& Image(bool stretch) {
        Load("  object Image1: TImage\n    Left = 2\n    Top = 3\n    Width = 6\n    Height = 4\n"
             "    Picture = " +
             Hex(Quadrants(), 1) + "\n" + (stretch ? "    Stretch = True\n" : "") + "  end\n");
        return dynamic_cast<TImage&>(form.Components(0));
    }
};

TEST_F(ImageTest, UnstretchedDrawsThePictureAtItsSizeAtTheTopLeft) {
    const TImage& image = Image(false);
    EXPECT_FALSE(image.Opaque());
    const struct {
        int x, y;
        TColor color;
    } probes[] = {
        {2, 3, ToColor(Red)}, {3, 3, ToColor(Green)}, {2, 4, ToColor(Blue)}, {3, 4, ToColor(White)},
        {4, 3, clYellow},     {2, 5, clYellow},       {7, 6, clYellow},      {1, 3, clYellow},
    };
    for (const auto& p : probes) {
        EXPECT_EQ(Px(p.x, p.y), p.color) << p.x << "," << p.y;
    }
}

TEST_F(ImageTest, StretchedCoversTheBoundsWithWholePixels) {
    const TImage& image = Image(true);
    EXPECT_TRUE(image.Opaque());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const Rgb expected = y < 2 ? (x < 3 ? Red : Green) : (x < 3 ? Blue : White);
            EXPECT_EQ(Px(2 + x, 3 + y), ToColor(expected)) << x << "," << y;
        }
    }
    EXPECT_EQ(Px(8, 3), clYellow);
    EXPECT_EQ(Px(2, 7), clYellow);
}

TEST_F(ImageTest, WritesBackTheResourceItWasBuiltFrom) {
    Image(true);
    form.SetName("Form1");
    EXPECT_EQ(WriteComponentResource(form),
              "object Form1: TWinControl\n  Width = 20\n  Height = 12\n  Color = clYellow\n"
              "  object Image1: TImage\n    Left = 2\n    Top = 3\n    Width = 6\n"
              "    Height = 4\n    Picture = " +
                  Hex(Quadrants(), 1) + "\n    Stretch = True\n  end\nend\n");
}

TEST_F(ImageTest, ReadsPalettePictures) {
    TImage& image = Image(false);
    image.SetPicture(EncodeBmp8(2, 1, {Blue, Red}, {1, 0}));
    EXPECT_EQ(Px(2, 3), ToColor(Red));
    EXPECT_EQ(Px(3, 3), ToColor(Blue));
    EXPECT_EQ(Px(2, 4), clYellow);
}

TEST_F(ImageTest, RefusesBytesThatAreNoPictureAndKeepsThePreviousOne) {
    TImage& image = Image(true);
    Bytes cut = EncodeBmp24({1, 1, {Green}});
    cut.resize(cut.size() - 2);
    EXPECT_THROW(image.SetPicture(cut), BmpError);
    EXPECT_THROW(image.SetPicture({'B', 'M'}), BmpError);
    EXPECT_EQ(image.Picture(), Quadrants());
    EXPECT_EQ(image.Bitmap().Width(), 2);
    EXPECT_EQ(Px(7, 6), ToColor(White));
    image.SetPicture({});
    EXPECT_EQ(image.Bitmap().Handle(), nullptr);
    EXPECT_FALSE(image.Opaque());
    EXPECT_EQ(Px(7, 6), clYellow);
}

TEST(ImageForm, ABadPictureFailsTheLoadNamingItsLine) {
    TWinControl target;
    try {
        ReadComponentResource(target,
                              "object F: TWinControl\n  object Image1: TImage\n"
                              "    Picture = {424D0000}\n  end\nend\n",
                              Classes());
        ADD_FAILURE();
    } catch (const SourceError& error) {
        EXPECT_STREQ(error.what(), "line 3: Picture: BMP: truncated: 4 bytes cannot hold the "
                                   "headers");
    }
    EXPECT_EQ(target.ComponentCount(), 0u);
}

class SpeedButtonTest : public PictureForm {
protected:
    // A button of 8 x 7 at (4, 2): the 4 x 3 glyph lies at (6, 4).
    TSpeedButton& Button(bool flat, const Bytes& glyph = EncodeBmp24(GlyphImage())) {
        Load("  object Kn1: TSpeedButton\n    Left = 4\n    Top = 2\n    Width = 8\n"
             "    Height = 7\n" +
             std::string(flat ? "    Flat = True\n" : "") + "    Glyph = " + Hex(glyph, 1) +
             "\n  end\n");
        return dynamic_cast<TSpeedButton&>(form.Components(0));
    }
    // The glyph drawn with its top-left corner at (x, y), `behind` showing through.
    void ExpectGlyph(int x, int y, TColor behind) {
        const RgbImage glyph = GlyphImage();
        for (int gy = 0; gy < glyph.height; ++gy) {
            for (int gx = 0; gx < glyph.width; ++gx) {
                const Rgb pixel = glyph.At(gx, gy);
                EXPECT_EQ(Px(x + gx, y + gy), pixel == Clear ? behind : ToColor(pixel))
                    << gx << "," << gy;
            }
        }
    }
    // The four corners of the button: top-left, top-right, bottom-left, bottom-right.
    std::array<TColor, 4> Corners() { return {Px(4, 2), Px(11, 2), Px(4, 8), Px(11, 8)}; }

    const TColor highlight = ColorToRGB(clBtnHighlight);
    const TColor shadow = ColorToRGB(clBtnShadow);
};

TEST_F(SpeedButtonTest, FlatShowsTheGlyphAloneWithTheParentBehindItsTransparentColour) {
    TSpeedButton& button = Button(true);
    EXPECT_FALSE(button.Opaque());
    EXPECT_EQ(button.Look(), TButtonLook::blNone);
    ExpectGlyph(6, 4, clYellow);
    EXPECT_EQ(Px(9, 4), clAlmost); // one step from the transparent colour: drawn
    EXPECT_EQ(Corners(), (std::array{clYellow, clYellow, clYellow, clYellow}));
}

TEST_F(SpeedButtonTest, FlatFrameAppearsOnHoverAndGoesOnLeave) {
    TSpeedButton& button = Button(true);
    button.Perform(CM_MOUSEENTER);
    EXPECT_EQ(button.Look(), TButtonLook::blRaised);
    EXPECT_EQ(Corners(), (std::array{highlight, shadow, shadow, shadow}));
    EXPECT_EQ(Px(7, 2), highlight);
    EXPECT_EQ(Px(4, 5), highlight);
    EXPECT_EQ(Px(11, 5), shadow);
    EXPECT_EQ(Px(7, 8), shadow);
    EXPECT_EQ(Px(5, 3), clYellow); // one pixel thin
    ExpectGlyph(6, 4, clYellow);
    button.Perform(CM_MOUSELEAVE);
    EXPECT_EQ(button.Look(), TButtonLook::blNone);
    EXPECT_EQ(Corners(), (std::array{clYellow, clYellow, clYellow, clYellow}));
}

TEST_F(SpeedButtonTest, PressedInsideLowersTheFrameAndShiftsTheGlyph) {
    TSpeedButton& button = Button(true);
    button.Perform(CM_MOUSEENTER);
    button.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(button.Look(), TButtonLook::blLowered);
    EXPECT_EQ(Corners(), (std::array{shadow, highlight, highlight, highlight}));
    ExpectGlyph(7, 5, clYellow);
    EXPECT_EQ(Px(6, 5), clYellow);
    // Dragged outside, the button looks as it does at rest; back inside, pressed again.
    button.Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 3));
    button.Perform(CM_MOUSELEAVE);
    EXPECT_EQ(button.Look(), TButtonLook::blNone);
    ExpectGlyph(6, 4, clYellow);
    button.Perform(CM_MOUSEENTER);
    button.Perform(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(7, 6));
    EXPECT_EQ(button.Look(), TButtonLook::blLowered);
    button.Perform(WM_LBUTTONUP, 0, MAKELPARAM(7, 6));
    EXPECT_EQ(button.Look(), TButtonLook::blRaised);
}

TEST_F(SpeedButtonTest, NotFlatAlwaysHasARaisedFrameOnItsOwnFace) {
    TSpeedButton& button = Button(false);
    EXPECT_TRUE(button.Opaque());
    EXPECT_EQ(button.Look(), TButtonLook::blRaised);
    const TColor face = ColorToRGB(clBtnFace);
    ExpectGlyph(6, 4, face);
    EXPECT_EQ(Px(5, 3), highlight); // inner edge, top-left
    EXPECT_EQ(Px(10, 7), shadow);   // inner edge, bottom-right
    EXPECT_EQ(Px(11, 8), ColorToRGB(cl3DDkShadow));
    button.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(button.Look(), TButtonLook::blLowered);
    EXPECT_EQ(Px(5, 3), ColorToRGB(cl3DDkShadow));
    // The glyph one pixel right and down; its last column and row lie under the two-pixel edge.
    EXPECT_EQ(Px(7, 5), face);
    EXPECT_EQ(Px(8, 5), ToColor(Red));
    EXPECT_EQ(Px(7, 6), ToColor(Red));
    EXPECT_EQ(Px(8, 6), ToColor(Green));
    EXPECT_EQ(Px(9, 6), ToColor(Blue));
}

TEST_F(SpeedButtonTest, AcceptsPaletteGlyphsAndRefusesBytesThatAreNone) {
    TSpeedButton& button = Button(true, EncodeBmp8(2, 2, {Clear, Blue}, {1, 0, 0, 1}));
    // A 2 x 2 glyph in an 8 x 7 button lies at (3, 2) of it.
    EXPECT_EQ(Px(7, 4), ToColor(Blue));
    EXPECT_EQ(Px(8, 4), clYellow);
    EXPECT_EQ(Px(8, 5), ToColor(Blue));
    const Bytes before = button.Glyph();
    Bytes bad = before;
    bad[28] = 4; // 4 bits per pixel
    EXPECT_THROW(button.SetGlyph(bad), BmpError);
    EXPECT_EQ(button.Glyph(), before);
    EXPECT_EQ(Px(7, 4), ToColor(Blue));
}

// Records the areas its controls ask to repaint; its window is message-only.
class TRecordingParent : public TWinControl {
public:
    void InvalidateArea(const RECT& rect, bool erase) override {
        ++areas;
        TWinControl::InvalidateArea(rect, erase);
    }
    int areas = 0;
};

TEST(SpeedButtonRepaint, RepaintsOnlyWhenItsLookChanges) {
    TRecordingParent parent;
    parent.SetBounds(0, 0, 50, 50);
    parent.SetParentWindow(HWND_MESSAGE);
    parent.Handle();
    auto& button = parent.CreateComponent<TSpeedButton>();
    button.SetParent(&parent);
    button.SetBounds(0, 0, 10, 10);
    button.SetFlat(true);
    const struct {
        const char* step;
        UINT message;
        int x, y;
        int repaints;
    } steps[] = {
        {"enter", CM_MOUSEENTER, 0, 0, 1},      {"enter again", CM_MOUSEENTER, 0, 0, 0},
        {"move", WM_MOUSEMOVE, 3, 3, 0},        {"press", WM_LBUTTONDOWN, 3, 3, 1},
        {"move inside", WM_MOUSEMOVE, 4, 4, 0}, {"move outside", WM_MOUSEMOVE, 30, 4, 1},
        {"leave", CM_MOUSELEAVE, 0, 0, 1},      {"release outside", WM_LBUTTONUP, 30, 4, 0},
        {"enter", CM_MOUSEENTER, 0, 0, 1},      {"press", WM_LBUTTONDOWN, 3, 3, 1},
        {"cancel", WM_CANCELMODE, 0, 0, 1},
    };
    for (const auto& s : steps) {
        parent.areas = 0;
        button.Perform(s.message, 0, MAKELPARAM(s.x, s.y));
        EXPECT_EQ(parent.areas, s.repaints) << s.step;
    }
    parent.areas = 0;
    button.SetFlat(true);
    button.SetGlyph({});
    EXPECT_EQ(parent.areas, 0);
    button.SetFlat(false);
    EXPECT_EQ(parent.areas, 1);
}

TEST(SpeedButtonClick, ClicksOnAReleaseInsideAfterAPressInsideOnly) {
    TWinControl parent;
    parent.SetBounds(0, 0, 60, 40);
    parent.SetParentWindow(HWND_MESSAGE);
    const HWND window = parent.Handle();
    auto& button = parent.CreateComponent<TSpeedButton>();
    button.SetParent(&parent);
    button.SetBounds(10, 10, 26, 24);
    button.SetFlat(true);
    int clicks = 0;
    button.OnClick = [&](TComponent& sender) {
        EXPECT_EQ(&sender, &button);
        ++clicks;
    };
    const auto send = [&](UINT message, int x, int y) {
        SendMessageA(window, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
    };
    const struct {
        const char* gesture;
        int upX, upY;
        bool cancel;
        int clicks;
    } gestures[] = {
        {"released inside", 30, 30, false, 1},
        {"released outside", 50, 30, false, 0},
        {"released just past the right edge", 36, 20, false, 0},
        {"cancelled, then released inside", 20, 20, true, 0},
    };
    for (const auto& g : gestures) {
        clicks = 0;
        send(WM_LBUTTONDOWN, 12, 12);
        if (g.cancel) {
            button.Perform(WM_CANCELMODE);
        }
        send(WM_LBUTTONUP, g.upX, g.upY);
        EXPECT_EQ(clicks, g.clicks) << g.gesture;
        EXPECT_NE(button.Look(), TButtonLook::blLowered) << g.gesture;
    }
    // A press on the parent released over the button is no click either.
    clicks = 0;
    send(WM_LBUTTONDOWN, 50, 5);
    send(WM_LBUTTONUP, 20, 20);
    EXPECT_EQ(clicks, 0);
}

} // namespace
} // namespace vigrel::test
