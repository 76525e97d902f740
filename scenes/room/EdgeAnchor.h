#pragma once
// The game room's layout places anchored widgets by their left and top edges: an offset from the
// parent's right or bottom side, or from its middle. Widget::SetAnchor keeps the widget's right
// (bottom) edge at a far side and its middle at the middle, so the offsets are shifted by the size.

#include "gui/Widget.h"

namespace scenes::room {

inline void AnchorByEdges(gui::Widget& widget, gui::AnchorH h, int hOffset, gui::AnchorV v, int vOffset) {
    const int w = widget.Width(), height = widget.Height();
    if (h == gui::AnchorH::Right) hOffset += w;
    if (h == gui::AnchorH::Center) hOffset += w / 2;
    if (v == gui::AnchorV::Bottom) vOffset += height;
    if (v == gui::AnchorV::Center) vOffset += height / 2;
    widget.SetAnchor(h, hOffset, v, vOffset);
}

}  // namespace scenes::room
