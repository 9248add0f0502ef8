#include "ui/WinControl.h"

#include "ui/Boundary.h"
#include "ui/Module.h"
#include "ui/Published.h"
#include "ui/WideText.h"
#include "ui/WindowClass.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <unordered_map>
#include <utility>

namespace vigrel {
namespace {

// The windows bound to their objects. Looked up on every message, so it lives in this module's
// memory rather than in window properties (which Wine keeps in its server, a round trip per
// lookup); each copy of the toolkit in a process (a program and a plug-in it loads) has its own,
// so none takes another's windows for its own; and unloading destroys what is left in it.
std::unordered_map<HWND, TWinControl*>& BoundWindows() {
    static std::unordered_map<HWND, TWinControl*> windows;
    return windows;
}

bool IsWindowed(const TControl& control) {
    return dynamic_cast<const TWinControl*>(&control) != nullptr;
}

bool OnThisThread(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

bool IsToolkitMessage(UINT message) {
    return message >= CM_BASE && message < 0xC000;
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

TWinControl::TWinControl() : drawn_(controls_) {}

TWinControl::~TWinControl() {
    if (handle_ != nullptr) {
        ReleaseWindow();
    }
    for (TControl* control : controls_) {
        control->parent_ = nullptr;
    }
}

const ClassInfo& TWinControl::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TWinControl>("TWinControl", TControl::StaticClass())
            .Color("Color", &TWinControl::Color, &TWinControl::SetColor, clBtnFace)
            .Integer("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder, 0, 0, 32767)
            .Boolean("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop, false);
    return info;
}

void TWinControl::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Invalidate();
    }
}

HBRUSH TWinControl::BackgroundBrush(TColor color) {
    const TColor rgb = ColorToRGB(color);
    if (!brush_ || rgb != brushColor_) {
        brush_ = Created(CreateSolidBrush(rgb), "a background brush");
        brushColor_ = rgb;
    }
    return brush_.Get();
}

TWinControl* TWinControl::FromHandle(HWND window) {
    const auto& windows = BoundWindows();
    const auto found = windows.find(window);
    return found != windows.end() ? found->second : nullptr;
}

HWND TWinControl::Handle() {
    if (handle_ == nullptr) {
        CreateHandle();
    }
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& params) {
    params.Caption = ToWide(text_);
    params.X = Left();
    params.Y = Top();
    params.Width = Width();
    params.Height = Height();
    params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS |
                   (params.WndParent != nullptr ? WS_CHILD : WS_POPUP) |
                   (Visible() ? WS_VISIBLE : 0) | (Enabled() ? 0 : WS_DISABLED);
}

void TWinControl::CreateHandle() {
    TCreateParams params;
    params.WndParent = Parent() != nullptr ? Parent()->Handle() : parentWindow_;
    // Making the parent's window makes this one too.
    if (handle_ != nullptr) {
        return;
    }
    CreateParams(params);
    LPCWSTR className = params.ClassName;
    if (!params.SystemClass) {
        className = UseWindowClass(params.ClassName, StandardWindowProc, params.ClassStyle,
                                   CursorHandle(TCursor::crArrow));
    }
    NoteWindowThread();
    MakeCaptionWindow(params);
    // A child window's menu handle is its ID; a top-level window has no menu.
    const auto id = reinterpret_cast<HMENU>(
        static_cast<INT_PTR>((params.Style & WS_CHILD) != 0 ? ControlId() : 0));
    const HWND window = CreateWindowExW(
        params.ExStyle, className, params.Caption.c_str(), params.Style, params.X, params.Y,
        params.Width, params.Height, params.WndParent, id, ModuleInstance(), this);
    // A system window is bound before it is subclassed, so it never reaches the library's
    // procedure unbound.
    if (window != nullptr && params.SystemClass &&
        Bind(window, reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)))) {
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandardWindowProc));
        subclassed_ = true;
    }
    if (handle_ == nullptr) {
        if (window != nullptr) {
            DestroyWindow(window);
        }
        DestroyCaptionWindow();
        throw std::runtime_error("cannot create the window of " + Name());
    }
    if (captionWindow_ != nullptr) {
        SetWindowPos(handle_, captionWindow_, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    CreateWnd();
    for (TControl* control : controls_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            windowed->Handle();
        }
    }
}

