// Opens the "Action Properties" dialog of a plug-in on the first action of the counter example,
// takes a picture of the dialog window, frame included, writes it as a BMP file and closes the
// dialog with Cancel. Run under Wine on a display:
//   DialogShot.exe PLUGIN OUT.bmp
#include "tessary/TessaryAbi.h"
#include "ui/BmpCodec.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace vigrel;

RgbImage shot;
HWND dialog = nullptr;

BOOL CALLBACK FindDialog(HWND window, LPARAM) {
    wchar_t caption[64] = {};
    GetWindowTextW(window, caption, 64);
    if (IsWindowVisible(window) && std::wstring(caption) == L"Action Properties") {
        dialog = window;
        return FALSE;
    }
    return TRUE;
}

// Copies the window's pixels from the screen, frame and all.
RgbImage Capture(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    RgbImage image{width, height, {}};
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) {
        const std::uint32_t p = pixels[i];
        image.pixels.push_back({static_cast<std::uint8_t>(p >> 16),
                                static_cast<std::uint8_t>(p >> 8), static_cast<std::uint8_t>(p)});
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

void CALLBACK Shoot(HWND, UINT, UINT_PTR id, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &FindDialog, 0);
    if (dialog == nullptr) {
        return;
    }
    KillTimer(nullptr, id);
    RedrawWindow(dialog, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    shot = Capture(dialog);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

char* Block(const char* text) {
    const std::size_t size = std::strlen(text) + 1;
    auto* block = static_cast<char*>(GlobalAlloc(0, size));
    std::memcpy(block, text, size);
    return block;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: DialogShot PLUGIN OUT.bmp\n");
        return 2;
    }
    const HMODULE plugIn = LoadLibraryA(argv[1]);
    const auto edit = plugIn != nullptr ? reinterpret_cast<TtsEditAction>(reinterpret_cast<void*>(
                                              GetProcAddress(plugIn, "tsEditAction")))
                                        : nullptr;
    if (edit == nullptr) {
        std::fprintf(stderr, "DialogShot: %s has no tsEditAction\n", argv[1]);
        return 2;
    }
    HostStringPtr slots[7];
    const char* texts[7] = {"Counting", "Counter", "<>", "10", "Count", "true", "true"};
    for (int i = 0; i < 7; ++i) {
        slots[i] = Block(texts[i]);
    }
    SetTimer(nullptr, 0, 400, &Shoot);
    edit(MonitorActionNumber, slots);
    for (HostStringPtr slot : slots) {
        GlobalFree(slot);
    }
    FreeLibrary(plugIn);
    if (shot.pixels.empty()) {
        std::fprintf(stderr, "DialogShot: the dialog did not appear\n");
        return 1;
    }
    const std::vector<std::uint8_t> bmp = EncodeBmp24(shot);
    std::ofstream(argv[2], std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));
    return 0;
}
