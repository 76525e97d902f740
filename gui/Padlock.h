#pragma once
// The padlock that marks a room with a password, in flat shapes (a gold shackle over a gold body),
// 12 x 16: the lobby's room list draws it in a locked room's row and the game room's title bar
// shows it as a widget, so both show the same mark.

#include <cstdint>

#include "gui/Widget.h"

namespace gui {

constexpr int kPadlockWidth = 12, kPadlockHeight = 16;

// Draws the padlock with its top left corner at the client point (x, y).
void DrawPadlock(Painter& painter, int x, int y);

// The padlock centred in the widget's rectangle.
class Padlock : public Widget {
public:
    void Draw(Painter& painter, int x, int y) override;
};

}  // namespace gui
