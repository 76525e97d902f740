// Items in the practice room: switching cues, chalks and effect items (on this client only), and
// activating a limited-time item through the server (512, its answer 513, then 517 for a cue).
#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/CommonDialogs.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "net/ItemUse.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "table/TableWorld.h"

namespace scenes {

using namespace practice;

namespace {

bool IsType(const net::ItemEntry& entry, net::ItemType type) {
    return entry.type == static_cast<std::uint32_t>(type);
}

}  // namespace

void SceneRoomPractice::UseItem(std::uint32_t kind, bool fromCueSelector) {
    net::ItemEntry* entry =
        fromCueSelector ? const_cast<net::ItemEntry*>(cueSelector_->SelectedCue()) : strip_->SelectedEntry();
    if (!entry) return;
    if (FirstItemSteps(*this, *entry, kind, Record().level,
                       static_cast<std::uint32_t>(PracticeUi::ActivateConfirmed)) != ItemStep::Use)
        return;
    switch (static_cast<net::ItemType>(kind)) {
        case net::ItemType::Cue:
            if (entry != currentCue_) ChangeCue(*entry);
            return;
        case net::ItemType::Effect:
            if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
                ToggleEffectItem(*this, *session, *entry, strip_);
            return;
        case net::ItemType::Chalk:
            if (SelectChalk(*entry))
                AddChatLine(Format(u"Chalk is changed to %s", OwnItemName(entry->itemId)), colour::kYellow);
            return;
        case net::ItemType::General:
            Notice(u"You cannot use this item for 'practice'.");
            return;
        default:
            return;
    }
}

void SceneRoomPractice::ChangeCue(net::ItemEntry& entry) {
    currentCue_ = &entry;
    const auto item = static_cast<std::uint16_t>(entry.itemId);
    WString line;
    if (entry.IsPersonalCue()) {
        TakeCue(&entry, item, true);
        line = Format(u"Cue is chaned to %s.", entry.cueName);
    } else {
        TakeCue(&entry, item, false);
        line = Format(u"Cue is changed to %s", OwnItemName(entry.itemId));
    }
    net::GameTypeEquipment& equipment = Record().equipment[Room().gameType % net::kGameTypeCount];
    equipment.cueId = item;
    equipment.cueSerial = entry.serial;
    AddChatLine(line, colour::kYellow);
}

bool SceneRoomPractice::SelectChalk(const net::ItemEntry& entry) {
    if (!SelectChalkEntry(Record(), entry, World())) return false;
    strip_->Fill();
    gauge_->Refresh();
    return true;
}

void SceneRoomPractice::ActivateItem(std::uint32_t kind) {
    const net::ItemEntry* entry = kind == static_cast<std::uint32_t>(net::ItemType::Cue)
                                      ? cueSelector_->SelectedCue()
                                      : strip_->SelectedEntry();
    if (!entry) return;
    const net::ItemEntry chosen = *entry;
    if (SendMessage(MsgId(PracticeMsg::UseItem), [&](net::Packet& p) { net::WriteItemUse(p, chosen); }))
        inProgress_->Open();
}

void SceneRoomPractice::OnActivateResult(net::Packet& p) {
    std::uint8_t result = 0;
    std::uint64_t serial = 0;
    std::uint32_t unused32 = 0;
    std::uint8_t active = 0;
    std::uint8_t unused8 = 0;
    WString text;
    p.ReadU8(result);
    if (!p.IsBad() && result == 0) {
        p.ReadU64(serial).ReadU32(unused32).ReadU8(active).ReadU8(unused8);
        if (serial != 0) p.ReadString(text);
    }
    const bool bad = p.IsBad();
    if (bad) LogWrite(u"WARNING : a malformed item activation answer was dropped\n");
    Queue([this, result, serial, active, text, bad] {
        inProgress_->Show(false);
        if (bad || result != 0) {
            Error(u"Failed to use item.", u"Please reconnect to check the result..");
            return;
        }
        // The entry may have gone meanwhile: then nothing changes.
        net::ItemEntry* entry = Record().FindItem(serial);
        if (!entry) return;
        entry->state = active;
        if (serial != 0) entry->expiry = text;
        if (IsType(*entry, net::ItemType::Cue)) {
            ChangeCue(*entry);
            const std::uint32_t item = entry->itemId;
            SendMessage(MsgId(PracticeMsg::CueActivated),
                        [&](net::Packet& out) { out.WriteU32(item).WriteU8(1).WriteU64(serial); });
        } else if (IsType(*entry, net::ItemType::Chalk)) {
            SelectChalk(*entry);
        }
        strip_->Fill();
    });
}

}  // namespace scenes
