#pragma once
// Fits the room line of the title bar to its texts: the game kind, the room title and the player
// count sit side by side at their places, each moved right only as far as the text before it needs,
// and the title is shortened with "..." where it would run into the player count. The coin before
// the room's money under it is drawn here too.

#include "engine/core/Text.h"
#include "gui/Widget.h"

namespace gui {
struct FontDesc;
class TextLabel;
}  // namespace gui

namespace scenes::room {

// The gap kept between two texts of the line.
constexpr int kRoomLineGap = 6;

// Places the labels for their current texts. `kindX`, `titleX` and `countX` are their usual left
// edges; the lock icon follows the player count.
void FitRoomLine(gui::TextLabel& kind, gui::TextLabel& title, gui::TextLabel& count, gui::Widget& lock,
                 int kindX, int titleX, int countX, int lockX);

// The mark of the room's money: a gold coin in flat shapes, centred in the widget.
class CoinMark : public gui::Widget {
public:
    static constexpr int kDiameter = 16;
    void Draw(gui::Painter& painter, int x, int y) override;
};

}  // namespace scenes::room
