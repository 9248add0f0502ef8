// TSpeedButton: a windowless picture button. It shows a glyph, the bytes of a BMP file, centred,
// with every pixel of the colour of the glyph's bottom-left pixel left transparent; it clicks on
// a left release inside after a left press inside, and never takes the keyboard focus (it has no
// window). A flat button has no frame until the mouse is over it.
#pragma once

#include "ui/Bitmap.h"
#include "ui/Control.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace vigrel {

// What a speed button draws around its glyph.
enum class TButtonLook : std::uint8_t {
    blNone,    // a flat button the mouse is not over: the glyph alone
    blRaised,  // a raised frame: a flat button under the mouse, and any other button at rest
    blLowered, // a lowered frame and the glyph one pixel right and down: pressed, mouse inside
};

class TSpeedButton : public TGraphicControl {
public:
    TSpeedButton();

    VIGREL_PUBLISHED_CLASS();

    // The bytes of a BMP file (24 bits expected; every depth ui/BmpCodec.h reads is accepted), or
    // none for no glyph.
    const std::vector<std::uint8_t>& Glyph() const { return glyph_; }
    // Decodes `bytes` and repaints. Bytes that do not decode throw BmpError, and a glyph too large
    // for a bitmap std::invalid_argument; either way the previous glyph stays.
    void SetGlyph(const std::vector<std::uint8_t>& bytes);

    bool Flat() const { return flat_; }
    // A button that is not flat is opaque: it paints its own face in the button-face colour.
    void SetFlat(bool flat);

    // What the button draws now; it repaints exactly when this changes.
    TButtonLook Look() const { return look_; }

    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arPushButton; }
    bool HasDefaultAction() const override { return true; }

protected:
    void Paint(TCanvas& canvas) override;
    // Follows the mouse (enter, leave, press, moves while pressed, release, cancel) before the base
    // handling, which raises the click last. The default action clicks.
    void WndProc(TMessage& message) override;

private:
    // The glyph split for transparent drawing: `image` with its transparent pixels black, and
    // `mask` white exactly there and black elsewhere.
    struct Parts {
        TBitmap image;
        TBitmap mask;
    };

    TButtonLook CurrentLook() const;
    void UpdateLook();
    void DrawGlyph(TCanvas& canvas, int x, int y) const;

    std::vector<std::uint8_t> glyph_;
    std::unique_ptr<Parts> parts_; // null without a glyph
    bool flat_ = false;
    bool hovered_ = false;
    bool pressed_ = false;
    bool inside_ = false; // while pressed: whether the mouse is over the button
    TButtonLook look_ = TButtonLook::blRaised;
};

} // namespace vigrel
