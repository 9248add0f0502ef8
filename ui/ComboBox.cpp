#include "ui/ComboBox.h"

#include "ui/Published.h"
#include "ui/WideText.h"

#include <stdexcept>

namespace vigrel {

TComboBox::TComboBox() {
    SetTabStop(true);
    SetColor(clWindow);
}

const ClassInfo& TComboBox::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TComboBox>("TComboBox", TWinControl::StaticClass())
            .Strings("Items", &TComboBox::Items, &TComboBox::SetItems)
            .Integer("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex, -1, -1, 32767)
            .Integer("ItemHeight", &TComboBox::ItemHeight, &TComboBox::SetItemHeight, 13, 1, 255)
            .Integer("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount, 8, 1,
                     100)
            .Default("TabStop", std::int64_t{1})
            .Default("Color", std::int64_t{clWindow});
    return info;
}

void TComboBox::SetItems(std::vector<std::string> items) {
    items_ = std::move(items);
    if (itemIndex_ >= static_cast<int>(items_.size())) {
        itemIndex_ = -1;
    }
    if (HandleAllocated()) {
        const HWND window = Handle();
        SendMessageW(window, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : items_) {
            SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
        }
        SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    }
}

void TComboBox::CheckIndex(int index) const {
    if (index < -1 || index >= static_cast<int>(items_.size())) {
        throw std::out_of_range("item index " + std::to_string(index) + " is outside the " +
                                std::to_string(items_.size()) + " items of " + Name());
    }
}

int TComboBox::ItemIndex() const {
    if (HandleAllocated()) {
        return static_cast<int>(
            SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
    }
    return itemIndex_;
}

void TComboBox::SetItemIndex(int index) {
    if (!ComponentState().Contains(csLoading)) {
        CheckIndex(index);
    }
    itemIndex_ = index;
    if (HandleAllocated()) {
        SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void TComboBox::Loaded() {
    TWinControl::Loaded();
    CheckIndex(itemIndex_);
}

void TComboBox::SetItemHeight(int height) {
    if (height != itemHeight_) {
        itemHeight_ = height;
        if (HandleAllocated()) {
            SendMessageW(Handle(), CB_SETITEMHEIGHT, 0, height);
            FitHeight();
        }
    }
}

std::string TComboBox::Text() const {
    if (!HandleAllocated()) {
        return itemIndex_ >= 0 ? items_[static_cast<std::size_t>(itemIndex_)] : std::string();
    }
    const HWND window = const_cast<TComboBox*>(this)->Handle();
    const auto index = static_cast<WPARAM>(SendMessageW(window, CB_GETCURSEL, 0, 0));
    if (index == static_cast<WPARAM>(CB_ERR)) {
        return {};
    }
    const LRESULT length = SendMessageW(window, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendMessageW(window, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return FromWide(text);
}

void TComboBox::SetText(std::string text) {
    int found = -1;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i] == text) {
            found = static_cast<int>(i);
            break;
        }
    }
    SetItemIndex(found);
}

void TComboBox::CreateParams(TCreateParams& params) {
    TWinControl::CreateParams(params);
    params.ClassName = L"COMBOBOX";
    params.SystemClass = true;
    params.Caption.clear();
    params.Style = (params.Style & ~WS_CLIPCHILDREN) | CBS_DROPDOWNLIST | WS_VSCROLL |
                   (TabStop() ? WS_TABSTOP : 0);
    // The height a combo box is made with is that of its dropped list; the closed box takes the
    // height of its text line and frame.
    params.Height = Height() + dropDownCount_ * itemHeight_ + 2;
}

void TComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    const HWND window = Handle();
    for (const std::string& item : items_) {
        SendMessageW(window, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ToWide(item).c_str()));
    }
    SendMessageW(window, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
    SendMessageW(window, CB_SETITEMHEIGHT, 0, itemHeight_);
    FitHeight();
}

// Makes the closed box exactly Height() tall by giving its text line the rest.
void TComboBox::FitHeight() {
    const HWND window = Handle();
    RECT bounds;
    GetWindowRect(window, &bounds);
    const int closed = bounds.bottom - bounds.top;
    const auto line = static_cast<int>(SendMessageW(window, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    const int wanted = line + Height() - closed;
    if (closed != Height() && wanted > 0) {
        SendMessageW(window, CB_SETITEMHEIGHT, WPARAM(-1), wanted);
    }
}

void TComboBox::WndProc(TMessage& message) {
    switch (message.Msg) {
    case CN_COMMAND:
        if (HIWORD(message.WParam) == CBN_SELCHANGE) {
            itemIndex_ = ItemIndex();
            if (OnChange) {
                OnChange(*this);
            }
        }
        message.Result = 0;
        return;
    case WM_WINDOWPOSCHANGED:
        // The window's height is that of the dropped list; the control keeps its own.
        DefaultHandler(message);
        return;
    default:
        break;
    }
    TWinControl::WndProc(message);
}

} // namespace vigrel
