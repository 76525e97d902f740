#include "gui/ComboBox.h"

#include <algorithm>

#include "platform/window/WindowCodes.h"

namespace gui {

void ComboBox::CreateItems(int count) {
    items_.clear();
    items_.reserve(static_cast<std::size_t>(std::max(0, count)));
    selected_ = -1;
    firstRow_ = 0;
}

const WString& ComboBox::Item(int index) const {
    static const WString kNone;
    if (index < 0 || index >= ItemCount()) return kNone;
    return items_[static_cast<std::size_t>(index)];
}

void ComboBox::Select(int index) {
    selected_ = index >= 0 && index < ItemCount() ? index : -1;
}

int ComboBox::RowsShown() const {
    return std::min(ItemCount(), kMaxVisibleRows);
}

void ComboBox::Open(bool open) {
    if (open == open_) return;
    open_ = open && ItemCount() > 0;
    if (open_) {
        firstRow_ = std::clamp(selected_, 0, std::max(0, ItemCount() - RowsShown()));
        BringToFront();
    }
    SetCapture(open_);
}

void ComboBox::Draw(Painter& painter, int x, int y) {
    const int h = Height();
    if (!painter.Image(Image(), x, y, Width(), h)) {
        painter.Fill(x, y, Width(), h, skin::kEdit);
        painter.Border(x, y, Width(), h, skin::kPanelBorder);
        painter.Bevel(x + Width() - h, y, h, h,
                      State() == WidgetState::Hover ? skin::kButtonHover : skin::kButton);
        painter.Text(kFont10, u"\u25BC", x + Width() - h, y, h, h, align::kCenter | align::kVCenter,
                     skin::kText);
    }
    painter.Text(font_, SelectedText(), x + 4, y, Width() - h - 4, h, align::kVCenter,
                 IsEnabled() ? skin::kText : skin::kTextDisabled);
    if (!open_) return;
    const int rows = RowsShown();
    const int top = y + h;
    if (!painter.Image(listImage_, x, top, Width(), rows * h)) {
        painter.Fill(x, top, Width(), rows * h, skin::kPanel);
        painter.Border(x, top, Width(), rows * h, skin::kPanelBorder);
    }
    const int hover = GetGuiState().mouseY - ScreenY() - h;
    for (int r = 0; r < rows; ++r) {
        const int index = firstRow_ + r;
        if (index == selected_ || (hover >= r * h && hover < (r + 1) * h))
            painter.Fill(x + 1, top + r * h, Width() - 2, h,
                         index == selected_ ? skin::kButtonPressed : skin::kButton);
        painter.Text(font_, Item(index), x + 4, top + r * h, Width() - 8, h, align::kVCenter, skin::kText);
    }
}

bool ComboBox::OnMouse(const MouseEvent& event) {
    const int h = Height();
    switch (event.message) {
        case platform::kWmLButtonDown:
        case platform::kWmLButtonDblClk: {
            if (!open_) {
                Open(true);
                return true;
            }
            const int row = event.y >= h ? (event.y - h) / h : -1;
            const bool inList = event.x >= 0 && event.x < Width() && row >= 0 && row < RowsShown();
            Open(false);
            if (inList) {
                Select(firstRow_ + row);
                Notify(selected_);
            }
            return true;
        }
        case platform::kWmMouseWheel:
            if (open_) {
                const int step = event.wheel > 0 ? -1 : 1;
                firstRow_ = std::clamp(firstRow_ + step, 0, std::max(0, ItemCount() - RowsShown()));
            }
            return true;
        default:
            return open_ || event.message == platform::kWmLButtonUp;
    }
}

}  // namespace gui
