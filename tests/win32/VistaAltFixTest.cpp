// TVistaAltFix on Windows: activation, lazy hooking at idle, one repaint per burst of keyboard-cue
// messages (counted as WM_PAINT on shown forms), the two repaint walks, forms that go, and the
// handler a form keeps when the component goes first.
#include "components/VistaAltFixUnit.h"
#include "tests/win32/WineOnly.h"
#include "tools/forms/ComponentWriter.h"
#include "tools/forms/Designing.h"
#include "ui/Button.h"
#include "ui/FormLoader.h"
#include "ui/Label.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vigrel::test {
namespace {

struct FakeSystem {
    bool versionKnown = true;
    DWORD major = 6;
    bool themed = true;
};

FakeSystem& Fake() {
    static FakeSystem fake;
    return fake;
}

BOOL WINAPI FakeVersion(LPOSVERSIONINFOA info) {
    // The system refuses a structure of any other size.
    if (info->dwOSVersionInfoSize != 148 || !Fake().versionKnown) {
        return FALSE;
    }
    info->dwMajorVersion = Fake().major;
    info->dwMinorVersion = 1;
    return TRUE;
}

bool FakeThemes() {
    return Fake().themed;
}

template <class Base> class TPaintCounting : public Base {
public:
    int paints = 0;

protected:
    void WndProc(TMessage& message) override {
        if (message.Msg == WM_PAINT) {
            ++paints;
        }
        Base::WndProc(message);
    }
};

using TCountingForm = TPaintCounting<TForm>;

// A handler chained in front of what a form had; the tests look for its type on the form.
struct TChained {
    TWndMethod next;
    int* seen;
    void operator()(TMessage& message) const {
        ++*seen;
        next(message);
    }
};

void Chain(TControl& control, int& seen) {
    control.WindowProc = TChained{control.WindowProc, &seen};
}

bool ChainedOnTop(const TControl& control) {
    return control.WindowProc.target<TChained>() != nullptr;
}

void SendCueChange(TForm& form, int times = 1) {
    for (int i = 0; i < times; ++i) {
        SendMessageW(form.Handle(), WM_UPDATEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL), 0);
    }
}

// One idle pass of the library's message loop; another listener keeps it from waiting.
void IdlePass() {
    TApplicationEvents busy;
    busy.OnIdle = [](TComponent&, bool& done) { done = false; };
    Application().Idle();
}

