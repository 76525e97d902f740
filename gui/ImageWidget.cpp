#include "gui/ImageWidget.h"

namespace gui {

void ImageWidget::Draw(Painter& painter, int x, int y) {
    if (Image().set < 0) return;
    DrawBackground(painter, x, y, skin::kPanel, true);
}

}  // namespace gui
