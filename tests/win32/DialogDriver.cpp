#include "tests/win32/DialogDriver.h"

#include "ui/WideText.h"

#include <cstring>

namespace vigrel::test {
namespace {

TsBool TS_CALL InterfaceAccess(std::int32_t request, HostStringPtr* value) {
    interfaceRequests.push_back(request);
    interfaceTexts.emplace_back(*value != nullptr ? *value : "(null)");
    return interfaceAnswer ? interfaceAnswer(request, value) : TsFalse;
}
void TS_CALL GetVariable(const char*, HostStringPtr*) {
    ++reads;
}
TsBool TS_CALL SetVariable(const char*, const char*) {
    return TsTrue;
}
TsBool TS_CALL AddAction(std::int32_t, const char*, const char*, const std::uint8_t*, std::int32_t,
                         std::int32_t) {
    return TsTrue;
}
TsBool TS_CALL ScriptProcessor(const char* line) {
    if (scriptAnswer) {
        scriptAnswer(line);
    }
    return TsTrue;
}

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD) {
    // Only while the dialog takes input: not while a message box of it is open.
    const HWND dialog = ShownDialog();
    if (dialog == nullptr || !IsWindowEnabled(dialog) || nextStep >= steps.size()) {
        return;
    }
    openDialog = dialog;
    const std::size_t step = nextStep++;
    steps[step](dialog);
}

struct Search {
    HWND dialog;
    const Control* control;
    HWND found;
};

BOOL CALLBACK FindControl(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    const RECT rect = InDialog(search.dialog, window);
    if (ClassOf(window) == search.control->windowClass && EqualRect(&rect, &search.control->rect)) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
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

std::function<TsBool(std::int32_t, HostStringPtr*)> interfaceAnswer;
std::vector<std::int32_t> interfaceRequests;
std::vector<std::string> interfaceTexts;
int reads = 0;
std::function<void(const char*)> scriptAnswer;

std::vector<std::function<void(HWND)>> steps;
std::size_t nextStep = 0;
HWND openDialog = nullptr;

HWND ShownDialog() {
    return ShownWindow(L"Action Properties");
}

// The panel's children are 80, 10 further.
const std::vector<Control> windows = {
    {"Panel1", L"VigrelPanel", {80, 10, 500, 321}},
    {"LEdit1", L"Edit", {90, 50, 280, 71}},
    {"LEdit2", L"Edit", {90, 90, 280, 111}},
    {"ComboBox1", L"ComboBox", {390, 90, 490, 111}},
    {"LEdit3", L"Edit", {90, 130, 451, 151}},
    {"LEdit4", L"Edit", {90, 170, 280, 191}},
    {"ComboBox2", L"ComboBox", {390, 170, 490, 191}},
    {"RadioButton1", L"Button", {100, 223, 317, 240}},
    {"RadioButton2", L"Button", {100, 247, 277, 264}},
    {"ButtonOK50", L"Button", {253, 329, 323, 354}},
    {"ButtonCancel50", L"Button", {336, 329, 406, 354}},
    {"ButtonHelp", L"Button", {419, 329, 489, 354}},
};

RECT InDialog(HWND dialog, HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

HWND Find(HWND dialog, const char* name) {
    for (const Control& control : windows) {
        if (std::strcmp(control.name, name) == 0) {
            Search search{dialog, &control, nullptr};
            EnumChildWindows(dialog, &FindControl, reinterpret_cast<LPARAM>(&search));
            return search.found;
        }
    }
    return nullptr;
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

std::vector<std::string> Firing(const std::string& name) {
    return {name, "V", "<>", "x", "Fired", "true", "true"};
}

void ok(HWND dialog) {
    Click(dialog, "ButtonOK50");
}

void DialogDriver::SetUp() {
    module = LoadLibraryA(PlugInPath().c_str());
    ASSERT_NE(module, nullptr);
    edit = Entry<TtsEditAction>(module, "tsEditAction");
    ASSERT_NE(edit, nullptr);
    Entry<TtsRegisterPlugIn>(module, "tsRegisterPlugIn")(AddAction, nullptr, GetVariable,
                                                         SetVariable);
    Entry<TtsRegisterScriptProcessor>(module, "tsRegisterScriptProcessor")(ScriptProcessor);
    interfaceAnswer = nullptr;
    interfaceRequests.clear();
    interfaceTexts.clear();
    closedBoxes.clear();
    reads = 0;
    scriptAnswer = nullptr;
}

void DialogDriver::TearDown() {
    if (module != nullptr) {
        Entry<TtsMessage>(module, "tsMessage")(CloseMessage);
        FreeLibrary(module);
    }
    for (HostStringPtr block : blocks) {
        GlobalFree(block);
    }
}

void DialogDriver::RegisterInterfaceAccess() {
    Entry<TtsRegisterInterfaceAccess>(module, "tsRegisterInterfaceAccess")(InterfaceAccess);
}

bool DialogDriver::Run(const Slots& slots, std::vector<std::function<void(HWND)>> script,
                       std::int32_t number) {
    blocks.assign(7, nullptr);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        blocks[i] = slots[i] ? GlobalText(*slots[i]) : nullptr;
    }
    before = blocks;
    steps = std::move(script);
    nextStep = 0;
    openDialog = nullptr;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, &RunStep);
    const bool result = edit(number, blocks.data()) != TsFalse;
    KillTimer(nullptr, timer);
    EXPECT_EQ(nextStep, steps.size()) << "the dialog closed before the script ended";
    return result;
}

bool DialogDriver::Create(const std::vector<std::string>& args) {
    std::vector<HostStringPtr> slots;
    for (const std::string& arg : args) {
        slots.push_back(GlobalText(arg));
    }
    const bool created =
        Entry<TtsExecAction>(module, "tsExecAction")(MonitorActionNumber, slots.data()) != TsFalse;
    for (HostStringPtr slot : slots) {
        GlobalFree(slot);
    }
    return created;
}

std::vector<std::string> DialogDriver::Texts() const {
    std::vector<std::string> texts;
    for (HostStringPtr block : blocks) {
        texts.emplace_back(block != nullptr ? block : "(null)");
    }
    return texts;
}

} // namespace vigrel::test
