#include "ui/Canvas.h"

#include <stdexcept>

namespace vigrel {
namespace {

constexpr std::size_t None = SIZE_MAX;

bool SamePen(const TPenSpec& a, const TPenSpec& b) {
    return a.color == b.color && a.width == b.width && a.style == b.style;
}

// Whether `dc` draws onto a palette surface of 8 bits per pixel or fewer. A memory device context
// draws onto its bitmap; any other onto the display, whose depth is asked once (the query costs
// a fraction of a millisecond under Wine, more than the drawing it decides about).
bool DrawsOnPalette(HDC dc) {
    if (GetObjectType(dc) == OBJ_MEMDC) {
        BITMAP bitmap{};
        if (GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bitmap), &bitmap) != 0) {
            return bitmap.bmBitsPixel * bitmap.bmPlanes <= 8;
        }
    }
    static const bool displayPalette = [] {
        const HDC screen = GetDC(nullptr);
        const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
        return bits <= 8;
    }();
    return displayPalette;
}

} // namespace

TCanvas::TCanvas(HDC dc) : dc_(dc) {
    const int saved = dc_ == nullptr ? 0 : SaveDC(dc_);
    if (saved == 0) {
        throw std::invalid_argument("a canvas needs a device context");
    }
    levels_.push_back({saved, pen_, brush_, false, false, 0, None, None});
}

TCanvas::~TCanvas() {
    // The first saved state selects back what the device context had, so every object made here
    // is free to go.
    RestoreDC(dc_, levels_.front().savedDC);
}

void TCanvas::SetPen(const TPenSpec& pen) {
    if (!SamePen(pen, pen_)) {
        pen_ = pen;
        penSelected_ = false;
    }
}

void TCanvas::SetBrush(const TBrushSpec& brush) {
    if (brush.color != brush_.color || brush.style != brush_.style) {
        brush_ = brush;
        brushSelected_ = false;
    }
}

void TCanvas::Rectangle(const RECT& rect) {
    RequirePen();
    RequireBrush();
    ::Rectangle(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::RoundRect(const RECT& rect, int cornerWidth, int cornerHeight) {
    RequirePen();
    RequireBrush();
    ::RoundRect(dc_, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

void TCanvas::Ellipse(const RECT& rect) {
    RequirePen();
    RequireBrush();
    ::Ellipse(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::FillRect(const RECT& rect, TColor color) {
    const OwnedBrush brush = Created(CreateSolidBrush(ColorToRGB(color)), "a brush");
    ::FillRect(dc_, &rect, brush.Get());
}

void TCanvas::StretchDraw(const RECT& target, const TBitmap& bitmap) {
    if (bitmap.Handle() == nullptr) {
        return;
    }
    const bool palette = DrawsOnPalette(dc_);
    const int previousMode = SetStretchBltMode(dc_, palette ? HALFTONE : COLORONCOLOR);
    if (palette) {
        SetBrushOrgEx(dc_, 0, 0, nullptr);
    }
    const BITMAPINFO info = bitmap.Info();
    StretchDIBits(dc_, target.left, target.top, target.right - target.left,
                  target.bottom - target.top, 0, 0, bitmap.Width(), bitmap.Height(), bitmap.Bits(),
                  &info, DIB_RGB_COLORS, SRCCOPY);
    SetStretchBltMode(dc_, previousMode);
}

POINT TCanvas::WindowOrigin() const {
    POINT origin{};
    GetWindowOrgEx(dc_, &origin);
    return origin;
}

void TCanvas::MoveOrigin(int x, int y) {
    const POINT origin = WindowOrigin();
    SetWindowOrgEx(dc_, origin.x - x, origin.y - y, nullptr);
}

void TCanvas::IntersectClip(const RECT& rect) {
    IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::ExcludeClip(const RECT& rect) {
    ExcludeClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

void TCanvas::IntersectClip(HRGN region) {
    ExtSelectClipRgn(dc_, region, RGN_AND);
}

bool TCanvas::RectVisible(const RECT& rect) const {
    return ::RectVisible(dc_, &rect) != FALSE;
}

void TCanvas::SaveState() {
    const int saved = SaveDC(dc_);
    if (saved == 0) {
        throw std::runtime_error("cannot save the device context's state");
    }
    levels_.push_back({saved, pen_, brush_, penSelected_, brushSelected_, objects_.size(),
                       penIndex_, brushIndex_});
}

void TCanvas::RestoreState() {
    if (levels_.size() < 2) {
        return;
    }
    const Level level = levels_.back();
    levels_.pop_back();
    RestoreDC(dc_, level.savedDC);
    pen_ = level.pen;
    brush_ = level.brush;
    penSelected_ = level.penSelected;
    brushSelected_ = level.brushSelected;
    penIndex_ = level.penIndex;
    brushIndex_ = level.brushIndex;
    // What the level made is no longer selected now.
    objects_.resize(level.objects);
}

void TCanvas::RequirePen() {
    if (penSelected_) {
        return;
    }
    const HPEN pen = CreatePen(pen_.style, pen_.width, ColorToRGB(pen_.color));
    if (pen == nullptr) {
        throw std::runtime_error("cannot create a pen");
    }
    Select(pen, OwnedGdiObject(pen), penIndex_);
    penSelected_ = true;
}

void TCanvas::RequireBrush() {
    if (brushSelected_) {
        return;
    }
    if (brush_.style == TBrushStyle::bsClear) {
        Select(GetStockObject(HOLLOW_BRUSH), OwnedGdiObject(), brushIndex_);
    } else {
        const HBRUSH brush = CreateSolidBrush(ColorToRGB(brush_.color));
        if (brush == nullptr) {
            throw std::runtime_error("cannot create a brush");
        }
        Select(brush, OwnedGdiObject(brush), brushIndex_);
    }
    brushSelected_ = true;
}

void TCanvas::Select(HGDIOBJ handle, OwnedGdiObject owned, std::size_t& current) {
    const bool keep = static_cast<bool>(owned);
    if (keep) {
        objects_.push_back(std::move(owned));
    }
    SelectObject(dc_, handle);
    if (current != None && current >= levels_.back().objects) {
        objects_[current].Reset();
    }
    current = keep ? objects_.size() - 1 : None;
}

} // namespace vigrel
