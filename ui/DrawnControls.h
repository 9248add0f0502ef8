// The windowless controls of one windowed control, as its window shows them: painted in creation
// order on its canvas, each clipped to its bounds with the origin at its corner and the canvas
// state saved and restored around it; and given the mouse by hit test, with enter and leave,
// capture on a left press (for the controls that ask for it), their cursor and the default
// action a screen reader asks for. The window's owner (ui/WinControl.h) hands each message here
// first; this unit knows nothing of windows beyond the one it is given.
#pragma once

#include "ui/Control.h"

#include <windows.h>

#include <vector>

namespace vigrel {

class DrawnControls {
public:
    // `controls` is the owner's list of its controls in creation order, windowed ones included
    // (passed over here); it outlives this object.
    explicit DrawnControls(const std::vector<TControl*>& controls) : controls_(controls) {}
    DrawnControls(const DrawnControls&) = delete;
    DrawnControls& operator=(const DrawnControls&) = delete;

    // The topmost visible, enabled windowless control under `point` (client coordinates), or null.
    TControl* At(POINT point) const;
    // Fills `client` with `color`, leaving out the visible opaque windowless controls.
    void PaintBackground(TCanvas& canvas, const RECT& client, TColor color) const;
    void Paint(TCanvas& canvas) const;

    // Answers what `window` is told about the mouse, the cursor, the capture and a default action,
    // where it concerns these controls: true when the message needs nothing more. A window of a
    // system class (`ownClass` false) keeps its own clicks; the cursor falls back to `cursor`.
    bool Handle(HWND window, bool ownClass, TCursor cursor, TMessage& message);
    // Forgets `control`, which leaves the list; `window` gives up the capture it held for it.
    void Forget(const TControl& control, HWND window);
    // Forgets the hovered and the pressed control, as when the window goes.
    void Reset() noexcept;

private:
    bool Lists(const TControl* control) const;
    bool RouteMouse(HWND window, TMessage& message);
    bool SetCursorFor(HWND window, TCursor cursor, TMessage& message) const;
    void SetHovered(TControl* control);

    const std::vector<TControl*>& controls_; // not owned: the owner's list
    TControl* hovered_ = nullptr;            // not owned; one of controls_
    TControl* pressed_ = nullptr;            // not owned; one of controls_, holding the capture
    bool trackingLeave_ = false;
};

} // namespace vigrel
