#include "scenes/room/hud/HudMarks.h"

namespace scenes::hud {

void RingMark::Draw(gui::Painter& painter, int x, int y) {
    if (painter.Image(Image(), x, y, Width(), Height())) return;
    const int left = x + (Width() - frameWidth_) / 2;
    const int top = y + (Height() - frameHeight_) / 2;
    for (int i = 0; i < kThickness; ++i)
        painter.Border(left + i, top + i, frameWidth_ - 2 * i, frameHeight_ - 2 * i, kColour);
}

void SignMark::Draw(gui::Painter& painter, int x, int y) {
    if (painter.Image(Image(), x, y, Width(), Height())) return;
    painter.Text(font_, sign_, x, y, Width(), Height(), gui::align::kCenter | gui::align::kVCenter, colour_,
                 0xFF000000);
}

void ColonMark::Draw(gui::Painter& painter, int x, int y) {
    if (painter.Image(Image(), x, y, Width(), Height())) return;
    const int dot = Width();
    painter.Fill(x, y + Height() / 3 - dot / 2, dot, dot, kColour);
    painter.Fill(x, y + 2 * Height() / 3 - dot / 2, dot, dot, kColour);
}

}  // namespace scenes::hud
