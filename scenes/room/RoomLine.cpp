#include "scenes/room/RoomLine.h"

#include <algorithm>

#include "gui/FontDesc.h"
#include "gui/TextLabel.h"

namespace scenes::room {

WString FitTextToWidth(const gui::FontDesc& font, const WString& text, int width) {
    if (gui::MeasureTextWidth(font, text) <= width) return text;
    const WString dots = u"...";
    WString cut = text;
    while (!cut.empty()) {
        cut.pop_back();
        if (gui::MeasureTextWidth(font, cut + dots) <= width) return cut + dots;
    }
    return gui::MeasureTextWidth(font, dots) <= width ? dots : WString();
}

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
    title.SetPlainText(FitTextToWidth(title.Font(), title.Text(), titleWidth));

    const int countWidth = std::max(count.Width(), widthOf(count));
    count.SetRect(countX, count.Y(), countWidth, count.Height());
    lock.MoveTo(std::max(lockX, countX + widthOf(count) + 2), lock.Y());
}

}  // namespace scenes::room
