// What screen readers are told of the windowless controls. A window on which such controls are
// drawn answers WM_GETOBJECT for its client area with an object of its own: the system's standard
// object for the window (CreateStdAccessibleObject), which keeps answering for the window and its
// child windows, with the drawn controls added after those children as simple elements (a name, a
// role, a place on the screen, a state and, for a control that acts on a click, a default action).
// Walked by navigation, the drawn controls come first, then the child windows, so a walk from the
// first child onwards meets them all. A dialog's form, and a control with a key of its own, answer
// with such an object too, for their role and their key.
//
// The objects are the system's to keep: a client may hold one after the window, the dialog or the
// plug-in has gone. So an object holds nothing of the toolkit but a link that the window layer
// clears when the window goes, after which it answers "not connected" (CO_E_OBJNOTCONNECTED);
// and while any object lives the module holds a reference to itself, so the code of an object is
// never unloaded under a client. The module lets go of that reference only on a call from the host
// (ReleaseAccessibleHold), when no object is left: never from an object's own release, after which
// the module's code would still have to return.
#pragma once

#include "ui/Control.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace vigrel {

// What the objects of a window ask of the control that owns it; TWinControl (ui/WinControl.h) is
// the one implementation.
class AccessibleParent {
public:
    // The windowless controls to tell of: those marked Accessible and visible, in creation order.
    virtual std::vector<TGraphicControl*> AccessibleControls() const = 0;
    // Whether the window is a dialog: its object then says so, and screen readers announce it.
    virtual bool AccessibleAsDialog() const = 0;
    // The key that does what the control's neighbour does for it ("F4"), empty for none.
    virtual std::string AccessibleShortcut() const = 0;

protected:
    AccessibleParent() = default;
    ~AccessibleParent() = default;
};

// The objects' one link to the toolkit, shared by every object a window handed out.
struct AccessibleLink;

// Answers WM_GETOBJECT in `message` for `window`, which `parent` owns: for the client area
// (OBJID_CLIENT) of a window with controls, a role or a key to tell of, a new object, with `link`
// made on first use.
// False leaves the message to the default handling: another object id, nothing to add, or an
// object that could not be made (the system's standard object then answers alone).
bool AnswerGetObject(std::shared_ptr<AccessibleLink>& link, AccessibleParent& parent, HWND window,
                     TMessage& message);

// The window of `link` is going: every object handed out for it answers "not connected" from now
// on, and the thread leaves the COM apartment the link entered. Nothing when there is no link.
void DisconnectAccessible(std::shared_ptr<AccessibleLink>& link);

// How a window's logical points become the display's physical pixels and back: the places of the
// drawn controls are told, and hit-tested, in physical screen pixels, as the standard object tells
// the child windows'. The system's mapping where a member is null; replaceable for tests, since
// Wine never virtualises coordinates. Gives back the one it replaced.
struct TPointMapping {
    BOOL(WINAPI* ToPhysical)(HWND window, LPPOINT point) = nullptr;
    BOOL(WINAPI* ToLogical)(HWND window, LPPOINT point) = nullptr;
};
TPointMapping ReplacePointMapping(TPointMapping mapping);

// Gives back the module's reference to itself once no object it handed out is alive. Only for a
// call from the host (an action run or edited, the close), which holds the module itself while it
// calls.
void ReleaseAccessibleHold();

} // namespace vigrel
