// A control with a window of its own. Kinds of windowed control differ only in what they put into
// their creation parameters (CreateParams): the library's own window class, or a system class
// such as Edit or Button, which is subclassed so that every message passes through the control's
// WindowProc, with the class's own window procedure as the default handler. Windows are Unicode.
//
// This unit binds windows to their objects and subclasses system windows, runs the one window
// procedure of the library, reflects the notifications of child windows to the child's object,
// answers their colour messages (high contrast included), keeps the hidden caption windows that
// name fields for screen readers, and releases every window at shutdown. The windowless controls
// inside a windowed control are painted and given the mouse by its DrawnControls
// (ui/DrawnControls.h). A window of the library's own class tells screen readers of the windowless
// controls marked Accessible (ui/Accessible.h).
#pragma once

#include "ui/Accessible.h"
#include "ui/Control.h"
#include "ui/DrawnControls.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vigrel {

// What the window of a windowed control is made with.
struct TCreateParams {
    // The library's own class (registered on first use with ClassStyle and WindowProc) unless
    // SystemClass is set, in which case the window of that system class is subclassed.
    LPCWSTR ClassName = L"VigrelControl";
    bool SystemClass = false;
    UINT ClassStyle = CS_DBLCLKS;
    std::wstring Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0;
    int Y = 0;
    int Width = 0;
    int Height = 0;
    // The parent of a child window (WS_CHILD), the owner of a top-level one.
    HWND WndParent = nullptr;
};

class TWinControl : public TControl, public ControlParent, private AccessibleParent {
public:
    TWinControl();
    // Destroys the window (unbound first, so no message reaches a half-destroyed object) and
    // forgets the controls that still name it as parent.
    ~TWinControl() override;

    VIGREL_PUBLISHED_CLASS();

