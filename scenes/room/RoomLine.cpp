#include "scenes/room/RoomLine.h"

#include <algorithm>
#include <cmath>

#include "gui/FontDesc.h"
#include "gui/Painter.h"
#include "gui/TextLabel.h"

namespace scenes::room {

void FitRoomLine(gui::TextLabel& kind, gui::TextLabel& title, gui::TextLabel& count, gui::Widget& lock,
                 int kindX, int titleX, int countX, int lockX) {
    const auto widthOf = [](const gui::TextLabel& label) {
        return gui::MeasureTextWidth(label.Font(), label.Text());
    };
    const int kindWidth = std::max(kind.Width(), widthOf(kind));
    kind.SetRect(kindX, kind.Y(), kindWidth, kind.Height());

    const int titleLeft = std::max(titleX, kindX + widthOf(kind) + kRoomLineGap);
    const int titleWidth = std::max(0, countX - kRoomLineGap - titleLeft);
    title.SetRect(titleLeft, title.Y(), titleWidth, title.Height());
    title.SetPlainText(gui::FitTextToWidth(title.Font(), title.Text(), titleWidth));

    const int countWidth = std::max(count.Width(), widthOf(count));
    count.SetRect(countX, count.Y(), countWidth, count.Height());
    lock.MoveTo(std::max(lockX, countX + widthOf(count) + 2), lock.Y());
}

void CoinMark::Draw(gui::Painter& painter, int x, int y) {
    constexpr std::uint32_t kRim = 0xFFA06A20, kFace = 0xFFE0B050;
    constexpr float kRadius = kDiameter / 2.0f;
    const int left = x + (Width() - kDiameter) / 2, top = y + (Height() - kDiameter) / 2;
    // Row by row: the rim's span, the face's inside it; a bar down the middle is the coin's stamp.
    for (int row = 0; row < kDiameter; ++row) {
        const float dy = static_cast<float>(row) + 0.5f - kRadius;
        for (const auto& [radius, argb] : {std::pair{kRadius, kRim}, std::pair{kRadius - 2.0f, kFace}}) {
            if (radius * radius <= dy * dy) continue;
            const int half = static_cast<int>(std::lround(std::sqrt(radius * radius - dy * dy)));
            painter.Fill(left + kDiameter / 2 - half, top + row, 2 * half, 1, argb);
        }
    }
    painter.Fill(left + kDiameter / 2 - 1, top + 5, 2, kDiameter - 10, kRim);
}

}  // namespace scenes::room
