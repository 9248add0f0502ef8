// The dialog for authors who use a screen reader, the keyboard alone or a high-contrast theme:
// a name for every field, the picture buttons' keys, and text readable under high contrast.
#include "DialogDriver.h"
#include "ui/WideText.h"

#include <windows.h>

#include <oleacc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

using AccessibilityTest = DialogDriver;

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

TEST_F(AccessibilityTest, EveryFieldAndListHasItsCaptionAsItsName) {
    Run(counterAction, {[&](HWND dialog) {
            const struct {
                const char* field;
                const wchar_t* caption;
            } fields[] = {
                {"LEdit1", L"Имя монитора:"},     {"LEdit2", L"Контролируемая переменная:"},
                {"LEdit3", L"Строка сравнения:"}, {"LEdit4", L"Подпрограмма:"},
                {"ComboBox1", L"Условие:"},       {"ComboBox2", L"Выполнение: "},
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
    EXPECT_EQ(blocks, before) << "Alt+F4 wrote something";
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
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        width_ = client.right;
        pixels_.resize(static_cast<std::size_t>(client.right) * client.bottom);
        const HDC screen = GetDC(nullptr);
        const HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO info{};
        info.bmiHeader = {
            sizeof(BITMAPINFOHEADER), client.right, -client.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void* bits = nullptr;
        const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, client.right, client.bottom, screen, origin.x, origin.y, SRCCOPY);
        GdiFlush();
        const auto* read = static_cast<const std::uint32_t*>(bits);
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            pixels_[i] = RGB(read[i] >> 16 & 0xFF, read[i] >> 8 & 0xFF, read[i] & 0xFF);
        }
        SelectObject(memory, previous);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
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

// The text of each area, in the dialog's client coordinates, inside frames and boxes.
const struct {
    const char* what;
    RECT area;
} texts[] = {
    {"the name's caption", {90, 34, 170, 47}},
    {"the condition's caption", {390, 74, 437, 87}},
    {"the start's caption", {100, 205, 132, 218}},
    {"the description", {96, 274, 426, 300}},
    {"the header", {90, 14, 167, 27}},
    {"the name field", {93, 53, 277, 68}},
    {"the condition list", {393, 93, 468, 108}},
    {"the first radio button", {116, 223, 317, 240}},
    {"the second radio button", {116, 247, 277, 264}},
    {"the link", {83, 326, 173, 339}},
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
        const HighContrastScheme colours(module, scheme.face, scheme.text, scheme.hotLight);
        Run(counterAction, {[&](HWND dialog) {
                RedrawWindow(dialog, nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
                const Shot shot(dialog);
                for (const auto& text : texts) {
                    EXPECT_GE(shot.Contrast(text.area), 4.5) << scheme.name << ": " << text.what;
                }
                SendMessageW(dialog, WM_CLOSE, 0, 0);
            }});
    }
}

} // namespace
} // namespace vigrel::test
