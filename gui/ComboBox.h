#pragma once
// A drop-down choice: a header showing the chosen item and, while open, the list of items below
// it. The open list holds the mouse: a click on an item chooses it (reported to the parent with
// its index), a click anywhere else closes the list.

#include <vector>

#include "gui/Widget.h"

namespace gui {

class ComboBox : public Widget {
public:
    static constexpr int kMaxVisibleRows = 10;

    // Clears the items and makes room for `count`.
    void CreateItems(int count);
    void AddItem(const WString& text) { items_.push_back(text); }
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const WString& Item(int index) const;
    // Chooses the item without a report; the header shows its text. Out of range: no choice.
    void Select(int index);
    int Selected() const { return selected_; }
    const WString& SelectedText() const { return Item(selected_); }
    void SetFont(const FontDesc& font) { font_ = font; }
    void SetListImage(const UiImage& image) { listImage_ = image; }
    bool IsOpen() const { return open_; }
    void Open(bool open);

    void Draw(Painter& painter, int x, int y) override;
    bool OnMouse(const MouseEvent& event) override;
    void OnHide() override { Open(false); }

private:
    int RowsShown() const;
    std::vector<WString> items_;
    int selected_ = -1;
    int firstRow_ = 0;
    bool open_ = false;
    FontDesc font_ = kFont12;
    UiImage listImage_;
};

}  // namespace gui
