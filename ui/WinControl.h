// A control with a window of its own that hosts windowless controls: it paints them in creation
// order on its canvas, each clipped to its bounds with the origin at its corner and the canvas
// state saved and restored around it; it routes the mouse to them by hit test, including enter
// and leave; and it passes the settings-changed message on to all its controls. It is the base
// of panels and forms.
#pragma once

#include "ui/Control.h"

#include <windows.h>

#include <vector>

namespace vigrel {

class TWinControl : public TControl {
public:
    TWinControl();
    // Destroys the window (unbound first, so no message reaches a half-destroyed object) and
    // forgets the controls that still name it as parent.
    ~TWinControl() override;

    static const ClassInfo& StaticClass();
    const ClassInfo& ClassType() const override { return StaticClass(); }

    // The background colour.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The window, created on first use together with those of the windowed controls inside it:
    // a child of the parent's window, else of ParentWindow, else a top-level pop-up window
    // (bounds in screen coordinates). Throws std::runtime_error when it cannot be created.
    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void DestroyHandle();
    HWND ParentWindow() const { return parentWindow_; }
    void SetParentWindow(HWND window);
    // Paints what is invalid at once.
    void Update();

    void SetBounds(int left, int top, int width, int height) override;
    void SetVisible(bool visible) override;
    // Throws std::invalid_argument when `parent` is this control or lies inside it.
    void SetParent(TWinControl* parent) override;
    // Repaints the whole window.
    void Invalidate() override;
    // Marks `rect` of the client area for repainting, erasing the background first when `erase`;
    // nothing while the window does not exist. Windowless controls repaint through this.
    virtual void InvalidateArea(const RECT& rect, bool erase);

    std::size_t ControlCount() const { return controls_.size(); }
    // The controls in creation order, windowed ones included.
    TControl& Controls(std::size_t index) const { return *controls_.at(index); }
    // The topmost visible, enabled windowless control under `point` (client coordinates), or null.
    TControl* ControlAtPos(POINT point) const;

    // Paints the background and then the windowless controls onto `dc`, in client coordinates:
    // what WM_PAINT does, usable on any device context.
    void PaintTo(HDC dc);

protected:
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    // Fills the background with Color, leaving out the visible opaque windowless controls.
    virtual void PaintWindow(TCanvas& canvas);
    void PaintControls(TCanvas& canvas);

private:
    friend class TControl;
    // The window procedure of the class: binds the window to its object at WM_NCCREATE, passes
    // every message to WindowProc and unbinds at WM_NCDESTROY.
    static LRESULT CALLBACK StandardWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);

    void InsertControl(TControl& control);
    void RemoveControl(TControl& control);
    void CreateHandle();
    bool RouteMouse(TMessage& message);
    void SetHovered(TControl* control);
    bool Lists(const TControl* control) const;
    void Unbind();

    TColor color_ = clBtnFace;
    std::vector<TControl*> controls_; // not owned: their owner holds them
    TControl* hovered_ = nullptr;     // not owned; one of controls_
    TControl* pressed_ = nullptr;     // not owned; one of controls_, holding the capture
    bool trackingLeave_ = false;
    HWND parentWindow_ = nullptr; // not owned
    HWND handle_ = nullptr;       // owned: destroyed by DestroyHandle and the destructor
};

// Destroys every window of the toolkit that is left and unregisters the window class, so no window
// procedure of the library runs again. Called when the library is unloaded.
void ShutdownWinControls();

} // namespace vigrel
