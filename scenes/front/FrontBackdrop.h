#pragma once
// The backdrop of the 2D front-end screens: felt green inside a wooden rail, a title band and the
// client's name, filling whatever size the client area has.

#include "gui/Widget.h"

namespace scenes {

class FrontBackdrop : public gui::Widget {
public:
    FrontBackdrop();
    void Draw(gui::Painter& painter, int x, int y) override;
    void OnResize(int width, int height) override;
    bool IsMouseTransparent() const override { return true; }
};

}  // namespace scenes
