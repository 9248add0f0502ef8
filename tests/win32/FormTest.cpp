// The toolkit's second layer under Wine on a virtual display: standard controls built from a form
// resource as windows of the system's classes, their texts read back with the W functions, their
// painting, the keys of a dialog and the modal run.
#include "ui/Form.h"
#include "components/Gradient.h"
#include "tests/native/U8.h"
#include "tests/win32/FrameChecks.h"
#include "tests/win32/MessageBoxes.h"
#include "tests/win32/Surface.h"
#include "tools/forms/ComponentWriter.h"
#include "ui/AppEvents.h"
#include "ui/Button.h"
#include "ui/ComboBox.h"
#include "ui/Dialogs.h"
#include "ui/Edit.h"
#include "ui/FormLoader.h"
#include "ui/Label.h"
#include "ui/Panel.h"
#include "ui/WideText.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

const std::string formResource = U8(u8R"form(object Form: TForm
  Caption = "Проба"
  BorderStyle = bsDialog
  Position = poScreenCenter
  ClientWidth = 300
  ClientHeight = 200
  object ButtonOK: TButton
    Left = 20
    Top = 170
    Width = 70
    Height = 25
    Caption = "OK"
    Default = True
    ModalResult = 1
  end
  object ButtonCancel: TButton
    Left = 100
    Top = 170
    Width = 70
    Height = 25
    Caption = "Отмена"
    Default = True
    ModalResult = 2
    TabOrder = 1
  end
  object Panel1: TPanel
    Left = 10
    Top = 10
    Width = 280
    Height = 150
    BevelInner = bvLowered
    BevelOuter = bvLowered
    TabOrder = 2
    object Caption1: TLabel
      Left = 100
      Top = 64
      Caption = "Условие:"
      Transparent = True
    end
    object LEdit1: TLabeledEdit
      Left = 10
      Top = 40
      Width = 190
      Height = 21
      EditLabel.Caption = "Имя монитора:"
    end
    object ComboBox1: TComboBox
      Left = 10
      Top = 80
      Width = 100
      Height = 21
      Font.Charset = 204
      Items = ("Равно (=)", "Не равно (<>)")
      ItemIndex = 0
      TabOrder = 1
    end
    object RadioButton1: TRadioButton
      Left = 120
      Top = 80
      Width = 150
      Height = 17
      Caption = "Автоматически"
      TabOrder = 2
    end
    object RadioButton2: TRadioButton
      Left = 120
      Top = 100
      Width = 150
      Height = 17
      Caption = "Ждать"
      Checked = True
      TabOrder = 3
    end
  end
end
)form");

