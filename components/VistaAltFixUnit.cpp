#include "components/VistaAltFixUnit.h"

#include "ui/Button.h"
#include "ui/Published.h"
#include "ui/Themes.h"

#include <algorithm>

namespace vigrel {

// What the handler installed on a form shares with the per-form object that installed it.
struct THookState {
    TWndMethod previous;
    TFormObj* formObj; // null once the object is released: the handler then only forwards
};

namespace {

// The handler a per-form object puts on its form. Its type tells a released object whether it is
// still the form's handler or whether something was chained after it.
class THookedHandler {
public:
    explicit THookedHandler(std::shared_ptr<THookState> state) : state_(std::move(state)) {}

    bool Shares(const std::shared_ptr<THookState>& state) const { return state_ == state; }

    void operator()(TMessage& message) const {
        // Handling the message may replace the form's handler, destroying this object, or
        // release the per-form object: hold the state and read nothing of this object after.
        const std::shared_ptr<THookState> state = state_;
        if (state->formObj != nullptr) {
            state->formObj->HookedWindowProc(message);
        } else {
            state->previous(message);
        }
    }

private:
    std::shared_ptr<THookState> state_;
};

TAltFixQueries& Queries() {
    static TAltFixQueries queries{&GetVersionExA, &ThemesInUse};
    return queries;
}

} // namespace

TAltFixQueries ReplaceAltFixQueries(TAltFixQueries queries) {
    const TAltFixQueries previous = Queries();
    Queries().getVersion = queries.getVersion != nullptr ? queries.getVersion : &GetVersionExA;
    Queries().themesInUse = queries.themesInUse != nullptr ? queries.themesInUse : &ThemesInUse;
    return previous;
}

TFormObj::TFormObj(TForm& form, bool repaintAll) : targetForm_(&form), repaintAll_(repaintAll) {
    // A form whose handler was taken away is handled by its class alone, which a hook could not
    // pass messages on to: such a form stays as it is.
    if (!form.WindowProc) {
        return;
    }
    hook_ = std::make_shared<THookState>(THookState{form.WindowProc, this});
    form.WindowProc = THookedHandler(hook_);
}

TFormObj::~TFormObj() {
    if (hook_ == nullptr) {
        return;
    }
    hook_->formObj = nullptr;
    if (targetForm_ == nullptr) {
        return;
    }
    const auto* installed = targetForm_->WindowProc.target<THookedHandler>();
    if (installed != nullptr && installed->Shares(hook_)) {
        targetForm_->WindowProc = hook_->previous;
    }
}

void TFormObj::HookedWindowProc(TMessage& message) {
    const std::shared_ptr<THookState> hook = hook_;
    hook->previous(message);
    // The previous handler may have released this object.
    if (hook->formObj == this && message.Msg == WM_UPDATEUISTATE) {
        repaintPending_ = true;
    }
}

TVistaAltFix::TVistaAltFix(TComponent* owner) {
    const bool designing = owner != nullptr && owner->ComponentState().Contains(csDesigning);
    if (designing || !IsVistaThemed()) {
        return;
    }
    appEvents_ = std::make_unique<TApplicationEvents>();
    appEvents_->OnIdle = [this](TComponent& sender, bool& done) { HandleIdle(sender, done); };
}

TVistaAltFix::~TVistaAltFix() {
    appEvents_.reset();
    formObjects_.clear();
}

const ClassInfo& TVistaAltFix::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TVistaAltFix>("TVistaAltFix", TComponent::StaticClass())
            .Boolean("RepaintAll", &TVistaAltFix::RepaintAll, &TVistaAltFix::SetRepaintAll, true)
            .CreatedWithOwner();
    return info;
}

bool TVistaAltFix::IsVistaThemed() {
    OSVERSIONINFOA version{};
    static_assert(sizeof(version) == 148);
    version.dwOSVersionInfoSize = sizeof(version);
    return Queries().getVersion(&version) != FALSE && version.dwMajorVersion >= 6 &&
           Queries().themesInUse();
}

void TVistaAltFix::HandleIdle(TComponent&, bool&) {
    for (const auto& entry : formObjects_) {
        entry->inUse_ = false;
    }
    const TScreen& screen = Screen();
    for (std::size_t i = 0; i < screen.FormCount(); ++i) {
        TForm& form = screen.Forms(i);
        const auto found =
            std::find_if(formObjects_.begin(), formObjects_.end(),
                         [&](const auto& entry) { return entry->targetForm_ == &form; });
        if (found != formObjects_.end()) {
            (*found)->inUse_ = true;
        } else {
            formObjects_.push_back(std::make_unique<TFormObj>(form, repaintAll_));
            // A form destroyed before the next pass is forgotten at once, so that its entry
            // never touches it nor takes a later form at the same address for it.
            FreeNotification(form);
        }
    }
    for (std::size_t i = formObjects_.size(); i-- > 0;) {
        if (!formObjects_[i]->inUse_) {
            formObjects_.erase(formObjects_.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            RepaintIfPending(*formObjects_[i]);
        }
    }
}

void TVistaAltFix::Notification(TComponent& component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) {
        return;
    }
    for (const auto& entry : formObjects_) {
        if (entry->targetForm_ == &component) {
            entry->targetForm_ = nullptr;
        }
    }
}

void TVistaAltFix::RepaintIfPending(TFormObj& entry) {
    // A form that an earlier repaint of this pass destroyed is left to the next pass.
    if (!entry.repaintPending_ || entry.targetForm_ == nullptr) {
        return;
    }
    entry.repaintPending_ = false;
    if (entry.repaintAll_) {
        RepaintAllWindowed(*entry.targetForm_);
    } else {
        RepaintButtons(*entry.targetForm_);
    }
}

void TVistaAltFix::RepaintAllWindowed(TControl& control) {
    auto* windowed = dynamic_cast<TWinControl*>(&control);
    if (windowed == nullptr) {
        return;
    }
    windowed->Repaint();
    for (std::size_t i = 0; i < windowed->ControlCount(); ++i) {
        RepaintAllWindowed(windowed->Controls(i));
    }
}

void TVistaAltFix::RepaintButtons(TControl& control) {
    auto* windowed = dynamic_cast<TWinControl*>(&control);
    if (windowed == nullptr) {
        return;
    }
    if (dynamic_cast<TButtonControl*>(windowed) != nullptr) {
        windowed->Repaint();
        return;
    }
    for (std::size_t i = 0; i < windowed->ControlCount(); ++i) {
        RepaintButtons(windowed->Controls(i));
    }
}

} // namespace vigrel
