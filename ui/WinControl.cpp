#include "ui/WinControl.h"

#include "ui/Module.h"
#include "ui/Published.h"

#include <windowsx.h>

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace vigrel {
namespace {

constexpr char WinControlClass[] = "VigrelWinControl";

bool classRegistered = false;

// The windows bound to objects, so that unloading can destroy what is left.
std::vector<HWND>& LiveWindows() {
    static std::vector<HWND> windows;
    return windows;
}

bool IsWindowed(const TControl& control) {
    return dynamic_cast<const TWinControl*>(&control) != nullptr;
}

// Ends the paint that BeginPaint started, also when painting fails.
class PaintGuard {
public:
    explicit PaintGuard(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    PaintGuard(const PaintGuard&) = delete;
    PaintGuard& operator=(const PaintGuard&) = delete;
    ~PaintGuard() { EndPaint(window_, &paint_); }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_; // owned by the paint
};

} // namespace

TWinControl::TWinControl() = default;

TWinControl::~TWinControl() {
    if (handle_ != nullptr) {
        const HWND window = handle_;
        Unbind();
        DestroyWindow(window);
    }
    for (TControl* control : controls_) {
        control->parent_ = nullptr;
    }
}

const ClassInfo& TWinControl::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TWinControl>("TWinControl", TControl::StaticClass())
            .Color("Color", &TWinControl::Color, &TWinControl::SetColor, clBtnFace);
    return info;
}

void TWinControl::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Invalidate();
    }
}

HWND TWinControl::Handle() {
    if (handle_ == nullptr) {
        CreateHandle();
    }
    return handle_;
}

void TWinControl::CreateHandle() {
    if (!classRegistered) {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = StandardWindowProc;
        windowClass.hInstance = ModuleInstance();
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = WinControlClass;
        if (RegisterClassA(&windowClass) == 0) {
            throw std::runtime_error("cannot register the window class of the controls");
        }
        classRegistered = true;
    }
    const HWND parentWindow = parent_ != nullptr ? parent_->Handle() : parentWindow_;
    // Making the parent's window makes this one too.
    if (handle_ != nullptr) {
        return;
    }
    const DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                        (parentWindow != nullptr ? WS_CHILD : WS_POPUP) |
                        (Visible() ? WS_VISIBLE : 0);
    CreateWindowExA(0, WinControlClass, "", style, Left(), Top(), Width(), Height(), parentWindow,
                    nullptr, ModuleInstance(), this);
    if (handle_ == nullptr) {
        throw std::runtime_error("cannot create the window of " + Name());
    }
    for (TControl* control : controls_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            windowed->Handle();
        }
    }
}

void TWinControl::DestroyHandle() {
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
}

void TWinControl::Unbind() {
    SetWindowLongPtrA(handle_, GWLP_USERDATA, 0);
    auto& windows = LiveWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), handle_), windows.end());
    handle_ = nullptr;
    hovered_ = nullptr;
    pressed_ = nullptr;
    trackingLeave_ = false;
}

LRESULT CALLBACK TWinControl::StandardWindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* created = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* control = static_cast<TWinControl*>(created->lpCreateParams);
        control->handle_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
        LiveWindows().push_back(window);
    }
    auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (control == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        control->Unbind();
        return DefWindowProcA(window, message, wParam, lParam);
    }
    try {
        TMessage delivered{message, wParam, lParam, 0};
        if (control->WindowProc) {
            control->WindowProc(delivered);
        } else {
            control->WndProc(delivered);
        }
        return delivered.Result;
    } catch (...) {
        // No failure of a handler reaches the window system: the message gets the default
        // handling instead.
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void TWinControl::SetParentWindow(HWND window) {
    if (window != parentWindow_) {
        parentWindow_ = window;
        DestroyHandle();
    }
}

void TWinControl::Update() {
    if (handle_ != nullptr) {
        UpdateWindow(handle_);
    }
}

void TWinControl::Invalidate() {
    if (handle_ != nullptr) {
        InvalidateRect(handle_, nullptr, FALSE);
    }
}

void TWinControl::InvalidateArea(const RECT& rect, bool erase) {
    if (handle_ != nullptr) {
        InvalidateRect(handle_, &rect, erase ? TRUE : FALSE);
    }
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (left == left_ && top == top_ && width == width_ && height == height_) {
        return;
    }
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_ != nullptr) {
        MoveWindow(handle_, left, top, width, height, TRUE);
    }
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) {
        return;
    }
    visible_ = visible;
    if (handle_ != nullptr) {
        ShowWindow(handle_, visible ? SW_SHOWNOACTIVATE : SW_HIDE);
    }
}

void TWinControl::SetParent(TWinControl* parent) {
    for (const TWinControl* above = parent; above != nullptr; above = above->Parent()) {
        if (above == this) {
            throw std::invalid_argument(Name() + " cannot be placed inside itself");
        }
    }
    if (parent == Parent()) {
        return;
    }
    DestroyHandle();
    TControl::SetParent(parent);
    if (parent != nullptr && parent->HandleAllocated()) {
        Handle();
    }
}

