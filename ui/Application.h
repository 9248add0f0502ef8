// The library's own message loop, run by its modal forms: messages are taken one at a time, the
// keys that move the focus or press buttons are given to the form they belong to first, and each
// time the queue is found empty the idle listeners are told before the loop waits.
#pragma once

#include <windows.h>

#include <vector>

namespace vigrel {

// Told each time the message loop finds the queue empty. `done` starts true; a listener that
// leaves it false asks to be told again at once instead of the loop waiting for a message.
class IdleListener {
public:
    virtual void Idle(bool& done) = 0;

protected:
    IdleListener() = default;
    ~IdleListener() = default;
};

// Offered every key press before it is dispatched; true when it used the message.
using DialogKeyHandler = bool (*)(const MSG& message);

class TApplication {
public:
    // Every form sets the forms' one handler when it is made; null offers the keys to nobody.
    void SetDialogKeyHandler(DialogKeyHandler handler) { dialogKeyHandler_ = handler; }

    // Listeners are told in the order they were added; one removed while the listeners are being
    // told is not told again.
    void AddIdleListener(IdleListener& listener);
    void RemoveIdleListener(IdleListener& listener);

    // Takes one message and dispatches it; false when the queue was empty. A WM_QUIT is put back
    // for the loop outside and sets Terminated.
    bool ProcessMessage();
    // One turn of the loop: a message, or, when there is none, the idle pass and a wait.
    void HandleMessage();
    // The idle pass: tells every listener; a failing listener does not keep the others from it.
    void Idle();

    // A WM_QUIT was seen: the modal runs end.
    bool Terminated() const { return terminated_; }
    void ClearTerminated() { terminated_ = false; }

private:
    bool IsDialogKey(MSG& message);

    DialogKeyHandler dialogKeyHandler_ = nullptr;
    std::vector<IdleListener*> listeners_; // not owned: each removes itself when it dies
    bool terminated_ = false;
};

TApplication& Application();

} // namespace vigrel