void TWinControl::CreateWnd() {
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
}

void TWinControl::DestroyHandle() {
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
}

void TWinControl::ReleaseWindow() {
    const HWND window = handle_;
    if (OnThisThread(window)) {
        Unbind();
        DestroyWindow(window);
    } else {
        Abandon();
    }
}

void TWinControl::Abandon() {
    SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    subclassed_ = false;
    Unbind();
}

bool TWinControl::Bind(HWND window, WNDPROC original) noexcept {
    const bool recorded = Contain(
        [&] {
            BoundWindows().insert_or_assign(window, this);
            return true;
        },
        [] { return false; });
    if (!recorded) {
        return false;
    }
    handle_ = window;
    originalProc_ = original;
    return true;
}

// Without it the field still works; only its name for screen readers is missing.
void TWinControl::MakeCaptionWindow(const TCreateParams& params) {
    const std::string caption = AccessibleCaption();
    if (caption.empty() || (params.Style & WS_CHILD) == 0) {
        return;
    }
    // No size: it shows nothing and stands in no one's way, even for those who hit-test hidden
    // windows.
    captionWindow_ =
        CreateWindowExW(0, L"STATIC", ToWide(caption).c_str(), WS_CHILD | SS_NOPREFIX, params.X,
                        params.Y, 0, 0, params.WndParent, nullptr, ModuleInstance(), nullptr);
}

void TWinControl::DestroyCaptionWindow() {
    if (captionWindow_ != nullptr && OnThisThread(captionWindow_)) {
        DestroyWindow(captionWindow_);
    }
    captionWindow_ = nullptr;
}

void TWinControl::SetAccessibleCaption(std::string caption) {
    accessibleCaption_ = std::move(caption);
    if (captionWindow_ != nullptr) {
        SetWindowTextW(captionWindow_, ToWide(accessibleCaption_).c_str());
    }
}

void TWinControl::Unbind() noexcept {
    if (subclassed_ && GetWindowLongPtrW(handle_, GWLP_WNDPROC) ==
                           reinterpret_cast<LONG_PTR>(&StandardWindowProc)) {
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(originalProc_));
    }
    DisconnectAccessible(accessible_);
    BoundWindows().erase(handle_);
    DestroyCaptionWindow();
    handle_ = nullptr;
    subclassed_ = false;
    drawn_.Reset();
}

