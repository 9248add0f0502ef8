// Opens the "Action Properties" dialog of a plug-in on the first action of the counter example,
// takes a picture of the dialog window, frame included, writes it as a BMP file and closes the
// dialog with Cancel. With `black`, under a black high-contrast scheme: the session's colours
// are set for the picture and put back after, and the plug-in is told that high contrast is on
// (Wine cannot switch it on). Run under Wine on a display:
//   DialogShot.exe PLUGIN OUT.bmp [black]
#include "gallery/SheetPicture.h"
#include "tessary/TessaryAbi.h"
#include "tools/gdi/ScreenCapture.h"
#include "tools/probe/PlugInProbe.h"
#include "ui/Bitmap.h"
#include "ui/BmpCodec.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vigrel;

RgbImage shot;

// Copies the window's pixels from the screen, frame and all.
RgbImage Capture(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    TBitmap pixels;
    CaptureScreen(rect, pixels);
    return FromPixelRows(pixels.Width(), pixels.Height(), [&](int y) { return pixels.Row(y); });
}

void CALLBACK Shoot(HWND, UINT, UINT_PTR id, DWORD) {
    const HWND dialog = test::ShownPlugInForm();
    if (dialog == nullptr) {
        return;
    }
    KillTimer(nullptr, id);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    shot = Capture(dialog);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && std::string(argv[3]) == "black")) {
        std::fprintf(stderr, "usage: DialogShot PLUGIN OUT.bmp [black]\n");
        return 2;
    }
    const HMODULE plugIn = LoadLibraryA(argv[1]);
    const auto edit =
        plugIn != nullptr ? test::Entry<TtsEditAction>(plugIn, "tsEditAction") : nullptr;
    if (edit == nullptr) {
        std::fprintf(stderr, "DialogShot: %s has no tsEditAction\n", argv[1]);
        return 2;
    }
    HostStringPtr slots[7];
    const char* texts[7] = {"Counting", "Counter", "<>", "10", "Count", "true", "true"};
    for (int i = 0; i < 7; ++i) {
        slots[i] = test::GlobalText(texts[i]);
    }
    {
        std::optional<test::HighContrastScheme> scheme;
        if (argc == 4) {
            scheme.emplace(plugIn, RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 0));
        }
        SetTimer(nullptr, 0, 400, &Shoot);
        edit(MonitorActionNumber, slots);
    }
    for (HostStringPtr slot : slots) {
        GlobalFree(slot);
    }
    FreeLibrary(plugIn);
    if (shot.pixels.empty()) {
        std::fprintf(stderr, "DialogShot: the dialog did not appear\n");
        return 1;
    }
    return WriteBmpFile(argv[2], shot) ? 0 : 1;
}
