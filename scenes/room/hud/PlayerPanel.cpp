#include "scenes/room/hud/PlayerPanel.h"

#include "engine/core/Format.h"
#include "gui/ItemPreview.h"
#include "gui/ScrollBar.h"
#include "gui/TextLabel.h"
#include "net/ItemTable.h"
#include "net/PlayerRecord.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/HudImages.h"
#include "scenes/room/hud/ItemWidgets.h"

namespace scenes::hud {

WString ItemLabelText(const net::ItemEntry& entry) {
    const WString name = EntryNameOf(entry);
    if (!IsCountedUnit(entry.usageKind)) return name;
    return Format(u"%s (%d/%d)", name, static_cast<int>(entry.remainingValue),
                  static_cast<int>(entry.initialValue));
}

bool IsStripItem(const net::ItemEntry& entry) {
    using net::ItemType;
    if (entry.type == static_cast<std::uint32_t>(ItemType::Chalk) ||
        entry.type == static_cast<std::uint32_t>(ItemType::Effect))
        return true;
    switch (entry.itemId) {
        case 4150:
        case 4146:
        case 4145:
        case 4108:
            return true;
        default:
            return false;
    }
}

PlayerPanel::PlayerPanel(SceneHost* host, net::PlayerRecord* record) : host_(host), record_(record) {}

bool PlayerPanel::Create(int x, int y, int w, int h, std::uint32_t id, std::uint32_t hotkey) {
    gui::Widget::Create(x, y, w, h, id, hotkey);
    SetImage(images::kPanel);
    // The bar lies under the slots, which take the mouse first.
    scroll_ = Make<gui::ScrollBar>();
    scroll_->Create(-12, 6, w + 24, 22, control_id::kStripScrollBar, gui::Orientation::Horizontal, 1);
    scroll_->AddDecButton(gui::atlas::InSet(gui::atlas::kArrowLeft, images::kHudSet));
    scroll_->AddIncButton(gui::atlas::InSet(gui::atlas::kArrowRight, images::kHudSet));
    scroll_->Show(true);
    for (int k = 0; k < kSlots; ++k) {
        slots_[k] = Make<ItemSlot>();
        slots_[k]->Create(1 + 32 * k, 1, control_id::kFirstSlot + static_cast<std::uint32_t>(k), false);
    }
    label_ = AddLabel(12, -16, 200, 20, gui::kFont12);
    label_->SetColors(colour::kCyan, colour::kBlack);
    label_->SetStyle(gui::label_style::kShadow);
    label_->Show(false);
    SetAlpha(kIdleAlpha);
    return true;
}

void PlayerPanel::Fill() {
    count_ = 0;
    int k = 0;
    if (record_) {
        const auto& items = record_->Items();
        for (auto it = items.rbegin(); it != items.rend(); ++it) {
            if (!*it || !IsStripItem(**it)) continue;
            ++count_;
            if (count_ >= first_ && k < kSlots) {
                entries_[k] = *it;
                slots_[k]->SetItem(*it);
                ++k;
            }
        }
    }
    for (; k < kSlots; ++k) {
        entries_[k] = nullptr;
        slots_[k]->Clear();
    }
    scroll_->SetRange(count_ - (kSlots - 1) > 1 ? count_ - (kSlots - 1) : 1);
    // An entry that left the record (used up, back in the session's pool) is no longer the choice.
    if (selected_ && (!record_ || record_->FindItem(selected_->serial) != selected_)) selected_ = nullptr;
    // The slot under a resting cursor names the item it holds now.
    if (hovered_ >= 0) {
        if (entries_[hovered_])
            label_->SetPlainText(ItemLabelText(*entries_[hovered_]));
        else
            label_->Show(false);
    }
}

bool PlayerPanel::BuildModels(RenderDevice* device) {
    bool all = true;
    for (ItemSlot* slot : slots_) {
        slot->Preview()->BuildModel(device);
        all = all && (slot->Preview()->Item() == 0 || slot->Preview()->HasModel());
    }
    return all;
}

void PlayerPanel::ReleaseModels() {
    for (ItemSlot* slot : slots_) slot->Preview()->ReleaseModel();
}

bool PlayerPanel::OnCommand(const gui::CommandEvent& event) {
    if (event.id == control_id::kStripScrollBar) {
        first_ = event.value > 0 ? event.value : 1;
        Fill();
        if (host_) host_->PostMouseMove();
        return true;
    }
    if (event.id < control_id::kFirstSlot || event.id >= control_id::kFirstSlot + kSlots) return false;
    const int k = static_cast<int>(event.id - control_id::kFirstSlot);
    switch (event.code) {
        case gui::CommandCode::MouseEnter:
            hovered_ = k;
            if (entries_[k]) {
                label_->SetPlainText(ItemLabelText(*entries_[k]));
                label_->Show(true);
            }
            SetAlpha(kHoverAlpha);
            return true;
        case gui::CommandCode::MouseLeave:
            if (k == hovered_) {
                hovered_ = -1;
                label_->Show(false);
                SetAlpha(kIdleAlpha);
            }
            return true;
        case gui::CommandCode::Event:
            if (!entries_[k]) return true;
            selected_ = entries_[k];
            if (host_)
                host_->PostUiMessage(static_cast<std::uint32_t>(HudMessage::ItemChosen), selected_->type, 0,
                                     0);
            return true;
    }
    return false;
}

}  // namespace scenes::hud
