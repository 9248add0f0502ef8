#include "ui/DrawnControls.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

namespace vigrel {
namespace {

bool IsDrawn(const TControl& control) {
    return dynamic_cast<const TGraphicControl*>(&control) != nullptr;
}

bool IsMouseButtonOrMove(UINT message) {
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

} // namespace

bool DrawnControls::Lists(const TControl* control) const {
    return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

TControl* DrawnControls::At(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl& control = **it;
        const RECT bounds = control.BoundsRect();
        if (IsDrawn(control) && control.Visible() && control.Enabled() &&
            PtInRect(&bounds, point)) {
            return &control;
        }
    }
    return nullptr;
}

void DrawnControls::PaintBackground(TCanvas& canvas, const RECT& client, TColor color) const {
    const TCanvas::SavedState saved(canvas);
    for (const TControl* control : controls_) {
        if (control->Visible() && control->Opaque() && IsDrawn(*control)) {
            canvas.ExcludeClip(control->BoundsRect());
        }
    }
    canvas.FillRect(client, color);
}

void DrawnControls::Paint(TCanvas& canvas) const {
    // A control's paint may add or remove controls: walk a copy and skip the ones that left.
    const std::vector<TControl*> controls = controls_;
    for (TControl* control : controls) {
        if (!Lists(control) || !control->Visible() || !IsDrawn(*control)) {
            continue;
        }
        const RECT bounds = control->BoundsRect();
        if (!canvas.RectVisible(bounds)) {
            continue;
        }
        const TCanvas::SavedState saved(canvas);
        canvas.IntersectClip(bounds);
        canvas.MoveOrigin(bounds.left, bounds.top);
        try {
            control->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Handle()), 0);
        } catch (...) {
            // A control that cannot paint (say, a colour that names no system colour) leaves
            // its area unpainted; the controls after it still paint.
        }
    }
}

bool DrawnControls::Handle(HWND window, bool ownClass, TCursor cursor, TMessage& message) {
    switch (message.Msg) {
    case WM_SETCURSOR:
        return SetCursorFor(window, cursor, message);
    case CM_DEFAULTACTION: {
        // Asked for by a screen reader a while ago: the control may have gone, been hidden or
        // disabled since.
        auto* control = reinterpret_cast<TControl*>(message.LParam);
        if (control != nullptr && Lists(control) && control->Visible() && control->Enabled()) {
            control->Perform(CM_DEFAULTACTION);
        }
        message.Result = 0;
        return true;
    }
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        SetHovered(nullptr);
        return false;
    case WM_CAPTURECHANGED:
        // The press is over without a release: the control must not click at a later one.
        if (TControl* pressed = std::exchange(pressed_, nullptr)) {
            pressed->Perform(WM_CANCELMODE);
        }
        return false;
    default:
        return ownClass && IsMouseButtonOrMove(message.Msg) && RouteMouse(window, message);
    }
}

void DrawnControls::Forget(const TControl& control, HWND window) {
    if (hovered_ == &control) {
        hovered_ = nullptr;
    }
    if (pressed_ == &control) {
        pressed_ = nullptr;
        if (window != nullptr && GetCapture() == window) {
            ReleaseCapture();
        }
    }
}

void DrawnControls::Reset() noexcept {
    hovered_ = nullptr;
    pressed_ = nullptr;
    trackingLeave_ = false;
}

void DrawnControls::SetHovered(TControl* control) {
    if (control == hovered_) {
        return;
    }
    if (TControl* left = std::exchange(hovered_, nullptr)) {
        left->Perform(CM_MOUSELEAVE);
    }
    // The leave handler may have removed the control the pointer is over.
    if (control != nullptr && Lists(control)) {
        hovered_ = control;
        control->Perform(CM_MOUSEENTER);
    }
}

bool DrawnControls::RouteMouse(HWND window, TMessage& message) {
    const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (message.Msg == WM_MOUSEMOVE) {
        if (!trackingLeave_ && window != nullptr) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window, 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        SetHovered(At(point));
    }
    TControl* target = pressed_ != nullptr ? pressed_ : At(point);
    if (target == nullptr) {
        return false;
    }
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
        if (target->CapturesMouse()) {
            pressed_ = target;
            if (window != nullptr) {
                SetCapture(window);
            }
        }
    } else if (message.Msg == WM_LBUTTONUP && pressed_ != nullptr) {
        pressed_ = nullptr;
        if (window != nullptr && GetCapture() == window) {
            ReleaseCapture();
        }
    }
    const int x = point.x - target->Left();
    const int y = point.y - target->Top();
    message.Result = target->Perform(message.Msg, message.WParam,
                                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    return true;
}

bool DrawnControls::SetCursorFor(HWND window, TCursor cursor, TMessage& message) const {
    if (reinterpret_cast<HWND>(message.WParam) != window || LOWORD(message.LParam) != HTCLIENT) {
        return false;
    }
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(window, &point);
    const TControl* over = At(point);
    TCursor shown = over != nullptr ? over->Cursor() : TCursor::crDefault;
    if (shown == TCursor::crDefault) {
        shown = cursor;
    }
    const HCURSOR shape = CursorHandle(shown);
    if (shape == nullptr) {
        return false;
    }
    ::SetCursor(shape);
    message.Result = TRUE;
    return true;
}

} // namespace vigrel
