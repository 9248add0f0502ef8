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

void TImageForm::Timer1Timer() {
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

void TImageForm::Tick() {
    if (Label4.empty()) {
        Timer1.SetEnabled(false);
        HostSetVariable(MonitorErrorVariable.data(), MissingSubroutineMessage.data());
        return;
    }

    HostStringPtr read = nullptr;
    HostGetVariable(Label1.c_str(), &read);
    std::string value;
    try {
        value = HostText(read);
    } catch (...) {
        FreeHostString(read);
        throw;
    }
    FreeHostString(read);

    if (!ConditionHolds(Label2, value, Label3, UserLocale())) {
        return;
    }
    if (Label5 == "false") {
        Timer1.SetEnabled(false);
    }
    const std::string line = "GoSub \"" + Label4 + "\"";
    HostScriptProcessor(line.c_str());
    // The subroutine may have replaced or closed this monitor: nothing here touches it again.
}

} // namespace vigrel
