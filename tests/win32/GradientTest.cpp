// TGradient on Windows: painted into 32-bit memory surfaces and checked pixel by pixel, its
// setters, rebuild rules, locks, system colours, custom style, failures and form resources.
#include "components/Gradient.h"
#include "tests/win32/Surface.h"
#include "tools/forms/ComponentWriter.h"
#include "ui/FormLoader.h"
#include "ui/WinControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <string>

namespace vigrel::test {
namespace {

using Style = TGradientStyle;
using Shape = TShapeType;

// Counts calls of the two virtual operations and the rebuilds that finished.
class TCountingGradient : public TGradient {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TCountingGradient>("TCountingGradient", TGradient::StaticClass());
        return info;
    }

    void RebuildPattern() override {
        ++rebuildCalls;
        if (beforeRebuild) {
            beforeRebuild(*this);
        }
        TGradient::RebuildPattern();
        if (PatternReady()) {
            ++builds;
        }
    }
    void ApplySystemColors() override {
        ++systemColorCalls;
        TGradient::ApplySystemColors();
    }
    void Reset() { rebuildCalls = builds = systemColorCalls = 0; }

    int rebuildCalls = 0;
    int builds = 0;
    int systemColorCalls = 0;
    std::function<void(TCountingGradient&)> beforeRebuild;
};

// Records the areas its controls ask to repaint; its window is message-only.
class TRecordingParent : public TWinControl {
public:
    void InvalidateArea(const RECT& rect, bool erase) override {
        areas.push_back({rect.left, rect.top, rect.right, rect.bottom, erase ? 1 : 0});
        TWinControl::InvalidateArea(rect, erase);
    }
    std::vector<std::array<long, 5>> areas;
};

// The index of the first table entry with the colour of `rgb`, or -1.
int IndexOf(const TGradientColors& colors, TColor rgb) {
    for (int i = 0; i < 256; ++i) {
        const TGradientEntry& e = colors[static_cast<std::size_t>(i)];
        if ((TColor{e.blue} << 16 | TColor{e.green} << 8 | e.red) == rgb) {
            return i;
        }
    }
    return -1;
}

TColor EntryColor(const TGradientColors& colors, int index) {
    const TGradientEntry& e = colors[static_cast<std::size_t>(std::clamp(index, 0, 255))];
    return TColor{e.blue} << 16 | TColor{e.green} << 8 | e.red;
}

// Whether `rgb` is the colour of an entry within `tolerance` of `index`.
bool NearEntry(const TGradientColors& colors, TColor rgb, int index, int tolerance) {
    for (int i = index - tolerance; i <= index + tolerance; ++i) {
        if (i >= 0 && i < 256 && EntryColor(colors, i) == rgb) {
            return true;
        }
    }
    return false;
}

class GradientPaintTest : public ::testing::Test {
protected:
    GradientPaintTest() {
        root.SetColor(clFuchsia);
        gradient.SetParent(&root);
    }
    // Paints the parent with the gradient at (0, 0) over a surface of the given size.
    Surface& Paint(int width, int height) {
        root.SetBounds(0, 0, width, height);
        gradient.SetBounds(0, 0, width, height);
        surface = std::make_unique<Surface>(width, height, clBlack);
        root.PaintTo(surface->DC());
        return *surface;
    }
    TColor Px(int x, int y) { return surface->Pixel(x, y); }
    TGradientColors Ramp(TColor begin, TColor end) {
        return BuildGradientColors(ColorToRGB(begin), ColorToRGB(end), 0, 0);
    }

