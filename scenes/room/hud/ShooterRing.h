#pragma once
// The mark around the shooter's portrait in the player list. Its picture is a ring on a clear
// ground; where the picture is missing the widget draws the ring itself rather than a filled square,
// so the names and money of the rows beneath stay readable.

#include "gui/ImageWidget.h"

namespace scenes::hud {

class ShooterRing : public gui::ImageWidget {
public:
    // The ring's side and thickness when drawn without its picture: just around a 37 x 37 portrait.
    static constexpr int kRingSide = 47;
    static constexpr int kRingThickness = 3;
    static constexpr std::uint32_t kRingColour = 0xFFFFFF00;

    void Draw(gui::Painter& painter, int x, int y) override;
};

}  // namespace scenes::hud
