// The room's bookkeeping of the own equipment: the chalk on the cue, the cue's durability after each
// own shot (reported with message 546) and its warnings, the item keys the own items unlock, and the notice
// that the table and balls of the turn are the room master's. Main thread unless named otherwise.
#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "gui/Button.h"
#include "net/GameSession.h"
#include "net/GameTypes.h"
#include "net/ItemEntry.h"
#include "net/Packet.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/RoomScreen.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "table/TableWorld.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint8_t kDurabilityUnit = 3;
constexpr std::int32_t kDurabilityPoint = 1000;  // durability is kept in thousandths of a point
constexpr std::uint32_t kPracticeKit = 4145, kClothPencil = 4146;
constexpr std::uint8_t kUnitOneUse = 1;
constexpr std::uint8_t kChalkKind = 3;
constexpr std::uint8_t kSingleUse = static_cast<std::uint8_t>(net::UsageKind::SingleUse);
constexpr std::uint8_t kCountedUses = static_cast<std::uint8_t>(net::UsageKind::LimitedCount);

int RoundedShare(double value) {
    return static_cast<int>(value + 0.5);
}

}  // namespace

void SceneRoomGame::RefreshItemStrip() {
    RunOnMainThread([this] { FillItemWidgets(); });
}

void SceneRoomGame::FillItemWidgets() {
    if (itemStrip_) itemStrip_->Fill();
    if (cuePanel_ && cuePanel_->IsVisible()) cuePanel_->Fill();
    if (chalkGauge_) chalkGauge_->Refresh();
    if (!cueTab_) return;
    bool cues = false;
    for (const net::ItemEntry* entry : Record().Items())
        cues = cues || (entry && entry->type == static_cast<std::uint32_t>(net::ItemType::Cue));
    cueTab_->Show(cues);
}

void SceneRoomGame::BuildItemModels(RenderDevice* renderer) {
    if (itemStrip_) itemStrip_->BuildModels(renderer);
    if (cuePanel_) cuePanel_->BuildModels(renderer);
    if (shopPanel_) shopPanel_->BuildModels(renderer);
}

void SceneRoomGame::ReleaseItemModels() {
    if (itemStrip_) itemStrip_->ReleaseModels();
    if (cuePanel_) cuePanel_->ReleaseModels();
    if (shopPanel_) shopPanel_->ReleaseModels();
}

bool SceneRoomGame::IsOwnSeatPlaying() {
    if (!gameRunning_.load()) return false;
    platform::ScopedLock lock(seatLock_);
    const int own = ownSeat_.load();
    return SeatValid(own) && seats_[own].record.game.playing != 0;
}

void SceneRoomGame::AfterShotConsumption(int chalkUsed) {
    if (chalkGauge_) {
        chalkGauge_->SetActive(false);
        chalkGauge_->Consume(chalkUsed);
    }
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return;
    const int gameType = RoomCopy().gameType % net::kGameTypeCount;
    std::vector<UseRecord> records;
    if (IsOwnSeatPlaying()) {
        net::ItemEntry* cue = session->own.FindItem(session->own.equipment[gameType].cueSerial);
        if (cue && cue->unit == kDurabilityUnit) {
            cue->remainingValue =
                cue->remainingValue > kDurabilityPoint ? cue->remainingValue - kDurabilityPoint : 0;
            if (cue->remainingValue == 0)
                AddChatLine(u"Cue's durability became 0 so ability won't be applied.", colour::kRed);
            records.push_back({cue->itemId, cue->serial, static_cast<std::uint32_t>(cue->remainingValue)});
        }
    }
    CountConsumableUse(records);
    SendUseRecords(records);
    CheckDurabilityNotice();
    // An effect item lasts one shot; the strip shows the counts the shot left.
    session->ClearItemEffects();
    RefreshItemStrip();
}

void SceneRoomGame::ApplyChalk() {
    table::TableWorld* world = World();
    if (!world || !chalkGauge_) return;
    world->chalkValue = static_cast<float>(chalkGauge_->Level()) / hud::ChalkGauge::kFullLevel;
    if (IsOwnTurn()) world->UpdateGuideObject();
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (session && IsOwnSeatPlaying())
        if (net::ItemEntry* chalk = session->own.GetCurrentItem();
            chalk && (chalk->usageKind == kSingleUse || chalk->usageKind == kCountedUses) &&
            chalk->remainingValue > 0) {
            // The table counts the uses of the chalk in play; the count last reported is kept with
            // the entry until the shot reports the new one.
            if (world->ConsumableSerial() != chalk->serial ||
                world->ConsumableLeft() != chalk->remainingValue) {
                world->LoadConsumable(chalk->serial, chalk->remainingValue);
                chalk->copyValue = chalk->remainingValue;
            }
            world->UseConsumable();
            --chalk->remainingValue;
        }
    chalkGauge_->Refresh();
}

