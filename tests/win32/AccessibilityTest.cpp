// What the "Action Properties" dialog offers authors who use a screen reader, the keyboard alone or
// a high-contrast theme. Screen readers are asked as they ask, through the system's accessibility
// (MSAA) in an apartment of the test's own: a name for every field, the drawn controls as children
// of the windows they are drawn on, their default actions, the objects' lives after the dialog and
// the plug-in, and the dialog's whole tree; then the picture buttons' keys, and the texts under
// high contrast.
#include "tests/win32/DialogDriver.h"
#include "tools/gdi/ScreenCapture.h"
#include "ui/Accessible.h"
#include "ui/Bitmap.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/SpeedButton.h"
#include "ui/WideText.h"
#include "ui/WinControl.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace vigrel::test {
namespace {

struct Releaser {
    void operator()(IUnknown* object) const { object->Release(); }
};
using Object = std::unique_ptr<IAccessible, Releaser>;

Object ClientObject(HWND window) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    return Object(object);
}

VARIANT Id(LONG id) {
    VARIANT child{};
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// A child's name, or its default action's; empty for none.
std::wstring Name(IAccessible* object, LONG id, bool action = false) {
    BSTR text = nullptr;
    action ? object->get_accDefaultAction(Id(id), &text) : object->get_accName(Id(id), &text);
    std::wstring taken = text != nullptr ? text : L"";
    SysFreeString(text);
    return taken;
}

// A child's role, or its state; -1 for none.
LONG Role(IAccessible* object, LONG id, bool state = false) {
    VARIANT value{};
    const HRESULT result =
        state ? object->get_accState(Id(id), &value) : object->get_accRole(Id(id), &value);
    return SUCCEEDED(result) && value.vt == VT_I4 ? value.lVal : -1;
}

LONG ChildWindows(HWND window) {
    LONG count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    return count;
}

struct Apartment {
    Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    ~Apartment() { CoUninitialize(); }
};

class AccessibilityTest : public DialogDriver {
    Apartment apartment;
};

// The drawn controls in the order their windows list them, each at the place its form gives it;
// a label takes the size of its text in the locale's font, so only its corner is known.
struct Drawn {
    const wchar_t* name;
    LONG role;
    const char* control; // its name in the form
    bool sized;          // whether it keeps the form's size
    const wchar_t* action;
};
const std::vector<Drawn> panelDrawn = {
    {L"Выбрать переменную", ROLE_SYSTEM_PUSHBUTTON, "Kn1", true, L"Нажать"},
    {L"Выбрать переменную для сравнения", ROLE_SYSTEM_PUSHBUTTON, "Kn2", true, L"Нажать"},
    {L"Список подпрограмм", ROLE_SYSTEM_PUSHBUTTON, "Kn3", true, L"Нажать"},
    {L" Команда создания монитора переменной - \r\nпозволяет контролировать изменение "
     L"содержания переменной.",
     ROLE_SYSTEM_STATICTEXT, "lbl6", false, L""},
};
const std::vector<Drawn> formDrawn = {
    {L"vigrel.example.org", ROLE_SYSTEM_LINK, "LinkLabel1", false, L"Перейти"},
    {L"Значок действия", ROLE_SYSTEM_GRAPHIC, "Page2", true, L""},
};

void ExpectDrawn(HWND dialog, HWND window, const std::vector<Drawn>& drawn) {
    const Object object = ClientObject(window);
    ASSERT_TRUE(object);
    const LONG windows = ChildWindows(window);
    LONG count = 0;
    object->get_accChildCount(&count);
    EXPECT_EQ(count, windows + static_cast<LONG>(drawn.size()));
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const LONG id = windows + static_cast<LONG>(i) + 1;
        EXPECT_EQ(Name(object.get(), id), drawn[i].name);
        EXPECT_EQ(Name(object.get(), id, true), drawn[i].action) << i;
        EXPECT_EQ(Role(object.get(), id), drawn[i].role) << i;
        EXPECT_EQ(Role(object.get(), id, true),
                  drawn[i].role == ROLE_SYSTEM_LINK ? STATE_SYSTEM_LINKED : 0);
        const RECT place = FormPlace(dialog, drawn[i].control);
        POINT corner{place.left, place.top};
        ClientToScreen(dialog, &corner);
        LONG left = 0, top = 0, width = 0, height = 0;
        object->accLocation(&left, &top, &width, &height, Id(id));
        EXPECT_EQ(left, corner.x) << i;
        EXPECT_EQ(top, corner.y) << i;
        if (drawn[i].sized) {
            EXPECT_EQ(width, place.right - place.left) << i;
            EXPECT_EQ(height, place.bottom - place.top) << i;
        }
        VARIANT hit{};
        object->accHitTest(left + width / 2, top + height / 2, &hit);
        EXPECT_EQ(hit.vt == VT_I4 ? hit.lVal : -1, id) << i;
    }
}

