// The button family, windows of the system's Button class: push buttons and radio buttons. A
// click, by mouse or keyboard, arrives as the button's own notification, reflected by its parent.
#pragma once

#include "ui/WinControl.h"

namespace vigrel {

// The results of a modal run; a push button ends its form's run with one.
inline constexpr int mrNone = 0;
inline constexpr int mrOk = 1;
inline constexpr int mrCancel = 2;

// What a push button with a ModalResult tells: the control at the top of its parents (a form)
// implements it to end its modal run.
class ModalResultTarget {
public:
    virtual void SetModalResult(int result) = 0;

protected:
    ModalResultTarget() = default;
    ~ModalResultTarget() = default;
};

class TButtonControl : public TWinControl {
public:
    TButtonControl();

    VIGREL_PUBLISHED_CLASS();

    std::string Caption() const { return Text(); }
    void SetCaption(std::string caption) { SetText(std::move(caption)); }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    // The button was clicked (BN_CLICKED).
    virtual void Clicked() { Click(); }
};

// A push button. A click ends the modal run of its form (the ModalResultTarget at the top of its
// parents) with ModalResult, when that is not mrNone, then runs OnClick.
class TButton : public TButtonControl {
public:
    VIGREL_PUBLISHED_CLASS();

    // Enter presses the form's first Default button while the focus is on no push button.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault) { default_ = isDefault; }
    // Escape presses the form's first Cancel button.
    bool Cancel() const { return cancel_; }
    void SetCancel(bool cancel) { cancel_ = cancel; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) { modalResult_ = result; }

    // Shows the button with the heavy default frame or the plain one.
    void SetDefaultLook(bool look);
    bool DefaultLook() const { return defaultLook_; }

    void Click() override;

protected:
    void CreateParams(TCreateParams& params) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    bool defaultLook_ = false;
    int modalResult_ = 0;
};

// A radio button. Checking one clears the other radio buttons of the same parent; a click checks
// it. While the button has a window, Checked is read from it, so a check set by any other means
// (BM_SETCHECK from outside) counts as shown; the state survives the window being made again.
class TRadioButton : public TButtonControl {
public:
    VIGREL_PUBLISHED_CLASS();

    bool Checked() const;
    void SetChecked(bool checked);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void Clicked() override;

private:
    bool checked_ = false; // the state while there is no window
};

} // namespace vigrel
