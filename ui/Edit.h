// Single-line edit boxes, windows of the system's Edit class, so clipboard, input methods and
// the keyboard behave as users expect. The text scrolls horizontally, so a text longer than the
// box is typed and read back whole. TLabeledEdit adds a caption label placed above the box.
#pragma once

#include "ui/Label.h"
#include "ui/WinControl.h"

#include <functional>

namespace vigrel {

enum class TEditBorder : std::uint8_t {
    ebSunken, // the system's sunken 3-D border
    ebTiled,  // a thin etched bevel drawn in the box's own frame
};

class TEdit : public TWinControl {
public:
    TEdit();

    VIGREL_PUBLISHED_CLASS();

    // The text as it stands in the box now (UTF-8).
    using TWinControl::SetText;
    using TWinControl::Text;

    TEditBorder Border() const { return border_; }
    void SetBorder(TEditBorder border);

    // Told of every key pressed in the box before the box takes it (`alt`: held with Alt, a
    // system key); a handler that sets `key` to 0 keeps the key from the box.
    std::function<void(TComponent& sender, WORD& key, bool alt)> OnKeyDown;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;

private:
    void FrameChanged();

    TEditBorder border_ = TEditBorder::ebSunken;
};

class TLabeledEdit;

// The caption of a TLabeledEdit: a transparent label on the edit box's parent that keeps its
// place 3 pixels above the box, left-aligned with it.
class TBoundLabel : public TLabel {
public:
    explicit TBoundLabel(TLabeledEdit& edit);

    VIGREL_PUBLISHED_CLASS();

protected:
    void AdjustBounds() override;
    // A new caption names the box anew for screen readers.
    void WndProc(TMessage& message) override;

private:
    TLabeledEdit& edit_;
};

class TLabeledEdit : public TEdit {
public:
    TLabeledEdit();

    VIGREL_PUBLISHED_CLASS();

    // The gap between the caption's bottom and the box's top.
    static constexpr int LabelSpacing = 3;

    void SetBounds(int left, int top, int width, int height) override;
    void SetParent(ControlParent* parent) override;
    void SetVisible(bool visible) override;
    // Puts the caption in its place above the box.
    void PlaceLabel();
    // The caption's text names the box for screen readers.
    std::string AccessibleCaption() const override { return EditLabel.Caption(); }

    TBoundLabel EditLabel;
};

} // namespace vigrel