TEST_F(AccessibilityTest, ThePanelAndTheFormTellOfTheirDrawnControlsAfterTheirWindows) {
    EXPECT_TRUE(Run(counterAction, {[](HWND dialog) {
                                        ExpectDrawn(dialog, Find(dialog, "Panel1"), panelDrawn);
                                        ExpectDrawn(dialog, dialog, formDrawn);
                                        // Other objects are the system's alone.
                                        EXPECT_EQ(SendMessageW(dialog, WM_GETOBJECT, 0,
                                                               static_cast<LPARAM>(OBJID_WINDOW)),
                                                  0);
                                    },
                                    ok}));
    // The objects are gone: the host's close lets the module go.
    host->Unload(true);
    EXPECT_EQ(GetModuleHandleA(PlugInPath().c_str()), nullptr);
}

// Where an object's navigation leads from `from`: a child id, or 0 for a child window's object, or
// -1 for nowhere.
LONG Navigate(IAccessible* object, LONG direction, LONG from) {
    VARIANT to{};
    if (object->accNavigate(direction, Id(from), &to) != S_OK) {
        return -1;
    }
    const LONG id = to.vt == VT_I4 ? to.lVal : 0;
    VariantClear(&to);
    return id;
}

TEST_F(AccessibilityTest, AWalkByNavigationMeetsTheDrawnControlsAndTheDialogIsADialog) {
    Run(counterAction, {[](HWND dialog) {
            EXPECT_EQ(Role(ClientObject(dialog).get(), CHILDID_SELF), ROLE_SYSTEM_DIALOG);
            const HWND panel = Find(dialog, "Panel1");
            const Object object = ClientObject(panel);
            const LONG windows = ChildWindows(panel);
            // First child, then next: the drawn controls, then on to the first child window.
            std::vector<std::wstring> walked;
            LONG id = Navigate(object.get(), NAVDIR_FIRSTCHILD, CHILDID_SELF);
            for (; id > windows; id = Navigate(object.get(), NAVDIR_NEXT, id)) {
                walked.push_back(Name(object.get(), id));
            }
            std::vector<std::wstring> expected;
            for (const Drawn& drawn : panelDrawn) {
                expected.emplace_back(drawn.name);
            }
            EXPECT_EQ(walked, expected);
            EXPECT_NE(id, -1) << "the walk stops at the last drawn control";
            const LONG lastDrawn = windows + static_cast<LONG>(panelDrawn.size());
            EXPECT_EQ(Navigate(object.get(), NAVDIR_PREVIOUS, 1), lastDrawn);
            EXPECT_EQ(Navigate(object.get(), NAVDIR_PREVIOUS, windows + 1), -1);
            const LONG last = Navigate(object.get(), NAVDIR_LASTCHILD, CHILDID_SELF);
            EXPECT_TRUE(last >= 0 && last <= windows) << "the last child is a child window";
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
}

TEST_F(AccessibilityTest, TheVariableButtonsDefaultActionReachesTheHostAfterTheCallReturned) {
    RegisterInterfaceAccess();
    std::vector<std::string> order;
    interfaceAnswer = [&](std::int32_t request, const std::string&) -> std::optional<std::string> {
        order.push_back("host " + std::to_string(request));
        return std::nullopt;
    };
    const auto press = [&](HWND dialog) {
        const HWND panel = Find(dialog, "Panel1");
        const Object object = ClientObject(panel);
        ASSERT_TRUE(object);
        EXPECT_EQ(object->accDoDefaultAction(Id(ChildWindows(panel) + 1)), S_OK);
        order.push_back("returned");
    };
    Run(counterAction, {press, [&](HWND dialog) {
                            EXPECT_EQ(order, (std::vector<std::string>{"returned", "host 14"}));
                            ok(dialog);
                        }});
}

// A client may keep an object after the dialog has closed and after the host has closed and
// unloaded the plug-in: the object keeps the plug-in's code in memory and answers "not connected";
// the plug-in goes after the host's next call once the object is released.
TEST_F(AccessibilityTest, AHeldObjectAnswersNotConnectedAfterTheDialogAndThePlugInHaveGone) {
    Object held;
    Run(counterAction, {[&](HWND dialog) { held = ClientObject(Find(dialog, "Panel1")); }, ok});
    ASSERT_TRUE(held);
    const auto expectGone = [&] {
        LONG count = 0;
        EXPECT_EQ(held->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(Name(held.get(), 9), L"");
        EXPECT_EQ(held->accDoDefaultAction(Id(9)), CO_E_OBJNOTCONNECTED);
    };
    expectGone();
    const std::string path = PlugInPath();
    host->Unload(true);
    EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr) << "unloaded under a held object";
    expectGone();
    held.reset();
    const HMODULE again = LoadLibraryA(path.c_str());
    ASSERT_NE(again, nullptr);
    Entry<TtsExecAction>(again, "tsExecAction")(0, nullptr);
    FreeLibrary(again);
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "kept after its objects had gone";
}

// A screen reader walks the tree: each window's client object, its children, the windows among
// them in turn.
struct Tree {
    std::vector<HWND> windows;
    std::vector<std::wstring> drawn;   // the drawn controls' names
    std::vector<std::string> nameless; // the kinds of window without a name that needs one
};

void Walk(HWND window, Tree& tree) {
    const Object object = ClientObject(window);
    ASSERT_TRUE(object);
    tree.windows.push_back(window);
    // The panel is a pane, which needs no name.
    const std::wstring kind = ClassOf(window);
    if (Name(object.get(), CHILDID_SELF).empty() && kind != L"VigrelPanel") {
        tree.nameless.push_back(Ansi(kind));
    }
    VARIANT children[32];
    LONG got = 0;
    AccessibleChildren(object.get(), 0, 32, children, &got);
    for (LONG i = 0; i < got; ++i) {
        IAccessible* child = nullptr;
        HWND inner = nullptr;
        if (children[i].vt == VT_I4) {
            tree.drawn.push_back(Name(object.get(), children[i].lVal));
        } else if (children[i].vt == VT_DISPATCH &&
                   SUCCEEDED(children[i].pdispVal->QueryInterface(
                       __uuidof(IAccessible), reinterpret_cast<void**>(&child)))) {
            // Invisible objects, such as the fields' hidden caption windows, are passed over,
            // as a screen reader does.
            if (SUCCEEDED(WindowFromAccessibleObject(child, &inner)) && IsWindowVisible(inner)) {
                Walk(inner, tree);
            }
            child->Release();
        }
        VariantClear(&children[i]);
    }
}

TEST_F(AccessibilityTest, AScreenReaderWalkingTheDialogFindsAllNineteenControlsNamed) {
    Run(counterAction, {[](HWND dialog) {
                            Tree tree;
                            Walk(dialog, tree);
                            EXPECT_EQ(tree.windows.size() + tree.drawn.size(), 19u);
                            std::vector<HWND> expected = {dialog};
                            for (const char* control : windowedControls) {
                                expected.push_back(Find(dialog, control));
                            }
                            std::sort(tree.windows.begin(), tree.windows.end());
                            std::sort(expected.begin(), expected.end());
                            EXPECT_EQ(tree.windows, expected);
                            std::vector<std::wstring> names;
                            for (const auto* drawn : {&panelDrawn, &formDrawn}) {
                                for (const Drawn& control : *drawn) {
                                    names.push_back(control.name);
                                }
                            }
                            EXPECT_EQ(tree.drawn, names);
                            EXPECT_EQ(tree.nameless, std::vector<std::string>{});
                        },
                        ok});
}

// The toolkit's part, on a window of the test program's own toolkit: what is told follows the
// controls' state, and a posted action finds its control still there or does nothing.
// The name a screen reader gives the window's own object.
std::wstring AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return L"(no object)";
    }
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::wstring text = SUCCEEDED(object->get_accName(self, &name)) && name != nullptr
                            ? std::wstring(name, SysStringLen(name))
                            : L"";
    SysFreeString(name);
    object->Release();
    return text;
}

// A display at 150%: physical pixels are the logical ones and a half again. Wine never
// virtualises coordinates, so the mapping is faked.
BOOL WINAPI Enlarged(HWND, LPPOINT point) {
    point->x = point->x * 3 / 2;
    point->y = point->y * 3 / 2;
    return TRUE;
}
BOOL WINAPI Reduced(HWND, LPPOINT point) {
    point->x = point->x * 2 / 3;
    point->y = point->y * 2 / 3;
    return TRUE;
}

TEST(AccessibleControls, AtAScaledDisplayArePlacedAndHitInPhysicalPixels) {
    const Apartment apartment;
    TWinControl parent;
    parent.SetBounds(100, 60, 300, 200);
    parent.SetParentWindow(nullptr);
    const HWND window = parent.Handle();
    auto& button = parent.CreateComponent<TSpeedButton>();
    auto& label = parent.CreateComponent<TLabel>();
    button.SetBounds(10, 20, 26, 24);
    label.SetCaption("Caption");
    label.SetBounds(120, 90, 60, 14);
    for (TGraphicControl* control : std::initializer_list<TGraphicControl*>{&button, &label}) {
        control->SetParent(&parent);
        control->SetAccessible(true);
    }
    const TPointMapping system = ReplacePointMapping({&Enlarged, &Reduced});
    const Object object = ClientObject(window);
    ASSERT_TRUE(object);
    const std::pair<TGraphicControl*, LONG> drawn[] = {{&button, 1}, {&label, 2}};
    for (const auto& [control, id] : drawn) {
        SCOPED_TRACE(id);
        // Where the standard object puts a child window at the same client rectangle.
        RECT expected = control->BoundsRect();
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&expected), 2);
        Enlarged(window, reinterpret_cast<POINT*>(&expected.left));
        Enlarged(window, reinterpret_cast<POINT*>(&expected.right));
        LONG left = 0, top = 0, width = 0, height = 0;
        object->accLocation(&left, &top, &width, &height, Id(id));
        const RECT location{left, top, left + width, top + height};
        EXPECT_TRUE(EqualRect(&location, &expected));
        VARIANT hit{};
        object->accHitTest(left + width / 2, top + height / 2, &hit);
        EXPECT_EQ(hit.vt == VT_I4 ? hit.lVal : -1, id);
    }
    ReplacePointMapping(system);
}

