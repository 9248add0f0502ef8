#include "ui/Bitmap.h"

#include <stdexcept>
#include <string>

namespace vigrel {

namespace {

BITMAPINFO Header(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // negative: top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

} // namespace

BITMAPINFO TBitmap::Info() const {
    return Header(width_, height_);
}

void TBitmap::SetSize(int width, int height) {
    if (width < 0 || height < 0) {
        throw std::invalid_argument("bad bitmap size " + std::to_string(width) + " x " +
                                    std::to_string(height));
    }
    if (width == width_ && height == height_) {
        return;
    }
    OwnedBitmap bitmap;
    void* bits = nullptr;
    if (width > 0 && height > 0) {
        if (std::int64_t{width} * height > 0x7FFFFFFF / 4) {
            throw std::invalid_argument("bitmap too large: " + std::to_string(width) + " x " +
                                        std::to_string(height));
        }
        const BITMAPINFO info = Header(width, height);
        bitmap = Created(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0),
                         "a 32-bit bitmap");
    }
    bitmap_ = std::move(bitmap);
    bits_ = bits;
    width_ = width;
    height_ = height;
}

std::size_t TBitmap::Offset(int y) const {
    if (y < 0 || y >= height_ || bits_ == nullptr) {
        throw std::out_of_range("bitmap row " + std::to_string(y) + " outside 0.." +
                                std::to_string(height_ - 1));
    }
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_);
}

} // namespace vigrel
