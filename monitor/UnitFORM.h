// The monitor base: an invisible, window-less object with its 50 ms timer, its six text slots
// and the tick that reads, compares and fires.
#pragma once

#include "ui/Timer.h"

#include <string>

namespace vigrel {

class TImageForm {
public:
    TImageForm();
    TImageForm(const TImageForm&) = delete;
    TImageForm& operator=(const TImageForm&) = delete;
    virtual ~TImageForm() = default;

    TTimer Timer1;
    std::string Label1; // variable name
    std::string Label2; // condition
    std::string Label3; // comparison string
    std::string Label4; // subroutine name
    std::string Label5; // execution mode, lower-cased
    std::string Label6; // start mode as given

    // Hides the monitor for good: its timer stops and it never ticks again.
    void Close();

    // Destroys the monitor, or, when its own tick is on the stack (a subroutine run from inside
    // the tick replaced or closed it), closes it now and destroys it when that tick returns.
    static void Release(TImageForm* form);

    // The tick: runs every 50 ms while Timer1 is enabled; lets no failure escape.
    void Timer1Timer();

private:
    void Tick();

    int tickDepth_ = 0;
    bool released_ = false;
};

} // namespace vigrel
