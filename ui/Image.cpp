#include "ui/Image.h"

#include "ui/BitmapImage.h"
#include "ui/Published.h"

namespace vigrel {

const ClassInfo& TImage::StaticClass() {
    static const ClassInfo info =
        ClassBuilder<TImage>("TImage", TGraphicControl::StaticClass())
            .Binary("Picture", &TImage::Picture, &TImage::SetPicture)
            .Boolean("Stretch", &TImage::Stretch, &TImage::SetStretch, false);
    return info;
}

void TImage::SetPicture(const std::vector<std::uint8_t>& bytes) {
    if (bytes == picture_) {
        return;
    }
    if (bytes.empty()) {
        bitmap_.SetSize(0, 0);
    } else {
        AssignImage(bitmap_, DecodeBmp(bytes));
    }
    picture_ = bytes;
    Changed();
}

void TImage::SetStretch(bool stretch) {
    if (stretch == stretch_) {
        return;
    }
    stretch_ = stretch;
    Changed();
}

void TImage::Changed() {
    SetOpaque(stretch_ && bitmap_.Handle() != nullptr);
    Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
    if (bitmap_.Handle() == nullptr) {
        return;
    }
    canvas.StretchDraw(stretch_ ? ClientRect() : RECT{0, 0, bitmap_.Width(), bitmap_.Height()},
                       bitmap_);
}

} // namespace vigrel
