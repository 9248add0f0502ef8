// The "Action Properties" dialog that edits the seven arguments of a monitor action, and the
// routine that runs it for the host.
#pragma once

#include "tessary/TessaryAbi.h"
#include "ui/Form.h"

#include <span>

namespace vigrel {

class TButton;
class TComboBox;
class TLabeledEdit;
class TRadioButton;
class TSpeedButton;

class TFormMonitorProperties : public TForm {
    // Reads the form resource; declared first, so it runs before the members below that name
    // the controls it makes.
    struct ResourceRead {
        explicit ResourceRead(TFormMonitorProperties& form);
    } resourceRead_;

public:
    // Builds the dialog from its form resource, embedded in this module.
    TFormMonitorProperties();

    VIGREL_PUBLISHED_CLASS();

    TLabeledEdit& LEdit1;       // monitor name
    TLabeledEdit& LEdit2;       // watched variable
    TLabeledEdit& LEdit3;       // comparison string
    TLabeledEdit& LEdit4;       // subroutine
    TComboBox& ComboBox1;       // condition
    TComboBox& ComboBox2;       // execution mode
    TRadioButton& RadioButton1; // starts with the monitor
    TRadioButton& RadioButton2; // waits for a start command
    TSpeedButton& Kn1;
    TSpeedButton& Kn2;
    TSpeedButton& Kn3;

    // The picture buttons: the host picks a variable for the variable or the comparison field,
    // or lists the publication's subroutines. In the field beside each, F4 and Alt+Down (the keys
    // that open a drop-down list) do the same, since the buttons take no focus.
    void Kn1Click(TComponent& sender);
    void Kn2Click(TComponent& sender);
    void Kn3Click(TComponent& sender);

private:
    void PickVariable(TLabeledEdit& field);
};

// The one dialog while EditMonitorAction runs, else null.
extern TFormMonitorProperties* FormMonitorProperties;

// Shows the dialog filled from the action's seven host strings, in the host's order (null reads
// as empty) and, when the author confirms with OK, replaces all seven with new host strings of
// the fields' texts; true then. Cancelled or closed, or called while the dialog is already open,
// it writes nothing and gives false. The dialog is freed on every way out; a failure goes on to the
// caller.
bool EditMonitorAction(std::span<HostStringPtr, MonitorArgumentCount> slots);

} // namespace vigrel
