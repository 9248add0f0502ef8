#include "editor/EditMonitor.h"

#include "components/Gradient.h"
#include "components/LinkLabel.h"
#include "components/VistaAltFixUnit.h"
#include "editor/DialogTexts.h"
#include "monitor/NameRule.h"
#include "tessary/AsciiCase.h"
#include "tessary/PlugInUtils.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Dialogs.h"
#include "ui/DpiAwareness.h"
#include "ui/Edit.h"
#include "ui/FormLoader.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/Resources.h"
#include "ui/SpeedButton.h"
#include "ui/WideText.h"

#include <array>
#include <stdexcept>
#include <utility>

namespace vigrel {

TFormMonitorProperties* FormMonitorProperties = nullptr;

namespace {

const ClassRegistry& DialogClasses() {
    static const ClassRegistry classes{
        &TFormMonitorProperties::StaticClass(),
        &TLabel::StaticClass(),
        &TLinkLabel::StaticClass(),
        &TGradient::StaticClass(),
        &TImage::StaticClass(),
        &TPanel::StaticClass(),
        &TSpeedButton::StaticClass(),
        &TLabeledEdit::StaticClass(),
        &TComboBox::StaticClass(),
        &TRadioButton::StaticClass(),
        &TButton::StaticClass(),
        &TVistaAltFix::StaticClass(),
    };
    return classes;
}

template <class T> T& Control(const TComponent& form, const char* name) {
    if (auto* control = dynamic_cast<T*>(form.FindComponent(name))) {
        return *control;
    }
    throw std::logic_error(std::string("the dialog's resource has no ") + name);
}

// The monitor action's argument slots, in the host's order.
enum Slot : std::size_t {
    NameSlot,
    VariableSlot,
    ConditionSlot,
    ComparisonSlot,
    SubroutineSlot,
    ExecutionSlot,
    StartSlot
};

// One of the dialog's own texts, as the toolkit takes it (UTF-8).
std::string DialogText(std::u8string_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size()};
}

// A host string (the ANSI code page) shown in a field, and the bytes it came from: a field that
// still shows exactly that text goes back as those bytes, even where the code page has bytes that
// do not survive a conversion to Unicode and back.
struct FieldText {
    std::string bytes;
    std::string shown; // UTF-8

    explicit FieldText(const char* host)
        : bytes(HostText(host)), shown(FromCodePage(bytes, CP_ACP)) {}

    std::string WriteBack(const std::string& now) const {
        return now == shown ? bytes : ToCodePage(now, CP_ACP);
    }
};

// Makes an interface request of the host, with the host's DPI awareness in force as in every
// call into the host (the dialog's windows are unaware of it).
bool AskHost(std::int32_t request, HostString& text) {
    const ThreadDpiAwareness hostAwareness(HostAwareness());
    return HostInterfaceAccess(request, text.Address()) != TsFalse;
}

// The host string a field's text makes.
std::string HostBytes(const TLabeledEdit& field) {
    return ToCodePage(field.Text(), CP_ACP);
}

} // namespace

TFormMonitorProperties::ResourceRead::ResourceRead(TFormMonitorProperties& form) {
    ReadComponentResource(form, ModuleResourceData(L"EDITMONITOR"), DialogClasses());
}

TFormMonitorProperties::TFormMonitorProperties()
    : resourceRead_(*this), LEdit1(Control<TLabeledEdit>(*this, "LEdit1")),
      LEdit2(Control<TLabeledEdit>(*this, "LEdit2")),
      LEdit3(Control<TLabeledEdit>(*this, "LEdit3")),
      LEdit4(Control<TLabeledEdit>(*this, "LEdit4")),
      ComboBox1(Control<TComboBox>(*this, "ComboBox1")),
      ComboBox2(Control<TComboBox>(*this, "ComboBox2")),
      RadioButton1(Control<TRadioButton>(*this, "RadioButton1")),
      RadioButton2(Control<TRadioButton>(*this, "RadioButton2")),
      Kn1(Control<TSpeedButton>(*this, "Kn1")), Kn2(Control<TSpeedButton>(*this, "Kn2")),
      Kn3(Control<TSpeedButton>(*this, "Kn3")) {
    for (TSpeedButton* button : {&Kn1, &Kn2, &Kn3}) {
        button->SetDefaultActionName(DialogText(PressActionName));
    }
    Control<TLinkLabel>(*this, "LinkLabel1").SetDefaultActionName(DialogText(FollowActionName));
    Kn1.OnClick = [this](TComponent& sender) { Kn1Click(sender); };
    Kn2.OnClick = [this](TComponent& sender) { Kn2Click(sender); };
    Kn3.OnClick = [this](TComponent& sender) { Kn3Click(sender); };
    const auto dropDownKeys = [](TSpeedButton& button) {
        return [&button](TComponent&, WORD& key, bool alt) {
            if ((key == VK_F4 && !alt) || (key == VK_DOWN && alt)) {
                key = 0;
                button.OnClick(button);
            }
        };
    };
    for (auto [field, button] :
         {std::pair{&LEdit2, &Kn1}, std::pair{&LEdit3, &Kn2}, std::pair{&LEdit4, &Kn3}}) {
        field->OnKeyDown = dropDownKeys(*button);
        field->SetAccessibleShortcut("F4");
    }
}

