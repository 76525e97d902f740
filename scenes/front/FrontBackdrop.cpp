#include "scenes/front/FrontBackdrop.h"

namespace scenes {

namespace {
constexpr std::uint32_t kFelt = 0xFF0B3B24, kRail = 0xFF3A2314, kBand = 0xFF10161F;
constexpr std::uint32_t kGold = 0xFFE0B050;
}  // namespace

FrontBackdrop::FrontBackdrop() {
    Widget::Create(0, 0, 1024, 768);
    SetVisible(true);
}

void FrontBackdrop::OnResize(int, int) {
    // A layout hands each child its own size; the backdrop takes its parent's, the client area.
    if (const gui::Widget* parent = GetParent()) SetRect(0, 0, parent->Width(), parent->Height());
}

void FrontBackdrop::Draw(gui::Painter& painter, int x, int y) {
    const int w = Width(), h = Height();
    painter.Fill(x, y, w, h, kRail);
    painter.Fill(x + 10, y + 10, w - 20, h - 20, kFelt);
    painter.Fill(x, y, w, 44, kBand);
    painter.Fill(x, y + 44, w, 2, kGold);
    painter.Text(gui::kFont16Bold, u"MARVENLOT", x + 18, y, 200, 44, gui::align::kLeft | gui::align::kVCenter,
                 kGold, 0xFF000000);
}

}  // namespace scenes
