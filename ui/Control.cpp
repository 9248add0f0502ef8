#include "ui/Control.h"

#include "ui/Published.h"

#include <windowsx.h>

#include <algorithm>
#include <limits>

#include <stdexcept>

namespace vigrel {

TControl::TControl() : WindowProc([this](TMessage& message) { WndProc(message); }) {
    font_.SetStored(false);
    font_.OnChange = [this] { FontChanged(); };
}

HCURSOR CursorHandle(TCursor cursor) {
    // The system cursor ids (IDC_ARROW and friends) in the order of TCursor.
    constexpr WORD ids[] = {0, 32512, 32513, 32515, 32514, 32648, 32646, 32649};
    const WORD id = ids[static_cast<std::size_t>(cursor)];
    return id != 0 ? LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) : nullptr;
}

TControl::~TControl() {
    if (parent_ != nullptr) {
        parent_->RemoveControl(*this);
        Invalidate();
        parent_ = nullptr;
    }
}

const ClassInfo& TControl::StaticClass() {
    constexpr std::int64_t maxSize = std::numeric_limits<std::int32_t>::max();
    static const ClassInfo info =
        ClassBuilder<TControl>("TControl", TComponent::StaticClass())
            .Integer("Left", &TControl::Left, &TControl::SetLeft, 0)
            .Integer("Top", &TControl::Top, &TControl::SetTop, 0)
            .Integer("Width", &TControl::Width, &TControl::SetWidth, 0, 0, maxSize)
            .Integer("Height", &TControl::Height, &TControl::SetHeight, 0, 0, maxSize)
            .Boolean("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Boolean("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Record("Font", &TControl::font_)
            .Boolean("ParentFont", &TControl::ParentFont, &TControl::SetParentFont, true)
            .Enumeration("Cursor", &TControl::Cursor, &TControl::SetCursor, TCursor::crDefault,
                         VIGREL_ENUM_NAMES(TCursor, crDefault, crArrow, crIBeam, crCross,
                                           crHourGlass, crNo, crSizeAll, crHandPoint));
    return info;
}

void TControl::SetParentFont(bool parentFont) {
    if (parentFont == parentFont_) {
        return;
    }
    parentFont_ = parentFont;
    font_.SetStored(!parentFont);
    if (parentFont && parent_ != nullptr) {
        Perform(CM_PARENTFONTCHANGED);
    }
}

void TControl::FontChanged() {
    if (!followingParent_ && parentFont_) {
        parentFont_ = false;
        font_.SetStored(true);
    }
    Perform(CM_FONTCHANGED);
}

void TControl::SetAccessibleCaption(std::string) {
    throw std::invalid_argument(Name() + " has no window for a screen reader to name");
}

void TControl::SetText(std::string text) {
    if (text != text_) {
        text_ = std::move(text);
        Perform(CM_TEXTCHANGED);
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    Invalidate();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Invalidate();
}

void TControl::SetVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        Invalidate();
    }
}

void TControl::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Perform(CM_ENABLEDCHANGED);
        Invalidate();
    }
}

void TControl::SetParent(ControlParent* parent) {
    if (parent == parent_) {
        return;
    }
    if (parent_ != nullptr) {
        Invalidate();
        parent_->RemoveControl(*this);
    }
    parent_ = parent;
    if (parent_ != nullptr) {
        parent_->InsertControl(*this);
        if (parentFont_) {
            Perform(CM_PARENTFONTCHANGED);
        }
        Invalidate();
    }
}

TWinControl* TControl::TopParent() const {
    ControlParent* top = parent_;
    while (top != nullptr && top->ParentControl().parent_ != nullptr) {
        top = top->ParentControl().parent_;
    }
    return top != nullptr ? &top->ParentWinControl() : nullptr;
}

TComponent* TControl::GetParentComponent() const {
    return parent_ != nullptr ? &parent_->ParentControl() : nullptr;
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* windowed = dynamic_cast<ControlParent*>(parent)) {
        SetParent(windowed);
    }
}

void TControl::Invalidate() {
    if (parent_ != nullptr && parent_->HandleAllocated()) {
        parent_->InvalidateArea(BoundsRect(), !opaque_);
    }
}

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage performed{message, wParam, lParam, 0};
    if (WindowProc) {
        WindowProc(performed);
    } else {
        WndProc(performed);
    }
    return performed.Result;
}

void TControl::WndProc(TMessage& message) {
    bool click = false;
    switch (message.Msg) {
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
        if (message.LParam == 0 && parent_ != nullptr) {
            parent_->ParentControl().Perform(message.Msg, 0, reinterpret_cast<LPARAM>(this));
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        clickPending_ = true;
        break;
    case WM_LBUTTONUP: {
        const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
        const RECT client = ClientRect();
        click = clickPending_ && PtInRect(&client, point);
        clickPending_ = false;
        break;
    }
    case WM_CANCELMODE:
        clickPending_ = false;
        break;
    case CM_PARENTFONTCHANGED:
        if (parentFont_ && parent_ != nullptr) {
            followingParent_ = true;
            try {
                font_.Assign(parent_->ParentControl().Font());
            } catch (...) {
                followingParent_ = false;
                throw;
            }
            followingParent_ = false;
        }
        break;
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
        Invalidate();
        break;
    default:
        break;
    }
    DefaultHandler(message);
    // Last: the handler may destroy the control.
    if (click) {
        Click();
    }
}

void TControl::DefaultHandler(TMessage& message) {
    message.Result = 0;
}

void TControl::Click() {
    if (OnClick) {
        OnClick(*this);
    }
}

const ClassInfo& TGraphicControl::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TGraphicControl>("TGraphicControl", TControl::StaticClass())
            .Boolean("Accessible", &TGraphicControl::Accessible, &TGraphicControl::SetAccessible,
                     false)
            .Text("AccessibleName", &TGraphicControl::AccessibleName,
                  &TGraphicControl::SetAccessibleName);
    return info;
}

void TGraphicControl::WndProc(TMessage& message) {
    if (message.Msg == WM_PAINT) {
        TCanvas canvas(reinterpret_cast<HDC>(message.WParam));
        Paint(canvas);
        message.Result = 0;
        return;
    }
    TControl::WndProc(message);
}

void TGraphicControl::Paint(TCanvas&) {}

} // namespace vigrel
