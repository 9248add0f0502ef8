// The first layer of the ui toolkit on Windows: colours, bitmaps, the canvas, windowless controls
// painted and hit-tested by their windowed parent, and the window binding.
#include "tests/win32/Surface.h"
#include "tools/gdi/MemoryDC.h"
#include "ui/Module.h"
#include "ui/Timer.h"
#include "ui/Toolkit.h"
#include "ui/WinControl.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace vigrel::test {
namespace {

TEST(Graphics, ResolvesSystemColoursAndDropsTheTopByteOfOthers) {
    EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(ColorToRGB(clGradientActiveCaption), GetSysColor(COLOR_GRADIENTACTIVECAPTION));
    EXPECT_EQ(ColorToRGB(clSkyBlue), clSkyBlue);
    EXPECT_EQ(ColorToRGB(0x02F0CAA6), clSkyBlue);
    EXPECT_THROW(ColorToRGB(0xFF0000FF), std::invalid_argument);
    EXPECT_EQ(RGBToPixel(clSkyBlue), 0x00A6CAF0u);
}

TEST(Bitmap, IsTopDownWithRowsOfWholePixels) {
    TBitmap bitmap(3, 2);
    ASSERT_NE(bitmap.Handle(), nullptr);
    EXPECT_EQ(bitmap.Row(1) - bitmap.Row(0), 3);
    EXPECT_EQ(bitmap.Row(0)[2], 0u);
    bitmap.Row(0)[0] = RGBToPixel(clRed);
    bitmap.Row(1)[2] = RGBToPixel(clBlue);
    // GDI reads the same memory: row 0 is the top row.
    MemoryDC dc;
    const SelectedObject selected(dc.Get(), bitmap.Handle());
    EXPECT_EQ(GetPixel(dc.Get(), 0, 0), clRed);
    EXPECT_EQ(GetPixel(dc.Get(), 2, 1), clBlue);
}

TEST(Bitmap, KeepsPixelsOnlyForTheSameSizeAndRefusesBadInput) {
    TBitmap bitmap(4, 4);
    bitmap.Row(3)[3] = 7;
    bitmap.SetSize(4, 4);
    EXPECT_EQ(bitmap.Row(3)[3], 7u);
    EXPECT_THROW(bitmap.SetSize(-1, 4), std::invalid_argument);
    EXPECT_THROW(bitmap.SetSize(100000, 100000), std::invalid_argument);
    EXPECT_EQ(bitmap.Width(), 4);
    EXPECT_EQ(bitmap.Row(3)[3], 7u);
    EXPECT_THROW(bitmap.Row(4), std::out_of_range);
    EXPECT_THROW(bitmap.Row(-1), std::out_of_range);
    bitmap.SetSize(5, 4);
    EXPECT_EQ(bitmap.Row(3)[3], 0u);
    bitmap.SetSize(0, 4);
    EXPECT_EQ(bitmap.Handle(), nullptr);
    EXPECT_THROW(bitmap.Row(0), std::out_of_range);
}

TEST(Canvas, StretchDrawRepeatsWholePixels) {
    TBitmap pattern(2, 1);
    pattern.Row(0)[0] = RGBToPixel(clRed);
    pattern.Row(0)[1] = RGBToPixel(clBlue);
    Surface surface(10, 3, clWhite);
    {
        TCanvas canvas(surface.DC());
        canvas.StretchDraw({1, 0, 9, 2}, pattern);
    }
    for (int x = 1; x < 5; ++x) {
        EXPECT_EQ(surface.Pixel(x, 1), clRed) << x;
        EXPECT_EQ(surface.Pixel(x + 4, 1), clBlue) << x + 4;
    }
    EXPECT_EQ(surface.Pixel(0, 0), clWhite);
    EXPECT_EQ(surface.Pixel(9, 0), clWhite);
    EXPECT_EQ(surface.Pixel(4, 2), clWhite);
}

TEST(Canvas, RestoresSavedStatesAndLeavesTheDeviceContextAsItFoundIt) {
    Surface surface(20, 20, clWhite);
    const HDC dc = surface.DC();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    const HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    {
        TCanvas canvas(dc);
        canvas.SetPen({clRed, 3, PS_SOLID});
        canvas.Rectangle({0, 0, 5, 5});
        const HGDIOBJ redPen = GetCurrentObject(dc, OBJ_PEN);
        canvas.SaveState();
        canvas.MoveOrigin(4, 6);
        canvas.SetPen({clBlue, 1, PS_DOT});
        canvas.SetBrush({clGreen, TBrushStyle::bsClear});
        canvas.Ellipse({0, 0, 5, 5});
        EXPECT_EQ(canvas.WindowOrigin().x, -4);
        EXPECT_EQ(canvas.WindowOrigin().y, -6);
        canvas.RestoreState();
        EXPECT_EQ(canvas.WindowOrigin().x, 0);
        EXPECT_EQ(canvas.Pen().color, clRed);
        EXPECT_EQ(canvas.Pen().width, 3);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);
        canvas.RestoreState(); // unpaired: ignored
        canvas.Rectangle({5, 5, 10, 10});
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), redPen);
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_THROW(TCanvas(nullptr), std::invalid_argument);
}

