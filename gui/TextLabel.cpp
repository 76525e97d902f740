#include "gui/TextLabel.h"

namespace gui {

TextLabel::TextLabel() {
    SetHitArea(0, 0, 0, 0);
}

void TextLabel::Draw(Painter& painter, int x, int y) {
    if (text_.empty()) return;
    const int tx = x + dx_, ty = y + dy_;
    const std::uint32_t colour = IsEnabled() ? colour_ : skin::kTextDisabled;
    if (style_ == label_style::kOutline) {
        static constexpr int kAround[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& d : kAround)
            painter.Text(font_, text_, tx + d[0], ty + d[1], Width(), Height(), flags_, second_);
        painter.Text(font_, text_, tx, ty, Width(), Height(), flags_, colour);
        return;
    }
    painter.Text(font_, text_, tx, ty, Width(), Height(), flags_, colour,
                 style_ == label_style::kShadow ? second_ : 0);
}

}  // namespace gui
