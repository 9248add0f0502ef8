#include "ui/SpeedButton.h"

#include "ui/BitmapImage.h"
#include "ui/Published.h"

#include <windowsx.h>

namespace vigrel {
namespace {

void Line(TCanvas& canvas, int left, int top, int right, int bottom, TColor color) {
    canvas.FillRect({left, top, right, bottom}, color);
}

// A one-pixel frame: `topLeft` along the top and left edges, `bottomRight` along the others.
void Frame(TCanvas& canvas, const RECT& r, TColor topLeft, TColor bottomRight) {
    Line(canvas, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    Line(canvas, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    Line(canvas, r.right - 1, r.top, r.right, r.bottom, bottomRight);
    Line(canvas, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
}

} // namespace

TSpeedButton::TSpeedButton() {
    SetOpaque(true);
}

const ClassInfo& TSpeedButton::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TSpeedButton>("TSpeedButton", TGraphicControl::StaticClass())
            .Boolean("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat, false)
            .Binary("Glyph", &TSpeedButton::Glyph, &TSpeedButton::SetGlyph);
    return info;
}

void TSpeedButton::SetGlyph(const std::vector<std::uint8_t>& bytes) {
    if (bytes == glyph_) {
        return;
    }
    std::unique_ptr<Parts> parts;
    if (!bytes.empty()) {
        RgbImage image = DecodeBmp(bytes);
        const Rgb transparent = image.At(0, image.height - 1);
        RgbImage mask = image;
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            const bool clear = image.pixels[i] == transparent;
            mask.pixels[i] = clear ? Rgb{0xFF, 0xFF, 0xFF} : Rgb{};
            if (clear) {
                image.pixels[i] = Rgb{};
            }
        }
        parts = std::make_unique<Parts>();
        AssignImage(parts->image, image);
        AssignImage(parts->mask, mask);
    }
    glyph_ = bytes;
    parts_ = std::move(parts);
    Invalidate();
}

void TSpeedButton::SetFlat(bool flat) {
    if (flat == flat_) {
        return;
    }
    flat_ = flat;
    SetOpaque(!flat);
    look_ = CurrentLook();
    Invalidate();
}

TButtonLook TSpeedButton::CurrentLook() const {
    if (pressed_ && inside_) {
        return TButtonLook::blLowered;
    }
    return flat_ && !hovered_ ? TButtonLook::blNone : TButtonLook::blRaised;
}

void TSpeedButton::UpdateLook() {
    const TButtonLook look = CurrentLook();
    if (look != look_) {
        look_ = look;
        Invalidate();
    }
}

void TSpeedButton::WndProc(TMessage& message) {
    if (message.Msg == CM_DEFAULTACTION) {
        message.Result = 0;
        Click();
        return;
    }
    switch (message.Msg) {
    case CM_MOUSEENTER:
        hovered_ = true;
        break;
    case CM_MOUSELEAVE:
        hovered_ = false;
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        pressed_ = true;
        inside_ = true;
        break;
    case WM_MOUSEMOVE:
        if (pressed_) {
            const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            const RECT client = ClientRect();
            inside_ = PtInRect(&client, point) != FALSE;
        }
        break;
    case WM_LBUTTONUP:
    case WM_CANCELMODE:
        pressed_ = false;
        break;
    default:
        break;
    }
    UpdateLook();
    // Last: the click it may raise can destroy the button.
    TGraphicControl::WndProc(message);
}

void TSpeedButton::Paint(TCanvas& canvas) {
    const RECT client = ClientRect();
    if (!flat_) {
        canvas.FillRect(client, clBtnFace);
    }
    const int shift = look_ == TButtonLook::blLowered ? 1 : 0;
    if (parts_) {
        DrawGlyph(canvas, (Width() - parts_->image.Width()) / 2 + shift,
                  (Height() - parts_->image.Height()) / 2 + shift);
    }
    switch (look_) {
    case TButtonLook::blNone:
        break;
    case TButtonLook::blRaised:
        if (flat_) {
            Frame(canvas, client, clBtnHighlight, clBtnShadow);
        } else {
            RECT edge = client;
            DrawEdge(canvas.Handle(), &edge, EDGE_RAISED, BF_RECT);
        }
        break;
    case TButtonLook::blLowered:
        if (flat_) {
            Frame(canvas, client, clBtnShadow, clBtnHighlight);
        } else {
            RECT edge = client;
            DrawEdge(canvas.Handle(), &edge, EDGE_SUNKEN, BF_RECT);
        }
        break;
    }
}

// The mask keeps the background where the glyph is transparent and clears it elsewhere; the image,
// black where transparent, then fills the cleared pixels. Both are exact, whatever the colours.
void TSpeedButton::DrawGlyph(TCanvas& canvas, int x, int y) const {
    const int width = parts_->image.Width();
    const int height = parts_->image.Height();
    const HDC dc = canvas.Handle();
    const BITMAPINFO maskInfo = parts_->mask.Info();
    StretchDIBits(dc, x, y, width, height, 0, 0, width, height, parts_->mask.Bits(), &maskInfo,
                  DIB_RGB_COLORS, SRCAND);
    const BITMAPINFO imageInfo = parts_->image.Info();
    StretchDIBits(dc, x, y, width, height, 0, 0, width, height, parts_->image.Bits(), &imageInfo,
                  DIB_RGB_COLORS, SRCPAINT);
}

} // namespace vigrel
