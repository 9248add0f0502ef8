#include "components/Gradient.h"

#include "ui/Published.h"
#include "ui/WinControl.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace vigrel {
namespace {

constexpr TBorderWidth MaxBorderWidth = 0x7FFFFFFF;

int ClampPercent(int value) {
    return std::clamp(value, -100, 100);
}

int ClampInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

bool IsSquare(TShapeType shape) {
    return shape == TShapeType::stSquare || shape == TShapeType::stRoundSquare ||
           shape == TShapeType::stCircle;
}

bool IsRound(TShapeType shape) {
    return shape == TShapeType::stRoundRect || shape == TShapeType::stRoundSquare;
}

bool IsEllipse(TShapeType shape) {
    return shape == TShapeType::stEllipse || shape == TShapeType::stCircle;
}

} // namespace

TGradient::TGradient() {
    SetOpaque(true);
    SetWidth(100);
    SetHeight(100);
    RebuildPattern();
}

const ClassInfo& TGradient::StaticClass() {
    static constexpr auto StyleNames = VIGREL_ENUM_NAMES(
        TGradientStyle, gsCustom, gsRadialC, gsRadialT, gsRadialB, gsRadialL, gsRadialR, gsRadialTL,
        gsRadialTR, gsRadialBL, gsRadialBR, gsLinearH, gsLinearV, gsReflectedH, gsReflectedV,
        gsDiagonalLF, gsDiagonalLB, gsDiagonalRF, gsDiagonalRB, gsArrowL, gsArrowR, gsArrowU,
        gsArrowD, gsDiamond, gsButterfly, gsRadialRect);
    // The last style named too: the painters run to it.
    static_assert(StyleNames.size() == StylePainters.size());
    static const ClassInfo info =
        ClassBuilder<TGradient>("TGradient", TGraphicControl::StaticClass())
            .Default("Width", std::int64_t{100})
            .Default("Height", std::int64_t{100})
            .Color("BorderColor", &TGradient::BorderColor, &TGradient::SetBorderColor,
                   clActiveBorder)
            .Integer("BorderWidth", &TGradient::BorderWidth, &TGradient::SetBorderWidth, 0, 0,
                     MaxBorderWidth)
            .Color("ColorBegin", &TGradient::ColorBegin, &TGradient::SetColorBegin, clWhite)
            .StoredWhen([](const TGradient& gradient) {
                return !gradient.UseSysColors() && gradient.ColorBegin() != clWhite;
            })
            .Color("ColorEnd", &TGradient::ColorEnd, &TGradient::SetColorEnd, clBtnFace)
            .StoredWhen([](const TGradient& gradient) {
                return !gradient.UseSysColors() && gradient.ColorEnd() != clBtnFace;
            })
            .Boolean("Reverse", &TGradient::Reverse, &TGradient::SetReverse, false)
            .Integer("Rotation", &TGradient::Rotation, &TGradient::SetRotation, 0)
            .Enumeration("Shape", &TGradient::Shape, &TGradient::SetShape, TShapeType::stRectangle,
                         VIGREL_ENUM_NAMES(TShapeType, stRectangle, stSquare, stRoundRect,
                                           stRoundSquare, stEllipse, stCircle))
            .Integer("Shift", &TGradient::Shift, &TGradient::SetShift, 0)
            .Enumeration("Style", &TGradient::Style, &TGradient::SetStyle,
                         TGradientStyle::gsRadialC, StyleNames)
            .Boolean("UseSysColors", &TGradient::UseSysColors, &TGradient::SetUseSysColors, false);
    return info;
}

void TGradient::SetColorBegin(TColor color) {
    if (color == colorBegin_) {
        return;
    }
    colorBegin_ = color;
    useSysColors_ = false;
    RebuildPattern();
}

void TGradient::SetColorEnd(TColor color) {
    if (color == colorEnd_) {
        return;
    }
    colorEnd_ = color;
    useSysColors_ = false;
    RebuildPattern();
}

