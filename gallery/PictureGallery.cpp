// Renders the dialog's drawings (editor/pictures) into one picture, written as a 24-bit BMP file:
// each drawing at 1:1 and at 4x through TImage, the picture stretched over a gradient as the
// dialog shows it, and the glyphs on speed buttons at rest, under the mouse, pressed, not flat,
// and flat over a gradient. Arguments: the folder of the drawings, then the output file.
#include "components/Gradient.h"
#include "gallery/SheetPicture.h"
#include "tools/pictures/PixelArt.h"
#include "ui/BmpCodec.h"
#include "ui/Image.h"
#include "ui/SpeedButton.h"
#include "ui/WinControl.h"

#include <windows.h>

#include <cstdio>
#include <exception>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vigrel {
namespace {

constexpr int Width = 496;
constexpr int Height = 200;

std::vector<std::uint8_t> Drawing(const std::string& folder, const char* name) {
    const std::string path = folder + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path);
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    try {
        return EncodePixelArt(ParsePixelArt(text));
    } catch (const SourceError& error) {
        throw std::runtime_error(path + ": " + error.what());
    }
}

int Run(const std::string& folder, const char* path) {
    const std::vector<std::uint8_t> page = Drawing(folder, "Page2.pix");
    const std::vector<std::uint8_t> variable = Drawing(folder, "KnVariable.pix");
    const std::vector<std::uint8_t> subroutine = Drawing(folder, "KnSubroutine.pix");

    TWinControl sheet;
    sheet.SetBounds(0, 0, Width, Height);
    std::vector<Caption> labels;
    const auto image = [&](const std::vector<std::uint8_t>& picture, RECT r, bool stretch) {
        auto& control = sheet.CreateComponent<TImage>();
        control.SetPicture(picture);
        control.SetStretch(stretch);
        control.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        control.SetParent(&sheet);
    };
    const auto gradient = [&](RECT r) {
        auto& control = sheet.CreateComponent<TGradient>();
        control.SetStyle(TGradientStyle::gsLinearV);
        control.SetColorBegin(clSkyBlue);
        control.SetBorderColor(clMedGray);
        control.SetBorderWidth(2);
        control.SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
        control.SetParent(&sheet);
    };
    const auto button = [&](const std::vector<std::uint8_t>& glyph, int x, int y, bool flat,
                            UINT state, std::string text) {
        auto& control = sheet.CreateComponent<TSpeedButton>();
        control.SetGlyph(glyph);
        control.SetFlat(flat);
        control.SetBounds(x, y, 26, 24);
        control.SetParent(&sheet);
        if (state != 0) {
            control.Perform(CM_MOUSEENTER);
        }
        if (state == WM_LBUTTONDOWN) {
            control.Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        }
        labels.push_back({x, y + 30, std::move(text)});
    };

    image(page, {8, 8, 37, 44}, false);
    labels.push_back({8, 48, "1:1"});
    image(page, {48, 8, 164, 152}, true);
    labels.push_back({48, 156, "4x"});
    gradient({176, 8, 242, 172});
    image(page, {193, 28, 226, 69}, true);
    labels.push_back({176, 176, "33 x 41"});

    image(variable, {256, 8, 282, 32}, false);
    image(variable, {256, 40, 360, 136}, true);
    image(subroutine, {372, 8, 398, 32}, false);
    image(subroutine, {372, 40, 476, 136}, true);
    button(variable, 256, 146, true, 0, "flat");
    button(variable, 300, 146, true, CM_MOUSEENTER, "hover");
    button(variable, 344, 146, true, WM_LBUTTONDOWN, "press");
    button(subroutine, 388, 146, false, 0, "raised");
    gradient({432, 142, 488, 174});
    button(subroutine, 447, 146, true, CM_MOUSEENTER, "");

    if (!WriteBmpFile(path, PaintSheet(sheet, labels))) {
        return 1;
    }
    std::printf("%s: %d x %d\n", path, Width, Height);
    return 0;
}

} // namespace
} // namespace vigrel

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: PictureGallery DRAWINGS-FOLDER OUT.bmp\n");
        return 2;
    }
    try {
        return vigrel::Run(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gallery failed: %s\n", error.what());
        return 1;
    }
}
