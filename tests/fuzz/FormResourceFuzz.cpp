// Form resources from arbitrary bytes. Text the parser accepts must write back to text that
// parses to the same data and writes back unchanged. Accepted data is then loaded into
// components: the loader must either refuse it with a SourceError (leaving nothing behind, which
// the sanitizers check) or build components whose written resource loads and writes back
// unchanged.
#include "tools/forms/ComponentWriter.h"
#include "tools/forms/FormWriter.h"
#include "ui/FormLoader.h"
#include "ui/FormResource.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace vigrel;

class TFuzzFont : public TPersistent {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TFuzzFont>("TFuzzFont")
                .Text("Name", &TFuzzFont::name, &TFuzzFont::name, "MS Sans Serif")
                .Integer("Height", &TFuzzFont::height, &TFuzzFont::height, -11)
                .Set("Style", &TFuzzFont::style, &TFuzzFont::style, 0,
                     {"fsBold", "fsItalic", "fsUnderline"});
        return info;
    }

    std::string name = "MS Sans Serif";
    int height = -11;
    std::uint32_t style = 0;
};

enum class TFuzzKind : std::uint8_t { fkOne, fkTwo, fkThree };

class TFuzz : public TComponent {
public:
    VIGREL_PUBLISHED_CLASS() {
        static const ClassInfo info =
            ClassBuilder<TFuzz>("TFuzz", TComponent::StaticClass())
                .Integer("Left", &TFuzz::left, &TFuzz::left, 0, -1000, 1000)
                .Boolean("Visible", &TFuzz::visible, &TFuzz::visible, true)
                .Text("Caption", &TFuzz::caption, &TFuzz::caption)
                .Enumeration("Kind", &TFuzz::kind, &TFuzz::kind, TFuzzKind::fkOne,
                             VIGREL_ENUM_NAMES(TFuzzKind, fkOne, fkTwo, fkThree))
                .Color("Color", &TFuzz::color, &TFuzz::color, clBtnFace)
                .StoredWhen([](const TFuzz& f) { return f.visible && f.color != clBtnFace; })
                .Strings("Items", &TFuzz::items, &TFuzz::items)
                .Binary("Glyph", &TFuzz::glyph, &TFuzz::glyph)
                .Record("Font", &TFuzz::font);
        return info;
    }

    TComponent* GetParentComponent() const override { return parent_; }

    int left = 0;
    bool visible = true;
    std::string caption;
    TFuzzKind kind = TFuzzKind::fkOne;
    TColor color = clBtnFace;
    std::vector<std::string> items;
    std::vector<std::uint8_t> glyph;
    TFuzzFont font;

protected:
    void SetParentComponent(TComponent* parent) override { parent_ = parent; }

private:
    TComponent* parent_ = nullptr;
};

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

void CheckLoader(const FormObject& form) {
    static const ClassRegistry registry{&TFuzz::StaticClass()};
    TFuzz root;
    try {
        ReadComponent(root, form, registry);
    } catch (const SourceError&) {
        Require(root.ComponentCount() == 0);
        return;
    }
    const std::string written = WriteComponentResource(root);
    TFuzz again;
    ReadComponentResource(again, written, registry);
    Require(WriteComponentResource(again) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    FormObject form;
    try {
        form = ParseForm(text);
    } catch (const SourceError&) {
        return 0;
    }
    const std::string written = WriteForm(form);
    const FormObject reread = ParseForm(written);
    Require(reread == form);
    Require(WriteForm(reread) == written);
    CheckLoader(form);
    return 0;
}
