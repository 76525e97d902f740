#pragma once
// The toolkit's overlays, one each per process: the tooltip that follows the hovered widget and
// the dimming layer drawn behind the topmost modal dialog. The open drop-down list is drawn with
// them, above the screen's widgets.

#include "gui/Widget.h"

namespace gui {

class Tooltip : public Widget {
public:
    // Made by the scene manager at start-up: at (0, 0), 200 x 20, alpha 1.0.
    static Tooltip* Create();
    static Tooltip* Instance();

    // Shows the text below and right of the client point, kept inside the screen.
    void ShowText(const WString& text, int x, int y);
    void MoveNear(int x, int y);
    const WString& Text() const { return text_; }
    void Draw(Painter& painter, int x, int y) override;

private:
    WString text_;
};

class ModalOverlay : public Widget {
public:
    static ModalOverlay* Instance();
    // Covers the whole screen with the dimming colour.
    void DrawOver(Painter& painter);
};

// Draws the open drop-down list and then the tooltip above everything else; the render step calls
// it after the scene's tree.
void DrawGuiOverlays(Painter& painter);
// Draws a screen's widget tree and the overlays in the 2D state of the device (render step).
void DrawWidgetScreen(Widget& root, RenderDevice* device);
// Destroys the tooltip and the overlay (shutdown).
void DestroyGuiOverlays();

}  // namespace gui