// Shows the form and paints everything that is waiting, so that later paints are the fix's.
void ShowAndSettle(TForm& form) {
    form.SetBounds(0, 0, 200, 150);
    form.Show();
    // Every waiting message, with no idle pass.
    while (!Application().Terminated() && Application().ProcessMessage()) {
    }
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

const TFormObj* EntryOf(const TVistaAltFix& fix, const TForm& form) {
    for (const auto& entry : fix.FormObjects()) {
        if (entry->TargetForm() == &form) {
            return entry.get();
        }
    }
    return nullptr;
}

class AltFixTest : public ::testing::Test {
protected:
    void SetUp() override {
        Fake() = {};
        previous_ = ReplaceAltFixQueries({&FakeVersion, &FakeThemes});
    }
    void TearDown() override { ReplaceAltFixQueries(previous_); }

private:
    TAltFixQueries previous_{};
};

TEST_F(AltFixTest, DoesNothingBelowVersionSixWithoutStylesOrWhileDesigned) {
    const struct {
        FakeSystem system;
        bool designed;
        bool active;
    } cases[] = {
        {{true, 6, true}, false, true},   {{true, 10, true}, false, true},
        {{true, 5, true}, false, false},  {{true, 6, false}, false, false},
        {{false, 6, true}, false, false}, {{true, 6, true}, true, false},
    };
    for (const auto& c : cases) {
        Fake() = c.system;
        TForm form;
        SetDesigning(form, c.designed);
        int seen = 0;
        Chain(form, seen);
        auto& fix = form.CreateComponent<TVistaAltFix>(&form);
        IdlePass();
        const std::string which =
            std::to_string(c.system.major) + (c.system.themed ? " themed" : "") +
            (c.system.versionKnown ? "" : " unknown") + (c.designed ? " designed" : "");
        EXPECT_EQ(fix.Active(), c.active) << which;
        EXPECT_EQ(fix.AppEvents() != nullptr, c.active) << which;
        EXPECT_EQ(fix.FormObjects().size(), c.active ? 1u : 0u) << which;
        EXPECT_EQ(ChainedOnTop(form), !c.active) << which;
    }
}

TEST_F(AltFixTest, TestIsMadeOnceAtConstruction) {
    TForm form;
    auto& fix = form.CreateComponent<TVistaAltFix>(&form);
    Fake().themed = false;
    IdlePass();
    EXPECT_TRUE(fix.Active());
    EXPECT_EQ(fix.FormObjects().size(), 1u);
}

TEST(AltFixSystem, WineReportsVersionSixWithVisualStyles) {
    VIGREL_WINE_ONLY("Windows reports its own version, and XP's classic look has no styles");
    EXPECT_TRUE(TVistaAltFix::IsVistaThemed());
}

TEST_F(AltFixTest, HooksAFormAtTheFirstIdleAfterItAppearsWithNothingPending) {
    TCountingForm first;
    auto& fix = first.CreateComponent<TVistaAltFix>(&first);
    IdlePass();
    ASSERT_EQ(fix.FormObjects().size(), 1u);
    TCountingForm later;
    ShowAndSettle(later);
    SendCueChange(later);
    EXPECT_EQ(EntryOf(fix, later), nullptr);
    later.paints = 0;
    IdlePass();
    const TFormObj* entry = EntryOf(fix, later);
    ASSERT_NE(entry, nullptr);
    EXPECT_FALSE(entry->RepaintPending());
    EXPECT_TRUE(entry->InUse());
    EXPECT_EQ(later.paints, 0); // the message came before the hook
    SendCueChange(later);
    EXPECT_TRUE(entry->RepaintPending());
    IdlePass();
    EXPECT_FALSE(entry->RepaintPending());
    EXPECT_EQ(later.paints, 1);
    EXPECT_EQ(fix.FormObjects().front()->TargetForm(), &first);
}

TEST_F(AltFixTest, BurstOfCueChangesGivesOneRepaintOfEveryWindowedControl) {
    TCountingForm form;
    auto& fix = form.CreateComponent<TVistaAltFix>(&form);
    auto& panel = form.CreateComponent<TPaintCounting<TWinControl>>();
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 100, 60);
    auto& inner = form.CreateComponent<TPaintCounting<TWinControl>>();
    inner.SetParent(&panel);
    inner.SetBounds(5, 5, 40, 20);
    ShowAndSettle(form);
    IdlePass();
    // Other messages pass and mark nothing.
    SendMessageW(form.Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Cues"));
    form.paints = panel.paints = inner.paints = 0;
    IdlePass();
    EXPECT_EQ(form.paints + panel.paints + inner.paints, 0);
    EXPECT_EQ(form.Caption(), "Cues");

    SendCueChange(form, 5);
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    form.paints = panel.paints = inner.paints = 0;
    IdlePass();
    EXPECT_EQ(form.paints, 1);
    EXPECT_GE(panel.paints, 1);
    EXPECT_GE(inner.paints, 1);
    form.paints = panel.paints = inner.paints = 0;
    IdlePass();
    EXPECT_EQ(form.paints + panel.paints + inner.paints, 0);
    SendCueChange(form);
    IdlePass();
    EXPECT_EQ(form.paints, 1);
    EXPECT_EQ(fix.FormObjects().size(), 1u);
}

TEST_F(AltFixTest, ButtonWalkRepaintsOnlyTheButtonFamilyAlsoInsideAPanel) {
    TCountingForm form;
    auto& fix = form.CreateComponent<TVistaAltFix>(&form);
    fix.SetRepaintAll(false);
    auto& panel = form.CreateComponent<TPaintCounting<TWinControl>>();
    panel.SetParent(&form);
    panel.SetBounds(10, 10, 180, 120);
    auto& button = form.CreateComponent<TPaintCounting<TButton>>();
    button.SetParent(&panel);
    button.SetBounds(5, 5, 70, 25);
    auto& radio = form.CreateComponent<TPaintCounting<TRadioButton>>();
    radio.SetParent(&panel);
    radio.SetBounds(5, 40, 100, 17);
    auto& box = form.CreateComponent<TPaintCounting<TWinControl>>();
    box.SetParent(&panel);
    box.SetBounds(5, 70, 60, 20);
    auto& label = form.CreateComponent<TPaintCounting<TLabel>>();
    label.SetParent(&form);
    label.SetCaption("Label");
    ShowAndSettle(form);
    IdlePass();
    ASSERT_FALSE(fix.FormObjects().front()->RepaintAll());
    const auto reset = [&] {
        RedrawWindow(form.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        form.paints = panel.paints = button.paints = radio.paints = box.paints = label.paints = 0;
    };
    SendCueChange(form, 3);
    reset();
    IdlePass();
    EXPECT_GE(button.paints, 1);
    EXPECT_GE(radio.paints, 1);
    EXPECT_EQ(form.paints + panel.paints + box.paints + label.paints, 0);

    // A form keeps the walk it was hooked with; forms hooked later get the new one.
    fix.SetRepaintAll(true);
    TCountingForm later;
    ShowAndSettle(later);
    IdlePass();
    SendCueChange(form);
    SendCueChange(later);
    reset();
    later.paints = 0;
    IdlePass();
    EXPECT_EQ(form.paints + panel.paints + box.paints, 0);
    EXPECT_EQ(later.paints, 1);
}

TEST_F(AltFixTest, DestroyedFormLosesItsEntryAtTheNextIdleAndANewOneIsHooked) {
    TCountingForm kept;
    auto& fix = kept.CreateComponent<TVistaAltFix>(&kept);
    auto gone = std::make_unique<TCountingForm>();
    IdlePass();
    ASSERT_EQ(fix.FormObjects().size(), 2u);
    gone.reset();
    // Forgotten at once, released at the next pass.
    EXPECT_EQ(fix.FormObjects().size(), 2u);
    EXPECT_EQ(fix.FormObjects().back()->TargetForm(), nullptr);
    // A form made now may take the address of the one that went: it is a new form all the same.
    TCountingForm next;
    ShowAndSettle(next);
    IdlePass();
    ASSERT_EQ(fix.FormObjects().size(), 2u);
    EXPECT_EQ(fix.FormObjects().front()->TargetForm(), &kept);
    EXPECT_EQ(fix.FormObjects().back()->TargetForm(), &next);
    SendCueChange(next);
    next.paints = 0;
    IdlePass();
    EXPECT_EQ(next.paints, 1);
}

TEST_F(AltFixTest, ComponentGoingFirstGivesALivingFormItsHandlerBack) {
    auto dialog = std::make_unique<TForm>();
    auto& fix = dialog->CreateComponent<TVistaAltFix>(dialog.get());
    TCountingForm other;
    int seen = 0;
    Chain(other, seen);
    ShowAndSettle(other);
    IdlePass();
    ASSERT_NE(EntryOf(fix, other), nullptr);
    EXPECT_FALSE(ChainedOnTop(other));
    dialog.reset();
    EXPECT_TRUE(ChainedOnTop(other));
    // The form works as before: messages reach its handler and its class, and nothing repaints.
    seen = 0;
    SendCueChange(other, 2);
    SetWindowTextW(other.Handle(), L"Still here");
    EXPECT_EQ(other.Caption(), "Still here");
    EXPECT_GE(seen, 3);
    other.paints = 0;
    IdlePass();
    EXPECT_EQ(other.paints, 0);
}

TEST_F(AltFixTest, HandlerChainedAfterTheHookIsKeptAndTheHookOnlyForwards) {
    auto fix = std::make_unique<TVistaAltFix>(nullptr);
    TCountingForm form;
    int before = 0;
    Chain(form, before);
    ShowAndSettle(form);
    IdlePass();
    int after = 0;
    Chain(form, after);
    fix.reset();
    before = 0;
    EXPECT_TRUE(ChainedOnTop(form));
    SendCueChange(form);
    SetWindowTextW(form.Handle(), L"Chained");
    EXPECT_EQ(form.Caption(), "Chained");
    // Both handlers, the one after the hook and the one before it, still see every message.
    EXPECT_GE(after, 2);
    EXPECT_EQ(before, after);
}

TEST_F(AltFixTest, FormWithoutAHandlerIsLeftAsItIs) {
    TForm form;
    form.WindowProc = nullptr;
    {
        auto& fix = form.CreateComponent<TVistaAltFix>(&form);
        IdlePass();
        EXPECT_EQ(fix.FormObjects().size(), 1u);
        EXPECT_FALSE(form.WindowProc);
        SetWindowTextW(form.Handle(), L"Class only");
        EXPECT_EQ(form.Caption(), "Class only");
        SendCueChange(form);
        EXPECT_FALSE(fix.FormObjects().front()->RepaintPending());
        form.RemoveComponent(fix);
    }
    EXPECT_FALSE(form.WindowProc);
}

TEST_F(AltFixTest, ReadsFromAFormResourceOnItsForm) {
    TForm form;
    const ClassRegistry classes{&TForm::StaticClass(), &TVistaAltFix::StaticClass()};
    const std::string text = "object Form1: TForm\n"
                             "  object VistaAltFix1: TVistaAltFix\n"
                             "    RepaintAll = False\n"
                             "  end\n"
                             "end\n";
    ReadComponentResource(form, text, classes);
    ASSERT_EQ(form.ComponentCount(), 1u);
    const auto& fix = dynamic_cast<const TVistaAltFix&>(form.Components(0));
    EXPECT_FALSE(fix.RepaintAll());
    EXPECT_TRUE(fix.Active());
    EXPECT_EQ(WriteComponentResource(form), text);
}

} // namespace
} // namespace vigrel::test
