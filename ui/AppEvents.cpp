#include "ui/AppEvents.h"

#include "ui/Published.h"

namespace vigrel {

TApplicationEvents::TApplicationEvents() {
    Application().AddIdleListener(*this);
}

TApplicationEvents::~TApplicationEvents() {
    Application().RemoveIdleListener(*this);
}

const ClassInfo& TApplicationEvents::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TApplicationEvents>("TApplicationEvents", TComponent::StaticClass());
    return info;
}

void TApplicationEvents::Idle(bool& done) {
    if (OnIdle) {
        OnIdle(*this, done);
    }
}

} // namespace vigrel
