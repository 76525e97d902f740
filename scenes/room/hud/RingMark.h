#pragma once
// A mark drawn round something beneath it: the ring round the shooter's portrait in the player list,
// the blinking glow round the start button. Its picture is a ring on a clear ground; where the
// picture is missing the widget draws a frame of the given size at its middle rather than a filled
// square, so what lies beneath stays readable.

#include "gui/ImageWidget.h"

namespace scenes::hud {

class RingMark : public gui::ImageWidget {
public:
    static constexpr int kThickness = 3;
    static constexpr std::uint32_t kColour = 0xFFFFFF00;

    // The frame's outer size when drawn without the picture.
    RingMark(int frameWidth, int frameHeight) : frameWidth_(frameWidth), frameHeight_(frameHeight) {}

    void Draw(gui::Painter& painter, int x, int y) override;

private:
    int frameWidth_, frameHeight_;
};

}  // namespace scenes::hud