using Log = std::vector<std::string>;

// Records its paints and mouse messages; paints far outside its bounds and leaves the canvas
// changed, so the parent's clipping and state restoring show.
class TProbe : public TGraphicControl {
public:
    TProbe(std::string name, Log& log, TColor color) : log_(log), color_(color) {
        SetName(std::move(name));
    }
    void SetOpaqueProbe(bool opaque) { SetOpaque(opaque); }
    bool paints = true;
    RECT clip{};
    POINT origin{};

protected:
    void Paint(TCanvas& canvas) override {
        log_.push_back(Name() + " paint");
        GetClipBox(canvas.Handle(), &clip);
        origin = canvas.WindowOrigin();
        if (paints) {
            canvas.FillRect({-1000, -1000, 1000, 1000}, color_);
        }
        SetWindowOrgEx(canvas.Handle(), 500, 500, nullptr);
        SelectObject(canvas.Handle(), GetStockObject(BLACK_PEN));
    }
    void WndProc(TMessage& message) override {
        const auto local = [&] {
            return std::to_string(static_cast<short>(LOWORD(message.LParam))) + "," +
                   std::to_string(static_cast<short>(HIWORD(message.LParam)));
        };
        switch (message.Msg) {
        case CM_MOUSEENTER:
            log_.push_back(Name() + " enter");
            break;
        case CM_MOUSELEAVE:
            log_.push_back(Name() + " leave");
            break;
        case WM_MOUSEMOVE:
            log_.push_back(Name() + " move " + local());
            break;
        case WM_LBUTTONUP:
            log_.push_back(Name() + " up " + local());
            break;
        case WM_SETTINGCHANGE:
            log_.push_back(Name() + " settings " + std::to_string(message.WParam));
            break;
        default:
            break;
        }
        TGraphicControl::WndProc(message);
    }

private:
    Log& log_;
    TColor color_;
};

class ContainerTest : public ::testing::Test {
protected:
    ContainerTest() {
        root.SetBounds(0, 0, 100, 60);
        root.SetColor(clYellow);
    }
    TProbe& Probe(const std::string& name, RECT bounds, TColor color = clBlack) {
        auto& probe = root.CreateComponent<TProbe>(name, log, color);
        probe.SetBounds(bounds.left, bounds.top, bounds.right - bounds.left,
                        bounds.bottom - bounds.top);
        probe.SetParent(&root);
        return probe;
    }
    // Gives the root a message-only window, which needs no display.
    HWND Window() {
        root.SetParentWindow(HWND_MESSAGE);
        return root.Handle();
    }
    void Move(int x, int y) { SendMessageA(Window(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y)); }
    Log Take() { return std::exchange(log, {}); }

    Log log;
    TWinControl root;
};

