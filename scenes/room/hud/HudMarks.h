#pragma once
// Marks of the HUD whose pictures are mostly clear ground. Where a picture is missing they draw a
// shape that reads the same rather than a filled square over what lies beneath.

#include "gui/ImageWidget.h"

namespace scenes::hud {

// A mark round something beneath it: the ring round the shooter's portrait in the player list, the
// blinking glow round the start button; without its picture, a frame of the given size at its middle.
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

// A small mark over a row (the room master's crown, a ready mark); without its picture, its sign
// in its colour over a dark shadow, centred in its box.
class SignMark : public gui::ImageWidget {
public:
    SignMark(const WString& sign, std::uint32_t colour, const gui::FontDesc& font = gui::kFont12Bold)
        : sign_(sign), colour_(colour), font_(font) {}

    void Draw(gui::Painter& painter, int x, int y) override;
    const WString& Sign() const { return sign_; }

private:
    WString sign_;
    std::uint32_t colour_;
    gui::FontDesc font_;
};

// The colon between the clocks' digits; without its picture, two dots in the digits' colour.
class ColonMark : public gui::ImageWidget {
public:
    static constexpr std::uint32_t kColour = 0xFFFFE278;

    void Draw(gui::Painter& painter, int x, int y) override;
};

}  // namespace scenes::hud
