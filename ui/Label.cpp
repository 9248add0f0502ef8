#include "ui/Label.h"

#include "ui/Published.h"
#include "ui/WideText.h"

#include <stdexcept>

namespace vigrel {
namespace {

constexpr UINT TextFormat = DT_LEFT | DT_TOP | DT_EXPANDTABS | DT_NOPREFIX;

} // namespace

TLabel::TLabel() {
    SetOpaque(true);
}

const ClassInfo& TLabel::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TLabel>("TLabel", TGraphicControl::StaticClass())
            .Text("Caption", &TLabel::Caption, &TLabel::SetCaption)
            .Boolean("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize, true)
            .Boolean("Transparent", &TLabel::Transparent, &TLabel::SetTransparent, false)
            .Color("Color", &TLabel::Color, &TLabel::SetColor, clBtnFace)
            .Text("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
    return info;
}

void TLabel::SetAutoSize(bool autoSize) {
    if (autoSize != autoSize_) {
        autoSize_ = autoSize;
        AdjustBounds();
    }
}

void TLabel::SetTransparent(bool transparent) {
    if (transparent != transparent_) {
        transparent_ = transparent;
        SetOpaque(!transparent);
        Invalidate();
    }
}

void TLabel::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Invalidate();
    }
}

SIZE TLabel::TextExtent() const {
    const std::wstring text = ToWide(Text());
    const WindowDC dc(nullptr);
    const HDC screen = dc.Get();
    const SelectedObject font(screen, Font().Handle());
    RECT extent{0, 0, 0, 0};
    if (text.empty()) {
        TEXTMETRICW metrics{};
        GetTextMetricsW(screen, &metrics);
        extent.bottom = metrics.tmHeight;
    } else {
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &extent,
                  TextFormat | DT_CALCRECT);
    }
    return {extent.right - extent.left, extent.bottom - extent.top};
}

void TLabel::AdjustBounds() {
    if (!autoSize_ || ComponentState().Contains(csLoading)) {
        return;
    }
    const SIZE size = TextExtent();
    SetBounds(Left(), Top(), size.cx, size.cy);
}

void TLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
    if (focusControl_.empty()) {
        return;
    }
    auto* control = Owner() != nullptr
                        ? dynamic_cast<TControl*>(Owner()->FindComponent(focusControl_))
                        : nullptr;
    if (control == nullptr) {
        throw std::invalid_argument("FocusControl: no control is named " + focusControl_);
    }
    control->SetAccessibleCaption(Caption());
}

void TLabel::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    switch (message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
        AdjustBounds();
        break;
    default:
        break;
    }
}

void TLabel::Paint(TCanvas& canvas) {
    RECT client = ClientRect();
    const bool highContrast = HighContrastOn();
    if (!transparent_) {
        canvas.FillRect(client, highContrast ? clBtnFace : color_);
    }
    const std::wstring text = ToWide(Text());
    if (text.empty()) {
        return;
    }
    const HDC dc = canvas.Handle();
    const TCanvas::SavedState saved(canvas);
    SelectObject(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    const TColor color = highContrast ? HighContrastTextColor() : Font().Color();
    SetTextColor(dc, ColorToRGB(Enabled() ? color : clGrayText));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, TextFormat);
}

} // namespace vigrel
