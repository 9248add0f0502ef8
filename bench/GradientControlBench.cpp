// Under Wine: the cost of TGradient's rebuild for every style (colour table plus painter into the
// 32-bit DIB section), against simply writing the two largest patterns' pixels once, and the cost
// of painting each gradient band of the action properties dialog into a 32-bit memory surface.
// Prints figures; never fails.
#include "bench/BenchHost.h"
#include "components/Gradient.h"
#include "tools/gdi/MemoryDC.h"
#include "ui/WinControl.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace vigrel {
namespace {

using bench::Seconds;

// Microseconds per run of `work`: the best of five rounds of at least 20 ms each.
double Measure(const std::function<void()>& work) {
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        int runs = 0;
        const double start = Seconds();
        double elapsed = 0;
        do {
            work();
            ++runs;
            elapsed = Seconds() - start;
        } while (elapsed < 0.02);
        best = std::min(best, elapsed / runs * 1e6);
    }
    return best;
}

const char* const StyleNames[] = {
    "gsCustom",     "gsRadialC",    "gsRadialT",    "gsRadialB",    "gsRadialL",
    "gsRadialR",    "gsRadialTL",   "gsRadialTR",   "gsRadialBL",   "gsRadialBR",
    "gsLinearH",    "gsLinearV",    "gsReflectedH", "gsReflectedV", "gsDiagonalLF",
    "gsDiagonalLB", "gsDiagonalRF", "gsDiagonalRB", "gsArrowL",     "gsArrowR",
    "gsArrowU",     "gsArrowD",     "gsDiamond",    "gsButterfly",  "gsRadialRect",
};

struct Band {
    const char* name;
    int width;
    int height;
    TGradientStyle style;
    TColor begin;
    TColor end;
    TBorderWidth border;
    TShapeType shape;
};

const Band bands[] = {
    {"Gradient1 66x311 LinearV border 2", 66, 311, TGradientStyle::gsLinearV, clSkyBlue, clBtnFace,
     2, TShapeType::stRectangle},
    {"grdnt4 420x20 LinearH", 420, 20, TGradientStyle::gsLinearH, clSkyBlue, clWhite, 0,
     TShapeType::stRectangle},
    {"grdnt5/6 420x2 LinearH", 420, 2, TGradientStyle::gsLinearH, clMedGray, clWhite, 0,
     TShapeType::stRectangle},
    {"grdnt18 200x2 LinearH", 200, 2, TGradientStyle::gsLinearH, clMedGray, clWhite, 0,
     TShapeType::stRectangle},
    {"Gradient3 2x65 LinearV", 2, 65, TGradientStyle::gsLinearV, clMedGray, clBtnFace, 0,
     TShapeType::stRectangle},
    {"grdnt1 398x51 RadialC border 2", 398, 51, TGradientStyle::gsRadialC, clBtnFace, clBtnFace, 2,
     TShapeType::stRectangle},
    {"(variant) 398x51 RadialC stRoundRect border 2", 398, 51, TGradientStyle::gsRadialC, clSkyBlue,
     clBtnFace, 2, TShapeType::stRoundRect},
};

void Run() {
    std::printf("Rebuild per style (colour table + painter into the DIB section), us\n");
    TGradient gradient;
    gradient.SetColorBegin(clSkyBlue);
    gradient.SetColorEnd(clWhite);
    gradient.SetShift(20);
    gradient.SetRotation(-30);
    double worst = 0;
    for (int style = 1; style <= 24; ++style) {
        gradient.SetStyle(static_cast<TGradientStyle>(style));
        const double us = Measure([&] { gradient.RebuildPattern(); });
        worst = std::max(worst, us);
        std::printf("  %-14s %4d x %-4d %8.1f\n", StyleNames[style], gradient.Pattern().Width(),
                    gradient.Pattern().Height(), us);
    }
    std::printf("  slowest rebuild %.1f us (target 500)\n", worst);

    std::printf("Writing every pixel once, against the largest patterns' rebuilds, us\n");
    for (const auto& [side, style] : {std::pair{362, TGradientStyle::gsRadialC},
                                      std::pair{512, TGradientStyle::gsRadialRect}}) {
        TBitmap bitmap(side, side);
        std::uint32_t value = 0;
        const double plain = Measure([&] {
            ++value;
            for (int y = 0; y < side; ++y) {
                std::fill_n(bitmap.Row(y), side, value);
            }
        });
        gradient.SetStyle(style);
        const double rebuild = Measure([&] { gradient.RebuildPattern(); });
        std::printf("  %d x %d: plain write %.1f, %s rebuild %.1f, ratio %.2f (target 4)\n", side,
                    side, plain, StyleNames[static_cast<int>(style)], rebuild, rebuild / plain);
    }

    std::printf("Paint of the dialog's bands into a 32-bit memory surface, us\n");
    TBitmap surface(500, 400);
    MemoryDC dc;
    const SelectedObject selected(dc.Get(), surface.Handle());
    for (const Band& band : bands) {
        TGradient g;
        g.SetBounds(0, 0, band.width, band.height);
        g.SetStyle(band.style);
        g.SetColorBegin(band.begin);
        g.SetColorEnd(band.end);
        g.SetBorderWidth(band.border);
        g.SetBorderColor(clMedGray);
        g.SetShape(band.shape);
        const double us = Measure([&] {
            g.Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.Get()), 0);
            GdiFlush();
        });
        std::printf("  %-46s %8.1f\n", band.name, us);
    }

    // All bands on one parent, as the dialog paints them: background, then each band with its
    // clip and origin.
    TWinControl form;
    form.SetBounds(0, 0, 500, 400);
    int top = 0; // the side bar stands at the left, the others are stacked beside it
    for (const Band& band : bands) {
        auto& g = form.CreateComponent<TGradient>();
        const bool sideBar = band.height > 300;
        g.SetBounds(sideBar ? 0 : 70, sideBar ? 0 : top, band.width, band.height);
        g.SetStyle(band.style);
        g.SetColorBegin(band.begin);
        g.SetColorEnd(band.end);
        g.SetBorderWidth(band.border);
        g.SetShape(band.shape);
        g.SetParent(&form);
        top += sideBar ? 0 : band.height + 4;
    }
    const double us = Measure([&] {
        form.PaintTo(dc.Get());
        GdiFlush();
    });
    std::printf("  %-46s %8.1f\n", "all seven on a 500x400 parent, with background", us);
}

} // namespace
} // namespace vigrel

int main() {
    vigrel::Run();
    return 0;
}
