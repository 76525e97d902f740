#pragma once
// A picture of a UI image set, also used as a container of other widgets. A picture that is
// asked for but missing draws as a flat panel.

#include "gui/Widget.h"

namespace gui {

class ImageWidget : public Widget {
public:
    void Draw(Painter& painter, int x, int y) override;
    bool IsMouseTransparent() const override { return Image().set < 0 && !HasHitArea(); }
};

}  // namespace gui