TEST_F(ContainerTest, PaintsChildrenInCreationOrderClippedWithTheOriginAtTheirCorner) {
    TProbe& a = Probe("a", {10, 10, 40, 30}, clRed);
    TProbe& b = Probe("b", {30, 20, 60, 50}, clBlue);
    Probe("hidden", {0, 0, 100, 60}, clGreen).SetVisible(false);
    Probe("empty", {70, 10, 70, 40}, clGreen);
    Surface surface(100, 60, clWhite);
    root.PaintTo(surface.DC());

    EXPECT_EQ(Take(), (Log{"a paint", "b paint"}));
    EXPECT_EQ(a.clip.left, 0);
    EXPECT_EQ(a.clip.top, 0);
    EXPECT_EQ(a.clip.right, 30);
    EXPECT_EQ(a.clip.bottom, 20);
    EXPECT_EQ(b.origin.x, -30);
    EXPECT_EQ(b.origin.y, -20);
    EXPECT_EQ(surface.Pixel(10, 10), clRed);
    EXPECT_EQ(surface.Pixel(39, 29), clBlue); // b is painted over a
    EXPECT_EQ(surface.Pixel(29, 29), clRed);
    EXPECT_EQ(surface.Pixel(59, 49), clBlue);
    EXPECT_EQ(surface.Pixel(9, 10), clYellow);
    EXPECT_EQ(surface.Pixel(60, 49), clYellow);
    EXPECT_EQ(surface.Pixel(30, 50), clYellow);
    EXPECT_EQ(surface.Pixel(70, 20), clYellow);
    // Each probe left the canvas changed; the parent restored it every time.
    POINT origin;
    GetWindowOrgEx(surface.DC(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

TEST_F(ContainerTest, BackgroundLeavesOutOpaqueControls) {
    TProbe& opaque = Probe("opaque", {10, 10, 20, 20});
    opaque.paints = false;
    opaque.SetOpaqueProbe(true);
    TProbe& clear = Probe("clear", {30, 10, 40, 20});
    clear.paints = false;
    Surface surface(100, 60, clWhite);
    root.PaintTo(surface.DC());
    EXPECT_EQ(surface.Pixel(15, 15), clWhite);
    EXPECT_EQ(surface.Pixel(35, 15), clYellow);
    EXPECT_EQ(surface.Pixel(5, 5), clYellow);
}

TEST_F(ContainerTest, HitTestDeliversEnterLeaveAndMovesInLocalCoordinates) {
    Log parent;
    root.WindowProc = [&, own = root.WindowProc](TMessage& message) {
        if (message.Msg == CM_MOUSEENTER || message.Msg == CM_MOUSELEAVE) {
            const auto* control = reinterpret_cast<TControl*>(message.LParam);
            parent.push_back((message.Msg == CM_MOUSEENTER ? "enter " : "leave ") +
                             (control != nullptr ? control->Name() : std::string("?")));
        }
        own(message);
    };
    Probe("a", {10, 10, 40, 30});
    Probe("b", {30, 20, 60, 50});
    Probe("off", {60, 0, 80, 20}).SetEnabled(false);
    Move(15, 12);
    EXPECT_EQ(Take(), (Log{"a enter", "a move 5,2"}));
    Move(20, 15);
    EXPECT_EQ(Take(), (Log{"a move 10,5"}));
    Move(35, 25); // the later control is on top
    EXPECT_EQ(Take(), (Log{"a leave", "b enter", "b move 5,5"}));
    Move(70, 10); // disabled: the parent has it
    EXPECT_EQ(Take(), (Log{"b leave"}));
    Move(15, 12);
    Take();
    SendMessageA(Window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(Take(), (Log{"a leave"}));
    EXPECT_EQ(parent, (Log{"enter a", "leave a", "enter b", "leave b", "enter a", "leave a"}));
}

TEST_F(ContainerTest, PressedControlGetsTheReleaseAndClicksOnlyInside) {
    TProbe& a = Probe("a", {10, 10, 40, 30});
    int clicks = 0;
    a.OnClick = [&](TComponent& sender) {
        EXPECT_EQ(&sender, &a);
        ++clicks;
    };
    const HWND window = Window();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(13, 14));
    EXPECT_EQ(clicks, 1);
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(90, 50));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(Take(), (Log{"a up 3,4", "a up 80,40"}));
}

TEST_F(ContainerTest, PressEndedByLosingTheCaptureNeverClicksLater) {
    TProbe& a = Probe("a", {10, 10, 40, 30});
    int clicks = 0;
    a.OnClick = [&](TComponent&) { ++clicks; };
    const HWND window = Window();
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(12, 12));
    SendMessageA(window, WM_CAPTURECHANGED, 0, 0);
    // A later press on the parent, released over the control, is not the control's click.
    SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 50));
    SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(12, 12));
    EXPECT_EQ(clicks, 0);
}

TEST_F(ContainerTest, ForgetsAHoveredControlThatDies) {
    auto owned = std::make_unique<TProbe>("a", log, clBlack);
    owned->SetBounds(10, 10, 30, 20);
    owned->SetParent(&root);
    Move(15, 15);
    owned.reset();
    EXPECT_EQ(root.ControlCount(), 0u);
    Take();
    Move(16, 16);
    SendMessageA(Window(), WM_MOUSELEAVE, 0, 0);
    EXPECT_TRUE(log.empty());
}