TEST(AccessibleControls, ALabelledBoxIsNamedByItsCaptionAsItChanges) {
    const Apartment apartment;
    TWinControl parent;
    parent.SetParentWindow(HWND_MESSAGE);
    auto& box = parent.CreateComponent<TLabeledEdit>();
    box.SetParent(&parent);
    box.SetBounds(10, 30, 100, 21);
    box.EditLabel.SetCaption("Before:");
    const HWND window = box.Handle();
    EXPECT_EQ(AccessibleName(window), L"Before:");
    box.EditLabel.SetCaption("After:");
    EXPECT_EQ(AccessibleName(window), L"After:");
}

TEST(AccessibleControls, FollowTheControlsStateAndActOnlyOnAControlStillThere) {
    const Apartment apartment;
    TWinControl parent;
    parent.SetParentWindow(HWND_MESSAGE);
    const HWND window = parent.Handle();
    EXPECT_EQ(SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
    auto& button = parent.CreateComponent<TSpeedButton>();
    auto& label = parent.CreateComponent<TLabel>();
    int clicks = 0;
    button.OnClick = [&](TComponent&) { ++clicks; };
    for (TGraphicControl* control : std::initializer_list<TGraphicControl*>{&button, &label}) {
        control->SetParent(&parent);
        control->SetAccessible(true);
    }
    label.SetCaption("Caption");
    const Object object = ClientObject(window);
    ASSERT_TRUE(object);
    EXPECT_EQ(Name(object.get(), 2), L"Caption");
    EXPECT_EQ(object->accDoDefaultAction(Id(2)), DISP_E_MEMBERNOTFOUND);
    button.SetEnabled(false);
    EXPECT_EQ(Role(object.get(), 1, true) & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(object->accDoDefaultAction(Id(1)), E_FAIL);
    button.SetEnabled(true);
    EXPECT_EQ(object->accDoDefaultAction(Id(1)), S_OK);
    Pump(50);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(object->accDoDefaultAction(Id(1)), S_OK);
    parent.RemoveComponent(button).reset();
    Pump(50);
    EXPECT_EQ(clicks, 1);
    label.SetVisible(false);
    LONG count = -1;
    object->get_accChildCount(&count);
    EXPECT_EQ(count, 0);
    parent.DestroyHandle();
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

TEST_F(AccessibilityTest, EveryFieldAndListHasItsCaptionAsItsName) {
    Run(counterAction, {[&](HWND dialog) {
            const struct {
                const char* field;
                const wchar_t* caption;
                const wchar_t* key; // that does what its picture button does
            } fields[] = {
                {"LEdit1", L"Имя монитора:", L""},
                {"LEdit2", L"Контролируемая переменная:", L"F4"},
                {"LEdit3", L"Строка сравнения:", L"F4"},
                {"LEdit4", L"Подпрограмма:", L"F4"},
                {"ComboBox1", L"Условие:", L""},
                {"ComboBox2", L"Выполнение: ", L""},
            };
            for (const auto& f : fields) {
                SCOPED_TRACE(f.field);
                const HWND field = Find(dialog, f.field);
                const HWND caption = GetWindow(field, GW_HWNDPREV);
                ASSERT_NE(caption, nullptr);
                EXPECT_EQ(ClassOf(caption), L"Static");
                EXPECT_EQ(WindowTextW(caption), f.caption);
                EXPECT_EQ(GetWindowLongW(caption, GWL_STYLE) & (WS_VISIBLE | SS_NOPREFIX),
                          SS_NOPREFIX);
                if (ClassOf(field) == L"Edit") {
                    EXPECT_EQ(AccessibleName(field), f.caption);
                    const Object object = ClientObject(field);
                    BSTR key = nullptr;
                    object->get_accKeyboardShortcut(Id(CHILDID_SELF), &key);
                    EXPECT_EQ(std::wstring(key != nullptr ? key : L""), f.key);
                    SysFreeString(key);
                }
            }
            SendMessageW(dialog, WM_CLOSE, 0, 0);
        }});
}

void AltDown(HWND window) {
    PostMessageW(window, WM_SYSKEYDOWN, VK_DOWN, 0x20000001);
    PostMessageW(window, WM_SYSKEYUP, VK_DOWN, 0xE0000001);
}

TEST_F(AccessibilityTest, FourAndAltDownInAFieldDoWhatItsPictureButtonDoes) {
    const UINT_PTR closer = SetTimer(nullptr, 0, 30, &CloseMessageBoxes);
    // Without the host's pick lists the keys do nothing, as the buttons do.
    std::vector<std::function<void(HWND)>> keys;
    for (const char* field : {"LEdit2", "LEdit3", "LEdit4"}) {
        keys.push_back([field](HWND dialog) { Key(Find(dialog, field), VK_F4); });
        keys.push_back([field](HWND dialog) { AltDown(Find(dialog, field)); });
    }
    keys.push_back([](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); });
    Run(counterAction, keys);
    EXPECT_TRUE(interfaceRequests.empty());
    EXPECT_TRUE(closedBoxes.empty());

    RegisterInterfaceAccess();
    closedBoxes.clear();
    keys.back() = [](HWND dialog) {
        // Alt+F4 closes the dialog as its close box does.
        PostMessageW(Find(dialog, "LEdit1"), WM_SYSKEYDOWN, VK_F4, 0x20000001);
    };
    EXPECT_FALSE(Run(counterAction, keys));
    KillTimer(nullptr, closer);
    EXPECT_EQ(interfaceRequests, (std::vector<std::int32_t>{14, 14, 14, 14, 5, 5}));
    EXPECT_EQ(interfaceTexts,
              (std::vector<std::string>{"Counter", "Counter", "10", "10", "Count", "Count"}));
    EXPECT_EQ(closedBoxes.size(), 2u);
    EXPECT_EQ(host->Faults(), std::vector<std::string>{}) << "Alt+F4 wrote something";
}

double Luminance(COLORREF colour) {
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(GetRValue(colour)) + 0.7152 * channel(GetGValue(colour)) +
           0.0722 * channel(GetBValue(colour));
}

double Contrast(COLORREF a, COLORREF b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The client area's pixels, read from the screen.
class Shot {
public:
    explicit Shot(HWND window) {
        RECT client;
        GetClientRect(window, &client);
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        TBitmap bitmap;
        CaptureScreen(client, bitmap);
        width_ = bitmap.Width();
        for (int y = 0; y < bitmap.Height(); ++y) {
            for (const std::uint32_t pixel : std::span(bitmap.Row(y), std::size_t(width_))) {
                pixels_.push_back(RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF));
            }
        }
    }
    // The contrast between the area's most common colour and its most contrasting pixel.
    double Contrast(const RECT& area) const {
        std::map<COLORREF, int> counts;
        for (LONG y = area.top; y < area.bottom; ++y) {
            for (LONG x = area.left; x < area.right; ++x) {
                ++counts[pixels_[static_cast<std::size_t>(y * width_ + x)]];
            }
        }
        const COLORREF back = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                                  return a.second < b.second;
                              })->first;
        double best = 1;
        for (const auto& [colour, count] : counts) {
            best = std::max(best, test::Contrast(colour, back));
        }
        return best;
    }

private:
    LONG width_ = 0;
    std::vector<COLORREF> pixels_;
};