void TGradient::SetUseSysColors(bool use) {
    if (use == useSysColors_) {
        return;
    }
    useSysColors_ = use;
    if (use) {
        ApplySystemColors();
    }
}

void TGradient::SetStyle(TGradientStyle style) {
    if (static_cast<std::size_t>(style) >= StylePainters.size()) {
        throw std::invalid_argument("no gradient style " + std::to_string(static_cast<int>(style)));
    }
    if (style == style_) {
        return;
    }
    style_ = style;
    RebuildPattern();
}

void TGradient::SetShift(int shift) {
    shift = ClampPercent(shift);
    if (shift == shift_) {
        return;
    }
    shift_ = static_cast<TGradientShift>(shift);
    RebuildPattern();
}

void TGradient::SetRotation(int rotation) {
    rotation = ClampPercent(rotation);
    if (rotation == rotation_) {
        return;
    }
    rotation_ = static_cast<TGradientRotation>(rotation);
    RebuildPattern();
}

void TGradient::SetShape(TShapeType shape) {
    if (shape > TShapeType::stCircle) {
        throw std::invalid_argument("no shape " + std::to_string(static_cast<int>(shape)));
    }
    if (shape == shape_) {
        return;
    }
    shape_ = shape;
    SetOpaque(shape == TShapeType::stRectangle);
    Invalidate();
}

void TGradient::SetReverse(bool reverse) {
    if (reverse == reverse_) {
        return;
    }
    reverse_ = reverse;
    RebuildPattern();
}

void TGradient::SetBorderColor(TColor color) {
    if (color == borderColor_) {
        return;
    }
    borderColor_ = color;
    Invalidate();
}

void TGradient::SetBorderWidth(TBorderWidth width) {
    width = std::min(width, MaxBorderWidth);
    if (width == borderWidth_) {
        return;
    }
    borderWidth_ = width;
    Invalidate();
}

void TGradient::UnlockPattern() {
    --lockCount_;
    if (lockCount_ == 0 && !patternReady_) {
        RebuildPattern();
    }
}

void TGradient::RebuildPattern() {
    patternReady_ = false;
    if (ComponentState().Contains(csLoading) || lockCount_ != 0) {
        return;
    }
    const TColor start = ColorToRGB(reverse_ ? colorEnd_ : colorBegin_);
    const TColor end = ColorToRGB(reverse_ ? colorBegin_ : colorEnd_);
    const TGradientColors colors = BuildGradientColors(start, end, shift_, rotation_);
    if (const PatternPainter painter = StylePainters[static_cast<std::size_t>(style_)]) {
        painter(colors, pattern_);
    } else if (OnCustom) {
        OnCustom(*this, colors, pattern_);
    } else {
        // Four quadrants of the two plain colours, whatever Shift and Rotation are.
        pattern_.SetSize(2, 2);
        pattern_.Row(0)[0] = RGBToPixel(start);
        pattern_.Row(0)[1] = RGBToPixel(end);
        pattern_.Row(1)[0] = RGBToPixel(end);
        pattern_.Row(1)[1] = RGBToPixel(start);
    }
    patternReady_ = true;
    // The parent paints the new pattern over the old one: nothing needs erasing first.
    if (TWinControl* parent = Parent(); parent != nullptr && parent->HandleAllocated()) {
        parent->InvalidateArea(BoundsRect(), false);
        if (ComponentState().Contains(csDesigning)) {
            parent->Update();
        }
    }
}

void TGradient::ApplySystemColors() {
    LockPattern();
    try {
        SetColorBegin(SystemColor(COLOR_ACTIVECAPTION));
        try {
            SetColorEnd(SystemColor(COLOR_GRADIENTACTIVECAPTION));
            useSysColors_ = true;
        } catch (...) {
            // Without the second caption colour the fill is uniform in the first one.
            SetColorEnd(colorBegin_);
            useSysColors_ = false;
        }
    } catch (...) {
        // The lock goes whatever happens; the first failure is the one reported.
        try {
            UnlockPattern();
        } catch (...) {
        }
        throw;
    }
    UnlockPattern();
}