TEST_F(ContainerTest, PassesSettingsChangedToEveryControlAtAnyDepth) {
    Probe("a", {0, 0, 10, 10});
    auto& panel = root.CreateComponent<TWinControl>();
    panel.SetParent(&root);
    panel.SetBounds(20, 0, 40, 40);
    auto& inner = root.CreateComponent<TProbe>("inner", log, clBlack);
    inner.SetParent(&panel);
    Log seen;
    inner.WindowProc = [&, own = inner.WindowProc](TMessage& message) {
        seen.push_back(std::to_string(message.Msg));
        own(message);
    };
    // Without windows (a child window needs a display): the relay is the same.
    root.Perform(WM_SETTINGCHANGE, 42, 0);
    EXPECT_EQ(Take(), (Log{"a settings 42", "inner settings 42"}));
    EXPECT_EQ(seen, Log{std::to_string(WM_SETTINGCHANGE)});
    panel.SetParent(nullptr);
    SendMessageA(Window(), WM_SETTINGCHANGE, 7, 0);
    EXPECT_EQ(Take(), (Log{"a settings 7"}));
}

TEST_F(ContainerTest, SettingsReachTheOtherControlsWhenOneFails) {
    TProbe& a = Probe("a", {0, 0, 10, 10});
    Probe("b", {10, 0, 20, 10});
    a.WindowProc = [own = a.WindowProc](TMessage& message) {
        if (message.Msg == WM_SETTINGCHANGE) {
            throw std::runtime_error("cannot follow the settings");
        }
        own(message);
    };
    SendMessageA(Window(), WM_SETTINGCHANGE, 3, 0);
    EXPECT_EQ(Take(), (Log{"b settings 3"}));
}

TEST_F(ContainerTest, WindowIsBoundToItsObjectAndReleasedWithIt) {
    std::vector<UINT> messages;
    root.WindowProc = [&, own = root.WindowProc](TMessage& message) {
        messages.push_back(message.Msg);
        if (message.Msg == WM_USER + 7) {
            message.Result = 99;
            return;
        }
        own(message);
    };
    const HWND window = Window();
    EXPECT_EQ(messages.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_EQ(SendMessageA(window, WM_USER + 7, 0, 0), 99);
    root.DestroyHandle();
    EXPECT_FALSE(root.HandleAllocated());
    EXPECT_FALSE(IsWindow(window));
    auto panel = std::make_unique<TWinControl>();
    panel->SetParentWindow(HWND_MESSAGE);
    const HWND other = panel->Handle();
    panel.reset();
    EXPECT_FALSE(IsWindow(other));
}

TEST_F(ContainerTest, HandlerFailureNeverReachesTheWindowSystem) {
    root.WindowProc = [own = root.WindowProc](TMessage& message) {
        if (message.Msg == WM_USER + 1) {
            throw std::runtime_error("handler failed");
        }
        own(message);
    };
    EXPECT_EQ(SendMessageA(Window(), WM_USER + 1, 0, 0), 0);
}

TEST_F(ContainerTest, RefusesToBePlacedInsideItself) {
    auto& panel = root.CreateComponent<TWinControl>();
    panel.SetParent(&root);
    EXPECT_THROW(root.SetParent(&panel), std::invalid_argument);
    EXPECT_THROW(root.SetParent(&root), std::invalid_argument);
    EXPECT_EQ(root.Parent(), nullptr);
}

TEST(ToolkitShutdown, DestroysWhatIsLeftAndUnregistersEveryClass) {
    TWinControl left;
    left.SetParentWindow(HWND_MESSAGE);
    const HWND window = left.Handle();
    TTimer timer;
    timer.SetEnabled(true);
    WNDCLASSW info;
    EXPECT_TRUE(GetClassInfoW(ModuleInstance(), L"VigrelControl", &info));
    EXPECT_TRUE(GetClassInfoW(ModuleInstance(), L"VigrelTimerWindow", &info));
    ShutdownToolkit();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(left.HandleAllocated());
    EXPECT_FALSE(GetClassInfoW(ModuleInstance(), L"VigrelControl", &info));
    EXPECT_FALSE(GetClassInfoW(ModuleInstance(), L"VigrelTimerWindow", &info));
    EXPECT_NE(left.Handle(), nullptr); // registered again on demand
    timer.SetEnabled(false);
    ShutdownToolkit();
}

} // namespace
} // namespace vigrel::test
