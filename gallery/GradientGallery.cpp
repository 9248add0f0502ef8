// Renders every gradient style, and variants of shift, rotation, reverse, shape and border, with
// labels into one picture, written as a 24-bit BMP file (the first argument, by default
// gradient-gallery.bmp). Needs no display: everything is drawn into a memory bitmap.
#include "components/Gradient.h"
#include "gallery/SheetPicture.h"
#include "ui/WinControl.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace vigrel {
namespace {

constexpr int CellWidth = 124;
constexpr int CellHeight = 84;
constexpr int LabelHeight = 18;
constexpr int Gap = 8;
constexpr int Columns = 7;

struct Sample {
    std::string label;
    std::function<void(TGradient&)> setup;
};

std::vector<Sample> Samples() {
    static const char* const styleNames[] = {
        "gsCustom",     "gsRadialC",    "gsRadialT",    "gsRadialB",    "gsRadialL",
        "gsRadialR",    "gsRadialTL",   "gsRadialTR",   "gsRadialBL",   "gsRadialBR",
        "gsLinearH",    "gsLinearV",    "gsReflectedH", "gsReflectedV", "gsDiagonalLF",
        "gsDiagonalLB", "gsDiagonalRF", "gsDiagonalRB", "gsArrowL",     "gsArrowR",
        "gsArrowU",     "gsArrowD",     "gsDiamond",    "gsButterfly",  "gsRadialRect",
    };
    std::vector<Sample> samples;
    for (int style = 1; style <= 24; ++style) {
        samples.push_back({styleNames[style], [style](TGradient& g) {
                               g.SetStyle(static_cast<TGradientStyle>(style));
                           }});
    }
    samples.push_back(
        {"gsCustom, no handler", [](TGradient& g) { g.SetStyle(TGradientStyle::gsCustom); }});
    const auto linear = [](std::function<void(TGradient&)> more) {
        return [more](TGradient& g) {
            g.SetStyle(TGradientStyle::gsLinearH);
            g.SetColorBegin(clYellow);
            g.SetColorEnd(clRed);
            more(g);
        };
    };
    samples.push_back({"LinearH", linear([](TGradient&) {})});
    samples.push_back({"Shift 50", linear([](TGradient& g) { g.SetShift(50); })});
    samples.push_back({"Shift -50", linear([](TGradient& g) { g.SetShift(-50); })});
    samples.push_back({"Rotation 50", linear([](TGradient& g) { g.SetRotation(50); })});
    samples.push_back({"Rotation -50", linear([](TGradient& g) { g.SetRotation(-50); })});
    samples.push_back({"Reverse", linear([](TGradient& g) { g.SetReverse(true); })});
    const auto shaped = [](TShapeType shape, TBorderWidth border) {
        return [shape, border](TGradient& g) {
            g.SetStyle(TGradientStyle::gsRadialC);
            g.SetShape(shape);
            g.SetBorderWidth(border);
            g.SetBorderColor(clNavy);
        };
    };
    samples.push_back({"stSquare", shaped(TShapeType::stSquare, 0)});
    samples.push_back({"stRoundRect", shaped(TShapeType::stRoundRect, 0)});
    samples.push_back({"stRoundSquare", shaped(TShapeType::stRoundSquare, 0)});
    samples.push_back({"stEllipse", shaped(TShapeType::stEllipse, 0)});
    samples.push_back({"stCircle", shaped(TShapeType::stCircle, 0)});
    samples.push_back({"Border 1", shaped(TShapeType::stRectangle, 1)});
    samples.push_back({"Border 4, stRoundRect", shaped(TShapeType::stRoundRect, 4)});
    samples.push_back({"Border 3, stCircle", shaped(TShapeType::stCircle, 3)});
    samples.push_back({"Border 2, stEllipse", shaped(TShapeType::stEllipse, 2)});
    return samples;
}

int Run(const char* path) {
    const std::vector<Sample> samples = Samples();
    const int rows = (static_cast<int>(samples.size()) + Columns - 1) / Columns;
    const int width = Gap + Columns * (CellWidth + Gap);
    const int height = Gap + rows * (CellHeight + LabelHeight + Gap);

    TWinControl sheet;
    sheet.SetBounds(0, 0, width, height);
    sheet.SetColor(clWhite);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        auto& gradient = sheet.CreateComponent<TGradient>();
        gradient.LockPattern();
        gradient.SetColorBegin(clSkyBlue);
        gradient.SetColorEnd(clNavy);
        samples[i].setup(gradient);
        gradient.UnlockPattern();
        const int column = static_cast<int>(i) % Columns;
        const int row = static_cast<int>(i) / Columns;
        gradient.SetBounds(Gap + column * (CellWidth + Gap),
                           Gap + row * (CellHeight + LabelHeight + Gap), CellWidth, CellHeight);
        gradient.SetParent(&sheet);
    }

    std::vector<Caption> captions;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const TControl& cell = sheet.Controls(i);
        captions.push_back({cell.Left(), cell.Top() + cell.Height() + 2, samples[i].label});
    }
    if (!WriteBmpFile(path, PaintSheet(sheet, captions))) {
        return 1;
    }
    std::printf("%s: %d x %d, %u samples\n", path, width, height,
                static_cast<unsigned>(samples.size()));
    return 0;
}

} // namespace
} // namespace vigrel

int main(int argc, char** argv) {
    try {
        return vigrel::Run(argc > 1 ? argv[1] : "gradient-gallery.bmp");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gallery failed: %s\n", error.what());
        return 1;
    }
}