LRESULT CALLBACK TWinControl::StandardWindowProc(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) noexcept {
    TWinControl* control = FromHandle(window);
    if (control == nullptr && message == WM_NCCREATE) {
        const auto* created = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        control = static_cast<TWinControl*>(created->lpCreateParams);
        if (control != nullptr && !control->Bind(window, &DefWindowProcW)) {
            return FALSE; // the window is not made, and its maker says so
        }
    }
    if (control == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const WNDPROC original = control->originalProc_;
    if (message == WM_NCDESTROY) {
        control->Unbind();
        return CallWindowProcW(original, window, message, wParam, lParam);
    }
    return Contain(
        [&] {
            TMessage delivered{message, wParam, lParam, 0};
            if (control->WindowProc) {
                control->WindowProc(delivered);
            } else {
                control->WndProc(delivered);
            }
            return delivered.Result;
        },
        [&] {
            return IsToolkitMessage(message)
                       ? 0
                       : CallWindowProcW(original, window, message, wParam, lParam);
        });
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

void TWinControl::Repaint() {
    if (handle_ != nullptr) {
        RedrawWindow(handle_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

RECT TWinControl::ClientRect() const {
    RECT client = TControl::ClientRect();
    if (handle_ != nullptr) {
        GetClientRect(handle_, &client);
    }
    return client;
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
        SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
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

void TWinControl::SetParent(ControlParent* parent) {
    TWinControl* const windowed = parent != nullptr ? &parent->ParentWinControl() : nullptr;
    for (const TWinControl* above = windowed; above != nullptr; above = above->Parent()) {
        if (above == this) {
            throw std::invalid_argument(Name() + " cannot be placed inside itself");
        }
    }
    if (windowed == Parent()) {
        return;
    }
    DestroyHandle();
    TControl::SetParent(parent);
    if (windowed != nullptr && windowed->HandleAllocated()) {
        Handle();
    }
}

std::string TWinControl::Text() const {
    return handle_ != nullptr ? FromWide(WindowTextW(handle_)) : text_;
}

void TWinControl::SetText(std::string text) {
    if (handle_ != nullptr) {
        text_ = Text();
    }
    TControl::SetText(std::move(text));
}

void TWinControl::InsertControl(TControl& control) {
    if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
        windowed->tabOrder_ = static_cast<int>(std::count_if(
            controls_.begin(), controls_.end(), [](TControl* c) { return IsWindowed(*c); }));
    }
    controls_.push_back(&control);
}

void TWinControl::RemoveControl(TControl& control) {
    std::erase(controls_, &control);
    drawn_.Forget(control, handle_);
}

std::vector<TGraphicControl*> TWinControl::AccessibleControls() const {
    std::vector<TGraphicControl*> told;
    for (TControl* control : controls_) {
        auto* drawn = dynamic_cast<TGraphicControl*>(control);
        if (drawn != nullptr && drawn->Accessible() && drawn->Visible()) {
            told.push_back(drawn);
        }
    }
    return told;
}

int TWinControl::ControlId() const {
    const TComponent* owner = Owner();
    for (std::size_t i = 0; owner != nullptr && i < owner->ComponentCount(); ++i) {
        if (&owner->Components(i) == this) {
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

bool TWinControl::CanFocus() const {
    for (const TWinControl* control = this; control != nullptr; control = control->Parent()) {
        if (!control->Visible() || !control->Enabled()) {
            return false;
        }
    }
    return handle_ != nullptr;
}

bool TWinControl::Focused() const {
    return handle_ != nullptr && GetFocus() == handle_;
}

void TWinControl::SetFocus() {
    ::SetFocus(Handle());
}

std::vector<TWinControl*> TWinControl::TabOrderList() const {
    std::vector<TWinControl*> children;
    for (TControl* control : controls_) {
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) {
            children.push_back(windowed);
        }
    }
    std::stable_sort(children.begin(), children.end(),
                     [](const auto* a, const auto* b) { return a->tabOrder_ < b->tabOrder_; });
    std::vector<TWinControl*> list;
    for (TWinControl* child : children) {
        list.push_back(child);
        const std::vector<TWinControl*> inner = child->TabOrderList();
        list.insert(list.end(), inner.begin(), inner.end());
    }
    return list;
}

void TWinControl::ChildFocused(TWinControl&) {}

void TWinControl::PaintTo(HDC dc) {
    TCanvas canvas(dc);
    PaintWindow(canvas);
    drawn_.Paint(canvas);
}

void TWinControl::PaintWindow(TCanvas& canvas) {
    drawn_.PaintBackground(canvas, ClientRect(), color_);
}

bool TWinControl::Reflect(TMessage& message) {
    HWND child = nullptr;
    switch (message.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORLISTBOX:
        child = reinterpret_cast<HWND>(message.LParam);
        break;
    default:
        return false;
    }
    TWinControl* target = FromHandle(child);
    if (target == nullptr || target == this) {
        return false;
    }
    message.Result = target->Perform(CN_BASE + message.Msg, message.WParam, message.LParam);
    return true;
}

void TWinControl::Broadcast(TMessage& message) {
    const std::vector<TControl*> controls = controls_;
    for (TControl* control : controls) {
        if (std::find(controls_.begin(), controls_.end(), control) == controls_.end()) {
            continue;
        }
        try {
            control->Perform(message.Msg, message.WParam, message.LParam);
        } catch (...) {
            // One control failing to follow the change does not keep the others from hearing of
            // it.
        }
    }
}

void TWinControl::WndProc(TMessage& message) {
    if ((OwnClass() ? PaintOwn(message) : ClickedBySystem(message)) || FollowChange(message) ||
        drawn_.Handle(handle_, OwnClass(), Cursor(), message) || Reflect(message) ||
        (message.Msg == WM_GETOBJECT && handle_ != nullptr &&
         AnswerGetObject(accessible_, *this, handle_, message))) {
        return;
    }
    TControl::WndProc(message);
}

bool TWinControl::PaintOwn(TMessage& message) {
    switch (message.Msg) {
    case WM_ERASEBKGND:
        // The background is painted with the controls, in WM_PAINT, so nothing flickers.
        message.Result = 1;
        return true;
    case WM_PAINT:
        if (message.WParam != 0) {
            PaintTo(reinterpret_cast<HDC>(message.WParam));
        } else if (handle_ != nullptr) {
            const PaintGuard paint(handle_);
            PaintTo(paint.Get());
        }
        message.Result = 0;
        return true;
    case WM_PRINTCLIENT:
        // Themed system controls draw their transparent edges by asking the parent to print its
        // client area into their device context (DrawThemeParentBackground): the background and
        // the windowless controls, as a paint would show them.
        if ((message.LParam & PRF_CLIENT) == 0) {
            return false;
        }
        PaintTo(reinterpret_cast<HDC>(message.WParam));
        message.Result = 0;
        return true;
    default:
        return false;
    }
}

bool TWinControl::ClickedBySystem(TMessage& message) {
    // A system control clicks through its own notification, not through ours.
    const UINT clicks[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK};
    if (std::find(std::begin(clicks), std::end(clicks), message.Msg) == std::end(clicks)) {
        return false;
    }
    DefaultHandler(message);
    return true;
}

bool TWinControl::FollowChange(TMessage& message) {
    switch (message.Msg) {
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // A theme that changes (high contrast on or off among them) is followed at once.
        DefaultHandler(message);
        Broadcast(message);
        if (handle_ != nullptr && (GetWindowLongW(handle_, GWL_STYLE) & WS_CHILD) == 0) {
            RedrawWindow(handle_, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        }
        return true;
    case CM_FONTCHANGED: {
        if (handle_ != nullptr) {
            SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
        }
        TMessage parentFont{CM_PARENTFONTCHANGED, 0, 0, 0};
        Broadcast(parentFont);
        return false;
    }
    case CM_TEXTCHANGED:
        if (handle_ != nullptr) {
            SetWindowTextW(handle_, ToWide(text_).c_str());
        }
        return false;
    case CM_ENABLEDCHANGED:
        if (handle_ != nullptr) {
            EnableWindow(handle_, Enabled() ? TRUE : FALSE);
        }
        return false;
    case WM_SETFOCUS: {
        TWinControl* root = TopParent();
        (root != nullptr ? *root : *this).ChildFocused(*this);
        return false;
    }
    case WM_WINDOWPOSCHANGED: {
        const auto* position = reinterpret_cast<const WINDOWPOS*>(message.LParam);
        if ((position->flags & SWP_NOMOVE) == 0) {
            left_ = position->x;
            top_ = position->y;
        }
        if ((position->flags & SWP_NOSIZE) == 0) {
            width_ = position->cx;
            height_ = position->cy;
        }
        return false;
    }
    default:
        return false;
    }
}

void TWinControl::DefaultHandler(TMessage& message) {
    switch (message.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORLISTBOX: {
        // Under high contrast, the system's pairs: window text on the window colour in fields
        // and lists, button text on the button face elsewhere.
        TColor text = Font().Color();
        TColor back = color_;
        if (HighContrastOn()) {
            const bool field = message.Msg == CN_CTLCOLOREDIT || message.Msg == CN_CTLCOLORLISTBOX;
            text = field ? clWindowText : clBtnText;
            back = field ? clWindow : clBtnFace;
        }
        const auto dc = reinterpret_cast<HDC>(message.WParam);
        SetTextColor(dc, ColorToRGB(text));
        SetBkColor(dc, ColorToRGB(back));
        message.Result = reinterpret_cast<LRESULT>(BackgroundBrush(back));
        return;
    }
    default:
        break;
    }
    if (IsToolkitMessage(message.Msg) || handle_ == nullptr) {
        message.Result = 0;
        return;
    }
    message.Result =
        CallWindowProcW(originalProc_, handle_, message.Msg, message.WParam, message.LParam);
}

void ReleaseLibraryWindows() {
    std::vector<HWND> windows;
    std::vector<TWinControl*> abandoned;
    for (const auto& [window, control] : BoundWindows()) {
        if (OnThisThread(window)) {
            windows.push_back(window);
        } else {
            abandoned.push_back(control);
        }
    }
    for (TWinControl* control : abandoned) {
        control->Abandon();
    }
    for (const HWND window : windows) {
        if (IsWindow(window)) {
            DestroyWindow(window);
        }
    }
}

bool LibraryWindowsLeft() {
    return !BoundWindows().empty();
}

} // namespace vigrel
