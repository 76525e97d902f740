#include "scenes/room/OwnItems.h"

#include "engine/core/Format.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/ItemEntry.h"
#include "net/ItemTable.h"
#include "net/PlayerRecord.h"
#include "scenes/base/GameScene.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/EdgeAnchor.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "table/TableWorld.h"

namespace scenes {

hud::PlayerPanel* AddItemStrip(GameScene& scene, net::PlayerRecord* record, int left, int top) {
    auto* strip = scene.Make<hud::PlayerPanel>(scene.Host(), record);
    strip->Create(0, 0);
    room::AnchorByEdges(*strip, gui::AnchorH::Left, left, gui::AnchorV::Bottom, top);
    strip->Fill();
    return strip;
}

WString OwnItemName(std::uint32_t itemId) {
    const net::ItemRecord* record = net::GetItemTable().Find(itemId);
    return record ? record->name : Format(u"Item %d", static_cast<int>(itemId));
}

SharedBoxText ActivationQuestion(std::uint32_t result, std::uint32_t param) {
    return {u"Notice",
            {u"This item is for limited time use, bur not used.",
             u"The status should be changed to use the item,",
             u"if it is used, the time will begin counting.", u"Do you want to use the item?"},
            kYesNoLayout,
            result,
            param};
}

ItemStep FirstItemSteps(GameScene& scene, const net::ItemEntry& entry, std::uint32_t kind, int ownLevel,
                        std::uint32_t activation) {
    const net::ItemRecord* definition = net::GetItemTable().Find(entry.itemId);
    if (kind == static_cast<std::uint32_t>(net::ItemType::Cue) && !entry.IsPersonalCue() && definition &&
        ownLevel < definition->requiredLevel) {
        if (scene.Host())
            scene.Host()->ShowNotice(&scene, Format(u"This item allowed to use level %d",
                                                    static_cast<int>(definition->requiredLevel)));
        return ItemStep::Refused;
    }
    if (entry.usageKind == static_cast<std::uint8_t>(net::UsageKind::LimitedTime) &&
        entry.state != static_cast<std::uint8_t>(net::ItemState::Active)) {
        OpenSharedBox(scene, ActivationQuestion(activation, kind));
        return ItemStep::Asked;
    }
    return ItemStep::Use;
}

void ToggleEffectItem(GameScene& scene, net::GameSession& session, const net::ItemEntry& entry,
                      hud::PlayerPanel* strip) {
    const int slot = net::ItemEffectSlotOfItem(entry.itemId);
    if (slot < 0) return;
    const WString name = OwnItemName(entry.itemId);
    if (session.GetItemEffectFlag(slot) == 0) {
        if (entry.remainingValue == 0) {
            if (scene.Host()) scene.Host()->ShowError(&scene, u"This item is exhausted.");
            return;
        }
        scene.AddChatLine(Format(u"Use item : %s", name), kItemLineColour);
        session.SetItemEffect(slot, entry.itemId, static_cast<std::uint32_t>(entry.serial), 1);
    } else {
        scene.AddChatLine(Format(u"%s : Canceled", name), kItemLineColour);
        session.SetItemEffect(slot, 0, 0, 0);
    }
    if (strip) strip->ItemLabel()->SetPlainText(hud::ItemLabelText(entry));
}

bool SelectChalkEntry(net::PlayerRecord& record, const net::ItemEntry& entry, table::TableWorld* world) {
    if (record.currentItemSerial == entry.serial) return false;
    if (!record.SelectItem(entry.serial)) return false;
    if (world) world->chalkReload = true;
    return true;
}

}  // namespace scenes
