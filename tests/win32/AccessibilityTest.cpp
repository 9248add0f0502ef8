// What the "Action Properties" dialog offers authors who use a screen reader, asked as a screen
// reader asks, through the system's accessibility (MSAA) in an apartment of the test's own: the
// drawn controls as children of the windows they are drawn on, their default actions, the objects'
// lives after the dialog and the plug-in, and the dialog's whole tree.
#include "DialogDriver.h"
#include "ui/Label.h"
#include "ui/SpeedButton.h"
#include "ui/WinControl.h"

#include <oleacc.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
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

// The drawn controls in the order their windows list them, at their places in the dialog's
// client area; a label takes the size of its text in the locale's font, so only its corner is
// known.
struct Drawn {
    const wchar_t* name;
    LONG role;
    RECT place;
    const wchar_t* action;
};
const std::vector<Drawn> panelDrawn = {
    {L"Выбрать переменную", ROLE_SYSTEM_PUSHBUTTON, {295, 88, 321, 112}, L"Нажать"},
    {L"Выбрать переменную для сравнения", ROLE_SYSTEM_PUSHBUTTON, {464, 128, 490, 152}, L"Нажать"},
    {L"Список подпрограмм", ROLE_SYSTEM_PUSHBUTTON, {295, 168, 321, 192}, L"Нажать"},
    {L" Команда создания монитора переменной - \r\nпозволяет контролировать изменение "
     L"содержания переменной.",
     ROLE_SYSTEM_STATICTEXT,
     {96, 274, 0, 0},
     L""},
};
const std::vector<Drawn> formDrawn = {
    {L"vigrel.example.org", ROLE_SYSTEM_LINK, {83, 326, 0, 0}, L"Перейти"},
    {L"Значок действия", ROLE_SYSTEM_GRAPHIC, {27, 30, 60, 71}, L""},
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
        POINT corner{drawn[i].place.left, drawn[i].place.top};
        ClientToScreen(dialog, &corner);
        LONG left = 0, top = 0, width = 0, height = 0;
        object->accLocation(&left, &top, &width, &height, Id(id));
        EXPECT_EQ(left, corner.x) << i;
        EXPECT_EQ(top, corner.y) << i;
        if (drawn[i].place.right != 0) {
            EXPECT_EQ(width, drawn[i].place.right - drawn[i].place.left) << i;
            EXPECT_EQ(height, drawn[i].place.bottom - drawn[i].place.top) << i;
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
    Entry<TtsMessage>(module, "tsMessage")(CloseMessage);
    FreeLibrary(std::exchange(module, nullptr));
    EXPECT_EQ(GetModuleHandleA(PlugInPath().c_str()), nullptr);
}

TEST_F(AccessibilityTest, TheVariableButtonsDefaultActionReachesTheHostAfterTheCallReturned) {
    RegisterInterfaceAccess();
    std::vector<std::string> order;
    interfaceAnswer = [&](std::int32_t request, HostStringPtr*) {
        order.push_back("host " + std::to_string(request));
        return TsFalse;
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
    Entry<TtsMessage>(module, "tsMessage")(CloseMessage);
    ASSERT_TRUE(FreeLibrary(std::exchange(module, nullptr)));
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
    // The panel is a pane, which needs no name; the edit boxes get theirs from the captions'
    // windows, a change of its own.
    const std::wstring kind = ClassOf(window);
    if (Name(object.get(), CHILDID_SELF).empty() && kind != L"VigrelPanel" && kind != L"Edit") {
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
            if (SUCCEEDED(WindowFromAccessibleObject(child, &inner))) {
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
                            for (const Control& control : windows) {
                                expected.push_back(Find(dialog, control.name));
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

} // namespace
} // namespace vigrel::test
