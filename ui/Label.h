// A windowless text label: its caption (UTF-8, lines broken at CR LF) drawn in its font, on its
// own background colour or, when transparent, over whatever its parent paints beneath it. With
// AutoSize (the default) it takes the size of its text whenever the text or the font changes.
#pragma once

#include "ui/Control.h"

namespace vigrel {

class TLabel : public TGraphicControl {
public:
    TLabel();

    VIGREL_PUBLISHED_CLASS();

    std::string Caption() const { return Text(); }
    void SetCaption(std::string caption) { SetText(std::move(caption)); }

    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // The background when not transparent.
    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The size the caption takes in the current font.
    SIZE TextExtent() const;

    // The name of the windowed control this label captions, on the same owner, or empty. When
    // loading ends, the control takes the caption as the name a screen reader gives it.
    const std::string& FocusControl() const { return focusControl_; }
    void SetFocusControl(std::string name) { focusControl_ = std::move(name); }

    TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arStaticText; }

protected:
    void WndProc(TMessage& message) override;
    void Paint(TCanvas& canvas) override;
    // The text's colour while the system's high-contrast mode is on: button text, the colour of
    // text on the button face the label's parent shows then.
    virtual TColor HighContrastTextColor() const { return clBtnText; }
    void Loaded() override;
    // Sizes the label to its text when AutoSize is on; nothing while loading.
    virtual void AdjustBounds();

private:
    bool autoSize_ = true;
    bool transparent_ = false;
    TColor color_ = clBtnFace;
    std::string focusControl_;
};

} // namespace vigrel
