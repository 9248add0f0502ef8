#include "ui/Application.h"

#include <algorithm>

namespace vigrel {

TApplication& Application() {
    static TApplication application;
    return application;
}

void TApplication::AddIdleListener(IdleListener& listener) {
    if (std::find(listeners_.begin(), listeners_.end(), &listener) == listeners_.end()) {
        listeners_.push_back(&listener);
    }
}

void TApplication::RemoveIdleListener(IdleListener& listener) {
    std::erase(listeners_, &listener);
    if (listeners_.empty()) {
        listeners_.shrink_to_fit();
    }
}

bool TApplication::IsDialogKey(MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) {
        return false;
    }
    return dialogKeyHandler_ != nullptr && dialogKeyHandler_(message);
}

bool TApplication::ProcessMessage() {
    MSG message;
    if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (message.message == WM_QUIT) {
        terminated_ = true;
        PostQuitMessage(static_cast<int>(message.wParam));
        return true;
    }
    if (!IsDialogKey(message)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) {
        Idle();
    }
}

void TApplication::Idle() {
    bool done = true;
    // A listener may add or remove listeners: tell a copy, skipping the ones that left.
    const std::vector<IdleListener*> listeners = listeners_;
    for (IdleListener* listener : listeners) {
        if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
            continue;
        }
        try {
            listener->Idle(done);
        } catch (...) {
            // An idle handler's failure ends its own pass only.
        }
    }
    if (done) {
        WaitMessage();
    }
}

} // namespace vigrel
