#include "ui/Form.h"

#include "ui/Application.h"
#include "ui/Boundary.h"
#include "ui/Published.h"

#include <algorithm>
#include <stdexcept>

namespace vigrel {
namespace {

// Disables the enabled, visible top-level windows of this thread but one, and enables exactly
// those again when dropped. Each window is recorded before it is disabled, so none that a failure
// interrupts is left disabled.
class DisabledWindows {
public:
    explicit DisabledWindows(HWND except) {
        try {
            ForEachThreadWindow(GetCurrentThreadId(), [&](HWND window) {
                if (window != except && IsWindowVisible(window) && IsWindowEnabled(window)) {
                    windows_.push_back(window);
                    EnableWindow(window, FALSE);
                }
                return true;
            });
        } catch (...) {
            Restore();
            throw;
        }
    }
    DisabledWindows(const DisabledWindows&) = delete;
    DisabledWindows& operator=(const DisabledWindows&) = delete;
    ~DisabledWindows() { Restore(); }

    void Restore() {
        for (const HWND window : windows_) {
            if (IsWindow(window)) {
                EnableWindow(window, TRUE);
            }
        }
        windows_.clear();
    }

private:
    std::vector<HWND> windows_;
};

bool KeyDown(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

void CollectButtons(const TWinControl& parent, std::vector<TButton*>& buttons) {
    for (std::size_t i = 0; i < parent.ControlCount(); ++i) {
        TControl& control = parent.Controls(i);
        if (auto* button = dynamic_cast<TButton*>(&control)) {
            buttons.push_back(button);
        } else if (auto* windowed = dynamic_cast<TWinControl*>(&control)) {
            CollectButtons(*windowed, buttons);
        }
    }
}

RECT SystemWorkArea(HWND window) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info)) {
        return info.rcWork;
    }
    return RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TWorkAreaQuery& WorkAreaQuery() {
    static TWorkAreaQuery query = &SystemWorkArea;
    return query;
}

// The start of a span of the given length centred in [low, high), kept inside it where it fits
// and at its start where it does not.
int Centred(LONG low, LONG high, int length) {
    return static_cast<int>(std::max<LONG>(low, low + (high - low - length) / 2));
}

} // namespace

TWorkAreaQuery ReplaceWorkAreaQuery(TWorkAreaQuery query) {
    const TWorkAreaQuery previous = WorkAreaQuery();
    WorkAreaQuery() = query != nullptr ? query : &SystemWorkArea;
    return previous;
}

TScreen& Screen() {
    static TScreen screen;
    return screen;
}

TForm* TScreen::ActiveForm() const {
    return TForm::Containing(GetActiveWindow());
}

TForm* GetParentForm(const TControl& control) {
    TControl* top = control.TopParent();
    return dynamic_cast<TForm*>(top != nullptr ? top : const_cast<TControl*>(&control));
}

HWND DefaultOwnerWindow() {
    HWND owner = GetActiveWindow();
    if (owner == nullptr) {
        ForEachThreadWindow(GetCurrentThreadId(), [&owner](HWND window) {
            if (IsWindowVisible(window) && IsWindowEnabled(window) &&
                GetWindow(window, GW_OWNER) == nullptr) {
                owner = window;
            }
            return owner == nullptr;
        });
    }
    return owner;
}

TForm::TForm() {
    Application().SetDialogKeyHandler([](const MSG& message) {
        TForm* form = TForm::Containing(message.hwnd);
        return form != nullptr && form->DialogKey(message);
    });
    TControl::SetVisible(false);
    SetParentFont(false);
    Screen().forms_.push_back(this);
}

TForm::~TForm() {
    std::erase(Screen().forms_, this);
    if (Screen().forms_.empty()) {
        Screen().forms_.shrink_to_fit();
    }
}

const ClassInfo& TForm::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TForm>("TForm", TWinControl::StaticClass())
            .Text("Caption", &TForm::Caption, &TForm::SetCaption)
            .Enumeration(
                "BorderStyle", &TForm::BorderStyle, &TForm::SetBorderStyle,
                TFormBorderStyle::bsSizeable,
                VIGREL_ENUM_NAMES(TFormBorderStyle, bsNone, bsSingle, bsSizeable, bsDialog))
            .Enumeration("Position", &TForm::Position, &TForm::SetPosition, TPosition::poDesigned,
                         VIGREL_ENUM_NAMES(TPosition, poDesigned, poScreenCenter))
            .Integer("ClientWidth", &TForm::ClientWidth, &TForm::SetClientWidth, 0, 0, 32767)
            .Integer("ClientHeight", &TForm::ClientHeight, &TForm::SetClientHeight, 0, 0, 32767)
            .Default("Visible", std::int64_t{0})
            .Default("ParentFont", std::int64_t{0});
    return info;
}

