#include "ui/Font.h"

#include "ui/Published.h"
#include "ui/WideText.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string_view>
#include <tuple>
#include <utility>

namespace vigrel {

class CachedFont {
public:
    CachedFont() = default;
    CachedFont(const CachedFont&) = delete;
    CachedFont& operator=(const CachedFont&) = delete;
    ~CachedFont() {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
    }
    // Makes the GDI font; throws std::runtime_error when the system refuses it.
    void Create(const LOGFONTW& description) {
        font_ = CreateFontIndirectW(&description);
        if (font_ == nullptr) {
            throw std::runtime_error("cannot create a font");
        }
    }
    // Makes the GDI font anew for another description; the one there is stays where the system
    // refuses it.
    void Recreate(const LOGFONTW& description) {
        if (const HFONT replacement = CreateFontIndirectW(&description)) {
            DeleteObject(std::exchange(font_, replacement));
        }
    }
    HFONT Get() const { return font_; }

private:
    HFONT font_ = nullptr; // owned
};

namespace {

// The classic dialog face is a bitmap face: it comes in fixed sizes per code page and per DPI.
// Where the system does not realise that very face with the character set and the letter height
// asked for (a Western system's lacks Cyrillic and the font mapper takes another face; a set made
// for 120 dpi has 13-pixel letters), the system's logical dialog face takes its place at the same
// height: Windows maps it to its own outline dialog face for the locale.
constexpr wchar_t ClassicDialogFace[] = L"MS Sans Serif";
constexpr wchar_t LogicalDialogFace[] = L"MS Shell Dlg";

// Whether the system realised `font` as `asked` describes it: that face, that character set, and
// for a negative height that letter height. With nothing to measure by, the font stays as asked.
bool RealisedAsAsked(HFONT font, const LOGFONTW& asked) {
    const HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) {
        return true;
    }
    const HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    TEXTMETRICW metrics{};
    const bool measured = previous != nullptr && GetTextFaceW(dc, LF_FACESIZE, face) > 0 &&
                          GetTextMetricsW(dc, &metrics) != FALSE;
    if (previous != nullptr) {
        SelectObject(dc, previous);
    }
    DeleteDC(dc);
    if (!measured) {
        return true;
    }
    return lstrcmpiW(face, asked.lfFaceName) == 0 &&
           (asked.lfCharSet == DEFAULT_CHARSET || metrics.tmCharSet == asked.lfCharSet) &&
           (asked.lfHeight >= 0 || metrics.tmHeight - metrics.tmInternalLeading == -asked.lfHeight);
}

using FontKey = std::tuple<std::string, int, std::uint32_t, int>;

std::map<FontKey, std::weak_ptr<const CachedFont>>& Cache() {
    static std::map<FontKey, std::weak_ptr<const CachedFont>> cache;
    return cache;
}

SharedFont FindOrCreate(const FontKey& key) {
    auto& cache = Cache();
    if (const auto found = cache.find(key); found != cache.end()) {
        if (SharedFont font = found->second.lock()) {
            return font;
        }
    }
    const auto& [name, height, style, charset] = key;
    LOGFONTW description{};
    description.lfHeight = height;
    description.lfWeight = (style & fsBold) != 0 ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & fsItalic) != 0;
    description.lfUnderline = (style & fsUnderline) != 0;
    description.lfStrikeOut = (style & fsStrikeOut) != 0;
    description.lfCharSet = static_cast<BYTE>(charset);
    // An outline font of the face where there is one: a bitmap face comes in fixed sizes per
    // code page and per DPI (at 120 DPI MS Sans Serif's letters are 13 pixels, not the 11 a
    // layout is made for), and only in the system's code page, so a charset of another code page
    // also needs a face that has it.
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::wstring face = ToWide(name);
    face.copy(description.lfFaceName, LF_FACESIZE - 1);
    // The deleter also drops the cache entry, so the map never grows past the fonts in use.
    // Whatever can fail for want of memory comes before the GDI font, which then always has an
    // owner: a failure anywhere gives it back and leaves no entry.
    const auto deleter = [key](const CachedFont* dying) {
        Cache().erase(key);
        delete dying;
    };
    std::weak_ptr<const CachedFont>& entry = cache[key];
    const std::shared_ptr<CachedFont> font(new CachedFont, deleter);
    font->Create(description);
    if (lstrcmpiW(description.lfFaceName, ClassicDialogFace) == 0 &&
        !RealisedAsAsked(font->Get(), description)) {
        std::fill(std::begin(description.lfFaceName), std::end(description.lfFaceName), L'\0');
        std::wstring_view(LogicalDialogFace).copy(description.lfFaceName, LF_FACESIZE - 1);
        font->Recreate(description);
    }
    entry = font;
    return font;
}

} // namespace

const ClassInfo& TFont::StaticClass() {
    const auto stored = [](auto read, auto defaultValue) {
        return [read, defaultValue](const TFont& font) {
            return font.Stored() && (font.*read)() != defaultValue;
        };
    };
    static const ClassInfo info =
        ClassBuilder<TFont>("TFont")
            .Text("Name", &TFont::Name, &TFont::SetName, "MS Sans Serif")
            .StoredWhen(stored(&TFont::Name, std::string("MS Sans Serif")))
            .Integer("Height", &TFont::Height, &TFont::SetHeight, -11, -1000, 1000)
            .StoredWhen(stored(&TFont::Height, -11))
            .Color("Color", &TFont::Color, &TFont::SetColor, clWindowText)
            .StoredWhen(stored(&TFont::Color, clWindowText))
            .Set("Style", &TFont::Style, &TFont::SetStyle, 0,
                 {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"})
            .StoredWhen(stored(&TFont::Style, std::uint32_t{0}))
            .Integer("Charset", &TFont::Charset, &TFont::SetCharset, DEFAULT_CHARSET, 0, 255)
            .StoredWhen(stored(&TFont::Charset, int{DEFAULT_CHARSET}));
    return info;
}

void TFont::SetName(std::string name) {
    if (name != name_) {
        name_ = std::move(name);
        Changed();
    }
}

void TFont::SetHeight(int height) {
    if (height != height_) {
        height_ = height;
        Changed();
    }
}

void TFont::SetColor(TColor color) {
    if (color != color_) {
        color_ = color;
        Changed();
    }
}

void TFont::SetStyle(std::uint32_t style) {
    if (style != style_) {
        style_ = style;
        Changed();
    }
}

void TFont::SetCharset(int charset) {
    if (charset != charset_) {
        charset_ = charset;
        Changed();
    }
}

bool TFont::SameAs(const TFont& other) const {
    return name_ == other.name_ && height_ == other.height_ && color_ == other.color_ &&
           style_ == other.style_ && charset_ == other.charset_;
}

void TFont::Assign(const TFont& other) {
    if (SameAs(other)) {
        return;
    }
    name_ = other.name_;
    height_ = other.height_;
    color_ = other.color_;
    style_ = other.style_;
    charset_ = other.charset_;
    Changed();
}

HFONT TFont::Handle() const {
    if (handle_ == nullptr) {
        handle_ = FindOrCreate({name_, height_, style_, charset_});
    }
    return handle_->Get();
}

void TFont::Changed() {
    handle_.reset();
    if (OnChange) {
        OnChange();
    }
}

} // namespace vigrel
