// TGradient: a windowless control that fills its bounds, or a figure inside them, with one of the
// gradient patterns (components/GradientPatterns.h) and an optional outline. The pattern is built
// once per change of an appearance property; painting only scales it onto the figure, so resizing
// never recomputes anything.
#pragma once

#include "components/GradientPatterns.h"
#include "ui/Bitmap.h"
#include "ui/Control.h"

#include <cstdint>
#include <functional>

namespace vigrel {

enum class TShapeType : std::uint8_t {
    stRectangle,
    stSquare,
    stRoundRect,
    stRoundSquare,
    stEllipse,
    stCircle,
};

using TGradientShift = std::int8_t;    // -100..100
using TGradientRotation = std::int8_t; // -100..100
using TBorderWidth = std::uint32_t;    // 0..2147483647

class TGradient;

// Draws the pattern of gsCustom: `pattern` is the control's own bitmap, which the handler sizes
// and fills; until it does, it holds what the previous rebuild left.
using TCustomGradientEvent =
    std::function<void(TGradient& sender, const TGradientColors& colors, TBitmap& pattern)>;

class TGradient : public TGraphicControl {
public:
    // 100 by 100, radial from the centre, white to button face; the pattern is built at once.
    TGradient();

    VIGREL_PUBLISHED_CLASS();

    // Every setter compares first and does nothing at all when the value is unchanged.
    TColor ColorBegin() const { return colorBegin_; }
    // A different colour turns UseSysColors off and rebuilds.
    void SetColorBegin(TColor color);
    TColor ColorEnd() const { return colorEnd_; }
    void SetColorEnd(TColor color);
    bool UseSysColors() const { return useSysColors_; }
    // True takes the current caption colours (ApplySystemColors); False keeps the colours.
    void SetUseSysColors(bool use);
    TGradientStyle Style() const { return style_; }
    // A value outside the enumeration throws std::invalid_argument.
    void SetStyle(TGradientStyle style);
    int Shift() const { return shift_; }
    // Clamped to -100..100 before the comparison.
    void SetShift(int shift);
    int Rotation() const { return rotation_; }
    void SetRotation(int rotation);
    TShapeType Shape() const { return shape_; }
    // Repaints only. The control is opaque exactly while the shape is stRectangle. A value outside
    // the enumeration throws std::invalid_argument.
    void SetShape(TShapeType shape);
    bool Reverse() const { return reverse_; }
    void SetReverse(bool reverse);
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor color);
    TBorderWidth BorderWidth() const { return borderWidth_; }
    // 0 draws no outline; values above 2147483647 count as 2147483647. Repaints only.
    void SetBorderWidth(TBorderWidth width);

    const TBitmap& Pattern() const { return pattern_; }
    // Whether Pattern matches the current properties; painting draws nothing while it does not.
    bool PatternReady() const { return patternReady_; }
    int LockCount() const { return lockCount_; }
    // While locked, changes only mark the pattern as not ready; the last unlock rebuilds once if
    // anything changed. Every lock is released in a guarded clean-up.
    void LockPattern() { ++lockCount_; }
    void UnlockPattern();

    // Rebuilds the pattern from the current properties and asks for a repaint; only marks it as
    // not ready while loading or locked. An error from a painter or from OnCustom leaves the
    // pattern not ready and goes on to the caller.
    virtual void RebuildPattern();
    // Takes the active caption colours as ColorBegin and ColorEnd and turns UseSysColors on, with
    // at most one rebuild. When the second colour cannot be read or applied, ColorEnd takes
    // ColorBegin and UseSysColors ends False, silently.
    virtual void ApplySystemColors();

    TCustomGradientEvent OnCustom;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;

protected:
    void Loaded() override;
    void Paint(TCanvas& canvas) override;
    // Mouse enter and leave raise the events after the base handling; the settings-changed
    // message renews the system colours while UseSysColors is True.
    void WndProc(TMessage& message) override;

private:
    TColor colorBegin_ = clWhite;
    TColor colorEnd_ = clBtnFace;
    bool useSysColors_ = false;
    TGradientStyle style_ = TGradientStyle::gsRadialC;
    TGradientShift shift_ = 0;
    TGradientRotation rotation_ = 0;
    TShapeType shape_ = TShapeType::stRectangle;
    bool reverse_ = false;
    TBitmap pattern_;
    TColor borderColor_ = clActiveBorder;
    TBorderWidth borderWidth_ = 0;
    int lockCount_ = 0;
    bool patternReady_ = false;
};

} // namespace vigrel