// Where each text stands: the place the form gives a control, moved in by what stands beside the
// text there (a field's frame, a list's arrow button, a radio button's box and gap), or, for a
// labelled field's caption, the line above the field.
const struct {
    const char* what;
    const char* control;
    RECT inset; // added to the place's sides
} texts[] = {
    {"the name's caption", "LEdit1", {0, -16, 0, -24}},
    {"the condition's caption", "lbl2", {}},
    {"the start's caption", "lbl5", {}},
    {"the description", "lbl6", {}},
    {"the header", "Label14", {}},
    {"the name field", "LEdit1", {3, 3, -3, -3}},
    {"the condition list", "ComboBox1", {3, 3, -22, -3}},
    {"the first radio button", "RadioButton1", {16, 0, 0, 0}},
    {"the second radio button", "RadioButton2", {16, 0, 0, 0}},
    {"the link", "LinkLabel1", {}},
};

TEST_F(AccessibilityTest, UnderHighContrastEveryTextStandsOutFromItsBackground) {
    const struct {
        const char* name;
        COLORREF face, text, hotLight;
    } schemes[] = {
        {"black", RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 0)},
        {"white", RGB(255, 255, 255), RGB(0, 0, 0), RGB(0, 0, 159)},
    };
    for (const auto& scheme : schemes) {
        const HighContrastScheme colours(host->Module(), scheme.face, scheme.text, scheme.hotLight);
        Run(counterAction, {[&](HWND dialog) {
                RedrawWindow(dialog, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                const Shot shot(dialog);
                for (const auto& text : texts) {
                    const RECT place = FormPlace(dialog, text.control);
                    const RECT area{place.left + text.inset.left, place.top + text.inset.top,
                                    place.right + text.inset.right,
                                    place.bottom + text.inset.bottom};
                    EXPECT_GE(shot.Contrast(area), 4.5) << scheme.name << ": " << text.what;
                }
                SendMessageW(dialog, WM_CLOSE, 0, 0);
            }});
    }
}

} // namespace
} // namespace vigrel::test
