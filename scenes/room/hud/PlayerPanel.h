#pragma once
// The strip of the local player's usable in-game items (chalks, effect items and a few general
// items): ten slots paged by a scroll bar. Hovering a slot names its item; a click selects it and
// posts ItemChosen with the entry's item type to the owning scene.

#include <array>
#include <cstdint>

#include "gui/ImageWidget.h"

namespace gui {
class ScrollBar;
class TextLabel;
}  // namespace gui
namespace net {
class PlayerRecord;
struct ItemEntry;
}  // namespace net

namespace scenes {

class SceneHost;

namespace hud {

class ItemSlot;

// What the item label reads for an entry: its name, with the remaining and full uses for items
// counted by uses.
WString ItemLabelText(const net::ItemEntry& entry);
// Items of the strip: chalks, effect items and the general items that act in a game.
bool IsStripItem(const net::ItemEntry& entry);

class PlayerPanel : public gui::ImageWidget {
public:
    static constexpr int kSlots = 10;
    static constexpr float kHoverAlpha = 1.0f;
    static constexpr float kIdleAlpha = 0.5f;

    PlayerPanel(SceneHost* host, net::PlayerRecord* record);
    // 322 x 34 with its slots, label and scroll bar.
    bool Create(int x, int y, int w = 322, int h = 34, std::uint32_t id = 0,
                std::uint32_t hotkey = 0) override;
    using gui::Widget::Create;

    // Rebuilds the strip from the record, from the first position on.
    void Fill();
    bool BuildModels(RenderDevice* device);
    void ReleaseModels();
    bool OnCommand(const gui::CommandEvent& event) override;

    int QualifyingCount() const { return count_; }
    int FirstPosition() const { return first_; }
    int HoveredSlot() const { return hovered_; }
    net::ItemEntry* SelectedEntry() const { return selected_; }
    ItemSlot* Slot(int k) const { return slots_[k]; }
    gui::ScrollBar* Scroll() const { return scroll_; }
    gui::TextLabel* ItemLabel() const { return label_; }

private:
    SceneHost* host_;
    net::PlayerRecord* record_;
    std::array<ItemSlot*, kSlots> slots_{};
    std::array<net::ItemEntry*, kSlots> entries_{};
    gui::TextLabel* label_ = nullptr;
    gui::ScrollBar* scroll_ = nullptr;
    int count_ = 0;
    int hovered_ = -1;
    int first_ = 1;
    net::ItemEntry* selected_ = nullptr;
};

}  // namespace hud
}  // namespace scenes
