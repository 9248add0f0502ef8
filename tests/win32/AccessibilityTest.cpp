// What the "Action Properties" dialog offers authors who use a screen reader, asked as a screen
// reader asks, through the system's accessibility (MSAA) in the test's own apartment: the drawn
// controls as children of the windows they are drawn on, their default actions, the objects'
// lives after the dialog and the plug-in, and the dialog's whole tree.
#include "DialogDriver.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/SpeedButton.h"
#include "ui/WinControl.h"

#include <oleacc.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vigrel::test {
namespace {

// An interface pointer, released at the end of its scope.
template <class T> class Held {
public:
    explicit Held(T* object = nullptr) : object_(object) {}
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    ~Held() { Reset(); }
    T* operator->() const { return object_; }
    T* Get() const { return object_; }
    void Reset() {
        if (object_ != nullptr) {
            object_->Release();
            object_ = nullptr;
        }
    }

private:
    T* object_;
};

Held<IAccessible> ClientObject(HWND window) {
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    return Held<IAccessible>(object);
}

VARIANT Id(LONG id) {
    VARIANT child;
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Taken(BSTR text) {
    std::wstring taken = text != nullptr ? text : L"";
    SysFreeString(text);
    return taken;
}

std::wstring Name(IAccessible* object, LONG id) {
    BSTR name = nullptr;
    object->get_accName(Id(id), &name);
    return Taken(name);
}

std::wstring Action(IAccessible* object, LONG id) {
    BSTR action = nullptr;
    object->get_accDefaultAction(Id(id), &action);
    return Taken(action);
}

LONG Role(IAccessible* object, LONG id) {
    VARIANT role{};
    return SUCCEEDED(object->get_accRole(Id(id), &role)) && role.vt == VT_I4 ? role.lVal : -1;
}

LONG State(IAccessible* object, LONG id) {
    VARIANT state{};
    return SUCCEEDED(object->get_accState(Id(id), &state)) && state.vt == VT_I4 ? state.lVal : -1;
}

LONG ChildCount(IAccessible* object) {
    LONG count = -1;
    object->get_accChildCount(&count);
    return count;
}

LONG ChildWindows(HWND window) {
    LONG count = 0;
    for (HWND child = GetWindow(window, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++count;
    }
    return count;
}

// A screen reader's thread has an apartment.
class Apartment {
public:
    Apartment() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    Apartment(const Apartment&) = delete;
    Apartment& operator=(const Apartment&) = delete;
    ~Apartment() { CoUninitialize(); }
};

class AccessibilityTest : public DialogDriver {
protected:
    Apartment apartment;
};

// The drawn controls, in the order their windows list them, at their places in the dialog's client
// area; a label sizes itself to its text in the locale's font, so only its corner is known.
struct Drawn {
    const wchar_t* name;
    LONG role;
    RECT place;
    const wchar_t* action;
};
const wchar_t* const description = L" Команда создания монитора переменной - \r\nпозволяет "
                                   L"контролировать изменение содержания переменной.";
const std::vector<Drawn> panelDrawn = {
    {L"Выбрать переменную", ROLE_SYSTEM_PUSHBUTTON, {295, 88, 321, 112}, L"Нажать"},
    {L"Выбрать переменную для сравнения", ROLE_SYSTEM_PUSHBUTTON, {464, 128, 490, 152}, L"Нажать"},
    {L"Список подпрограмм", ROLE_SYSTEM_PUSHBUTTON, {295, 168, 321, 192}, L"Нажать"},
    {description, ROLE_SYSTEM_STATICTEXT, {96, 274, 0, 0}, L""},
};
const std::vector<Drawn> formDrawn = {
    {L"vigrel.example.org", ROLE_SYSTEM_LINK, {83, 326, 0, 0}, L"Перейти"},
    {L"Значок действия", ROLE_SYSTEM_GRAPHIC, {27, 30, 60, 71}, L""},
};

void ExpectDrawn(HWND dialog, HWND window, const std::vector<Drawn>& drawn) {
    const Held<IAccessible> object = ClientObject(window);
    ASSERT_NE(object.Get(), nullptr);
    const LONG windows = ChildWindows(window);
    ASSERT_EQ(ChildCount(object.Get()), windows + static_cast<LONG>(drawn.size()));
    std::vector<VARIANT> children(static_cast<std::size_t>(windows) + drawn.size());
    LONG got = 0;
    ASSERT_EQ(AccessibleChildren(object.Get(), 0, static_cast<LONG>(children.size()),
                                 children.data(), &got),
              S_OK);
    ASSERT_EQ(got, static_cast<LONG>(children.size()));
    for (LONG i = 0; i < got; ++i) {
        // The child windows as the system's object gives them, then the drawn controls' ids.
        EXPECT_EQ(children[i].vt, i < windows ? VT_DISPATCH : VT_I4) << i;
        VariantClear(&children[i]);
    }
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        const Drawn& expected = drawn[i];
        const LONG id = windows + static_cast<LONG>(i) + 1;
        EXPECT_EQ(Name(object.Get(), id), expected.name);
        EXPECT_EQ(Role(object.Get(), id), expected.role) << i;
        EXPECT_EQ(State(object.Get(), id),
                  expected.role == ROLE_SYSTEM_LINK ? STATE_SYSTEM_LINKED : 0)
            << i;
        EXPECT_EQ(Action(object.Get(), id), expected.action) << i;
        POINT corner{expected.place.left, expected.place.top};
        ClientToScreen(dialog, &corner);
        LONG left = 0, top = 0, width = 0, height = 0;
        ASSERT_EQ(object->accLocation(&left, &top, &width, &height, Id(id)), S_OK);
        EXPECT_EQ(left, corner.x) << i;
        EXPECT_EQ(top, corner.y) << i;
        if (expected.place.right != 0) {
            EXPECT_EQ(width, expected.place.right - expected.place.left) << i;
            EXPECT_EQ(height, expected.place.bottom - expected.place.top) << i;
        }
        VARIANT hit{};
        EXPECT_EQ(object->accHitTest(left + width / 2, top + height / 2, &hit), S_OK);
        EXPECT_EQ(hit.vt == VT_I4 ? hit.lVal : -1, id) << i;
        VariantClear(&hit);
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
}

TEST_F(AccessibilityTest, TheVariableButtonsDefaultActionReachesTheHostAfterTheCallReturned) {
    RegisterInterfaceAccess();
    std::vector<std::string> order;
    interfaceAnswer = [&](std::int32_t request, HostStringPtr*) {
        order.push_back("host " + std::to_string(request));
        return TsFalse;
    };
    Run(counterAction, {[&](HWND dialog) {
                            const HWND panel = Find(dialog, "Panel1");
                            const Held<IAccessible> object = ClientObject(panel);
                            ASSERT_NE(object.Get(), nullptr);
                            EXPECT_EQ(object->accDoDefaultAction(Id(ChildWindows(panel) + 1)),
                                      S_OK);
                            order.push_back("returned");
                        },
                        [&](HWND dialog) {
                            EXPECT_EQ(order, (std::vector<std::string>{"returned", "host 14"}));
                            ok(dialog);
                        }});
    EXPECT_EQ(interfaceRequests, std::vector<std::int32_t>{RequestPickVariable});
}

// A client may keep an object after the dialog has closed and after the host has closed and
// unloaded the plug-in; the object keeps the plug-in's code in memory and answers "not connected",
// and the plug-in goes at the host's next close once the object is released.
TEST_F(AccessibilityTest, AHeldObjectAnswersNotConnectedAfterTheDialogAndThePlugInHaveGone) {
    IAccessible* held = nullptr;
    Run(counterAction, {[&](HWND dialog) {
                            const Held<IAccessible> object = ClientObject(Find(dialog, "Panel1"));
                            held = object.Get();
                            held->AddRef();
                        },
                        ok});
    ASSERT_NE(held, nullptr);
    const auto expectGone = [held] {
        LONG count = 0;
        EXPECT_EQ(held->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
        BSTR name = nullptr;
        EXPECT_EQ(held->get_accName(Id(9), &name), CO_E_OBJNOTCONNECTED);
        EXPECT_EQ(name, nullptr);
        EXPECT_EQ(held->accDoDefaultAction(Id(9)), CO_E_OBJNOTCONNECTED);
        VARIANT children[4];
        LONG got = 0;
        EXPECT_TRUE(FAILED(AccessibleChildren(held, 0, 4, children, &got)));
    };
    expectGone();
    const std::string path = PlugInPath();
    Entry<TtsMessage>(module, "tsMessage")(CloseMessage);
    ASSERT_TRUE(FreeLibrary(module));
    module = nullptr;
    EXPECT_NE(GetModuleHandleA(path.c_str()), nullptr) << "unloaded under a held object";
    expectGone();
    held->Release();
    const HMODULE again = LoadLibraryA(path.c_str());
    ASSERT_NE(again, nullptr);
    Entry<TtsMessage>(again, "tsMessage")(CloseMessage);
    FreeLibrary(again);
    EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "kept after its objects had gone";
}

// A screen reader reads the dialog by walking its tree: each window's client object, its
// children, the windows among them walked in turn.
struct Element {
    HWND window;
    LONG id;
    std::wstring name;
};

void Walk(HWND window, std::vector<Element>& found) {
    const Held<IAccessible> object = ClientObject(window);
    ASSERT_NE(object.Get(), nullptr);
    found.push_back({window, CHILDID_SELF, Name(object.Get(), CHILDID_SELF)});
    std::vector<VARIANT> children(static_cast<std::size_t>(std::max(ChildCount(object.Get()), 0L)));
    LONG got = 0;
    AccessibleChildren(object.Get(), 0, static_cast<LONG>(children.size()), children.data(), &got);
    for (LONG i = 0; i < got; ++i) {
        HWND inner = nullptr;
        if (children[i].vt == VT_DISPATCH) {
            IAccessible* child = nullptr;
            children[i].pdispVal->QueryInterface(__uuidof(IAccessible),
                                                 reinterpret_cast<void**>(&child));
            if (child != nullptr) {
                WindowFromAccessibleObject(child, &inner);
                child->Release();
            }
            Walk(inner, found);
        } else if (children[i].vt == VT_I4) {
            found.push_back({window, children[i].lVal, Name(object.Get(), children[i].lVal)});
        }
        VariantClear(&children[i]);
    }
}

TEST_F(AccessibilityTest, AScreenReaderWalkingTheDialogFindsAllNineteenControlsNamed) {
    Run(counterAction,
        {[](HWND dialog) {
             std::vector<Element> found;
             Walk(dialog, found);
             std::vector<HWND> windows = {dialog};
             for (const Control& control : test::windows) {
                 windows.push_back(Find(dialog, control.name));
             }
             std::vector<std::wstring> drawn;
             for (const Element& element : found) {
                 if (element.id != CHILDID_SELF) {
                     drawn.push_back(element.name);
                     continue;
                 }
                 std::erase(windows, element.window);
                 // The panel is a pane, which needs no name; the edit boxes are
                 // named by the captions' windows, which come with their own
                 // change.
                 const std::wstring kind = ClassOf(element.window);
                 EXPECT_TRUE(!element.name.empty() || kind == L"VigrelPanel" || kind == L"Edit")
                     << "a nameless " << Ansi(kind);
             }
             EXPECT_EQ(found.size(), 19u);
             EXPECT_TRUE(windows.empty()) << windows.size() << " windows missed";
             std::vector<std::wstring> expected;
             for (const auto* list : {&panelDrawn, &formDrawn}) {
                 for (const Drawn& control : *list) {
                     expected.push_back(control.name);
                 }
             }
             EXPECT_EQ(drawn, expected);
         },
         ok});
}

// The toolkit's part, on a window of the test program's own toolkit: what is told of a drawn
// control follows its state.
TEST(AccessibleControls, TellOfTheMarkedVisibleControlsWithTheirStateAndActOnlyWhenAsked) {
    const Apartment apartment;
    TWinControl parent;
    parent.SetBounds(0, 0, 100, 60);
    parent.SetParentWindow(HWND_MESSAGE);
    const HWND window = parent.Handle();
    EXPECT_EQ(SendMessageW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0)
        << "answered with nothing to add";
    auto& button = parent.CreateComponent<TSpeedButton>();
    button.SetParent(&parent);
    button.SetBounds(10, 10, 26, 24);
    button.SetAccessible(true);
    button.SetAccessibleName("Pick");
    int clicks = 0;
    button.OnClick = [&](TComponent&) { ++clicks; };
    auto& label = parent.CreateComponent<TLabel>();
    label.SetParent(&parent);
    label.SetCaption("Caption");
    label.SetAccessible(true);
    parent.CreateComponent<TImage>().SetParent(&parent); // not marked
    const Held<IAccessible> object = ClientObject(window);
    ASSERT_NE(object.Get(), nullptr);
    EXPECT_EQ(ChildCount(object.Get()), 2);
    EXPECT_EQ(Name(object.Get(), 1), L"Pick");
    EXPECT_EQ(Name(object.Get(), 2), L"Caption");

    EXPECT_EQ(object->accDoDefaultAction(Id(1)), S_OK);
    EXPECT_EQ(clicks, 0) << "clicked before the call returned";
    Pump(50);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(object->accDoDefaultAction(Id(2)), DISP_E_MEMBERNOTFOUND) << "a label has none";

    button.SetEnabled(false);
    EXPECT_EQ(State(object.Get(), 1) & STATE_SYSTEM_UNAVAILABLE, STATE_SYSTEM_UNAVAILABLE);
    EXPECT_EQ(object->accDoDefaultAction(Id(1)), E_FAIL);
    button.SetEnabled(true);
    // A button that goes before its posted action arrives is not clicked.
    EXPECT_EQ(object->accDoDefaultAction(Id(1)), S_OK);
    parent.RemoveComponent(button).reset();
    Pump(50);
    EXPECT_EQ(clicks, 1);

    label.SetVisible(false);
    EXPECT_EQ(ChildCount(object.Get()), 0);
    parent.DestroyHandle();
    LONG count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

} // namespace
} // namespace vigrel::test
