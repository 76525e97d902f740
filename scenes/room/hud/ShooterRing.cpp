#include "scenes/room/hud/ShooterRing.h"

namespace scenes::hud {

void ShooterRing::Draw(gui::Painter& painter, int x, int y) {
    if (painter.Image(Image(), x, y, Width(), Height())) return;
    const int left = x + (Width() - kRingSide) / 2;
    const int top = y + (Height() - kRingSide) / 2;
    for (int i = 0; i < kRingThickness; ++i)
        painter.Border(left + i, top + i, kRingSide - 2 * i, kRingSide - 2 * i, kRingColour);
}

}  // namespace scenes::hud
