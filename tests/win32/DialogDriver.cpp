#include "tests/win32/DialogDriver.h"

#include "ui/FormResource.h"
#include "ui/WideText.h"

#include <oleacc.h>

#include <cwchar>
#include <stdexcept>
#include <string_view>

namespace vigrel::test {
namespace {

// The form resource of the module that made `dialog`, as that module carries it.
FormObject DialogForm(HWND dialog) {
    const auto module = reinterpret_cast<HMODULE>(GetWindowLongPtrW(dialog, GWLP_HINSTANCE));
    const HRSRC found = FindResourceW(module, L"EDITMONITOR", MAKEINTRESOURCEW(10)); // RT_RCDATA
    const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        throw std::runtime_error("the dialog's module carries no form resource");
    }
    return ParseForm(
        {static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found)});
}

// Finds the named object below `object`, depth first, as the form creates its components:
// `path` then holds it and the objects it lies in (the form left out), and `count` its place
// among them all, from 1.
bool Locate(const FormObject& object, std::string_view name, std::vector<const FormObject*>& path,
            int& count) {
    for (const FormObject& child : object.children) {
        ++count;
        path.push_back(&child);
        if (child.name == name || Locate(child, name, path, count)) {
            return true;
        }
        path.pop_back();
    }
    return false;
}

// A number the form gives the object, or 0 where it gives none (the default of every place).
LONG Number(const FormObject& object, std::string_view property) {
    for (const FormProperty& given : object.properties) {
        if (given.name == property) {
            return static_cast<LONG>(given.value.number);
        }
    }
    return 0;
}

struct ById {
    int id;
    HWND found;
};

BOOL CALLBACK FindById(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ById*>(param);
    if (GetDlgCtrlID(window) != search.id) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

struct ByName {
    const wchar_t* name;
    RECT place;
    bool found;
};

// Looks among the children that `window`'s accessible object tells of: its child windows, then
// the controls drawn on it.
BOOL CALLBACK FindDrawn(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<ByName*>(param);
    IAccessible* object = nullptr;
    AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                               reinterpret_cast<void**>(&object));
    if (object == nullptr) {
        return TRUE;
    }
    LONG count = 0;
    object->get_accChildCount(&count);
    for (LONG id = 1; id <= count && !search.found; ++id) {
        VARIANT child{};
        child.vt = VT_I4;
        child.lVal = id;
        BSTR name = nullptr;
        if (object->get_accName(child, &name) == S_OK && name != nullptr &&
            std::wcscmp(name, search.name) == 0) {
            LONG left = 0, top = 0, width = 0, height = 0;
            object->accLocation(&left, &top, &width, &height, child);
            search.place = {left, top, left + width, top + height};
            search.found = true;
        }
        SysFreeString(name);
    }
    object->Release();
    return search.found ? FALSE : TRUE;
}

} // namespace

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::string Ansi(const std::wstring& text) {
    return FromWide(text, CP_ACP);
}

DialogDriver* DialogDriver::running = nullptr;

void CALLBACK DialogDriver::RunStep(HWND, UINT, UINT_PTR, DWORD) {
    // Only while the dialog takes input: not while a message box of it is open.
    DialogDriver& driver = *running;
    const HWND dialog = ShownPlugInForm();
    if (dialog == nullptr || !IsWindowEnabled(dialog) || driver.nextStep >= driver.steps.size()) {
        return;
    }
    driver.openDialog = dialog;
    const std::size_t step = driver.nextStep++;
    driver.steps[step](dialog);
}

const std::vector<const char*> windowedControls = {
    "Panel1",    "LEdit1",       "LEdit2",       "ComboBox1",  "LEdit3",         "LEdit4",
    "ComboBox2", "RadioButton1", "RadioButton2", "ButtonOK50", "ButtonCancel50", "ButtonHelp",
};