void TForm::SetBorderStyle(TFormBorderStyle style) {
    if (style != borderStyle_) {
        borderStyle_ = style;
        DestroyHandle();
    }
}

int TForm::ClientWidth() const {
    if (HandleAllocated()) {
        return ClientRect().right;
    }
    return clientWidth_ != 0 ? clientWidth_ : Width();
}

int TForm::ClientHeight() const {
    if (HandleAllocated()) {
        return ClientRect().bottom;
    }
    return clientHeight_ != 0 ? clientHeight_ : Height();
}

void TForm::SetClientWidth(int width) {
    if (HandleAllocated()) {
        SetWidth(Width() + width - ClientWidth());
    } else {
        clientWidth_ = width;
    }
}

void TForm::SetClientHeight(int height) {
    if (HandleAllocated()) {
        SetHeight(Height() + height - ClientHeight());
    } else {
        clientHeight_ = height;
    }
}

void TForm::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = FormWindowClass;
    DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    switch (borderStyle_) {
    case TFormBorderStyle::bsNone:
        break;
    case TFormBorderStyle::bsSingle:
        style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case TFormBorderStyle::bsSizeable:
        style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        break;
    case TFormBorderStyle::bsDialog:
        style |= WS_CAPTION | WS_SYSMENU;
        exStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
        break;
    }
    RECT frame{0, 0, clientWidth_ != 0 ? clientWidth_ : params.Width,
               clientHeight_ != 0 ? clientHeight_ : params.Height};
    if (clientWidth_ != 0 || clientHeight_ != 0) {
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
        params.Width = clientWidth_ != 0 ? frame.right - frame.left : params.Width;
        params.Height = clientHeight_ != 0 ? frame.bottom - frame.top : params.Height;
    }
    if (position_ == TPosition::poScreenCenter) {
        // Beside its owner: on the owner's monitor (the default owner's without one), clear of
        // the taskbars.
        const HWND anchor = ParentWindow() != nullptr ? ParentWindow() : DefaultOwnerWindow();
        const RECT area = WorkAreaQuery()(anchor);
        params.X = Centred(area.left, area.right, params.Width);
        params.Y = Centred(area.top, area.bottom, params.Height);
    }
    // Shown by Show or ShowModal, never while it is being made.
    params.Style = style | (Enabled() ? 0 : WS_DISABLED);
    params.ExStyle = exStyle;
    // A top-level form is owned by ParentWindow: it stays above that window, and is never its
    // child.
    params.WndParent = ParentWindow();
}

void TForm::CreateWnd() {
    TWinControl::CreateWnd();
    // The frame, the client size and the centring decided where the window is: the bounds follow.
    RECT window;
    GetWindowRect(Handle(), &window);
    SetBounds(window.left, window.top, window.right - window.left, window.bottom - window.top);
}

void TForm::SetVisible(bool visible) {
    if (visible == Visible()) {
        return;
    }
    TControl::SetVisible(visible);
    if (HandleAllocated() || visible) {
        ShowWindow(Handle(), visible ? SW_SHOWNORMAL : SW_HIDE);
    }
}

