// Controls: components with bounds, visibility and a parent, and one replaceable message handler
// through which every message passes, whether the window system delivers it or code sends it
// with Perform. TGraphicControl is the windowless kind: its windowed parent (ui/WinControl.h)
// paints it on its own canvas and routes the mouse to it by hit test. A control reaches its parent
// only through ControlParent, so this file stays below the windowed controls.
#pragma once

#include "ui/Canvas.h"
#include "ui/Component.h"
#include "ui/Font.h"

#include <windows.h>

#include <functional>

namespace vigrel {

struct TMessage {
    UINT Msg;
    WPARAM WParam;
    LPARAM LParam;
    LRESULT Result;
};

// Messages of the toolkit's own, above WM_APP so no standard control uses them. Mouse enter and
// leave go to a control with LParam 0; the control then tells its parent with LParam = the
// control.
inline constexpr UINT CM_BASE = 0xB000;
inline constexpr UINT CM_MOUSEENTER = CM_BASE + 0x13;
inline constexpr UINT CM_MOUSELEAVE = CM_BASE + 0x14;
// The control's own font, or the font it follows, changed.
inline constexpr UINT CM_FONTCHANGED = CM_BASE + 0x15;
// Sent to a control that follows its parent's font when that font changed.
inline constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 0x16;
inline constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x17;
// Enabled changed; a windowed control enables or disables its window.
inline constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 0x18;
// A screen reader asked for a windowless control's default action. Posted to the parent's window
// with LParam = the control, so the asker never waits for it; the parent passes it on to the
// control, if it still lists it, with LParam 0.
inline constexpr UINT CM_DEFAULTACTION = CM_BASE + 0x19;

// Notifications a windowed parent reflects to the child control they are about, as CN_BASE plus
// the message: WM_COMMAND and WM_CTLCOLOR*. What the child does not
// handle gets the window system's default answer, never the child window's own procedure.
inline constexpr UINT CN_BASE = 0xBC00;
inline constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
inline constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
inline constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
inline constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
inline constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;

// The mouse pointer over a control; crDefault leaves it to the window system.
enum class TCursor : std::uint8_t {
    crDefault,
    crArrow,
    crIBeam,
    crCross,
    crHourGlass,
    crNo,
    crSizeAll,
    crHandPoint,
};
// The system cursor of `cursor`, or null for crDefault.
HCURSOR CursorHandle(TCursor cursor);

class TControl;
class TWinControl;

// What a control asks of the windowed control it is placed in; TWinControl (ui/WinControl.h) is the
// one implementation.
class ControlParent {
public:
    // The parent itself, as the windowed control it is and as a control.
    virtual TWinControl& ParentWinControl() = 0;
    virtual TControl& ParentControl() = 0;
    // Lists `control` last among the parent's controls, or forgets it (as hovered or pressed too).
    virtual void InsertControl(TControl& control) = 0;
    virtual void RemoveControl(TControl& control) = 0;
    // Whether the parent's window exists.
    virtual bool HandleAllocated() const = 0;
    // Marks `rect` of the parent's client area for repainting, erasing the background first when
    // `erase`.
    virtual void InvalidateArea(const RECT& rect, bool erase) = 0;

protected:
    ControlParent() = default;
    ~ControlParent() = default;
};

using TNotifyEvent = std::function<void(TComponent& sender)>;
using TWndMethod = std::function<void(TMessage& message)>;

class TControl : public TComponent {
public:
    TControl();
    // Leaves the parent, which forgets it as hovered or pressed control.
    ~TControl() override;

    VIGREL_PUBLISHED_CLASS();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
    void SetTop(int top) { SetBounds(left_, top, width_, height_); }
    void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
    void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
    // In the parent's client coordinates; a negative size counts as 0. The old and the new area
    // are repainted.
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    // The area the control draws in, in its own coordinates.
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }

    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    // A disabled control gets no mouse messages: its parent handles them.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);