HWND Find(HWND dialog, const char* name) {
    std::vector<const FormObject*> path;
    ById search{0, nullptr};
    if (Locate(DialogForm(dialog), name, path, search.id)) {
        EnumChildWindows(dialog, &FindById, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

RECT FormPlace(HWND dialog, const char* name) {
    const FormObject form = DialogForm(dialog);
    std::vector<const FormObject*> path;
    int count = 0;
    if (!Locate(form, name, path, count)) {
        ADD_FAILURE() << "the form has no " << name;
        return {};
    }
    RECT place{};
    for (const FormObject* object : path) {
        OffsetRect(&place, Number(*object, "Left"), Number(*object, "Top"));
    }
    place.right = place.left + Number(*path.back(), "Width");
    place.bottom = place.top + Number(*path.back(), "Height");
    return place;
}

POINT DrawnCentre(HWND dialog, const wchar_t* name) {
    // Screen readers' requests enter COM; a thread already in an apartment stays in it.
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ByName search{name, {}, false};
    if (FindDrawn(dialog, reinterpret_cast<LPARAM>(&search))) {
        EnumChildWindows(dialog, &FindDrawn, reinterpret_cast<LPARAM>(&search));
    }
    if (SUCCEEDED(entered)) {
        CoUninitialize();
    }
    EXPECT_TRUE(search.found) << "no drawn control is named so";
    POINT centre{(search.place.left + search.place.right) / 2,
                 (search.place.top + search.place.bottom) / 2};
    ScreenToClient(dialog, &centre);
    return centre;
}

std::wstring ComboText(HWND combo) {
    const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    wchar_t text[64] = {};
    if (index >= 0) {
        SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(text));
    }
    return text;
}

bool Checked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Click(HWND dialog, const char* name) {
    PostMessageW(Find(dialog, name), BM_CLICK, 0, 0);
}

void ClickAt(HWND dialog, POINT point) {
    POINT screen = point;
    ClientToScreen(dialog, &screen);
    HWND target = dialog;
    for (HWND child = ChildWindowFromPoint(dialog, point); child != nullptr && child != target;) {
        target = child;
        POINT inner = screen;
        ScreenToClient(target, &inner);
        child = ChildWindowFromPoint(target, inner);
    }
    POINT local = screen;
    ScreenToClient(target, &local);
    const LPARAM at = MAKELPARAM(local.x, local.y);
    SendMessageW(target, WM_MOUSEMOVE, 0, at);
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(target, WM_LBUTTONUP, 0, at);
}

void Key(HWND window, WPARAM key) {
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

const Slots counterAction{"Counting", "Counter", "<>", "10", "Count", "true", "true"};

Slots Firing(const std::string& name) {
    return {name, "V", "<>", "x", "Fired", "true", "true"};
}

void ok(HWND dialog) {
    Click(dialog, "ButtonOK50");
}

void DialogDriver::SetUp() {
    running = this;
    closedBoxes.clear();
    LoadHost();
}

void DialogDriver::TearDown() {
    PlugInTest::TearDown();
    running = nullptr;
}

void DialogDriver::LoadHost() {
    tshost::HostSettings settings;
    settings.onScriptLine = [this](const std::string& line) {
        if (scriptAnswer) {
            scriptAnswer(line.c_str());
        }
    };
    settings.onInterfaceAccess = [this](std::int32_t request, const std::string& text) {
        interfaceRequests.push_back(request);
        interfaceTexts.push_back(text);
        return interfaceAnswer ? interfaceAnswer(request, text) : std::nullopt;
    };
    StartHost(std::move(settings), Registration::WithoutInterfaceAccess);
}

bool DialogDriver::Run(const Slots& slots, std::vector<std::function<void(HWND)>> script,
                       std::int32_t number) {
    steps = std::move(script);
    nextStep = 0;
    openDialog = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &RunStep);
    const auto texts = host->EditAction(number, slots);
    KillTimer(nullptr, timer);
    EXPECT_EQ(nextStep, steps.size()) << "the dialog closed before the script ended";
    written = texts.value_or(std::vector<std::string>{});
    return texts.has_value();
}

} // namespace vigrel::test
