#include "gui/ComboBox.h"

#include <algorithm>

#include "platform/window/WindowCodes.h"

namespace gui {

namespace {
// The list is drawn over whatever lies below it, so it is never translucent.
constexpr std::uint32_t kListFace = 0xFF223047;
}  // namespace

ComboBox::~ComboBox() {
    ComboBox::ReleaseFocus();
}

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

int ComboBox::ThumbHeight() const {
    const int span = RowsShown() * Height();
    return std::max(Height() / 2, span * RowsShown() / std::max(1, ItemCount()));
}

void ComboBox::ScrollTo(int listY) {
    const int range = ItemCount() - RowsShown();
    const int travel = RowsShown() * Height() - ThumbHeight();
    if (range <= 0 || travel <= 0) return;
    const int offset = std::clamp(listY - ThumbHeight() / 2, 0, travel);
    firstRow_ = (offset * range + travel / 2) / travel;
}

int ComboBox::ListTop() const {
    const int h = Height(), listHeight = RowsShown() * h;
    // Below the header, or above it where the screen ends first and there is more room above.
    const int below = GetGuiState().screenHeight - (ScreenY() + h);
    return below < listHeight && ScreenY() > below ? -listHeight : h;
}

void ComboBox::Open(bool open) {
    GuiState& state = GetGuiState();
    if (open && ItemCount() > 0) {
        if (state.dropDown && state.dropDown != this) state.dropDown->Open(false);
        firstRow_ = std::max(0, selected_ - RowsShown() + 1);
        state.dropDown = this;
        SetCapture(true);
        return;
    }
    if (state.dropDown == this) state.dropDown = nullptr;
    dragging_ = false;
    SetCapture(false);
}

void ComboBox::ReleaseFocus() {
    GuiState& state = GetGuiState();
    if (state.dropDown == this) state.dropDown = nullptr;
    Widget::ReleaseFocus();
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
}

void ComboBox::DrawList(Painter& painter) {
    if (!IsOpen()) return;
    const int x = ScreenX(), h = Height();
    const int rows = RowsShown();
    const int top = ScreenY() + ListTop();
    painter.Fill(x, top, Width(), rows * h, kListFace);
    painter.Image(listImage_, x, top, Width(), rows * h);
    const int rowWidth = Width() - (HasScrollBar() ? kScrollBarWidth : 0);
    const int hover = GetGuiState().mouseY - top;
    const bool inside = GetGuiState().mouseX >= x && GetGuiState().mouseX < x + rowWidth;
    for (int r = 0; r < rows; ++r) {
        const int index = firstRow_ + r;
        if (index == selected_ || (inside && hover >= r * h && hover < (r + 1) * h))
            painter.Fill(x + 1, top + r * h, rowWidth - 2, h,
                         index == selected_ ? skin::kButtonPressed : skin::kButton);
        painter.Text(font_, Item(index), x + 4, top + r * h, rowWidth - 8, h, align::kVCenter, skin::kText);
    }
    if (HasScrollBar()) {
        const int barX = x + rowWidth, span = rows * h, thumb = ThumbHeight();
        const int range = ItemCount() - rows;
        painter.Fill(barX, top, kScrollBarWidth, span, skin::kTrack);
        painter.Bevel(barX + 1, top + (span - thumb) * firstRow_ / range, kScrollBarWidth - 2, thumb,
                      dragging_ ? skin::kButtonHover : skin::kButton);
    }
    painter.Border(x, top, Width(), rows * h, skin::kPanelBorder);
}

bool ComboBox::OnMouse(const MouseEvent& event) {
    const int h = Height();
    switch (event.message) {
        case platform::kWmLButtonDown:
        case platform::kWmLButtonDblClk: {
            if (!IsOpen()) {
                Open(true);
                return true;
            }
            const int listY = event.y - ListTop();
            const int row = listY >= 0 ? listY / h : -1;
            const bool inList = event.x >= 0 && event.x < Width() && row >= 0 && row < RowsShown();
            if (inList && HasScrollBar() && event.x >= Width() - kScrollBarWidth) {
                dragging_ = true;
                ScrollTo(listY);
                return true;
            }
            Open(false);
            if (inList) {
                Select(firstRow_ + row);
                Notify(selected_);
            }
            return true;
        }
        case platform::kWmMouseWheel:
            if (IsOpen()) {
                const int step = event.wheel > 0 ? -1 : 1;
                firstRow_ = std::clamp(firstRow_ + step, 0, std::max(0, ItemCount() - RowsShown()));
            }
            return true;
        case platform::kWmMouseMove:
            if (dragging_) ScrollTo(event.y - ListTop());
            return IsOpen();
        case platform::kWmLButtonUp:
            dragging_ = false;
            return true;
        default:
            return IsOpen();
    }
}

}  // namespace gui
