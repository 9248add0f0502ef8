// A panel: a windowed container of the library's own class with an outer and an inner bevel,
// hosting windowless and windowed controls, whose positions are relative to the panel's window.
#pragma once

#include "ui/WinControl.h"

namespace vigrel {

enum class TPanelBevel : std::uint8_t { bvNone, bvLowered, bvRaised };

class TPanel : public TWinControl {
public:
    VIGREL_PUBLISHED_CLASS();

    TPanelBevel BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TPanelBevel bevel);
    TPanelBevel BevelInner() const { return bevelInner_; }
    void SetBevelInner(TPanelBevel bevel);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);

protected:
    void CreateParams(TCreateParams& params) override;
    void PaintWindow(TCanvas& canvas) override;

private:
    TPanelBevel bevelOuter_ = TPanelBevel::bvRaised;
    TPanelBevel bevelInner_ = TPanelBevel::bvNone;
    int bevelWidth_ = 1;
};

} // namespace vigrel
