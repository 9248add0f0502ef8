// TVistaAltFix: a non-visual component that repaints the controls of the library's forms after
// their keyboard cues (underlined access keys, focus rectangles) change. With visual styles on
// Windows 6 and later, pressing Alt sends a form WM_UPDATEUISTATE, after which themed controls
// can be left drawn with the old cues. The component hooks every form of the library (Screen)
// at the next idle moment of the library's message loop after the form appears; the hook only
// notes that the message came, and the next idle pass repaints that form's controls once.
//
// A hooked form gets its previous handler back when its per-form object is released while the
// form lives (the component destroyed before the form). When something else was chained after
// the hook in the meantime, the hook is left in the chain as a plain pass-through, so that
// nothing after it is cut off and nothing calls the released object.
#pragma once

#include "ui/AppEvents.h"
#include "ui/Form.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace vigrel {

// The system queries of the activation test; tests put others in.
struct TAltFixQueries {
    BOOL(WINAPI* getVersion)(LPOSVERSIONINFOA info);
    bool (*themesInUse)();
};
// Puts `queries` in place for components made from now on and gives the previous ones back;
// a null member puts the system's own query back.
TAltFixQueries ReplaceAltFixQueries(TAltFixQueries queries);

struct THookState;

// One hooked form.
class TFormObj {
public:
    // Hooks `form`: its current handler becomes PreviousWindowProc and the hook takes its place.
    TFormObj(TForm& form, bool repaintAll);
    TFormObj(const TFormObj&) = delete;
    TFormObj& operator=(const TFormObj&) = delete;
    // Gives a living form its previous handler back, or leaves the hook as a pass-through when
    // another handler was chained after it.
    ~TFormObj();

    // Null once the form was destroyed.
    TForm* TargetForm() const { return targetForm_; }
    // Set by each idle pass that finds the form in Screen.
    bool InUse() const { return inUse_; }
    // A keyboard-cue change came since the last repaint.
    bool RepaintPending() const { return repaintPending_; }
    // The component's RepaintAll when the form was hooked.
    bool RepaintAll() const { return repaintAll_; }

    // Every message of the form: the previous handler first, unchanged; then a keyboard-cue
    // change marks the form for repainting.
    void HookedWindowProc(TMessage& message);

private:
    friend class TVistaAltFix;

    TForm* targetForm_;                // not owned
    std::shared_ptr<THookState> hook_; // shared with the handler installed on the form
    bool inUse_ = true;
    bool repaintPending_ = false;
    bool repaintAll_;
};

class TVistaAltFix : public TComponent {
public:
    // `owner` is the component that is to own it (form.CreateComponent<TVistaAltFix>(&form)).
    // The activation test is made here, once: with an owner being edited in a designer, or
    // when the test fails, the component does nothing at all.
    explicit TVistaAltFix(TComponent* owner);
    // Stops the idle passes, then releases every per-form object.
    ~TVistaAltFix() override;

    VIGREL_PUBLISHED_CLASS();

    // Windows 6 or later (GetVersionExA) with visual styles in use.
    static bool IsVistaThemed();
    // The listener that brings the idle passes; null when the component was not activated.
    const TApplicationEvents* AppEvents() const { return appEvents_.get(); }
    bool Active() const { return appEvents_ != nullptr; }

    // Which repaint forms hooked from now on get: every windowed control (true), or only the
    // button family (push buttons, check boxes, radio buttons).
    bool RepaintAll() const { return repaintAll_; }
    void SetRepaintAll(bool repaintAll) { repaintAll_ = repaintAll; }

    // One per hooked form, in the order the forms were hooked; empty when not active.
    const std::vector<std::unique_ptr<TFormObj>>& FormObjects() const { return formObjects_; }

    // The idle pass: hooks the forms that are new in Screen, releases the entries of forms that
    // left it and repaints the forms that are marked. `done` is left as it is.
    void HandleIdle(TComponent& sender, bool& done);

protected:
    void Notification(TComponent& component, TOperation operation) override;

private:
    static void RepaintIfPending(TFormObj& entry);
    // Repaints `control` and every windowed control inside it, each container first.
    static void RepaintAllWindowed(TControl& control);
    // Repaints only the button-family controls inside `control`, at any depth.
    static void RepaintButtons(TControl& control);

    std::vector<std::unique_ptr<TFormObj>> formObjects_;
    std::unique_ptr<TApplicationEvents> appEvents_; // made without an owner; null when not active
    bool repaintAll_ = true;
};

} // namespace vigrel
