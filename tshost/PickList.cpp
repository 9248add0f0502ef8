#include "tshost/PickList.h"

#include <memory>
#include <stdexcept>
#include <string_view>

namespace vigrel::tshost {
namespace {

constexpr wchar_t ClassName[] = L"TsHostPickList";
constexpr int ListId = 100;
constexpr int ClientWidth = 280;
constexpr int ClientHeight = 320;
constexpr int Margin = 8;
constexpr int ButtonWidth = 80;
constexpr int ButtonHeight = 26;

struct PickState {
    HWND list = nullptr;
    HWND cancel = nullptr;
    bool done = false;
    std::optional<std::size_t> picked;
};

PickState* StateOf(HWND window) {
    return reinterpret_cast<PickState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void Finish(PickState& state, bool pick) {
    state.done = true;
    if (!pick) {
        return;
    }
    const LRESULT index = SendMessageW(state.list, LB_GETCURSEL, 0, 0);
    if (index != LB_ERR) {
        state.picked = static_cast<std::size_t>(index);
    }
}

LRESULT CALLBACK PickProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    PickState* state = StateOf(window);
    if (state != nullptr) {
        switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK ||
                (LOWORD(wParam) == ListId && HIWORD(wParam) == LBN_DBLCLK)) {
                Finish(*state, true);
                return 0;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                Finish(*state, false);
                return 0;
            }
            break;
        case WM_CLOSE:
            Finish(*state, false);
            return 0;
        case WM_SETFOCUS:
            // Whenever the window is activated (the system may do so again later), the keys
            // go to the list, as a dialog gives the focus back to its control.
            if (state->list != nullptr) {
                SetFocus(state->list);
            }
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterOnce(HINSTANCE instance) {
    static const bool registered = [instance] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = PickProc;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = ClassName;
        return RegisterClassExW(&windowClass) != 0;
    }();
    if (!registered) {
        throw std::runtime_error("cannot register the pick-list's window class");
    }
}

HWND Child(HWND parent, const wchar_t* windowClass, const wchar_t* text, DWORD style, int x, int y,
           int width, int height, int id, HINSTANCE instance) {
    HWND child = CreateWindowExW(
        windowClass == std::wstring_view(L"LISTBOX") ? WS_EX_CLIENTEDGE : 0, windowClass, text,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | style, x, y, width, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)),
                 FALSE);
    return child;
}

// Centred over the owner, or on the screen when there is none.
POINT Centre(HWND owner, int width, int height) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (owner != nullptr) {
        GetWindowRect(owner, &area);
    }
    return {area.left + (area.right - area.left - width) / 2,
            area.top + (area.bottom - area.top - height) / 2};
}

// The window and its children, destroyed on every way out.
struct WindowDestroy {
    void operator()(HWND window) const { DestroyWindow(window); }
};

} // namespace

std::optional<std::size_t> PickFromList(HWND owner, const std::wstring& title,
                                        const std::vector<std::wstring>& items,
                                        std::size_t selected) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterOnce(instance);
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    constexpr DWORD extended = WS_EX_DLGMODALFRAME;
    RECT frame{0, 0, ClientWidth, ClientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, extended);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const POINT at = Centre(owner, width, height);

    PickState state;
    std::unique_ptr<HWND__, WindowDestroy> window(
        CreateWindowExW(extended, ClassName, title.c_str(), style, at.x, at.y, width, height, owner,
                        nullptr, instance, &state));
    if (!window) {
        throw std::runtime_error("cannot create the pick-list window");
    }
    const int buttonsTop = ClientHeight - Margin - ButtonHeight;
    state.list = Child(window.get(), L"LISTBOX", L"", WS_VSCROLL | LBS_NOTIFY, Margin, Margin,
                       ClientWidth - 2 * Margin, buttonsTop - 2 * Margin, ListId, instance);
    Child(window.get(), L"BUTTON", L"OK", BS_DEFPUSHBUTTON,
          ClientWidth - 2 * (Margin + ButtonWidth), buttonsTop, ButtonWidth, ButtonHeight, IDOK,
          instance);
    state.cancel =
        Child(window.get(), L"BUTTON", L"Cancel", BS_PUSHBUTTON, ClientWidth - Margin - ButtonWidth,
              buttonsTop, ButtonWidth, ButtonHeight, IDCANCEL, instance);
    for (const std::wstring& item : items) {
        SendMessageW(state.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    if (selected < items.size()) {
        SendMessageW(state.list, LB_SETCURSEL, selected, 0);
    }

    // The modal run: the owner is disabled until the list closes, and enabled again before the
    // list goes, so that it gets the activation back.
    const bool ownerWasEnabled = owner != nullptr && !EnableWindow(owner, FALSE);
    ShowWindow(window.get(), SW_SHOW);
    SetFocus(state.list);
    MSG message;
    while (!state.done) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam)); // for the loop outside
            break;
        }
        if (got < 0) {
            break;
        }
        const bool ours =
            message.hwnd == window.get() || IsChild(window.get(), message.hwnd) != FALSE;
        if (ours && message.message == WM_KEYDOWN &&
            (message.wParam == VK_RETURN || message.wParam == VK_ESCAPE)) {
            Finish(state, message.wParam == VK_RETURN && message.hwnd != state.cancel);
            continue;
        }
        if (IsDialogMessageW(window.get(), &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (ownerWasEnabled) {
        EnableWindow(owner, TRUE);
    }
    window.reset();
    return state.picked;
}

} // namespace vigrel::tshost