    TWinControl root;
    TGradient& gradient = root.CreateComponent<TGradient>();
    std::unique_ptr<Surface> surface;
};

TEST_F(GradientPaintTest, DefaultIsARadialFillBuiltAtConstruction) {
    EXPECT_TRUE(gradient.PatternReady());
    EXPECT_EQ(gradient.Pattern().Width(), 362);
    EXPECT_EQ(gradient.Width(), 100);
    EXPECT_TRUE(gradient.Opaque());
    Paint(100, 100);
    const TGradientColors colors = Ramp(clWhite, clBtnFace);
    // The centre is entry 0, the corners close to 255 (the scaling samples whole pixels).
    EXPECT_TRUE(NearEntry(colors, Px(50, 50), 0, 2));
    EXPECT_TRUE(NearEntry(colors, Px(0, 0), 255, 4));
    EXPECT_TRUE(NearEntry(colors, Px(99, 99), 255, 4));
}

// Width 66, height 311, a 2-pixel border: the pattern goes onto (1, 1, 66, 311) and the pen
// centred on that outline covers columns 0, 1, 64, 65 and rows 0, 1, 309, 310.
TEST_F(GradientPaintTest, TwoPixelBorderOnTheSideBar) {
    gradient.SetStyle(Style::gsLinearV);
    gradient.SetColorBegin(clSkyBlue);
    gradient.SetBorderWidth(2);
    gradient.SetBorderColor(clMedGray);
    Paint(66, 311);
    const TGradientColors colors = Ramp(clSkyBlue, clBtnFace);
    for (int y = 0; y < 311; ++y) {
        for (int x : {0, 1, 64, 65}) {
            ASSERT_EQ(Px(x, y), clMedGray) << x << "," << y;
        }
    }
    for (int x = 0; x < 66; ++x) {
        for (int y : {0, 1, 309, 310}) {
            ASSERT_EQ(Px(x, y), clMedGray) << x << "," << y;
        }
    }
    int previous = 0;
    for (int y = 2; y <= 308; ++y) {
        const int index = IndexOf(colors, Px(2, y));
        ASSERT_GE(index, previous) << "row " << y;
        // Row y shows pattern row (y - 1) * 256 / 310: whole entries, never blended.
        ASSERT_TRUE(NearEntry(colors, Px(2, y), (y - 1) * 256 / 310, 1)) << "row " << y;
        for (int x = 3; x <= 63; ++x) {
            ASSERT_EQ(Px(x, y), Px(2, y)) << x << "," << y;
        }
        previous = index;
    }
}

TEST_F(GradientPaintTest, CircleOnAWideControlShowsTheParentAround) {
    gradient.SetShape(Shape::stCircle);
    EXPECT_FALSE(gradient.Opaque());
    Paint(100, 60);
    const TGradientColors colors = Ramp(clWhite, clBtnFace);
    // The figure is (20, 0, 80, 60).
    for (const POINT p : {POINT{21, 30}, POINT{78, 30}, POINT{50, 1}, POINT{50, 57}}) {
        EXPECT_NE(IndexOf(colors, Px(p.x, p.y)), -1) << p.x << "," << p.y;
    }
    for (const POINT p : {POINT{19, 30}, POINT{80, 30}, POINT{0, 0}, POINT{20, 0}, POINT{79, 0},
                          POINT{20, 59}, POINT{99, 59}, POINT{5, 30}}) {
        EXPECT_EQ(Px(p.x, p.y), clFuchsia) << p.x << "," << p.y;
    }
    EXPECT_LE(IndexOf(colors, Px(50, 30)), 3);
}

// A pen wider than the control covers all of it, at once and without painting beyond it.
TEST_F(GradientPaintTest, BorderWiderThanTheControlFillsExactlyItsBounds) {
    for (const Shape shape :
         {Shape::stRectangle, Shape::stRoundRect, Shape::stEllipse, Shape::stCircle}) {
        SCOPED_TRACE(static_cast<int>(shape));
        gradient.SetShape(shape);
        gradient.SetBorderColor(clRed);
        gradient.SetBorderWidth(200000000);
        root.SetBounds(0, 0, 300, 200);
        gradient.SetBounds(10, 10, 100, 60);
        surface = std::make_unique<Surface>(300, 200, clBlack);
        root.PaintTo(surface->DC());
        for (const POINT p : {POINT{10, 10}, POINT{60, 40}, POINT{109, 69}}) {
            EXPECT_EQ(Px(p.x, p.y), clRed) << p.x << "," << p.y;
        }
        for (const POINT p : {POINT{9, 10}, POINT{110, 40}, POINT{60, 70}, POINT{250, 150}}) {
            EXPECT_EQ(Px(p.x, p.y), clFuchsia) << p.x << "," << p.y;
        }
    }
}

// One control that cannot paint leaves its own area unpainted, not the rest of the parent.
TEST_F(GradientPaintTest, AControlThatCannotPaintLeavesTheOthersPainted) {
    gradient.SetBorderWidth(2);
    gradient.SetBorderColor(0xFF0000C8); // names no system colour
    TGradient& next = root.CreateComponent<TGradient>();
    next.SetParent(&root);
    next.SetStyle(Style::gsLinearH);
    next.SetColorBegin(clRed);
    next.SetColorEnd(clRed);
    root.SetBounds(0, 0, 200, 100);
    gradient.SetBounds(0, 0, 100, 100);
    next.SetBounds(100, 0, 100, 100);
    surface = std::make_unique<Surface>(200, 100, clBlack);
    root.PaintTo(surface->DC());
    EXPECT_EQ(Px(150, 50), clRed);
}

TEST_F(GradientPaintTest, BorderWidthOneUsesTheWholeBounds) {
    gradient.SetStyle(Style::gsLinearH);
    gradient.SetColorBegin(clBlack);
    gradient.SetColorEnd(clWhite);
    gradient.SetBorderWidth(1);
    gradient.SetBorderColor(clRed);
    Paint(100, 100);
    for (const POINT p :
         {POINT{0, 50}, POINT{99, 50}, POINT{50, 0}, POINT{50, 99}, POINT{0, 0}, POINT{99, 99}}) {
        EXPECT_EQ(Px(p.x, p.y), clRed) << p.x << "," << p.y;
    }
    // The pattern spans (0, 0, 100, 100): column x shows entry x * 256 / 100.
    const TGradientColors colors = Ramp(clBlack, clWhite);
    EXPECT_TRUE(NearEntry(colors, Px(1, 50), 2, 2));
    EXPECT_TRUE(NearEntry(colors, Px(98, 50), 250, 2));
}

TEST_F(GradientPaintTest, RoundRectCornerIsAQuarterOfTheShortSide) {
    gradient.SetShape(Shape::stRoundRect);
    gradient.SetStyle(Style::gsLinearH);
    Paint(200, 40);
    // A 10 by 10 corner ellipse: the corner pixels show the parent, a few pixels in do not.
    for (const POINT p : {POINT{0, 0}, POINT{1, 1}, POINT{199, 0}, POINT{0, 39}, POINT{199, 39}}) {
        EXPECT_EQ(Px(p.x, p.y), clFuchsia) << p.x << "," << p.y;
    }
    for (const POINT p :
         {POINT{3, 3}, POINT{10, 0}, POINT{0, 10}, POINT{189, 38}, POINT{196, 36}, POINT{100, 0}}) {
        EXPECT_NE(Px(p.x, p.y), clFuchsia) << p.x << "," << p.y;
    }
}

TEST_F(GradientPaintTest, SquareShapesAreCentred) {
    gradient.SetShape(Shape::stSquare);
    gradient.SetBorderWidth(3);
    gradient.SetBorderColor(clBlue);
    Paint(100, 50);
    // half 1, W 98, H 48, S 48: the square is (26, 1, 74, 49).
    EXPECT_EQ(Px(26, 25), clBlue);
    EXPECT_EQ(Px(73, 25), clBlue);
    EXPECT_EQ(Px(50, 1), clBlue);
    EXPECT_EQ(Px(20, 25), clFuchsia);
    EXPECT_EQ(Px(80, 25), clFuchsia);
    EXPECT_NE(Px(50, 25), clBlue);
}

struct DialogBand {
    const char* name;
    int width;
    int height;
    Style style;
    TColor begin;
    TColor end;
    TBorderWidth border;
    TColor borderColor;
};

// The bands of the action properties dialog.
const DialogBand dialogBands[] = {
    {"Gradient1", 66, 311, Style::gsLinearV, clSkyBlue, clBtnFace, 2, clMedGray},
    {"grdnt4", 420, 20, Style::gsLinearH, clSkyBlue, clWhite, 0, clGray},
    {"grdnt5", 420, 2, Style::gsLinearH, clMedGray, clWhite, 0, clGray},
    {"grdnt6", 420, 2, Style::gsLinearH, clMedGray, clWhite, 0, clGray},
    {"grdnt18", 200, 2, Style::gsLinearH, clMedGray, clWhite, 0, clGray},
    {"Gradient3", 2, 65, Style::gsLinearV, clMedGray, clBtnFace, 0, clGray},
    {"grdnt1", 398, 51, Style::gsRadialC, clBtnFace, clBtnFace, 2, clMedGray},
};

TEST_F(GradientPaintTest, DialogBandsPaintTheirRamps) {
    for (const DialogBand& band : dialogBands) {
        SCOPED_TRACE(band.name);
        gradient.SetStyle(band.style);
        gradient.SetColorBegin(band.begin);
        gradient.SetColorEnd(band.end);
        gradient.SetBorderWidth(band.border);
        gradient.SetBorderColor(band.borderColor);
        Paint(band.width, band.height);
        const TGradientColors colors = Ramp(band.begin, band.end);
        const int inset = static_cast<int>(band.border);
        const bool vertical = band.style == Style::gsLinearV;
        for (int y = 0; y < band.height; ++y) {
            for (int x = 0; x < band.width; ++x) {
                const bool edge =
                    x < inset || y < inset || x >= band.width - inset || y >= band.height - inset;
                if (edge) {
                    ASSERT_EQ(Px(x, y), ColorToRGB(band.borderColor)) << x << "," << y;
                } else if (band.style == Style::gsRadialC) {
                    ASSERT_EQ(Px(x, y), ColorToRGB(clBtnFace)) << x << "," << y;
                } else {
                    ASSERT_NE(IndexOf(colors, Px(x, y)), -1) << x << "," << y;
                    ASSERT_EQ(Px(x, y), vertical ? Px(inset, y) : Px(x, inset)) << x << "," << y;
                }
            }
        }
        if (band.style != Style::gsRadialC && inset == 0) {
            EXPECT_EQ(Px(0, 0), ColorToRGB(band.begin));
            const int along = vertical ? band.height : band.width;
            EXPECT_TRUE(NearEntry(colors, Px(band.width - 1, band.height - 1),
                                  (along - 1) * 256 / along, 1));
        }
        if (band.style != Style::gsRadialC) {
            const int along = vertical ? band.height : band.width;
            int previous = 0;
            for (int i = inset; i < along - inset; ++i) {
                const int index = IndexOf(colors, vertical ? Px(inset, i) : Px(i, inset));
                ASSERT_GE(index, previous) << i;
                previous = index;
            }
        }
    }
}

TEST_F(GradientPaintTest, CustomStyleWithoutHandlerShowsFourQuadrants) {
    gradient.SetStyle(Style::gsCustom);
    gradient.SetColorBegin(clRed);
    gradient.SetColorEnd(clBlue);
    gradient.SetShift(50);
    gradient.SetRotation(-70);
    EXPECT_EQ(gradient.Pattern().Width(), 2);
    Paint(100, 100);
    EXPECT_EQ(Px(25, 25), clRed);
    EXPECT_EQ(Px(75, 75), clRed);
    EXPECT_EQ(Px(75, 25), clBlue);
    EXPECT_EQ(Px(25, 75), clBlue);
    gradient.SetReverse(true);
    Paint(100, 100);
    EXPECT_EQ(Px(25, 25), clBlue);
    EXPECT_EQ(Px(75, 25), clRed);
}

TEST_F(GradientPaintTest, CustomHandlerDrawsThePatternFromTheNewTable) {
    int calls = 0;
    gradient.OnCustom = [&](TGradient& sender, const TGradientColors& colors, TBitmap& pattern) {
        ++calls;
        EXPECT_EQ(&sender, &gradient);
        EXPECT_EQ(EntryColor(colors, 0), clRed);
        EXPECT_EQ(EntryColor(colors, 255), clBlue); // reversed
        pattern.SetSize(1, 2);
        pattern.Row(0)[0] = RGBToPixel(clLime);
        pattern.Row(1)[0] = RGBToPixel(clYellow);
    };
    gradient.SetColorBegin(clBlue);
    gradient.SetColorEnd(clRed);
    gradient.SetReverse(true);
    EXPECT_EQ(calls, 0); // only for gsCustom
    gradient.SetStyle(Style::gsCustom);
    EXPECT_EQ(calls, 1);
    Paint(30, 40);
    EXPECT_EQ(Px(15, 5), clLime);
    EXPECT_EQ(Px(15, 35), clYellow);
}

TEST_F(GradientPaintTest, FailedRebuildDrawsNothingUntilTheNextChange) {
    gradient.OnCustom = [](TGradient&, const TGradientColors&, TBitmap&) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(gradient.SetStyle(Style::gsCustom), std::runtime_error);
    EXPECT_FALSE(gradient.PatternReady());
    EXPECT_EQ(gradient.Style(), Style::gsCustom);
    Paint(20, 20);
    EXPECT_EQ(Px(10, 10), clBlack); // neither pattern nor background: the control is opaque
    gradient.OnCustom = nullptr;
    Paint(20, 20);
    EXPECT_EQ(Px(10, 10), clBlack);
    gradient.SetColorEnd(clRed);
    EXPECT_TRUE(gradient.PatternReady());
    Paint(20, 20);
    EXPECT_EQ(Px(15, 5), clRed);

    // An unknown system colour fails the rebuild the same way.
    EXPECT_THROW(gradient.SetColorBegin(0xFF0000FE), std::invalid_argument);
    EXPECT_FALSE(gradient.PatternReady());
    Paint(20, 20);
    EXPECT_EQ(Px(5, 5), clBlack);
    gradient.SetColorBegin(clGreen);
    Paint(20, 20);
    EXPECT_EQ(Px(5, 5), clGreen);
}

class GradientStateTest : public ::testing::Test {
protected:
    GradientStateTest() {
        parent.SetParentWindow(HWND_MESSAGE);
        parent.Handle();
        gradient.SetParent(&parent);
        gradient.SetBounds(5, 6, 40, 30);
        gradient.Reset();
        parent.areas.clear();
    }
    TRecordingParent parent;
    TCountingGradient& gradient = parent.CreateComponent<TCountingGradient>();
};

TEST_F(GradientStateTest, SettersCompareFirstThenRebuildOrOnlyRepaint) {
    struct Case {
        const char* name;
        std::function<void(TGradient&)> same;
        std::function<void(TGradient&)> changed;
        bool rebuilds;
        bool erase; // the background under the new look needs painting
    };
    const Case cases[] = {
        {"ColorBegin", [](TGradient& g) { g.SetColorBegin(clWhite); },
         [](TGradient& g) { g.SetColorBegin(clRed); }, true, false},
        {"ColorEnd", [](TGradient& g) { g.SetColorEnd(clBtnFace); },
         [](TGradient& g) { g.SetColorEnd(clRed); }, true, false},
        {"Style", [](TGradient& g) { g.SetStyle(Style::gsRadialC); },
         [](TGradient& g) { g.SetStyle(Style::gsDiamond); }, true, false},
        {"Shift", [](TGradient& g) { g.SetShift(0); }, [](TGradient& g) { g.SetShift(10); }, true,
         false},
        {"Rotation", [](TGradient& g) { g.SetRotation(0); },
         [](TGradient& g) { g.SetRotation(-10); }, true, false},
        {"Reverse", [](TGradient& g) { g.SetReverse(false); },
         [](TGradient& g) { g.SetReverse(true); }, true, false},
        {"UseSysColors", [](TGradient& g) { g.SetUseSysColors(false); },
         [](TGradient& g) { g.SetUseSysColors(true); }, true, false},
        {"Shape", [](TGradient& g) { g.SetShape(Shape::stRectangle); },
         [](TGradient& g) { g.SetShape(Shape::stEllipse); }, false, true},
        {"BorderColor", [](TGradient& g) { g.SetBorderColor(clActiveBorder); },
         [](TGradient& g) { g.SetBorderColor(clRed); }, false, false},
        {"BorderWidth", [](TGradient& g) { g.SetBorderWidth(0); },
         [](TGradient& g) { g.SetBorderWidth(3); }, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TCountingGradient& g = parent.CreateComponent<TCountingGradient>();
        g.SetParent(&parent);
        g.SetBounds(1, 2, 30, 40);
        g.Reset();
        parent.areas.clear();
        c.same(g);
        EXPECT_EQ(g.rebuildCalls, 0);
        EXPECT_TRUE(parent.areas.empty());
        c.changed(g);
        EXPECT_EQ(g.builds, c.rebuilds ? 1 : 0);
        EXPECT_TRUE(g.PatternReady());
        ASSERT_EQ(parent.areas.size(), 1u);
        EXPECT_EQ(parent.areas[0], (std::array<long, 5>{1, 2, 31, 42, c.erase ? 1 : 0}));
        g.Reset();
        parent.areas.clear();
        c.changed(g); // the new value again
        EXPECT_EQ(g.rebuildCalls, 0);
        EXPECT_TRUE(parent.areas.empty());
        parent.RemoveComponent(g);
    }
}

TEST_F(GradientStateTest, ShiftAndRotationAreClampedBeforeTheComparison) {
    gradient.SetShift(150);
    EXPECT_EQ(gradient.Shift(), 100);
    gradient.SetShift(101);
    gradient.SetRotation(-1000);
    EXPECT_EQ(gradient.Rotation(), -100);
    gradient.SetRotation(-101);
    EXPECT_EQ(gradient.builds, 2);
}

TEST_F(GradientStateTest, ResizingNeverRebuilds) {
    const auto* before = gradient.Pattern().Row(0);
    gradient.SetBounds(0, 0, 300, 2);
    gradient.SetVisible(false);
    gradient.SetVisible(true);
    EXPECT_EQ(gradient.rebuildCalls, 0);
    EXPECT_EQ(gradient.Pattern().Row(0), before);
    EXPECT_EQ(gradient.Pattern().Width(), 362);
}

TEST_F(GradientStateTest, SystemColoursFollowTheCaptionAndTheSameColourKeepsThem) {
    gradient.SetUseSysColors(true);
    EXPECT_EQ(gradient.ColorBegin(), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(gradient.ColorEnd(), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    EXPECT_EQ(gradient.builds, 1);
    EXPECT_EQ(gradient.LockCount(), 0);
    gradient.SetColorBegin(gradient.ColorBegin());
    EXPECT_TRUE(gradient.UseSysColors());
    // Applying unchanged system colours to a ready pattern rebuilds nothing.
    gradient.Reset();
    gradient.ApplySystemColors();
    EXPECT_EQ(gradient.builds, 0);
    gradient.SetUseSysColors(false);
    EXPECT_EQ(gradient.ColorBegin(), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(gradient.builds, 0);
    gradient.SetUseSysColors(true);
    gradient.SetColorEnd(clRed);
    EXPECT_FALSE(gradient.UseSysColors());
}

TEST_F(GradientStateTest, SettingsChangedRenewsSystemColoursOnlyWhenFollowingThem) {
    SendMessageA(parent.Handle(), WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(gradient.systemColorCalls, 0);
    gradient.SetUseSysColors(true);
    gradient.Reset();
    SendMessageA(parent.Handle(), WM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(gradient.systemColorCalls, 1);
    EXPECT_TRUE(gradient.UseSysColors());
}

TEST_F(GradientStateTest, SecondSystemColourFailingGivesAUniformCaptionFill) {
    const TColor end = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
    gradient.beforeRebuild = [end](TCountingGradient& g) {
        if (g.LockCount() > 0 && g.ColorEnd() == end) {
            throw std::runtime_error("cannot apply");
        }
    };
    gradient.SetUseSysColors(true);
    EXPECT_FALSE(gradient.UseSysColors());
    EXPECT_EQ(gradient.ColorEnd(), gradient.ColorBegin());
    EXPECT_EQ(gradient.ColorBegin(), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(gradient.LockCount(), 0);
    EXPECT_EQ(gradient.builds, 1);
}

TEST_F(GradientStateTest, FirstSystemColourFailingReachesTheCallerAndReleasesTheLock) {
    gradient.beforeRebuild = [](TCountingGradient& g) {
        if (g.LockCount() > 0 && g.ColorBegin() == GetSysColor(COLOR_ACTIVECAPTION)) {
            throw std::runtime_error("cannot apply");
        }
    };
    EXPECT_THROW(gradient.SetUseSysColors(true), std::runtime_error);
    EXPECT_EQ(gradient.LockCount(), 0);
    EXPECT_TRUE(gradient.PatternReady()); // the unlock rebuilt what had changed
}

TEST_F(GradientStateTest, NestedLocksRebuildOnceAtTheLastUnlock) {
    gradient.LockPattern();
    gradient.LockPattern();
    gradient.SetStyle(Style::gsLinearH);
    gradient.SetShift(20);
    gradient.SetColorBegin(clRed);
    EXPECT_FALSE(gradient.PatternReady());
    gradient.UnlockPattern();
    EXPECT_EQ(gradient.builds, 0);
    EXPECT_TRUE(parent.areas.empty());
    gradient.UnlockPattern();
    EXPECT_EQ(gradient.builds, 1);
    EXPECT_EQ(gradient.Pattern().Width(), 256);
    EXPECT_EQ(parent.areas.size(), 1u);
    gradient.Reset();
    gradient.LockPattern();
    gradient.UnlockPattern();
    EXPECT_EQ(gradient.rebuildCalls, 0); // nothing changed
}

// A resource like the dialog's, with its bands in a panel.
const char* const dialogResource = R"(object Form: TWinControl
  Width = 500
  Height = 400
  object Gradient1: TCountingGradient
    Left = 10
    Top = 10
    Width = 66
    Height = 311
    BorderColor = clMedGray
    BorderWidth = 2
    ColorBegin = clSkyBlue
    Style = gsLinearV
  end
  object grdnt4: TCountingGradient
    Left = 80
    Width = 420
    Height = 20
    BorderColor = clGray
    ColorBegin = clSkyBlue
    ColorEnd = clWhite
    Style = gsLinearH
  end
  object Panel1: TWinControl
    Top = 330
    Width = 400
    Height = 60
    object grdnt1: TCountingGradient
      Width = 398
      Height = 51
      BorderColor = clMedGray
      BorderWidth = 2
      ColorBegin = clBtnFace
      Reverse = True
      Rotation = -30
      Shape = stRoundRect
      Shift = 100
    end
  end
end
)";

ClassRegistry Classes() {
    return {&TWinControl::StaticClass(), &TGradient::StaticClass(),
            &TCountingGradient::StaticClass()};
}

TEST(GradientForm, LoadsWithOneRebuildAtTheEndAndWritesBackTheSameText) {
    TWinControl form;
    const ClassRegistry classes = Classes();
    ReadComponentResource(form, dialogResource, classes);
    ASSERT_EQ(form.ComponentCount(), 4u);
    auto& side = dynamic_cast<TCountingGradient&>(form.Components(0));
    auto& framed = dynamic_cast<TCountingGradient&>(form.Components(3));
    EXPECT_EQ(side.rebuildCalls, 3); // ColorBegin, Style, end of loading
    EXPECT_EQ(side.builds, 1);
    EXPECT_EQ(framed.builds, 1);
    EXPECT_TRUE(side.PatternReady());
    EXPECT_EQ(side.Pattern().Height(), 256);
    EXPECT_EQ(side.Parent(), &form);
    EXPECT_EQ(framed.Parent(), &form.Components(2));
    EXPECT_EQ(framed.Shift(), 100);
    EXPECT_FALSE(framed.Opaque());
    EXPECT_EQ(WriteComponentResource(form), dialogResource);
}

TEST(GradientForm, StoresOnlyWhatDiffersAndNoColoursWhenFollowingTheSystem) {
    TWinControl form;
    form.SetName("Form");
    auto& plain = form.CreateComponent<TGradient>();
    plain.SetName("plain");
    plain.SetParent(&form);
    auto& system = form.CreateComponent<TGradient>();
    system.SetName("system");
    system.SetParent(&form);
    system.SetColorBegin(clRed);
    system.SetUseSysColors(true);
    system.SetShift(-100);
    EXPECT_EQ(WriteComponentResource(form), "object Form: TWinControl\n"
                                            "  object plain: TGradient\n"
                                            "  end\n"
                                            "  object system: TGradient\n"
                                            "    Shift = -100\n"
                                            "    UseSysColors = True\n"
                                            "  end\n"
                                            "end\n");
    TWinControl copy;
    ReadComponentResource(copy, WriteComponentResource(form), Classes());
    auto& read = dynamic_cast<TGradient&>(copy.Components(1));
    EXPECT_TRUE(read.UseSysColors());
    EXPECT_EQ(read.ColorBegin(), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_TRUE(read.PatternReady());
}

TEST(GradientForm, OutOfRangeValuesAreClampedAndBadOnesRefusedWithTheirLine) {
    TWinControl form;
    ReadComponentResource(form,
                          "object F: TWinControl\n  object g: TGradient\n    Shift = 250\n"
                          "    Rotation = -101\n  end\nend\n",
                          Classes());
    const auto& g = dynamic_cast<const TGradient&>(form.Components(0));
    EXPECT_EQ(g.Shift(), 100);
    EXPECT_EQ(g.Rotation(), -100);

    const struct {
        const char* line;
        const char* message;
    } bad[] = {
        {"Style = gsNothing", "line 4: Style: gsNothing is not one of"},
        {"Shape = 3", "line 4: Shape: expected one of"},
        {"BorderWidth = -1", "line 4: BorderWidth: -1 is outside 0..2147483647"},
        {"Colour = clRed", "line 4: TGradient has no property Colour"},
        {"ColorBegin = clNothing", "line 4: ColorBegin: unknown colour clNothing"},
    };
    for (const auto& b : bad) {
        TWinControl target;
        const std::string text = std::string("object F: TWinControl\n  object g: TGradient\n") +
                                 "    Width = 5\n    " + b.line + "\n  end\nend\n";
        try {
            ReadComponentResource(target, text, Classes());
            ADD_FAILURE() << b.line;
        } catch (const SourceError& error) {
            EXPECT_EQ(std::string(error.what()).rfind(b.message, 0), 0u) << error.what();
        }
        EXPECT_EQ(target.ComponentCount(), 0u) << b.line;
    }
}

TEST(GradientEvents, MouseEnterAndLeaveFollowTheParentsNotification) {
    TWinControl root;
    root.SetBounds(0, 0, 100, 100);
    root.SetParentWindow(HWND_MESSAGE);
    std::vector<std::string> log;
    root.WindowProc = [&, own = root.WindowProc](TMessage& message) {
        if (message.Msg == CM_MOUSEENTER && message.LParam != 0) {
            log.push_back("parent told of enter");
        }
        own(message);
    };
    auto& gradient = root.CreateComponent<TGradient>();
    gradient.SetParent(&root);
    gradient.SetBounds(10, 10, 20, 20);
    gradient.OnMouseEnter = [&](TComponent& sender) {
        EXPECT_EQ(&sender, &gradient);
        log.push_back("enter");
    };
    gradient.OnMouseLeave = [&](TComponent&) { log.push_back("leave"); };
    SendMessageA(root.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(15, 15));
    SendMessageA(root.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(16, 16));
    SendMessageA(root.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    EXPECT_EQ(log, (std::vector<std::string>{"parent told of enter", "enter", "leave"}));
}

} // namespace
} // namespace vigrel::test
