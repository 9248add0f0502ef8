#include "ui/Panel.h"

#include "ui/Published.h"

namespace vigrel {
namespace {

// Draws `width` rings inward from `rect`, shrinking it: a lowered ring is dark above and left and
// light below and right, a raised ring the other way round.
void Frame3D(TCanvas& canvas, RECT& rect, TPanelBevel bevel, int width) {
    if (bevel == TPanelBevel::bvNone) {
        return;
    }
    const bool lowered = bevel == TPanelBevel::bvLowered;
    const TColor topLeft = lowered ? clBtnShadow : clBtnHighlight;
    const TColor bottomRight = lowered ? clBtnHighlight : clBtnShadow;
    for (int i = 0; i < width && rect.right > rect.left && rect.bottom > rect.top; ++i) {
        canvas.FillRect({rect.left, rect.top, rect.right - 1, rect.top + 1}, topLeft);
        canvas.FillRect({rect.left, rect.top, rect.left + 1, rect.bottom - 1}, topLeft);
        canvas.FillRect({rect.right - 1, rect.top, rect.right, rect.bottom}, bottomRight);
        canvas.FillRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, bottomRight);
        InflateRect(&rect, -1, -1);
    }
}

constexpr auto BevelNames = VIGREL_ENUM_NAMES(TPanelBevel, bvNone, bvLowered, bvRaised);

} // namespace

const ClassInfo& TPanel::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TPanel>("TPanel", TWinControl::StaticClass())
            .Enumeration("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner,
                         TPanelBevel::bvNone, BevelNames)
            .Enumeration("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter,
                         TPanelBevel::bvRaised, BevelNames)
            .Integer("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1, 1, 100);
    return info;
}

void TPanel::SetBevelOuter(TPanelBevel bevel) {
    if (bevel != bevelOuter_) {
        bevelOuter_ = bevel;
        Invalidate();
    }
}

void TPanel::SetBevelInner(TPanelBevel bevel) {
    if (bevel != bevelInner_) {
        bevelInner_ = bevel;
        Invalidate();
    }
}

void TPanel::SetBevelWidth(int width) {
    if (width != bevelWidth_) {
        bevelWidth_ = width;
        Invalidate();
    }
}

void TPanel::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"VigrelPanel";
    params.ExStyle |= WS_EX_CONTROLPARENT;
}

void TPanel::PaintWindow(TCanvas& canvas) {
    TWinControl::PaintWindow(canvas);
    RECT rect = ClientRect();
    Frame3D(canvas, rect, bevelOuter_, bevelWidth_);
    Frame3D(canvas, rect, bevelInner_, bevelWidth_);
}

} // namespace vigrel