ClassRegistry Classes() {
    return {&TForm::StaticClass(),        &TButton::StaticClass(),      &TPanel::StaticClass(),
            &TLabel::StaticClass(),       &TLabeledEdit::StaticClass(), &TComboBox::StaticClass(),
            &TRadioButton::StaticClass(), &TEdit::StaticClass()};
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// Runs `steps` one per idle moment of a modal run, so a test drives the run from inside. Each step
// is followed by a message of no meaning, so the next idle moment comes even when the step itself
// posted nothing.
class IdleScript : public TApplicationEvents {
public:
    explicit IdleScript(std::vector<std::function<void()>> steps) : steps_(std::move(steps)) {
        OnIdle = [this](TComponent&, bool&) {
            ++passes;
            if (next_ < steps_.size()) {
                PostMessageW(nullptr, WM_NULL, 0, 0);
                steps_[next_++]();
            }
        };
    }
    int passes = 0;

private:
    std::vector<std::function<void()>> steps_;
    std::size_t next_ = 0;
};

class FormTest : public ::testing::Test {
protected:
    FormTest() { ReadComponentResource(form, formResource, Classes()); }

    template <class T> T& Get(const char* name) {
        return dynamic_cast<T&>(*form.FindComponent(name));
    }
    void Key(HWND window, WPARAM key) {
        PostMessageW(window, WM_KEYDOWN, key, 1);
        PostMessageW(window, WM_KEYUP, key, 0xC0000001);
    }
    HWND Focus() const { return GetFocus(); }

    TForm form;
};

TEST_F(FormTest, MakesTheSystemsOwnWindowsAtTheirPlaces) {
    const HWND window = form.Handle();
    const struct {
        const char* name;
        const wchar_t* windowClass;
        RECT rect;
    } cases[] = {
        {"ButtonOK", L"Button", {20, 170, 90, 195}},
        {"Panel1", L"VigrelPanel", {10, 10, 290, 160}},
        {"LEdit1", L"Edit", {10, 40, 200, 61}},
        {"ComboBox1", L"ComboBox", {10, 80, 110, 101}},
        {"RadioButton2", L"Button", {120, 100, 270, 117}},
    };
    for (const auto& c : cases) {
        const HWND control = Get<TWinControl>(c.name).Handle();
        EXPECT_EQ(ClassOf(control), c.windowClass) << c.name;
        EXPECT_TRUE(IsWindowUnicode(control)) << c.name;
        const RECT rect = RectInParent(control);
        EXPECT_EQ(rect.left, c.rect.left) << c.name;
        EXPECT_EQ(rect.top, c.rect.top) << c.name;
        EXPECT_EQ(rect.right, c.rect.right) << c.name;
        EXPECT_EQ(rect.bottom, c.rect.bottom) << c.name;
    }
    EXPECT_EQ(GetParent(Get<TWinControl>("LEdit1").Handle()), Get<TWinControl>("Panel1").Handle());
    // A top-level form: no parent, a dialog frame without minimise or maximise box.
    ExpectCentredDialogFrame(window, 300, 200);
    EXPECT_NE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME, 0);
    // The tiled edit has no sunken border of the system's.
    EXPECT_EQ(GetWindowLongW(Get<TWinControl>("LEdit1").Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE,
              0);
}

TEST_F(FormTest, TakesItsBoundsFromTheFrameAndPaintsTheWholeClientArea) {
    const HWND window = form.Handle();
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(form.Left(), outer.left);
    EXPECT_EQ(form.Width(), outer.right - outer.left);
    EXPECT_EQ(form.ClientRect().right, 300);
    Surface surface(300, 200, clBlack);
    form.PaintTo(surface.DC());
    for (const POINT p : {POINT{0, 0}, POINT{299, 199}, POINT{5, 100}}) {
        EXPECT_EQ(surface.Pixel(p.x, p.y), GetSysColor(COLOR_BTNFACE)) << p.x << "," << p.y;
    }
}

TEST_F(FormTest, RussianTextsShowAndReadBackInEveryLocale) {
    form.Handle();
    EXPECT_EQ(WindowTextW(form.Handle()), L"Проба");
    EXPECT_EQ(WindowTextW(Get<TWinControl>("ButtonCancel").Handle()), L"Отмена");
    auto& combo = Get<TComboBox>("ComboBox1");
    const HWND list = combo.Handle();
    ASSERT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
    wchar_t item[32] = {};
    SendMessageW(list, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, L"Не равно (<>)");
    EXPECT_EQ(combo.Text(), U8(u8"Равно (=)"));
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(combo.ItemIndex(), 1);
    EXPECT_EQ(combo.Text(), U8(u8"Не равно (<>)"));

    auto& edit = Get<TLabeledEdit>("LEdit1");
    SetWindowTextW(edit.Handle(), L"Ёлка ё");
    EXPECT_EQ(edit.Text(), U8(u8"Ёлка ё"));
    // Longer than the box, longer than the system's default limit: kept whole.
    const std::string longText(40000, 'x');
    edit.SetText(longText);
    EXPECT_EQ(edit.Text(), longText);
    EXPECT_NE(GetWindowLongW(edit.Handle(), GWL_STYLE) & ES_AUTOHSCROLL, 0);
}

TEST_F(FormTest, TheEditCaptionSitsThreePixelsAboveTheBoxAndMovesWithIt) {
    auto& edit = Get<TLabeledEdit>("LEdit1");
    const TLabel& caption = edit.EditLabel;
    EXPECT_EQ(caption.Parent(), &Get<TWinControl>("Panel1"));
    EXPECT_TRUE(caption.Transparent());
    EXPECT_GT(caption.Height(), 5);
    EXPECT_GT(caption.Width(), 20);
    EXPECT_EQ(caption.Left(), 10);
    EXPECT_EQ(caption.Top(), 40 - caption.Height() - 3);
    edit.SetBounds(30, 90, 100, 21);
    EXPECT_EQ(caption.Left(), 30);
    EXPECT_EQ(caption.Top(), 90 - caption.Height() - 3);
}

TEST_F(FormTest, RadioButtonsClearEachOtherAndFollowClicks) {
    auto& first = Get<TRadioButton>("RadioButton1");
    auto& second = Get<TRadioButton>("RadioButton2");
    form.Handle();
    EXPECT_EQ(SendMessageW(second.Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    first.SetChecked(true);
    EXPECT_FALSE(second.Checked());
    EXPECT_EQ(SendMessageW(second.Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(second.Handle(), BM_CLICK, 0, 0);
    EXPECT_TRUE(second.Checked());
    EXPECT_FALSE(first.Checked());
}

TEST_F(FormTest, PaintsBevelsAndTransparentLabels) {
    auto& panel = Get<TPanel>("Panel1");
    panel.SetColor(clYellow);
    Surface surface(280, 150, clWhite);
    panel.PaintTo(surface.DC());
    const TColor shadow = GetSysColor(COLOR_BTNSHADOW);
    const TColor light = GetSysColor(COLOR_BTNHIGHLIGHT);
    // Two lowered rings: dark above and left, light below and right.
    for (int ring = 0; ring < 2; ++ring) {
        EXPECT_EQ(surface.Pixel(ring, 50), shadow) << ring;
        EXPECT_EQ(surface.Pixel(100, ring), shadow) << ring;
        EXPECT_EQ(surface.Pixel(279 - ring, 50), light) << ring;
        EXPECT_EQ(surface.Pixel(100, 149 - ring), light) << ring;
    }
    EXPECT_EQ(surface.Pixel(2, 50), clYellow);
    // The transparent label draws ink on the panel's colour and nothing else.
    const TLabel& label = Get<TLabel>("Caption1");
    int ink = 0;
    for (int y = label.Top(); y < label.Top() + label.Height(); ++y) {
        for (int x = label.Left(); x < label.Left() + label.Width(); ++x) {
            const TColor pixel = surface.Pixel(x, y);
            ink += pixel != clYellow;
            // Black ink blended into yellow keeps blue at 0; a background would not.
            EXPECT_EQ(pixel >> 16 & 0xFF, 0u) << x << "," << y;
        }
    }
    EXPECT_GT(ink, 20);
}

TEST(TransparentLabel, ShowsTheGradientBeneathItBetweenItsLetters) {
    TPanel panel;
    panel.SetBounds(0, 0, 200, 40);
    auto& band = panel.CreateComponent<TGradient>();
    band.SetBounds(0, 0, 200, 40);
    band.SetStyle(TGradientStyle::gsLinearH);
    band.SetColorBegin(clSkyBlue);
    band.SetColorEnd(clWhite);
    band.SetParent(&panel);
    auto& label = panel.CreateComponent<TLabel>();
    label.SetTransparent(true);
    label.SetBounds(10, 10, 0, 0);
    label.SetParent(&panel);
    label.SetCaption("VigrelCreate");
    Surface under(200, 40, clBlack);
    label.SetVisible(false);
    panel.PaintTo(under.DC());
    label.SetVisible(true);
    Surface over(200, 40, clBlack);
    panel.PaintTo(over.DC());
    int ink = 0;
    int background = 0;
    for (int y = label.Top(); y < label.Top() + label.Height(); ++y) {
        for (int x = label.Left(); x < label.Left() + label.Width(); ++x) {
            const bool same = over.Pixel(x, y) == under.Pixel(x, y);
            background += same;
            ink += !same;
        }
    }
    EXPECT_GT(ink, 20);
    EXPECT_GT(background, ink); // the gradient shows around the letters
    EXPECT_EQ(over.Pixel(label.Left() + label.Width() - 1, label.Top()),
              under.Pixel(label.Left() + label.Width() - 1, label.Top()));
}

// A themed button asks its parent to print its client area, with the origin moved to the
// button's place: the panel prints its background and its windowless controls there, exactly as
// its paint shows them.
TEST_F(FormTest, APanelPrintsItsClientAreaIntoTheDeviceContextItIsGiven) {
    auto& panel = Get<TPanel>("Panel1");
    auto& band = panel.CreateComponent<TGradient>();
    band.SetParent(&panel);
    band.SetBounds(0, 0, 280, 40);
    band.SetStyle(TGradientStyle::gsLinearH);
    band.SetColorBegin(clSkyBlue);
    band.SetColorEnd(clWhite);
    form.Handle();
    Surface painted(280, 150, clFuchsia);
    panel.PaintTo(painted.DC());
    for (const POINT origin : {POINT{0, 0}, POINT{30, 12}}) {
        SCOPED_TRACE(origin.x);
        Surface printed(280, 150, clFuchsia);
        SetViewportOrgEx(printed.DC(), -origin.x, -origin.y, nullptr);
        SendMessageW(panel.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(printed.DC()),
                     PRF_CLIENT);
        SetViewportOrgEx(printed.DC(), 0, 0, nullptr);
        int differing = 0;
        for (int y = 0; y + origin.y < 150; ++y) {
            for (int x = 0; x + origin.x < 280; ++x) {
                differing += printed.Pixel(x, y) != painted.Pixel(x + origin.x, y + origin.y);
            }
        }
        EXPECT_EQ(differing, 0);
    }
    EXPECT_NE(painted.Pixel(140, 20), clFuchsia);
}

TEST_F(FormTest, TheTiledEditDrawsAnEtchedBevelInItsOwnFrame) {
    form.Show();
    const HWND edit = Get<TWinControl>("LEdit1").Handle();
    RedrawWindow(edit, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    RECT client;
    GetClientRect(edit, &client);
    EXPECT_EQ(client.right, 190 - 4);
    EXPECT_EQ(client.bottom, 21 - 4);
    const HDC dc = GetWindowDC(edit);
    EXPECT_EQ(GetPixel(dc, 0, 10), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetPixel(dc, 1, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(GetPixel(dc, 189, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
    ReleaseDC(edit, dc);
    form.Hide();
}

TEST_F(FormTest, TabAndShiftTabFollowTheOrderAcrossThePanel) {
    std::vector<std::string> visited;
    const auto note = [&] {
        TWinControl* focused = TWinControl::FromHandle(Focus());
        visited.push_back(focused != nullptr ? focused->Name() : "?");
    };
    BYTE keys[256];
    GetKeyboardState(keys);
    const auto shift = [&](bool down) {
        keys[VK_SHIFT] = down ? 0x80 : 0;
        SetKeyboardState(keys);
    };
    std::vector<std::function<void()>> steps{[&] {
        EXPECT_EQ(GetActiveWindow(), form.Handle());
        note();
    }};
    for (int i = 0; i < 7; ++i) {
        steps.push_back([&] { Key(Focus(), VK_TAB); });
        steps.push_back(note);
    }
    steps.push_back([&] { shift(true); });
    steps.push_back([&] { Key(Focus(), VK_TAB); });
    steps.push_back([&] {
        shift(false);
        note();
        form.SetModalResult(mrOk);
    });
    IdleScript script(steps);
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(visited, (std::vector<std::string>{"ButtonOK", "ButtonCancel", "LEdit1", "ComboBox1",
                                                 "RadioButton1", "RadioButton2", "ButtonOK",
                                                 "ButtonCancel", "ButtonOK"}));
}

TEST_F(FormTest, ArrowsMoveThroughTheRadioButtonsAndCheckThem) {
    auto& first = Get<TRadioButton>("RadioButton1");
    auto& second = Get<TRadioButton>("RadioButton2");
    std::vector<std::string> states;
    const auto note = [&] {
        states.push_back(std::string(first.Checked() ? "1" : "-") + (second.Checked() ? "2" : "-") +
                         (first.Focused()    ? " focus 1"
                          : second.Focused() ? " focus 2"
                                             : ""));
    };
    IdleScript script({[&] {
                           first.SetFocus();
                           Key(first.Handle(), VK_DOWN);
                       },
                       [&] {
                           note();
                           Key(second.Handle(), VK_DOWN);
                       },
                       [&] {
                           note();
                           Key(first.Handle(), VK_UP);
                       },
                       [&] {
                           note();
                           // An edit box keeps its arrows.
                           Get<TWinControl>("LEdit1").SetFocus();
                           Key(Get<TWinControl>("LEdit1").Handle(), VK_DOWN);
                       },
                       [&] {
                           note();
                           form.SetModalResult(mrOk);
                       }});
    form.ShowModal();
    EXPECT_EQ(states, (std::vector<std::string>{"-2 focus 2", "1- focus 1", "-2 focus 2", "-2"}));
}

TEST_F(FormTest, EnterAndEscapePressTheRightButtons) {
    const struct {
        const char* focus; // null: the edit
        WPARAM key;
        bool cancelButton;
        int result; // mrNone: the run goes on until the test closes it
    } cases[] = {
        {"LEdit1", VK_RETURN, false, mrOk},           // the form's default button
        {"ButtonCancel", VK_RETURN, false, mrCancel}, // the focused push button
        {"ComboBox1", VK_RETURN, false, mrOk},
        {"LEdit1", VK_ESCAPE, false, mrNone}, // nothing without a Cancel button
        {"LEdit1", VK_ESCAPE, true, mrCancel},
    };
    for (const auto& c : cases) {
        Get<TButton>("ButtonCancel").SetCancel(c.cancelButton);
        bool closed = false;
        IdleScript script({[&] {
                               Get<TWinControl>(c.focus).SetFocus();
                               Key(Get<TWinControl>(c.focus).Handle(), c.key);
                           },
                           [&] {}, [&] {},
                           [&] {
                               closed = true;
                               PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
                           }});
        const int result = form.ShowModal();
        EXPECT_EQ(result, c.result == mrNone ? mrCancel : c.result) << c.focus << " " << c.key;
        EXPECT_EQ(closed, c.result == mrNone) << c.focus << " " << c.key;
    }
}

TEST_F(FormTest, KeyboardCuesFollowTheDialogConventions) {
    std::vector<WPARAM> updates;
    form.WindowProc = [&, own = form.WindowProc](TMessage& message) {
        if (message.Msg == WM_UPDATEUISTATE) {
            updates.push_back(message.WParam);
        }
        own(message);
    };
    IdleScript script(
        {[&] {
             // Cues hidden, as after a mouse click: Tab shows the focus, Alt
             // the access keys.
             SendMessageW(form.Handle(), WM_CHANGEUISTATE,
                          MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL), 0);
             EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYUISTATE, 0, 0),
                       UISF_HIDEFOCUS | UISF_HIDEACCEL);
             updates.clear();
             Key(Focus(), VK_TAB);
         },
         [&] {
             EXPECT_EQ(updates, (std::vector<WPARAM>{MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS)}));
             updates.clear();
             PostMessageW(Focus(), WM_SYSKEYDOWN, VK_MENU, 0x20000001);
         },
         [&] {
             EXPECT_EQ(updates, (std::vector<WPARAM>{MAKEWPARAM(UIS_CLEAR, UISF_HIDEACCEL)}));
             EXPECT_EQ(SendMessageW(form.Handle(), WM_QUERYUISTATE, 0, 0), 0);
             form.SetModalResult(mrOk);
         }});
    form.ShowModal();
}

TEST_F(FormTest, TheDefaultLookFollowsTheFocus) {
    IdleScript script({[&] { Get<TWinControl>("LEdit1").SetFocus(); },
                       [&] {
                           EXPECT_TRUE(Get<TButton>("ButtonOK").DefaultLook());
                           EXPECT_FALSE(Get<TButton>("ButtonCancel").DefaultLook());
                           Get<TWinControl>("ButtonCancel").SetFocus();
                       },
                       [&] {
                           EXPECT_FALSE(Get<TButton>("ButtonOK").DefaultLook());
                           EXPECT_TRUE(Get<TButton>("ButtonCancel").DefaultLook());
                           form.SetModalResult(mrOk);
                       }});
    form.ShowModal();
}

// A visible top-level window of the thread, standing for the host's.
class HostWindow {
public:
    HostWindow() {
        window_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
    }
    ~HostWindow() { DestroyWindow(window_); }
    HWND Get() const { return window_; }

private:
    HWND window_;
};

TEST_F(FormTest, AModalRunDisablesTheOtherWindowsAndEnablesExactlyThoseAgain) {
    HostWindow host;
    HostWindow alreadyDisabled;
    EnableWindow(alreadyDisabled.Get(), FALSE);
    form.SetParentWindow(host.Get());
    bool hostEnabled = true;
    bool failed = false;
    IdleScript script(
        {[&] {
             hostEnabled = IsWindowEnabled(host.Get()) != FALSE;
             EXPECT_EQ(GetWindow(form.Handle(), GW_OWNER), host.Get());
             failed = true;
             throw std::runtime_error("a handler fails inside the run");
         },
         [&] { SendMessageW(Get<TWinControl>("ButtonCancel").Handle(), BM_CLICK, 0, 0); }});
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(hostEnabled);
    EXPECT_TRUE(IsWindowEnabled(host.Get()));
    EXPECT_FALSE(IsWindowEnabled(alreadyDisabled.Get()));
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    EXPECT_FALSE(form.Modal());
}

TEST_F(FormTest, TheCloseBoxGivesCancelAndAButtonItsModalResult) {
    {
        IdleScript script({[&] { SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0); }});
        EXPECT_EQ(form.ShowModal(), mrCancel);
    }
    {
        IdleScript script(
            {[&] { SendMessageW(Get<TWinControl>("ButtonOK").Handle(), BM_CLICK, 0, 0); }});
        EXPECT_EQ(form.ShowModal(), mrOk);
    }
    EXPECT_TRUE(IsWindow(form.Handle()));
    IdleScript script({[&] {
        EXPECT_THROW(form.ShowModal(), std::logic_error);
        form.SetModalResult(mrOk);
    }});
    EXPECT_EQ(form.ShowModal(), mrOk);
}

// A centred form goes to the middle of the work area of its owner's monitor (here a second
// monitor right of the first with a taskbar along its top), or to that area's corner when it
// is larger than the area.
HWND askedAbout = nullptr;
RECT workArea{};
RECT FakeWorkArea(HWND window) {
    askedAbout = window;
    return workArea;
}

TEST_F(FormTest, CentresInTheWorkAreaOfTheOwnersMonitor) {
    struct Restore {
        ~Restore() { ReplaceWorkAreaQuery(nullptr); }
    } restore;
    ReplaceWorkAreaQuery(&FakeWorkArea);
    HostWindow host;
    form.SetParentWindow(host.Get());
    workArea = RECT{1920, 40, 3200, 1024};
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    EXPECT_EQ(askedAbout, host.Get());
    EXPECT_NEAR(outer.left + outer.right, 1920 + 3200, 1);
    EXPECT_NEAR(outer.top + outer.bottom, 40 + 1024, 1);

    TForm large;
    ReadComponentResource(large, formResource, Classes());
    large.SetParentWindow(host.Get());
    workArea = RECT{-800, 30, -600, 130};
    GetWindowRect(large.Handle(), &outer);
    EXPECT_EQ(outer.left, -800);
    EXPECT_EQ(outer.top, 30);
}

// A host that ends a nested loop with WM_QUIT ends the modal run inside it; the quit goes on to
// the host's loop, and the next modal run works as ever.
TEST_F(FormTest, AQuitEndsTheRunAndTheNextRunWorks) {
    {
        IdleScript script({[] { PostQuitMessage(7); }});
        EXPECT_EQ(form.ShowModal(), mrCancel);
    }
    MSG quit{};
    EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(quit.wParam, 7u);
    IdleScript script(
        {[&] { SendMessageW(Get<TWinControl>("ButtonOK").Handle(), BM_CLICK, 0, 0); }});
    EXPECT_EQ(form.ShowModal(), mrOk);
}

TEST_F(FormTest, IdleComesOncePerEmptyQueue) {
    int handled = 0;
    std::vector<int> handledAtIdle;
    form.WindowProc = [&, own = form.WindowProc](TMessage& message) {
        if (message.Msg == WM_USER + 5) {
            ++handled;
        }
        own(message);
    };
    IdleScript script({[&] {
                           handledAtIdle.push_back(handled);
                           for (int i = 0; i < 3; ++i) {
                               PostMessageW(form.Handle(), WM_USER + 5, 0, 0);
                           }
                       },
                       [&] {
                           handledAtIdle.push_back(handled);
                           form.SetModalResult(mrOk);
                       }});
    form.ShowModal();
    EXPECT_EQ(handledAtIdle, (std::vector<int>{0, 3})); // not 0, 1, 2, 3
    EXPECT_EQ(script.passes, 2);
}

TEST_F(FormTest, MessageBoxesAreOwnedByTheActiveFormAndCarryTheirType) {
    const struct {
        TMsgDlgType type;
        const wchar_t* caption;
    } cases[] = {{TMsgDlgType::mtError, L"Error"}, {TMsgDlgType::mtInformation, L"Information"}};
    for (const auto& c : cases) {
        closedBoxes.clear();
        IdleScript script({[&] {
                               const UINT_PTR timer = SetTimer(nullptr, 0, 50, &CloseMessageBoxes);
                               ShowMessageBox(U8(u8"Ошибка ввода.\nВторая строка"), c.type);
                               KillTimer(nullptr, timer);
                           },
                           [&] { form.SetModalResult(mrOk); }});
        EXPECT_EQ(form.ShowModal(), mrOk);
        ASSERT_EQ(closedBoxes.size(), 1u);
        EXPECT_EQ(closedBoxes[0].caption, c.caption);
        EXPECT_EQ(closedBoxes[0].text, L"Ошибка ввода.\nВторая строка");
        EXPECT_EQ(closedBoxes[0].owner, form.Handle());
    }
}

TEST_F(FormTest, FormsAreListedInCreationOrderUntilTheyDie) {
    const std::size_t before = Screen().FormCount();
    auto second = std::make_unique<TForm>();
    ASSERT_EQ(Screen().FormCount(), before + 1);
    EXPECT_EQ(&Screen().Forms(before), second.get());
    EXPECT_EQ(&Screen().Forms(before - 1), &form);
    second.reset();
    EXPECT_EQ(Screen().FormCount(), before);
}

TEST_F(FormTest, TheActiveControlIsForgottenWhenItDies) {
    auto& edit = Get<TWinControl>("LEdit1");
    IdleScript script({[&] { edit.SetFocus(); }, [&] { form.SetModalResult(mrOk); }});
    form.ShowModal();
    EXPECT_EQ(form.ActiveControl(), &edit);
    const TWinControl* gone = &edit;
    form.RemoveComponent(edit);
    EXPECT_NE(form.ActiveControl(), gone);
}

TEST(FormResource, BadValuesAreRefusedWithTheirLine) {
    TForm form;
    const std::string bad = "object Form: TForm\n"
                            "  object ComboBox1: TComboBox\n"
                            "    Items = (\"a\")\n"
                            "    ItemIndex = 1\n"
                            "  end\n"
                            "end\n";
    try {
        ReadComponentResource(form, bad, Classes());
        FAIL() << "an item index past the items was accepted";
    } catch (const SourceError& error) {
        EXPECT_NE(std::string(error.what()).find("item index 1"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(form.ComponentCount(), 0u);
}

TEST(Fonts, AreSharedByDescriptionAndReleasedWithTheirLastUser) {
    // A description no other test uses, so these labels are the fonts' only users.
    HFONT shared = nullptr;
    HFONT underlined = nullptr;
    {
        TLabel a;
        TLabel b;
        a.Font().SetName("Comic Sans MS");
        a.Font().SetHeight(-23);
        b.Font().Assign(a.Font());
        shared = a.Font().Handle();
        EXPECT_EQ(b.Font().Handle(), shared);
        b.Font().SetStyle(fsUnderline);
        underlined = b.Font().Handle();
        EXPECT_NE(underlined, shared);
        EXPECT_EQ(a.Font().Handle(), shared);
        EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
    }
    EXPECT_EQ(GetObjectType(shared), 0u);
    EXPECT_EQ(GetObjectType(underlined), 0u);
}

TEST(Fonts, ControlsFollowTheirParentsFontUntilTheySetTheirOwn) {
    TPanel panel;
    auto& follower = panel.CreateComponent<TLabel>();
    auto& own = panel.CreateComponent<TLabel>();
    own.Font().SetHeight(-20);
    follower.SetParent(&panel);
    own.SetParent(&panel);
    panel.Font().SetName("Tahoma");
    EXPECT_TRUE(follower.ParentFont());
    EXPECT_EQ(follower.Font().Name(), "Tahoma");
    EXPECT_FALSE(own.ParentFont());
    EXPECT_EQ(own.Font().Name(), "MS Sans Serif");
    EXPECT_EQ(own.Font().Height(), -20);
    // Only a font of its own is written to a form resource.
    panel.SetName("Panel");
    follower.SetName("follower");
    own.SetName("own");
    const std::string written = WriteComponentResource(panel);
    EXPECT_NE(written.find("Font.Height = -20"), std::string::npos) << written;
    EXPECT_EQ(written.find("follower\n    Font"), std::string::npos) << written;
}

} // namespace
} // namespace vigrel::test
