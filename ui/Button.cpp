#include "ui/Button.h"

#include "ui/Published.h"

namespace vigrel {

TButtonControl::TButtonControl() {
    SetTabStop(true);
}

const ClassInfo& TButtonControl::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TButtonControl>("TButtonControl", TWinControl::StaticClass())
            .Text("Caption", &TButtonControl::Caption, &TButtonControl::SetCaption)
            .Default("TabStop", std::int64_t{1});
    return info;
}

void TButtonControl::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"BUTTON";
    params.SystemClass = true;
    params.Style &= ~WS_CLIPCHILDREN;
    if (TabStop()) {
        params.Style |= WS_TABSTOP;
    }
}

void TButtonControl::WndProc(TMessage& message) {
    if (message.Msg == CN_COMMAND && HIWORD(message.WParam) == BN_CLICKED) {
        Clicked();
        message.Result = 0;
        return;
    }
    TWinControl::WndProc(message);
}

const ClassInfo& TButton::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TButton>("TButton", TButtonControl::StaticClass())
            .Boolean("Default", &TButton::Default, &TButton::SetDefault, false)
            .Boolean("Cancel", &TButton::Cancel, &TButton::SetCancel, false)
            .Integer("ModalResult", &TButton::ModalResult, &TButton::SetModalResult, 0, 0, 100);
    return info;
}

void TButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= defaultLook_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::SetDefaultLook(bool look) {
    if (look == defaultLook_) {
        return;
    }
    defaultLook_ = look;
    if (HandleAllocated()) {
        SendMessageW(Handle(), BM_SETSTYLE, look ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void TButton::Click() {
    if (modalResult_ != mrNone) {
        if (auto* target = dynamic_cast<ModalResultTarget*>(TopParent())) {
            target->SetModalResult(modalResult_);
        }
    }
    TButtonControl::Click();
}

const ClassInfo& TRadioButton::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TRadioButton>("TRadioButton", TButtonControl::StaticClass())
            .Boolean("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked, false);
    return info;
}

void TRadioButton::CreateParams(TCreateParams& params) {
    TButtonControl::CreateParams(params);
    params.Style |= BS_RADIOBUTTON;
}

void TRadioButton::CreateWnd() {
    TButtonControl::CreateWnd();
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TRadioButton::Checked() const {
    if (HandleAllocated()) {
        return SendMessageW(const_cast<TRadioButton*>(this)->Handle(), BM_GETCHECK, 0, 0) ==
               BST_CHECKED;
    }
    return checked_;
}

void TRadioButton::WndProc(TMessage& message) {
    if (message.Msg == WM_DESTROY) {
        checked_ = SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
    }
    TButtonControl::WndProc(message);
}

void TRadioButton::SetChecked(bool checked) {
    if (checked == Checked()) {
        return;
    }
    checked_ = checked;
    if (HandleAllocated()) {
        SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    if (checked && Parent() != nullptr) {
        for (std::size_t i = 0; i < Parent()->ControlCount(); ++i) {
            auto* other = dynamic_cast<TRadioButton*>(&Parent()->Controls(i));
            if (other != nullptr && other != this) {
                other->SetChecked(false);
            }
        }
    }
}

void TRadioButton::Clicked() {
    SetChecked(true);
    Click();
}

} // namespace vigrel