void TWinControl::InsertControl(TControl& control) {
    controls_.push_back(&control);
}

void TWinControl::RemoveControl(TControl& control) {
    controls_.erase(std::remove(controls_.begin(), controls_.end(), &control), controls_.end());
    if (hovered_ == &control) {
        hovered_ = nullptr;
    }
    if (pressed_ == &control) {
        pressed_ = nullptr;
        if (handle_ != nullptr && GetCapture() == handle_) {
            ReleaseCapture();
        }
    }
}

bool TWinControl::Lists(const TControl* control) const {
    return std::find(controls_.begin(), controls_.end(), control) != controls_.end();
}

TControl* TWinControl::ControlAtPos(POINT point) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl& control = **it;
        const RECT bounds = control.BoundsRect();
        if (!IsWindowed(control) && control.Visible() && control.Enabled() &&
            PtInRect(&bounds, point)) {
            return &control;
        }
    }
    return nullptr;
}

void TWinControl::PaintTo(HDC dc) {
    TCanvas canvas(dc);
    PaintWindow(canvas);
    PaintControls(canvas);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    const TCanvas::SavedState saved(canvas);
    for (const TControl* control : controls_) {
        if (control->Visible() && control->Opaque() && !IsWindowed(*control)) {
            canvas.ExcludeClip(control->BoundsRect());
        }
    }
    canvas.FillRect(ClientRect(), color_);
}

void TWinControl::PaintControls(TCanvas& canvas) {
    // A control's paint may add or remove controls: walk a copy and skip the ones that left.
    const std::vector<TControl*> controls = controls_;
    for (TControl* control : controls) {
        if (!Lists(control) || !control->Visible() || IsWindowed(*control)) {
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

void TWinControl::SetHovered(TControl* control) {
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

bool TWinControl::RouteMouse(TMessage& message) {
    switch (message.Msg) {
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
        break;
    default:
        return false;
    }
    const POINT point{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
    if (message.Msg == WM_MOUSEMOVE) {
        if (!trackingLeave_ && handle_ != nullptr) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, handle_, 0};
            trackingLeave_ = TrackMouseEvent(&track) != FALSE;
        }
        SetHovered(ControlAtPos(point));
    }
    TControl* target = pressed_ != nullptr ? pressed_ : ControlAtPos(point);
    if (target == nullptr) {
        return false;
    }
    if (message.Msg == WM_LBUTTONDOWN || message.Msg == WM_LBUTTONDBLCLK) {
        pressed_ = target;
        if (handle_ != nullptr) {
            SetCapture(handle_);
        }
    } else if (message.Msg == WM_LBUTTONUP) {
        pressed_ = nullptr;
        if (handle_ != nullptr && GetCapture() == handle_) {
            ReleaseCapture();
        }
    }
    const int x = point.x - target->Left();
    const int y = point.y - target->Top();
    message.Result = target->Perform(message.Msg, message.WParam,
                                     MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)));
    return true;
}

void TWinControl::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        // The background is painted with the controls, in WM_PAINT, so nothing flickers.
        message.Result = 1;
        return;
    case WM_PAINT:
        if (message.WParam != 0) {
            PaintTo(reinterpret_cast<HDC>(message.WParam));
        } else if (handle_ != nullptr) {
            const PaintGuard paint(handle_);
            PaintTo(paint.Get());
        }
        message.Result = 0;
        return;
    case WM_SETTINGCHANGE: {
        DefaultHandler(message);
        const std::vector<TControl*> controls = controls_;
        for (TControl* control : controls) {
            if (!Lists(control)) {
                continue;
            }
            try {
                control->Perform(message.Msg, message.WParam, message.LParam);
            } catch (...) {
                // One control failing to follow the new settings does not keep the others from
                // hearing of them.
            }
        }
        return;
    }
    case WM_MOUSELEAVE:
        trackingLeave_ = false;
        SetHovered(nullptr);
        break;
    case WM_CAPTURECHANGED:
        // The press is over without a release: the control must not click at a later one.
        if (TControl* pressed = std::exchange(pressed_, nullptr)) {
            pressed->Perform(WM_CANCELMODE);
        }
        break;
    default:
        if (RouteMouse(message)) {
            return;
        }
        break;
    }
    TControl::WndProc(message);
}

void TWinControl::DefaultHandler(TMessage& message) {
    message.Result = handle_ != nullptr
                         ? DefWindowProcA(handle_, message.Msg, message.WParam, message.LParam)
                         : 0;
}

void ShutdownWinControls() {
    const std::vector<HWND> windows = LiveWindows();
    for (const HWND window : windows) {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
    if (classRegistered) {
        UnregisterClassA(WinControlClass, ModuleInstance());
        classRegistered = false;
    }
}

} // namespace vigrel