void SceneRoomGame::DropUsedUpChalk() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return;
    for (net::ItemEntry* entry : session->own.Items()) {
        if (!entry || entry->kind != kChalkKind || entry->remainingValue >= 1) continue;
        // Out of the selection and the list first, then back to the pool: nothing points at it.
        if (session->own.RemoveItem(entry->serial) == entry) session->FreeItemEntry(entry);
        return;
    }
}

void SceneRoomGame::RecheckDurability() {
    for (auto& shown : durabilityTold_) shown = false;
    CheckDurabilityNotice();
}

void SceneRoomGame::CheckDurabilityNotice() {
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return;
    const int gameType = RoomCopy().gameType % net::kGameTypeCount;
    const net::ItemEntry* cue = session->own.FindItem(session->own.equipment[gameType].cueSerial);
    if (!cue || !cue->IsPersonalCue()) return;
    const std::int64_t c = cue->remainingValue, m = cue->initialValue;
    constexpr const char16_t* kLeft = u"큐의 내구도가 %d%% 밖에 남지 않았습니다.";
    if (c <= 0) {
        if (!durabilityTold_[0].exchange(true))
            AddChatLine(u"큐의 내구도가 0이 되어 성능이 적용되지 않습니다.", colour::kRed);
        return;
    }
    // Without a maximum there is no share to tell.
    if (m <= 0) return;
    const int percent = RoundedShare(static_cast<double>(c) * 100.0 / static_cast<double>(m));
    if (c <= RoundedShare(m * 0.05)) {
        if (!durabilityTold_[1].exchange(true)) AddChatLine(Format(kLeft, percent), colour::kRed);
    } else if (c <= RoundedShare(m * 0.1)) {
        if (!durabilityTold_[2].exchange(true)) AddChatLine(Format(kLeft, percent), colour::kRed);
    }
}

void SceneRoomGame::UpdateItemKeys() {
    table::TableWorld* world = World();
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!world || !session) return;
    bool kit = false;
    int mode = 0;
    const bool master = ownSeat_.load() == masterSeat_.load();
    for (const net::ItemEntry* entry : session->own.Items()) {
        if (!entry || (entry->unit == kUnitOneUse && entry->state == 0)) continue;
        if (entry->itemId == kPracticeKit && master) kit = true;
        if (entry->itemId == kClothPencil) mode = 1;
    }
    world->practiceKit = kit;
    world->SetItemKeyMode(mode);
}

void SceneRoomGame::UpdateTableOwnership() {
    const net::RoomInfo info = RoomCopy();
    std::uint16_t table = turnTableItem_.load(), balls = turnBallSet_.load();
    if (table == 0) table = net::DefaultTableOfGameType(info.gameType);
    if (balls == 0) balls = net::DefaultBallSetOfGameType(info.gameType);
    const std::uint16_t roomTable =
        info.tableItem ? info.tableItem : net::DefaultTableOfGameType(info.gameType);
    const std::uint16_t roomBalls =
        info.ballSetItem ? info.ballSetItem : net::DefaultBallSetOfGameType(info.gameType);
    const bool differs =
        channelType_.load() != kChannelWithoutOwnership && (table != roomTable || balls != roomBalls);
    const bool was = tableDiffers_.exchange(differs);
    if (differs) tableChangePending_ = true;
    if (differs && !was && !tableNoticeTold_.exchange(true))
        AddChatLine(u"The table and the ball will be belonged to the current room master's items.",
                    colour::kGreen);
}

// Main thread, in the render step (every call into the scene holds the scene manager's widget lock, so
// no tick or packet handler runs meanwhile): the world takes the turn's table and ball set, with their
// models and the physics model of that table, and the room copy and the session's room record name
// them. A shot in progress keeps the old table until it rests.
void SceneRoomGame::SwapTurnTable(RenderDevice* renderer) {
    table::TableWorld* world = World();
    if (!world || !tableChangePending_.exchange(false)) return;
    if (shotRunning_.load()) {
        tableChangePending_ = true;
        return;
    }
    const std::uint16_t table = turnTableItem_.load(), balls = turnBallSet_.load();
    world->SetGameItems(table, balls);
    ResourceManager* resources = Host() ? Host()->Resources() : nullptr;
    if (renderer && resources && world->LoadModels(*renderer, *resources) != 0)
        LogWrite(u"ERROR : the turn's table %d or ball set %d could not be loaded\n",
                 static_cast<int>(world->TableItem()), static_cast<int>(world->BallSetItem()));
    {
        platform::ScopedLock lock(seatLock_);
        room_.tableItem = table;
        room_.ballSetItem = balls;
    }
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr) {
        session->GetRoom().tableItem = table;
        session->GetRoom().ballSetItem = balls;
    }
    tableDiffers_ = false;
}

}  // namespace scenes
