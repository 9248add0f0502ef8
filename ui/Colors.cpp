#include "ui/Colors.h"

#include <array>

namespace vigrel {
namespace {

struct ColorName {
    TColor color;
    std::string_view name;
};

constexpr std::array ColorNames{
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
    for (const ColorName& entry : ColorNames) {
        if (entry.name == name) {
            return entry.color;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> ColorToIdent(TColor color) {
    for (const ColorName& entry : ColorNames) {
        if (entry.color == color) {
            return entry.name;
        }
    }
    return std::nullopt;
}

} // namespace vigrel