const ClassInfo& TFormMonitorProperties::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TFormMonitorProperties>("TFormMonitorProperties", TForm::StaticClass());
    return info;
}

void TFormMonitorProperties::PickVariable(TLabeledEdit& field) {
    if (HostInterfaceAccess == nullptr) {
        return;
    }
    HostString answer;
    answer.Assign(HostBytes(field));
    if (AskHost(RequestPickVariable, answer)) {
        field.SetText(FromCodePage(answer.Text(), CP_ACP));
    }
}

void TFormMonitorProperties::Kn1Click(TComponent&) {
    PickVariable(LEdit2);
}

void TFormMonitorProperties::Kn2Click(TComponent&) {
    PickVariable(LEdit3);
}

void TFormMonitorProperties::Kn3Click(TComponent&) {
    if (HostInterfaceAccess == nullptr) {
        return;
    }
    HostString answer;
    answer.Assign(HostBytes(LEdit4));
    std::string list;
    if (AskHost(RequestSubroutineList, answer)) {
        list = FromCodePage(answer.Text(), CP_ACP);
    }
    if (list.empty()) {
        ShowMessageBox(DialogText(NoSubroutinesMessage), TMsgDlgType::mtInformation);
    } else {
        ShowMessageBox(DialogText(SubroutineListHeading) + "\r\r" + list,
                       TMsgDlgType::mtInformation);
    }
}

bool EditMonitorAction(std::span<HostStringPtr, MonitorArgumentCount> slots) {
    // The dialog's modal run keeps the host's monitors ticking, and a subroutine they run may
    // ask for the editor again: the one dialog there is stays the only one.
    if (FormMonitorProperties != nullptr) {
        return false;
    }
    // Laid out in pixels at 96 dpi, the dialog's windows are made unaware of DPI, so that the
    // system stretches them for a DPI-aware host; their procedures run in that awareness. The
    // rest of the call, the modal run's own loop included, keeps the host's.
    const HostDpiContext hostContext;
    auto dialog = std::make_unique<TFormMonitorProperties>();
    struct Release {
        ~Release() { FormMonitorProperties = nullptr; }
    } release;
    FormMonitorProperties = dialog.get();
    TFormMonitorProperties& form = *dialog;
    form.SetParentWindow(DefaultOwnerWindow());
    form.SetCaption(DialogText(DialogCaption));

    const FieldText nameText(slots[NameSlot]);
    const FieldText variableText(slots[VariableSlot]);
    const FieldText comparisonText(slots[ComparisonSlot]);
    const FieldText subroutineText(slots[SubroutineSlot]);
    form.LEdit1.SetText(nameText.shown);
    form.LEdit2.SetText(variableText.shown);
    const std::string conditionText = HostText(slots[ConditionSlot]);
    form.ComboBox1.SetItemIndex(conditionText == "<>" ? 1 : 0);
    form.LEdit3.SetText(comparisonText.shown);
    form.LEdit4.SetText(subroutineText.shown);
    // The run time takes both modes in any letter case, so the dialog reads them so too: an
    // action written "true" must not come back a one-shot monitor that never starts.
    const auto isTrue = [](const char* mode) {
        return SameIgnoringAsciiCase(HostText(mode), "true");
    };
    form.ComboBox2.SetItemIndex(isTrue(slots[ExecutionSlot]) ? 1 : 0);
    if (isTrue(slots[StartSlot])) {
        form.RadioButton1.SetChecked(true);
    } else {
        form.RadioButton2.SetChecked(true);
    }

    {
        const ThreadDpiAwareness unaware(DialogAwareness());
        form.Handle(); // every window of the dialog, its children's with it
    }
    if (form.ShowModal() != mrOk) {
        return false;
    }
    // A bad name is shown to the author and written all the same: the action keeps what was
    // typed, and the monitor's own check refuses the name when the action runs.
    if (!IsValidName(HostBytes(form.LEdit1))) {
        ShowMessageBox(DialogText(BadNameMessage), TMsgDlgType::mtError);
    }
    const std::array<std::string, MonitorArgumentCount> texts{
        nameText.WriteBack(form.LEdit1.Text()),
        variableText.WriteBack(form.LEdit2.Text()),
        form.ComboBox1.ItemIndex() == 1 ? "<>" : "=",
        comparisonText.WriteBack(form.LEdit3.Text()),
        subroutineText.WriteBack(form.LEdit4.Text()),
        form.ComboBox2.ItemIndex() == 1 ? "True" : "False",
        form.RadioButton1.Checked() ? "True" : "False",
    };
    // All seven blocks are made before any slot changes, so a failure on the way leaves every
    // slot as the host gave it; the swaps cannot fail, and the old blocks go with `blocks`.
    std::array<HostString, MonitorArgumentCount> blocks;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        blocks[i].Assign(texts[i]);
    }
    for (std::size_t i = 0; i < slots.size(); ++i) {
        std::swap(slots[i], *blocks[i].Address());
    }
    return true;
}

} // namespace vigrel
