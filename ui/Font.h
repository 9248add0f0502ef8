// Fonts of the toolkit: TFont describes one (name, height, colour, style, character set) and
// hands out a GDI font for it. GDI fonts come from a cache shared by every TFont of the same
// description and are deleted with their last user, so a form of forty controls with two faces
// holds two font objects.
#pragma once

#include "ui/Colors.h"
#include "ui/Component.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vigrel {

enum TFontStyle : std::uint32_t {
    fsBold = 1 << 0,
    fsItalic = 1 << 1,
    fsUnderline = 1 << 2,
    fsStrikeOut = 1 << 3,
};

// A GDI font that the cache owns; it stays valid while a SharedFont to it lives.
class CachedFont;
using SharedFont = std::shared_ptr<const CachedFont>;

class TFont : public TPersistent {
public:
    TFont() = default;

    VIGREL_PUBLISHED_CLASS();

    // UTF-8.
    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    // As for CreateFont: negative is the character height in pixels, positive the cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    std::uint32_t Style() const { return style_; }
    void SetStyle(std::uint32_t style);
    int Charset() const { return charset_; }
    void SetCharset(int charset);

    // Takes every value of `other`, telling OnChange once when anything changed.
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;

    // The GDI font for the current description (the colour is not part of it). Throws
    // std::runtime_error when the system cannot create it.
    HFONT Handle() const;

    // Whether a form resource stores the values: the control keeps this false while its font
    // follows its parent's.
    bool Stored() const { return stored_; }
    void SetStored(bool stored) { stored_ = stored; }

    // Called after every change.
    std::function<void()> OnChange;

private:
    void Changed();

    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TColor color_ = clWindowText;
    std::uint32_t style_ = 0;
    int charset_ = DEFAULT_CHARSET;
    bool stored_ = true;
    mutable SharedFont handle_;
};

} // namespace vigrel
