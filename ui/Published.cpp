#include "ui/Published.h"

#include <algorithm>
#include <array>

namespace vigrel {
namespace {

struct ColorName {
    TColor color;
    std::string_view name;
};

constexpr std::array colorNames{
    ColorName{clBlack, "clBlack"},
    ColorName{clMaroon, "clMaroon"},
    ColorName{clGreen, "clGreen"},
    ColorName{clOlive, "clOlive"},
    ColorName{clNavy, "clNavy"},
    ColorName{clPurple, "clPurple"},
    ColorName{clTeal, "clTeal"},
    ColorName{clGray, "clGray"},
    ColorName{clSilver, "clSilver"},
    ColorName{clRed, "clRed"},
    ColorName{clLime, "clLime"},
    ColorName{clYellow, "clYellow"},
    ColorName{clBlue, "clBlue"},
    ColorName{clFuchsia, "clFuchsia"},
    ColorName{clAqua, "clAqua"},
    ColorName{clWhite, "clWhite"},
    ColorName{clMoneyGreen, "clMoneyGreen"},
    ColorName{clSkyBlue, "clSkyBlue"},
    ColorName{clCream, "clCream"},
    ColorName{clMedGray, "clMedGray"},
    ColorName{clScrollBar, "clScrollBar"},
    ColorName{clBackground, "clBackground"},
    ColorName{clActiveCaption, "clActiveCaption"},
    ColorName{clInactiveCaption, "clInactiveCaption"},
    ColorName{clMenu, "clMenu"},
    ColorName{clWindow, "clWindow"},
    ColorName{clWindowFrame, "clWindowFrame"},
    ColorName{clMenuText, "clMenuText"},
    ColorName{clWindowText, "clWindowText"},
    ColorName{clCaptionText, "clCaptionText"},
    ColorName{clActiveBorder, "clActiveBorder"},
    ColorName{clInactiveBorder, "clInactiveBorder"},
    ColorName{clAppWorkSpace, "clAppWorkSpace"},
    ColorName{clHighlight, "clHighlight"},
    ColorName{clHighlightText, "clHighlightText"},
    ColorName{clBtnFace, "clBtnFace"},
    ColorName{clBtnShadow, "clBtnShadow"},
    ColorName{clGrayText, "clGrayText"},
    ColorName{clBtnText, "clBtnText"},
    ColorName{clInactiveCaptionText, "clInactiveCaptionText"},
    ColorName{clBtnHighlight, "clBtnHighlight"},
    ColorName{cl3DDkShadow, "cl3DDkShadow"},
    ColorName{cl3DLight, "cl3DLight"},
    ColorName{clInfoText, "clInfoText"},
    ColorName{clInfoBk, "clInfoBk"},
    ColorName{clHotLight, "clHotLight"},
    ColorName{clGradientActiveCaption, "clGradientActiveCaption"},
    ColorName{clGradientInactiveCaption, "clGradientInactiveCaption"},
};

} // namespace

std::optional<TColor> IdentToColor(std::string_view name) {
    for (const ColorName& entry : colorNames) {
        if (entry.name == name) {
            return entry.color;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> ColorToIdent(TColor color) {
    for (const ColorName& entry : colorNames) {
        if (entry.color == color) {
            return entry.name;
        }
    }
    return std::nullopt;
}

const PropertyInfo* ClassInfo::FindProperty(std::string_view name) const {
    const auto it = std::find_if(properties_.begin(), properties_.end(),
                                 [&](const PropertyInfo& info) { return info.name == name; });
    return it == properties_.end() ? nullptr : &*it;
}

ClassRegistry::ClassRegistry(std::initializer_list<const ClassInfo*> classes) {
    for (const ClassInfo* info : classes) {
        Register(*info);
    }
}

void ClassRegistry::Register(const ClassInfo& info) {
    if (!info.CanCreate()) {
        throw std::invalid_argument("class " + info.Name() + " cannot be created");
    }
    const ClassInfo* known = Find(info.Name());
    if (known == &info) {
        return;
    }
    if (known != nullptr) {
        throw std::invalid_argument("another class is already registered as " + info.Name());
    }
    classes_.push_back(&info);
}

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
    const auto it = std::find_if(classes_.begin(), classes_.end(),
                                 [&](const ClassInfo* info) { return info->Name() == name; });
    return it == classes_.end() ? nullptr : *it;
}

// Defined here rather than beside TComponent, so that the component root does not include the
// property descriptions built on it.
const ClassInfo& TComponent::StaticClass() {
    static const ClassInfo info = ClassBuilder<TComponent>("TComponent");
    return info;
}

} // namespace vigrel
