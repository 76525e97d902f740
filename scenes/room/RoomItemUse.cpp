// Item use from the game room: an item chosen in the item strip or a cue in the cue panel (its level and
// activation steps, then the cue, chalk or effect it becomes), the use request 512 on the activation
// question's yes, and the counted item an own shot uses up: the table keeps its count during the game, the
// shot reports the new count with message 546 and an item used up leaves the inventory. Main thread.
#include <algorithm>

#include "engine/core/Format.h"
#include "gui/CommonDialogs.h"
#include "gui/GuiConstants.h"
#include "net/GameSession.h"
#include "net/GameTypes.h"
#include "net/ItemEntry.h"
#include "net/ItemTable.h"
#include "net/ItemUse.h"
#include "net/Packet.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/HudCodes.h"

namespace scenes {

using namespace room;

namespace {

// An item whose definition counts more than one use.
bool CountsSeveralUses(const net::ItemEntry& entry) {
    const net::ItemRecord* definition = net::GetItemTable().Find(entry.itemId);
    return definition && definition->usageKind == static_cast<std::uint8_t>(net::UsageKind::LimitedCount);
}

}  // namespace

const net::ItemEntry* SceneRoomGame::SelectedForUse(int source) {
    if (itemSelection_) return itemSelection_(source);
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return nullptr;
    if (source == item_use::kFromCuePanel)
        return session->own.GetSlotItem(RoomCopy().gameType % net::kGameTypeCount);
    return session->own.GetCurrentItem();
}

bool SceneRoomGame::SendItemUse(int source) {
    const net::ItemEntry* entry = SelectedForUse(source);
    if (!entry) return false;
    const net::ItemEntry chosen = *entry;
    if (!SendMessage(static_cast<RoomMsg>(net::kItemUseMessage),
                     [&](net::Packet& p) { net::WriteItemUse(p, chosen); }))
        return false;
    // The wait box stays until the server's answer (513) takes it down.
    if (inProgress_) inProgress_->Open();
    return true;
}

void SceneRoomGame::UseItem(std::uint32_t kind, int source) {
    const net::ItemEntry* entry = SelectedForUse(source);
    if (!entry) return;
    net::PlayerRecord& record = Record();
    if (FirstItemSteps(*this, *entry, kind, record.level, item_use::kConfirmed) != ItemStep::Use) return;
    switch (static_cast<net::ItemType>(kind)) {
        case net::ItemType::Cue: {
            const net::GameTypeEquipment& slot = record.equipment[RoomCopy().gameType % net::kGameTypeCount];
            if (slot.cueSerial != entry->serial || slot.cueId != entry->itemId) ChangeCue(*entry);
            return;
        }
        case net::ItemType::Effect:
            if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
                ToggleEffectItem(*this, *session, *entry, itemStrip_);
            return;
        case net::ItemType::Chalk:
            if (SelectChalk(*entry))
                AddChatLine(Format(u"Chalk is changed to %s", OwnItemName(entry->itemId)), kItemLineColour);
            return;
        default:
            // The other items of the strip act while they are active; choosing one changes nothing.
            return;
    }
}

bool SceneRoomGame::HandleItemUseMessage(std::uint32_t code, std::uintptr_t a, std::intptr_t b) {
    switch (code) {
        case item_use::kConfirmed:
            if (a == gui::button_id::kYes)
                SendItemUse(b == item_use::kFromCuePanel ? item_use::kFromCuePanel
                                                         : item_use::kFromItemStrip);
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::ItemChosen):
            UseItem(static_cast<std::uint32_t>(a), item_use::kFromItemStrip);
            return true;
        case static_cast<std::uint32_t>(hud::HudMessage::CueChosen):
            UseItem(static_cast<std::uint32_t>(net::ItemType::Cue), item_use::kFromCuePanel);
            return true;
        case app_code::kRefreshItems:
            RefreshItemStrip();
            UpdateItemKeys();
            return true;
        default:
            return false;
    }
}

void SceneRoomGame::CountConsumableUse(std::vector<UseRecord>& records) {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    table::TableWorld* world = World();
    if (!session || !world || !IsOwnSeatPlaying()) return;
    net::ItemEntry* item = session->own.GetCurrentItem();
    if (!item || !CountsSeveralUses(*item) || world->ConsumableSerial() != item->serial) return;
    const std::int32_t left = world->ConsumableLeft();
    if (left < 0 || left >= item->copyValue) return;
    item->copyValue = left;
    item->remainingValue = std::min(item->remainingValue, left);
    records.push_back({item->itemId, item->serial, static_cast<std::uint32_t>(left)});
    if (left > 0) return;
    const net::ItemRecord* definition = net::GetItemTable().Find(item->itemId);
    AddChatLine(Format(u"%s item has all been consumed.", definition ? definition->name : WString()),
                item_use::kAllConsumedColour);
    world->LoadConsumable(0, -1);
    // Out of the selection and the list first, then back to the pool: nothing points at it.
    if (session->own.RemoveItem(item->serial) == item) session->FreeItemEntry(item);
    if (chalkGauge_) chalkGauge_->Refresh();
}

void SceneRoomGame::SendUseRecords(const std::vector<UseRecord>& records) {
    if (records.empty()) return;
    SendMessage(RoomMsg::CueWear, [&](net::Packet& p) {
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (i > 0) p.BeginNextMessage(room::Id(RoomMsg::CueWear));
            p.WriteU32(records[i].itemId).WriteU64(records[i].serial).WriteU32(records[i].value);
        }
    });
}

}  // namespace scenes
