#include "gui/Padlock.h"

namespace gui {

namespace {
constexpr std::uint32_t kGold = 0xFFE0B050;
}

void DrawPadlock(Painter& painter, int x, int y) {
    painter.Border(x + 2, y, 8, 8, kGold);
    painter.Fill(x, y + 6, kPadlockWidth, 10, kGold);
}

void Padlock::Draw(Painter& painter, int x, int y) {
    DrawPadlock(painter, x + (Width() - kPadlockWidth) / 2, y + (Height() - kPadlockHeight) / 2);
}

}  // namespace gui
