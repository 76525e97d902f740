#include "gui/Overlays.h"

#include <algorithm>
#include <memory>

#include "engine/render/RenderDevice.h"
#include "gui/ComboBox.h"
#include "gui/UiResourceSet.h"

namespace gui {

namespace {
std::unique_ptr<Tooltip> gTooltip;
std::unique_ptr<ModalOverlay> gOverlay;
constexpr int kCursorHeight = 20;
constexpr int kTextPadding = 6;
}  // namespace

Tooltip* Tooltip::Create() {
    if (!gTooltip) {
        gTooltip = std::make_unique<Tooltip>();
        gTooltip->Widget::Create(0, 0, kTooltipWidth, kTooltipHeight);
        gTooltip->SetAlpha(1.0f);
    }
    return gTooltip.get();
}

Tooltip* Tooltip::Instance() {
    return gTooltip.get();
}

void Tooltip::ShowText(const WString& text, int x, int y) {
    text_ = text;
    Resize(std::max(kTooltipWidth / 4, MeasureTextWidth(kFont12, text) + 2 * kTextPadding), kTooltipHeight);
    MoveNear(x, y);
    Show(!text.empty());
}

void Tooltip::MoveNear(int x, int y) {
    const GuiState& state = GetGuiState();
    int left = std::min(x, state.screenWidth - Width());
    int top = y + kCursorHeight;
    if (top + Height() > state.screenHeight) top = y - Height();
    MoveTo(std::max(0, left), std::max(0, top));
}

void Tooltip::Draw(Painter& painter, int x, int y) {
    painter.Fill(x, y, Width(), Height(), skin::kTooltip);
    painter.Border(x, y, Width(), Height(), skin::kTooltipText);
    painter.Text(kFont12, text_, x + kTextPadding, y, Width() - 2 * kTextPadding, Height(), align::kVCenter,
                 skin::kTooltipText);
}

ModalOverlay* ModalOverlay::Instance() {
    if (!gOverlay) gOverlay = std::make_unique<ModalOverlay>();
    return gOverlay.get();
}

void ModalOverlay::DrawOver(Painter& painter) {
    const GuiState& state = GetGuiState();
    painter.Fill(0, 0, state.screenWidth, state.screenHeight, skin::kOverlay);
}

void DrawGuiOverlays(Painter& painter) {
    if (ComboBox* list = GetGuiState().dropDown; list && list->IsShownOnScreen()) list->DrawList(painter);
    if (gTooltip && gTooltip->IsVisible()) gTooltip->DrawTree(painter, 0, 0);
}

void DrawWidgetScreen(Widget& root, RenderDevice* device) {
    if (!device) return;
    device->Begin2D();
    Painter painter(device, UiResourceSet::Current());
    root.DrawTree(painter, 0, 0);
    DrawGuiOverlays(painter);
}

void DestroyGuiOverlays() {
    GuiState& state = GetGuiState();
    if (state.hot == gTooltip.get()) state.hot = nullptr;
    gTooltip.reset();
    gOverlay.reset();
}

}  // namespace gui
