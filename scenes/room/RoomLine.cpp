#include "scenes/room/RoomLine.h"

#include <algorithm>

#include "gui/FontDesc.h"
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

}  // namespace scenes::room