int TForm::ShowModal() {
    if (modal_ || Visible()) {
        throw std::logic_error("the form " + Name() + " is already shown");
    }
    const HWND window = Handle();
    if (GetCapture() != nullptr) {
        ReleaseCapture();
    }
    modal_ = true;
    modalResult_ = mrNone;
    hiddenWithOwner_ = false;
    struct ModalEnd {
        TForm& form;
        ~ModalEnd() {
            form.modal_ = false;
            if (form.HandleAllocated()) {
                // Hidden without activating anything: the owner, enabled again first, is the
                // window that becomes active.
                SetWindowPos(form.Handle(), nullptr, 0, 0, 0, 0,
                             SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER |
                                 SWP_NOACTIVATE);
            }
            form.TControl::SetVisible(false);
        }
    } end{*this};
    DisabledWindows disabled(window);
    Show();
    if (activeControl_ == nullptr || !activeControl_->CanFocus()) {
        SelectNext(nullptr, true);
    } else {
        activeControl_->SetFocus();
    }
    SendMessageW(window, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
    TApplication& application = Application();
    // A quit that ended an earlier run has gone on to the loop outside it; this run starts anew.
    application.ClearTerminated();
    while (modalResult_ == mrNone) {
        application.HandleMessage();
        if (application.Terminated()) {
            modalResult_ = mrCancel;
        } else if (!HandleAllocated() || !Visible() ||
                   (!IsWindowVisible(window) && !hiddenWithOwner_)) {
            modalResult_ = mrCancel;
        }
    }
    disabled.Restore();
    return modalResult_;
}

TForm* TForm::Containing(HWND window) {
    for (HWND current = window; current != nullptr; current = GetParent(current)) {
        TWinControl* control = FromHandle(current);
        if (control != nullptr) {
            return GetParentForm(*control);
        }
        if ((GetWindowLongW(current, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
    }
    return nullptr;
}

void TForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> stops;
    for (TWinControl* control : TabOrderList()) {
        if (control->TabStop() && control->CanFocus()) {
            stops.push_back(control);
        }
    }
    if (stops.empty()) {
        return;
    }
    const auto found = std::find(stops.begin(), stops.end(), current);
    std::size_t next = 0;
    if (found == stops.end()) {
        next = forward ? 0 : stops.size() - 1;
    } else {
        const std::size_t index = static_cast<std::size_t>(found - stops.begin());
        next = forward ? (index + 1) % stops.size() : (index + stops.size() - 1) % stops.size();
    }
    stops[next]->SetFocus();
}

std::vector<TButton*> TForm::Buttons() const {
    std::vector<TButton*> buttons;
    CollectButtons(*this, buttons);
    return buttons;
}

TButton* TForm::FirstButton(bool (TButton::*marked)() const) const {
    for (TButton* button : Buttons()) {
        if ((button->*marked)()) {
            return button;
        }
    }
    return nullptr;
}

TButton* TForm::DefaultButton() const {
    return FirstButton(&TButton::Default);
}

TButton* TForm::CancelButton() const {
    return FirstButton(&TButton::Cancel);
}

bool TForm::DialogKey(const MSG& message) {
    const auto key = static_cast<int>(message.wParam);
    if (message.message == WM_SYSKEYDOWN) {
        if (key == VK_MENU) {
            SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
        }
        return false;
    }
    if (KeyDown(VK_CONTROL) || KeyDown(VK_MENU)) {
        return false;
    }
    if (key == VK_UP || key == VK_DOWN || key == VK_LEFT || key == VK_RIGHT) {
        auto* radio = dynamic_cast<TRadioButton*>(FromHandle(message.hwnd));
        return radio != nullptr && SelectRadio(*radio, key == VK_DOWN || key == VK_RIGHT);
    }
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) {
        return false;
    }
    const LRESULT code = SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam,
                                      reinterpret_cast<LPARAM>(&message));
    if ((code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) != 0 ||
        (key == VK_TAB && (code & DLGC_WANTTAB) != 0)) {
        return false;
    }
    TWinControl* focused = FromHandle(GetFocus());
    if (focused != nullptr && GetParentForm(*focused) != this) {
        focused = nullptr;
    }
    switch (key) {
    case VK_TAB:
        SendMessageW(Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
        SelectNext(focused, !KeyDown(VK_SHIFT));
        return true;
    case VK_RETURN: {
        TButton* button = dynamic_cast<TButton*>(focused);
        if (button == nullptr) {
            button = DefaultButton();
        }
        if (button != nullptr && button->Enabled() && button->Visible()) {
            button->Click();
        }
        return true;
    }
    default: {
        TButton* button = CancelButton();
        if (button != nullptr && button->Enabled() && button->Visible()) {
            button->Click();
        }
        return true;
    }
    }
}

// The arrows move through the radio buttons of one container, in tab order and wrapping around,
// checking the one they reach, as a dialog's radio group does.
bool TForm::SelectRadio(TRadioButton& from, bool forward) {
    if (from.Parent() == nullptr) {
        return false;
    }
    std::vector<TRadioButton*> group;
    for (TWinControl* control : from.Parent()->TabOrderList()) {
        auto* radio = dynamic_cast<TRadioButton*>(control);
        if (radio != nullptr && radio->Parent() == from.Parent() &&
            (radio == &from || radio->CanFocus())) {
            group.push_back(radio);
        }
    }
    const auto at =
        static_cast<std::size_t>(std::find(group.begin(), group.end(), &from) - group.begin());
    TRadioButton& next =
        *group[forward ? (at + 1) % group.size() : (at + group.size() - 1) % group.size()];
    if (&next != &from) {
        next.SetFocus();
        SendMessageW(next.Handle(), BM_CLICK, 0, 0);
    }
    return true;
}

void TForm::SetActiveControl(TWinControl* control) {
    if (control == activeControl_) {
        return;
    }
    if (activeControl_ != nullptr) {
        RemoveFreeNotification(*activeControl_);
    }
    activeControl_ = control;
    if (control != nullptr) {
        FreeNotification(*control);
    }
}

void TForm::ChildFocused(TWinControl& control) {
    if (&control != this) {
        SetActiveControl(&control);
    }
    UpdateDefaultLook(&control);
}

void TForm::UpdateDefaultLook(const TWinControl* focused) {
    const auto* focusedButton = dynamic_cast<const TButton*>(focused);
    const TButton* shown = focusedButton != nullptr ? focusedButton : DefaultButton();
    for (TButton* button : Buttons()) {
        button->SetDefaultLook(button == shown);
    }
}

void TForm::Notification(TComponent& component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && &component == activeControl_) {
        activeControl_ = nullptr;
    }
}

// The form keeps the keyboard-cue state of its window and tells the change to itself and to
// every window inside it, as the system's default handling of a top-level window does; done here
// so that the cues, and whoever watches for their change, behave alike on every system.
void TForm::ChangeUIState(WORD action, WORD flags) {
    flags &= UISF_HIDEFOCUS | UISF_HIDEACCEL;
    if (action == UIS_INITIALIZE) {
        BOOL alwaysShown = FALSE;
        SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &alwaysShown, 0);
        action = alwaysShown ? UIS_CLEAR : UIS_SET;
        flags = UISF_HIDEFOCUS | UISF_HIDEACCEL;
    }
    const unsigned state = action == UIS_SET ? uiState_ | flags : uiState_ & ~unsigned{flags};
    if (state == uiState_ || !HandleAllocated()) {
        return;
    }
    uiState_ = state;
    const WPARAM update = MAKEWPARAM(action, flags);
    const HWND window = Handle();
    SendMessageW(window, WM_UPDATEUISTATE, update, 0);
    std::vector<HWND> inside;
    ForEachChildWindow(window, [&inside](HWND child) {
        inside.push_back(child);
        return true;
    });
    for (const HWND child : inside) {
        if (IsWindow(child)) {
            SendMessageW(child, WM_UPDATEUISTATE, update, 0);
        }
    }
}

void TForm::WndProc(TMessage& message) {
    switch (message.Msg) {
    case WM_CHANGEUISTATE:
        ChangeUIState(LOWORD(message.WParam), HIWORD(message.WParam));
        message.Result = 0;
        return;
    case WM_QUERYUISTATE:
        message.Result = static_cast<LRESULT>(uiState_);
        return;
    case WM_SHOWWINDOW:
        // The system hides an owned window while its owner is minimised and shows it on restore;
        // the default handling does both.
        if (message.LParam == SW_PARENTCLOSING || message.LParam == SW_PARENTOPENING) {
            hiddenWithOwner_ = message.LParam == SW_PARENTCLOSING;
        }
        break;
    case WM_CLOSE:
        // The close box ends a modal run with Cancel; a form shown without one hides.
        if (modal_) {
            modalResult_ = mrCancel;
        } else {
            Hide();
        }
        message.Result = 0;
        return;
    case WM_ACTIVATE:
        if (LOWORD(message.WParam) != WA_INACTIVE && activeControl_ != nullptr &&
            activeControl_->CanFocus()) {
            TWinControl::WndProc(message);
            activeControl_->SetFocus();
            return;
        }
        break;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

} // namespace vigrel
