#pragma once
// A drop-down choice: a header showing the chosen item and, while open, the list of items below
// it (above it where the screen ends first). The open list holds the mouse: a click on an item chooses it
// (reported to the parent with its index), a click anywhere else closes the list. The list is drawn with the
// overlays, above every widget of the screen, and is opaque. A list of more items than its rows shows a
// scroll bar at its right edge (a press or a drag on it scrolls, as the wheel does) and opens on its first
// rows when they hold the chosen item, else with the chosen item on its last row.

#include <vector>

#include "gui/Widget.h"

namespace gui {

class ComboBox : public Widget {
public:
    static constexpr int kMaxVisibleRows = 10;
    static constexpr int kScrollBarWidth = 12;

    ~ComboBox() override;

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
    // One list is open at a time (the toolkit's drop-down pointer names it); an empty one never opens.
    bool IsOpen() const { return GetGuiState().dropDown == this; }
    void Open(bool open);
    // Draws the open list at its place on the screen, below or above the header (the overlay pass).
    void DrawList(Painter& painter);
    // The item on the open list's top row, and whether the list shows a scroll bar (more items than rows).
    int FirstShownItem() const { return firstRow_; }
    bool HasScrollBar() const { return ItemCount() > RowsShown(); }

    void Draw(Painter& painter, int x, int y) override;
    bool OnMouse(const MouseEvent& event) override;
    void OnHide() override { Open(false); }
    // Hidden with a parent, disabled or destroyed: the list closes with the capture.
    void ReleaseFocus() override;

private:
    int RowsShown() const;
    // Offset of the list's top from the header's.
    int ListTop() const;
    int ThumbHeight() const;
    // Scrolls the list so that the scroll bar's thumb centres on `listY` (pixels from the list's top).
    void ScrollTo(int listY);
    std::vector<WString> items_;
    int selected_ = -1;
    int firstRow_ = 0;
    bool dragging_ = false;  // the scroll bar's thumb follows the pointer until the button comes up
    FontDesc font_ = kFont12;
    UiImage listImage_;
};

}  // namespace gui