    // The background colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The window, created on first use together with those of the windowed controls inside it.
    // Throws std::runtime_error when it cannot be created.
    HWND Handle();
    bool HandleAllocated() const override { return handle_ != nullptr; }
    void DestroyHandle();
    // The window a control without a windowed parent is placed in (a child window) or, for a
    // top-level control, owned by.
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND window);
    // Paints what is invalid at once.
    void Update();
    // The control that owns `window`, or null for a window that is not the library's.
    static TWinControl* FromHandle(HWND window);

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    // Throws std::invalid_argument when `parent` is this control or lies inside it.
    void SetParent(ControlParent* parent) override;
    // Repaints the whole window.
    void Invalidate() override;
    // Marks `rect` of the client area for repainting, erasing the background first when `erase`;
    // nothing while the window does not exist. Windowless controls repaint through this.
    void InvalidateArea(const RECT& rect, bool erase) override;
    // Repaints the whole window and its frame at once, children included.
    void Repaint();
    // The window's client area once it exists (inside its frame), else the bounds' size.
    RECT ClientRect() const override;

    std::size_t ControlCount() const { return controls_.size(); }
    // The controls in creation order, windowed ones included.
    TControl& Controls(std::size_t index) const { return *controls_.at(index); }

    // The ID of a child window (GetDlgCtrlID): the control's place among the components of its
    // owner, the form, from 1 in the order the form creates them, so the same form gives the same
    // IDs every time; 0 for a control without an owner.
    int ControlId() const;

    // Paints the background and then the windowless controls onto `dc`, in client coordinates:
    // what WM_PAINT does, usable on any device context.
    void PaintTo(HDC dc);

    // Keyboard focus. TabOrder is the control's place among its parent's windowed controls (equal
    // places keep creation order); TabStop whether Tab stops on it.
    int TabOrder() const { return tabOrder_; }
    void SetTabOrder(int order) { tabOrder_ = order; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
    // Visible and enabled up to the top, with a window.
    bool CanFocus() const;
    bool Focused() const;
    void SetFocus();
    // The windowed controls inside this one in tab order, depth first: each container comes
    // before the controls inside it.
    std::vector<TWinControl*> TabOrderList() const;

    // Screen readers name a field from the static text window directly before it in the z-order;
    // the captions here are drawn by windowless labels, so a window with a caption gets a hidden
    // static window (no WS_VISIBLE, SS_NOPREFIX) with its text there, made and destroyed with
    // its own window and seen by nothing of the toolkit.
    void SetAccessibleCaption(std::string caption) override;
    virtual std::string AccessibleCaption() const { return accessibleCaption_; }
    // The key that does for this control what a control beside it does ("F4" in a field whose
    // picture button lists what to pick), told to screen readers as its keyboard shortcut.
    void SetAccessibleShortcut(std::string key) { accessibleShortcut_ = std::move(key); }

protected:
    // Whether screen readers are told that the window is a dialog.
    virtual bool IsDialog() const { return false; }
    virtual void CreateParams(TCreateParams& params);
    // Runs once the window exists and is bound, before the windows of the controls inside it.
    virtual void CreateWnd();
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // Fills the background with Color, leaving out the visible opaque windowless controls.
    virtual void PaintWindow(TCanvas& canvas);
    void SetText(std::string text) override;
    std::string Text() const override;
    // A brush of `color`, kept until another colour is asked for; the answer to WM_CTLCOLOR*.
    HBRUSH BackgroundBrush(TColor color);
    // Told, on the topmost control, when a windowed control inside it receives the focus.
    virtual void ChildFocused(TWinControl& control);
    // Whether the window is of the library's own class (false for a subclassed system window).
    bool OwnClass() const { return !subclassed_; }

private:
    // The window procedure of every window of the library: passes every message of a bound
    // window to WindowProc, binds windows of the library's classes at WM_NCCREATE and unbinds
    // at WM_NCDESTROY. A handler's failure stops here: the message gets its default handling.
    static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) noexcept;

    TWinControl& ParentWinControl() override { return *this; }
    TControl& ParentControl() override { return *this; }
    void InsertControl(TControl& control) override;
    void RemoveControl(TControl& control) override;
    std::vector<TGraphicControl*> AccessibleControls() const override;
    bool AccessibleAsDialog() const override { return IsDialog(); }
    std::string AccessibleShortcut() const override { return accessibleShortcut_; }
    void CreateHandle();
    void MakeCaptionWindow(const TCreateParams& params);
    void DestroyCaptionWindow();
    // False, and nothing bound, when the record cannot be made.
    bool Bind(HWND window, WNDPROC original) noexcept;
    void Unbind() noexcept;
    // Lets go of the window: destroyed where this thread owns it, else left inert (below).
    void ReleaseWindow();
    // Leaves the window to its own thread, inert: its procedure becomes the default handling,
    // with nothing of the library in its way, and the object forgets it. For a window of another
    // thread, which no other thread may destroy.
    void Abandon();
    friend void ReleaseLibraryWindows();
    // The parts of WndProc, each true when the message needs nothing more: the painting of a
    // window of the library's own class, the clicks a system window makes itself, and what a
    // window follows (settings, font, text, enabled, focus, position).
    bool PaintOwn(TMessage& message);
    bool ClickedBySystem(TMessage& message);
    bool FollowChange(TMessage& message);
    bool Reflect(TMessage& message);
    void Broadcast(TMessage& message);

    TColor color_ = clBtnFace;
    int tabOrder_ = 0;
    bool tabStop_ = false;
    std::vector<TControl*> controls_; // not owned: their owner holds them
    DrawnControls drawn_;             // the windowless ones among controls_
    HWND parentWindow_ = nullptr;     // not owned
    HWND handle_ = nullptr;           // owned: destroyed by DestroyHandle and the destructor
    std::string accessibleCaption_;
    std::string accessibleShortcut_;
    HWND captionWindow_ = nullptr;   // owned: made and destroyed with handle_
    WNDPROC originalProc_ = nullptr; // the default handling: DefWindowProcW or the system class's
    bool subclassed_ = false;
    OwnedBrush brush_;
    TColor brushColor_ = 0;
    // Shared with the accessible objects handed out for the window; cleared when it goes.
    std::shared_ptr<AccessibleLink> accessible_;
};

// Destroys every window of the toolkit that the calling thread has left and leaves those of other
// threads inert (no thread can destroy another's), so no window procedure of the library runs
// again. Part of the toolkit's shutdown (ui/Toolkit.h).
void ReleaseLibraryWindows();

// Whether any window of the toolkit is alive, on any thread.
bool LibraryWindowsLeft();

} // namespace vigrel
