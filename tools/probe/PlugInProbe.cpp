#include "tools/probe/PlugInProbe.h"

#include "ui/Form.h"
#include "ui/WideText.h"

#include <cstring>
#include <cwchar>
#include <iterator>
#include <stdexcept>
#include <string>

namespace vigrel::test {
namespace {

struct Search {
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK FindShown(HWND window, LPARAM param) {
    auto& search = *reinterpret_cast<Search*>(param);
    const int length = GetWindowTextLengthW(window);
    std::wstring caption(static_cast<std::size_t>(length) + 1, L'\0');
    caption.resize(static_cast<std::size_t>(GetWindowTextW(window, caption.data(), length + 1)));
    if (IsWindowVisible(window) && caption == search.caption) {
        search.found = window;
        return FALSE;
    }
    return TRUE;
}

// Stops at a visible form of the toolkit that another module (the plug-in) registered.
BOOL CALLBACK FindPlugInForm(HWND window, LPARAM param) {
    wchar_t className[std::size(FormWindowClass) + 1] = {};
    GetClassNameW(window, className, static_cast<int>(std::size(className)));
    const auto instance = reinterpret_cast<HMODULE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    if (!IsWindowVisible(window) || std::wcscmp(className, FormWindowClass) != 0 ||
        instance == GetModuleHandleW(nullptr)) {
        return TRUE;
    }
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

decltype(&SystemParametersInfoW) realParameters = nullptr;

BOOL WINAPI HighContrastParameters(UINT action, UINT size, void* value, UINT update) {
    if (action == SPI_GETHIGHCONTRAST) {
        static_cast<HIGHCONTRASTW*>(value)->dwFlags = HCF_HIGHCONTRASTON;
        return TRUE;
    }
    return realParameters(action, size, value, update);
}

} // namespace

std::wstring BesideProgram(std::wstring_view name) {
    // A path longer than the buffer comes back cut to the buffer's size: grow it until it fits.
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = 0;
    while ((length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) ==
           path.size()) {
        path.resize(path.size() * 2);
    }
    path.resize(length);
    path.resize(path.find_last_of(L"\\/") + 1);
    return path.append(name);
}

std::string PlugInPath() {
    return FromWide(BesideProgram(L"Vigrel.tsp"), CP_ACP);
}

HighContrastScheme::HighContrastScheme(HMODULE plugIn, COLORREF face, COLORREF text,
                                       COLORREF hotLight)
    : plugIn_(plugIn) {
    const ImportPatch patch = PatchImport(plugIn, "USER32.dll", "SystemParametersInfoW",
                                          reinterpret_cast<void*>(&HighContrastParameters));
    if (!patch) {
        throw std::runtime_error(
            "the plug-in's query of high contrast cannot be faked: " +
            (patch.error.empty() ? "it imports no SystemParametersInfoW" : patch.error));
    }
    realParameters = reinterpret_cast<decltype(&SystemParametersInfoW)>(patch.previous);
    for (int i = 0; i < Count; ++i) {
        saved_[i] = GetSysColor(elements_[i]);
    }
    const COLORREF colours[Count] = {face, face, text, text, hotLight};
    SetSysColors(Count, elements_, colours);
}

HighContrastScheme::~HighContrastScheme() {
    SetSysColors(Count, elements_, saved_);
    PatchImport(plugIn_, "USER32.dll", "SystemParametersInfoW",
                reinterpret_cast<void*>(realParameters));
}

char* GlobalText(std::string_view text) {
    auto* block = static_cast<char*>(GlobalAlloc(0, text.size() + 1));
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    return block;
}

HWND ShownWindow(const wchar_t* caption) {
    Search search{caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), &FindShown, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND ShownPlugInForm() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), &FindPlugInForm, reinterpret_cast<LPARAM>(&found));
    return found;
}

void Pump(DWORD milliseconds) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (GetTickCount() - start < milliseconds);
}

} // namespace vigrel::test
