// A fixed drop-down list, a window of the system's ComboBox class in which nothing can be typed:
// the author picks one of Items. The shown text is read back from the window (CB_GETLBTEXT).
#pragma once

#include "ui/WinControl.h"

#include <functional>
#include <vector>

namespace vigrel {

class TComboBox : public TWinControl {
public:
    TComboBox();

    VIGREL_PUBLISHED_CLASS();

    // UTF-8.
    const std::vector<std::string>& Items() const { return items_; }
    void SetItems(std::vector<std::string> items);
    // The selected item, -1 for none. Outside -1..Items().size()-1 throws std::out_of_range
    // (checked when loading ends for a value read from a form resource).
    int ItemIndex() const;
    void SetItemIndex(int index);
    // The height of one item of the dropped list, and of the closed box's text line.
    int ItemHeight() const { return itemHeight_; }
    void SetItemHeight(int height);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int count) { dropDownCount_ = count; }

    // The text the box shows: the selected item, or empty.
    std::string Text() const override;
    // Selects the item equal to `text`, or none.
    void SetText(std::string text) override;

    // The author picked another item.
    std::function<void(TComponent& sender)> OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void WndProc(TMessage& message) override;
    void Loaded() override;

private:
    void CheckIndex(int index) const;
    void FitHeight();

    std::vector<std::string> items_;
    int itemIndex_ = -1;
    int itemHeight_ = 13;
    int dropDownCount_ = 8;
};

} // namespace vigrel
