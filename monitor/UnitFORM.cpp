#include "monitor/UnitFORM.h"

#include "monitor/MonitorArguments.h"
#include "monitor/ValueCompare.h"
#include "monitor/WinLocale.h"
#include "tessary/PlugInUtils.h"

namespace vigrel {

TImageForm::TImageForm() : Timer1([this] { Timer1Timer(); }) {
    Timer1.SetInterval(50);
}

void TImageForm::Close() {
    Timer1.SetEnabled(false);
}

void TImageForm::Release(TImageForm* form) {
    if (form == nullptr) {
        return;
    }
    form->Close();
    if (form->tickDepth_ > 0) {
        form->released_ = true;
    } else {
        delete form;
    }
}

// A tick that is still running (its subroutine shows something modal, or the host dispatches
// messages while it runs) lets the timer's nested deliveries pass: otherwise every 50 ms would
// start another GoSub, and another modal window, for as long as the condition holds. Other
// monitors keep ticking meanwhile.
void TImageForm::Timer1Timer() {
    if (tickDepth_ > 0) {
        return;
    }
    ++tickDepth_;
    try {
        Tick();
    } catch (...) {
        // A failure ends this tick quietly; the timer keeps whatever state it had.
    }
    if (--tickDepth_ == 0 && released_) {
        delete this;
    }
}

// Every host callback is looked at before it is called: a host may register them late, or
// not at all. After every host call the tick checks whether the host released this monitor
// meanwhile (message 2, or a creation under its name, run from inside the callback); a released
// monitor sends nothing more and touches nothing of itself.
void TImageForm::Tick() {
    if (Label4.empty()) {
        Timer1.SetEnabled(false);
        if (HostSetVariable != nullptr) {
            HostSetVariable(MonitorErrorVariable.data(), MissingSubroutineMessage.data());
        }
        return;
    }

    std::string value;
    if (HostGetVariable != nullptr) {
        HostString read;
        HostGetVariable(Label1.c_str(), read.Receive());
        if (released_) {
            return;
        }
        value = read.Text();
    }

    if (!ConditionHolds(Label2, value, Label3, UserLocale())) {
        return;
    }
    if (Label5 == "false") {
        Timer1.SetEnabled(false);
    }
    if (HostScriptProcessor != nullptr) {
        const std::string line = "GoSub \"" + Label4 + "\"";
        HostScriptProcessor(line.c_str());
    }
}

} // namespace vigrel
