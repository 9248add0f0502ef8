// Forms: top-level windows of the library, owned by a window (never its child), with a caption,
// a border style, a client size and a position, the keyboard handling of a dialog (Tab order,
// the default and the cancel button) and a modal run with its own message loop. Every form is in
// the library's list of forms (Screen) from its construction to its destruction.
#pragma once

#include "ui/Button.h"
#include "ui/WinControl.h"

#include <cstdint>
#include <vector>

namespace vigrel {

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog };
enum class TPosition : std::uint8_t { poDesigned, poScreenCenter };

// Where a centred form goes: the work area (the monitor less its taskbars) of the monitor that
// holds the given window, or of the primary monitor when there is none.
using TWorkAreaQuery = RECT (*)(HWND window);
// Replaces the query and returns the one it replaces; null puts the system's back. Tests use it
// to place monitors where a test machine has none.
TWorkAreaQuery ReplaceWorkAreaQuery(TWorkAreaQuery query);

// The window class of every form, in every copy of the toolkit: what finds a plug-in's form from
// outside.
inline constexpr wchar_t FormWindowClass[] = L"VigrelForm";

class TForm : public TWinControl, public ModalResultTarget {
public:
    TForm();
    ~TForm() override;

    VIGREL_PUBLISHED_CLASS();

    std::string Caption() const { return Text(); }
    void SetCaption(std::string caption) { SetText(std::move(caption)); }
    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    // The size of the client area; the window's size follows from it and the frame.
    int ClientWidth() const;
    int ClientHeight() const;
    void SetClientWidth(int width);
    void SetClientHeight(int height);

    // Shows the form and runs the library's message loop until ModalResult is set (a button with
    // a modal result, the close box, or code), then hides it and gives the result. While it runs,
    // the other enabled and visible top-level windows of the thread are disabled; exactly those
    // are enabled again on every way out, a failure included. A WM_QUIT ends the run with
    // mrCancel and is put back for the loop outside, and so does a window that is gone or hidden,
    // unless the system hid it for its owner (the owner minimised), to show it again on restore:
    // the run goes on and the form comes back as it was.
    int ShowModal();
    bool Modal() const { return modal_; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result) override { modalResult_ = result; }
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    void SetVisible(bool visible) override;

    // The windowed control inside the form that has, or last had, the focus.
    TWinControl* ActiveControl() const { return activeControl_; }
    // Moves the focus to the next (or previous) control of the tab order that can take it,
    // wrapping around; from `current`, or from the start when it is null.
    void SelectNext(TWinControl* current, bool forward);
    // The button Enter presses when the focus is on no push button: the first button of the form,
    // in creation order, marked Default; and the first marked Cancel, which Escape presses.
    TButton* DefaultButton() const;
    TButton* CancelButton() const;

    // Handles Tab, Shift+Tab, Enter and Escape for the form as a dialog does; true when the key
    // was used and must not be dispatched.
    bool DialogKey(const MSG& message);

    // The form that `window` belongs to (itself or a window inside it), or null.
    static TForm* Containing(HWND window);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    // A form with a dialog's border, or shown modally, is announced as a dialog.
    bool IsDialog() const override { return borderStyle_ == TFormBorderStyle::bsDialog || modal_; }
    void WndProc(TMessage& message) override;
    void ChildFocused(TWinControl& control) override;
    void Notification(TComponent& component, TOperation operation) override;

private:
    std::vector<TButton*> Buttons() const;
    TButton* FirstButton(bool (TButton::*marked)() const) const;
    void UpdateDefaultLook(const TWinControl* focused);
    void SetActiveControl(TWinControl* control);
    void ChangeUIState(WORD action, WORD flags);
    bool SelectRadio(TRadioButton& from, bool forward);

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TPosition position_ = TPosition::poDesigned;
    int clientWidth_ = 0;  // applied when the window is made; 0 keeps Width
    int clientHeight_ = 0; // the same for Height
    int modalResult_ = mrNone;
    bool modal_ = false;
    bool hiddenWithOwner_ = false; // hidden by the system while its owner is minimised
    unsigned uiState_ = 0;         // the keyboard cues hidden now (UISF_HIDEFOCUS, UISF_HIDEACCEL)
    TWinControl* activeControl_ = nullptr; // not owned; cleared by free notification
};

// The form a control lies on, or null.
TForm* GetParentForm(const TControl& control);

// The window a dialog of this thread is owned by: the active window, else (the host is not in
// front, and the thread has no active window) the thread's visible, enabled top-level window
// that no window owns, which is the host's main window; null when there is neither.
HWND DefaultOwnerWindow();

// The library's forms in creation order.
class TScreen {
public:
    std::size_t FormCount() const { return forms_.size(); }
    TForm& Forms(std::size_t index) const { return *forms_.at(index); }
    // The form whose window is active in this thread, or null.
    TForm* ActiveForm() const;

private:
    friend class TForm;
    std::vector<TForm*> forms_; // not owned: each form leaves the list when it dies
};

TScreen& Screen();

} // namespace vigrel