void TGradient::Loaded() {
    TGraphicControl::Loaded();
    RebuildPattern();
}

void TGradient::Paint(TCanvas& canvas) {
    if (!patternReady_) {
        return;
    }
    // Under high contrast a band is the flat button face, behind text of the system's colour.
    if (HighContrastOn()) {
        canvas.FillRect(ClientRect(), clBtnFace);
        return;
    }
    const std::int64_t border = borderWidth_;
    if (border == 0 && shape_ == TShapeType::stRectangle) {
        canvas.StretchDraw(ClientRect(), pattern_);
        return;
    }
    const std::int64_t half = border / 2;
    const std::int64_t width = Width() - border + (border > 0 ? 1 : 0);
    const std::int64_t height = Height() - border + (border > 0 ? 1 : 0);
    if (width <= 0 || height <= 0) {
        // A pen at least as wide as the control covers all of it. Drawing such a figure would
        // cost time in proportion to the pen, not to the control.
        canvas.FillRect(ClientRect(), borderColor_);
        return;
    }
    const std::int64_t side = std::min(width, height);
    std::int64_t left = half;
    std::int64_t top = half;
    std::int64_t w = width;
    std::int64_t h = height;
    if (IsSquare(shape_)) {
        left = half + (width - side) / 2;
        top = half + (height - side) / 2;
        w = h = side;
    }
    const RECT figure{ClampInt(left), ClampInt(top), ClampInt(left + w), ClampInt(top + h)};
    const int corner = ClampInt(side / 4);

    if (shape_ == TShapeType::stRectangle) {
        canvas.StretchDraw(figure, pattern_);
    } else {
        OwnedRegion region;
        if (IsRound(shape_)) {
            region = Created(CreateRoundRectRgn(figure.left, figure.top, figure.right,
                                                figure.bottom, corner, corner),
                             "a region");
        } else if (IsEllipse(shape_)) {
            region =
                Created(CreateEllipticRgn(figure.left, figure.top, figure.right, figure.bottom),
                        "a region");
        } else {
            region = Created(CreateRectRgn(figure.left, figure.top, figure.right, figure.bottom),
                             "a region");
        }
        // The region is in the control's coordinates; the clip wants device coordinates.
        const POINT origin = canvas.WindowOrigin();
        OffsetRgn(region.Get(), -origin.x, -origin.y);
        // Narrowing the clip the parent set, and restoring it afterwards rather than clearing
        // it, keeps both the fill and a wide outline inside the control's bounds.
        const TCanvas::SavedState saved(canvas);
        canvas.IntersectClip(region.Get());
        canvas.StretchDraw(figure, pattern_);
    }

    if (border > 0) {
        TPenSpec pen = canvas.Pen();
        pen.color = borderColor_;
        pen.width = ClampInt(border);
        canvas.SetPen(pen);
        canvas.SetBrush({canvas.Brush().color, TBrushStyle::bsClear});
        if (IsRound(shape_)) {
            canvas.RoundRect(figure, corner, corner);
        } else if (IsEllipse(shape_)) {
            canvas.Ellipse(figure);
        } else {
            canvas.Rectangle(figure);
        }
    }
}

void TGradient::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    switch (message.Msg) {
    case WM_SETTINGCHANGE:
        if (useSysColors_) {
            ApplySystemColors();
        }
        break;
    case WM_SYSCOLORCHANGE:
        // System colours among the two are read when the pattern is built.
        RebuildPattern();
        break;
    case CM_MOUSEENTER:
        if (OnMouseEnter) {
            OnMouseEnter(*this);
        }
        break;
    case CM_MOUSELEAVE:
        if (OnMouseLeave) {
            OnMouseLeave(*this);
        }
        break;
    default:
        break;
    }
}

} // namespace vigrel
