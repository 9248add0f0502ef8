// A component that delivers the application's events to handlers: for now the idle notification
// of the library's message loop (ui/Application.h), with its "done" flag.
#pragma once

#include "ui/Application.h"
#include "ui/Component.h"

#include <functional>

namespace vigrel {

class TApplicationEvents : public TComponent, private IdleListener {
public:
    TApplicationEvents();
    ~TApplicationEvents() override;

    VIGREL_PUBLISHED_CLASS();

    std::function<void(TComponent& sender, bool& done)> OnIdle;

private:
    void Idle(bool& done) override;
};

} // namespace vigrel