    // The font the control draws its text with. It follows the parent's font (ParentFont) until
    // something of its own is set.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool parentFont);

    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor) { cursor_ = cursor; }

    // Whether a left press captures the mouse for this control until the release.
    bool CapturesMouse() const { return capturesMouse_; }

    TWinControl* Parent() const {
        return parent_ != nullptr ? &parent_->ParentWinControl() : nullptr;
    }
    // The windowed control at the top of this control's parents; null when it has no parent.
    TWinControl* TopParent() const;
    // Appends the control to `parent`'s controls (the last painted, the first hit); null removes
    // it from its parent.
    virtual void SetParent(ControlParent* parent);
    TComponent* GetParentComponent() const override;

    // Whether the control covers its whole bounds, so the parent need not paint beneath it.
    bool Opaque() const { return opaque_; }

    // Repaints the control's area of its parent's window (erasing the background unless the
    // control is opaque); nothing while that window does not exist.
    virtual void Invalidate();
    // The caption a screen reader names this control by (a label's text, given by the label
    // that captions it). Only a windowed control has a window to name: others refuse it.
    virtual void SetAccessibleCaption(std::string caption);

    // Passes a message through WindowProc and gives its result.
    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    // Every message of the control passes through here; it starts as the class's own handling
    // (WndProc) and may be replaced, the replacement usually calling the one it replaced.
    TWndMethod WindowProc;

    // Left button pressed and released over the control.
    TNotifyEvent OnClick;

protected:
    // The class's own message handling. Overrides handle what they know and pass everything on
    // to their base; what nobody handles reaches DefaultHandler.
    virtual void WndProc(TMessage& message);
    // What happens to a message nobody handled: nothing for a windowless control.
    virtual void DefaultHandler(TMessage& message);
    void SetParentComponent(TComponent* parent) override;
    void SetOpaque(bool opaque) { opaque_ = opaque; }
    void SetCapturesMouse(bool captures) { capturesMouse_ = captures; }
    virtual void Click();

    // The caption or text (UTF-8), published by the kinds of control that show one. Setting it
    // sends CM_TEXTCHANGED.
    virtual std::string Text() const { return text_; }
    virtual void SetText(std::string text);

private:
    friend class TWinControl;

    void FontChanged();

    std::string text_;
    TFont font_;
    bool parentFont_ = true;
    bool followingParent_ = false; // the font is being copied from the parent
    TCursor cursor_ = TCursor::crDefault;
    bool capturesMouse_ = true;
    int left_ = 0;
    int top_ = 0;
    int width_ = 0;
    int height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool opaque_ = false;
    bool clickPending_ = false;
    ControlParent* parent_ = nullptr; // not owned: the parent lists this control
};

// What a windowless control is to a screen reader.
enum class TAccessibleRole : std::uint8_t { arGraphic, arStaticText, arPushButton, arLink };

// A control without a window of its own: the parent sends it WM_PAINT with its device context in
// WParam, clipped to the control's bounds and with the origin at its top-left corner.
//
// Having no window, it is also no object of the system's accessibility: its parent's window tells
// screen readers of it instead (ui/Accessible.h), while it is marked Accessible and visible, with
// its name, its role and, for a control that acts on a click, a default action that does what a
// click does.
class TGraphicControl : public TControl {
public:
    VIGREL_PUBLISHED_CLASS();

    bool Accessible() const { return accessible_; }
    void SetAccessible(bool accessible) { accessible_ = accessible; }
    // The name a screen reader says; empty for the control's text (a label's caption).
    const std::string& AccessibleName() const { return accessibleName_; }
    void SetAccessibleName(std::string name) { accessibleName_ = std::move(name); }
    // The name said: AccessibleName, or the text when that is empty.
    std::string SpokenName() const { return accessibleName_.empty() ? Text() : accessibleName_; }
    virtual TAccessibleRole AccessibleRole() const { return TAccessibleRole::arGraphic; }
    // Whether the control acts on a click; the action itself is CM_DEFAULTACTION.
    virtual bool HasDefaultAction() const { return false; }
    // What a screen reader calls that action (UTF-8), in the words of the form that shows the
    // control.
    const std::string& DefaultActionName() const { return defaultActionName_; }
    void SetDefaultActionName(std::string name) { defaultActionName_ = std::move(name); }

protected:
    void WndProc(TMessage& message) override;
    // Draws the control in its own coordinates.
    virtual void Paint(TCanvas& canvas);

private:
    bool accessible_ = false;
    std::string accessibleName_;
    std::string defaultActionName_;
};

} // namespace vigrel
