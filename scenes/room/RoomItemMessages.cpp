// The game room's messages about the own inventory (purchases, item use, counts and values, cue and
// chalk changes), money and points during a game, player progress (high runs, handicaps, levels,
// statistics, counters) and jackpots.
// Handlers run on the dispatch thread; a message that is short or names a seat, team or item out of
// range changes nothing.
#include <algorithm>

#include "engine/core/Format.h"
#include "engine/core/Log.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "net/OwnStatistics.h"
#include "net/Packet.h"
#include "scenes/base/SceneHost.h"
#include "scenes/room/OwnItems.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/RoomStatusPanels.h"

namespace scenes {

using namespace room;

namespace {

constexpr std::uint8_t kOwnPurchase = 1, kGift = 2, kClanGift = 3;
constexpr int kMaxMembers = 8;

void LogDrop(int id, const char16_t* why) {
    LogWrite(u"ERROR : room message %d dropped: %s\n", id, why);
}

struct PurchaseError {
    std::uint8_t result;
    const char16_t* line1;
    const char16_t* line2;
};
constexpr PurchaseError kPurchaseErrors[] = {
    {1, u"Error has occurred in the purchase process.", u"Please reconnect to check the result."},
    {2, u"Not enough money.", u""},
    {4, u"The relevant user does not exist.", u"Check nickname."},
    {5, u"Item is not on sale.", u""},
    {6, u"DB error.", u""},
    {7, u"Item pool is full.", u"Try later please."},
};

WString ItemName(std::uint32_t itemId) {
    const net::ItemRecord* record = net::GetItemTable().Find(itemId);
    return record ? record->name : WString();
}

}  // namespace

void SceneRoomGame::ShowError(const WString& line1, const WString& line2) {
    platform::ScopedLock lock(chatLock_);
    pendingErrors_.emplace_back(line1, line2);
}

// ---- Purchases and item use ------------------------------------------------------------------------

void SceneRoomGame::OnPurchaseResult(net::Packet& p) {
    const std::uint8_t kind = p.U8();
    const std::uint8_t result = p.U8();
    if (p.IsBad()) return;
    AfterItemReply();
    if (result != 0) {
        for (const PurchaseError& e : kPurchaseErrors)
            if (e.result == result) ShowError(e.line1, e.line2);
        return;
    }
    std::uint32_t secondMoney = 0, bonus = 0;
    std::uint64_t money = 0;
    if (kind != kClanGift) {
        secondMoney = p.U32();
        money = p.U64();
        p.U32();
        bonus = p.U32();
    }
    net::ItemEntry bought;
    const bool own = kind != kGift && kind != kClanGift;
    if (own) {
        bought.serial = p.U64();
        bought.itemId = p.U32();
        bought.personal = p.U8();
        bought.state = p.U8();
        const net::ItemRecord* record = net::GetItemTable().Find(bought.itemId);
        bought.type = record ? record->type : 0;
        bought.unit = record ? record->unit : 0;
        bought.usageKind = record ? record->usageKind : 0;
        const bool cue = bought.type == static_cast<std::uint32_t>(net::ItemType::Cue);
        // A cue takes its parts from the catalogue; counts come for other items, and for a cue that is
        // not personal when the server sends them too (as it does for the shop), so none are lost.
        if (!cue || (bought.personal == 0 && p.Remaining() >= 2 * sizeof(std::uint32_t))) {
            bought.initialValue = static_cast<std::int32_t>(p.U32());
            bought.remainingValue = static_cast<std::int32_t>(p.U32());
            bought.copyValue = bought.initialValue;
        }
        if (cue)
            if (const net::CatalogRecord* c = net::GetItemCatalog().Find(bought.itemId))
                bought.parts = c->parts;
        bought.newMark = 1;
    }
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (p.IsBad() || !session) return LogDrop(510, u"short");
    hidePurchase_ = true;
    net::PlayerRecord& record = session->own;
    if (kind != kClanGift) {
        record.secondMoney = secondMoney;
        record.money = static_cast<std::int64_t>(std::min<std::uint64_t>(money, INT64_MAX));
    }
    if (!own) {
        ShowBox(u"The item was given to friend.");
        return;
    }
    // A serial the record already holds is updated in place, never listed twice.
    net::ItemEntry* entry = record.FindItem(bought.serial);
    if (!entry) {
        entry = session->AllocItemEntry();
        if (entry && !record.AddItem(bought.serial, entry)) {
            session->FreeItemEntry(entry);
            entry = nullptr;
        }
    }
    if (!entry) {
        AddChatLine(u"The new item could not be listed. Please reconnect to see it.", colour::kRed);
        return;
    }
    *entry = bought;
    UpdateItemKeys();
    ShowBox(u"Successfully purchased.",
            bonus > 0 ? Format(u"Gold %s is charged for bonus.", FormatNumber(bonus)) : WString());
}

void SceneRoomGame::OnItemUseResult(net::Packet& p) {
    const std::uint8_t result = p.U8();
    if (p.IsBad()) return;
    AfterItemReply();
    if (result != 0) {
        ShowError(u"Failed to use the item.", u"Please reconnect to check the result.");
        return;
    }
    const std::uint64_t serial = p.U64();
    p.U32();
    const std::uint8_t active = p.U8();
    p.U8();
    const bool named = serial != 0;
    const WString name = named ? p.Str() : WString();
    if (p.IsBad()) return LogDrop(513, u"short");
    ShowBox(u"Successfully processed.", u"This item is available for use.");
    net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr;
    if (!session) return;
    net::ItemEntry* entry = session->own.FindItem(serial);
    if (!entry) return;
    entry->state = active;
    if (named) entry->cueName = name;
    if (entry->type == static_cast<std::uint32_t>(net::ItemType::Cue))
        ChangeCue(*entry);
    else if (entry->type == static_cast<std::uint32_t>(net::ItemType::Chalk))
        SelectChalk(*entry);
    bool laser = false;
    for (const net::ItemEntry* e : session->own.Items())
        laser = laser || (e->itemId == join_msg::kLaserGuideItem && e->state == 1);
    if (laser)
        if (table::TableWorld* world = World()) world->laserGuide = true;
    UpdateItemKeys();
}

void SceneRoomGame::ChangeCue(const net::ItemEntry& entry) {
    const bool personal = entry.IsPersonalCue();
    std::array<std::int32_t, 5> parts{-1, -1, -1, -1, -1};
    if (personal)
        for (std::size_t i = 0; i < parts.size(); ++i) parts[i] = entry.parts[i];
    const WString name = personal && !entry.cueName.empty() ? entry.cueName : ItemName(entry.itemId);
    table::TableWorld* world = World();
    // The new cue is taken before the old one goes, so the shooter never holds a released cue.
    table::CueObject* cue =
        world ? world->AcquireCueObject(static_cast<std::uint16_t>(entry.itemId), parts) : nullptr;
    table::CueObject* old = cueObject_;
    const int own = ownSeat_.load();
    const bool makeShooter = world && world->GetPlayState() == table::PlayState::Waiting &&
                             ((!gameRunning_.load() && own == masterSeat_.load()) || IsOwnTurn());
    // Seats with the same cue share its object: another's turn keeps the cue it shows.
    if (world && (makeShooter || (world->Shooter() == old && shooter_.load() == own))) world->SetShooter(cue);
    cueObject_ = cue;
    if (world && old && old != cue) world->ReleaseCueObject(old);
    AddChatLine(Format(u"Cue is chaned to %s.", name), colour::kYellow);
    net::PlayerRecord& record = Record();
    for (net::GameTypeEquipment& slot : record.equipment) {
        slot.cueId = static_cast<std::uint16_t>(entry.itemId);
        slot.cueSerial = entry.serial;
    }
    const std::uint64_t serial = entry.serial;
    const std::uint32_t itemId = entry.itemId;
    SendMessage(join_msg::kCueChosen, [&](net::Packet& out) { out.WriteU64(serial).WriteU32(itemId); });
}

bool SceneRoomGame::SelectChalk(const net::ItemEntry& entry) {
    if (!SelectChalkEntry(Record(), entry, World())) return false;
    RefreshItemStrip();
    return true;
}

// ---- Cues, item counts and values ------------------------------------------------------------------

void SceneRoomGame::OnCueChanged(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint16_t cueItem = static_cast<std::uint16_t>(p.U32() & 0xFFFF);
    const std::uint8_t hasParts = p.U8();
    std::array<std::int32_t, 5> parts{-1, -1, -1, -1, -1};
    if (hasParts == 1)
        for (auto& part : parts) part = p.U16();
    if (p.IsBad() || !SeatValid(seat)) return LogDrop(545, u"seat");
    table::TableWorld* world = World();
    const std::size_t type =
        static_cast<std::size_t>(world ? world->GameType() : RoomCopy().gameType) % net::kGameTypeCount;
    table::CueObject* cue = world ? world->AcquireCueObject(cueItem, parts) : nullptr;
    table::CueObject* old = nullptr;
    {
        platform::ScopedLock lock(seatLock_);
        seats_[seat].record.equipment[type].cueId = cueItem;
        seats_[seat].record.seat.cueItem = cueItem;
        if (seat == ownSeat_.load()) {
            old = cueObject_;
            cueObject_ = cue;
        } else {
            old = seatCues_[seat];
            seatCues_[seat] = cue;
        }
    }
    // Seats with the same cue share its object, so the shown cue changes only on the seat's own turn.
    const bool turn = shooter_.load() == seat;
    if (world && turn) world->SetShooter(cue);
    if (world && old && old != cue) world->ReleaseCueObject(old);
    if (turn) AddChatLine(Format(u"Cue is changed to %s", ItemName(cueItem)), colour::kYellow);
}

void SceneRoomGame::OnItemValues(net::Packet& p) {
    const std::uint64_t serial = p.U64();
    const std::uint64_t first = p.U64();
    const auto second = static_cast<std::int64_t>(p.U64());
    if (p.IsBad()) return LogDrop(547, u"short");
    if (net::ItemEntry* entry = Record().FindItem(serial)) net::SetItemValues(*entry, first, second);
}

void SceneRoomGame::OnItemCount(net::Packet& p) {
    const std::uint8_t result = p.U8();
    const std::uint64_t serial = p.U64();
    const std::uint16_t count = p.U16();
    if (p.IsBad() || result != 0) return;
    net::PlayerRecord& record = Record();
    net::ItemEntry* entry = record.FindItem(serial);
    if (!entry) return;
    entry->remainingValue = count;
    if (count != 0) return;
    // Nothing keeps pointing at an entry that goes back to the pool.
    for (net::GameTypeEquipment& slot : record.equipment) {
        if (slot.cueSerial == serial) slot.cueSerial = 0;
        if (slot.ballSetSerial == serial) slot.ballSetSerial = 0;
        if (slot.tableSerial == serial) slot.tableSerial = 0;
    }
    record.RemoveItem(serial);
    if (net::GameSession* session = Host() ? Host()->CurrentSession() : nullptr)
        session->FreeItemEntry(entry);
    RefreshItemStrip();
}

// ---- Points and money during a game ----------------------------------------------------------------

void SceneRoomGame::OnPointsUpdate(net::Packet& p) {
    const std::uint8_t kind = p.U8();
    const std::uint64_t jackpot = p.U64();
    p.U32();
    const std::uint8_t teamCount = p.U8();
    const std::uint8_t perTeam = p.U8();
    std::uint32_t stake1 = 0, stake2 = 0;
    if (kind == 3) {
        stake1 = p.U32();
        stake2 = p.U32();
    }
    if (p.IsBad() || teamCount > net::kMaxTeams || perTeam > kMaxMembers || teamCount * perTeam > kSeats)
        return LogDrop(2055, u"team count");
    {
        platform::ScopedLock lock(seatLock_);
        if (kind == 3) {
            room_.stake1 = static_cast<std::int32_t>(stake1);
            room_.stake2 = static_cast<std::int32_t>(stake2);
        }
    }
    jackpot_ = jackpot;
    RunOnMainThread([this, jackpot] {
        if (statusPanel_)
            statusPanel_->SetAmount(static_cast<std::int64_t>(std::min<std::uint64_t>(jackpot, INT64_MAX)));
    });
    if (!gameRunning_.load()) {
        if (kind == 3) ShowStake();
        return;
    }
    const std::uint8_t gameType = RoomCopy().gameType;
    struct TeamValues {
        std::uint32_t value = 0;
        std::uint8_t low = 0;
        std::array<std::uint32_t, kMaxMembers> points{};
        std::uint64_t money = 0;
    };
    std::array<TeamValues, net::kMaxTeams> read{};
    for (int t = 0; t < teamCount; ++t) {
        read[t].value = p.U32();
        read[t].low = static_cast<std::uint8_t>(p.U16() & 0xFF);
        p.U16();
        if (gameType == 0 || gameType == 3) {
            p.U8();
            p.U8();
        }
        if (kind == 3)
            for (int m = 0; m < perTeam; ++m) read[t].points[m] = p.U32();
        if (kind == 4) read[t].money = p.U64();
    }
    if (p.IsBad()) return LogDrop(2055, u"short");
    const int own = ownSeat_.load();
    std::int64_t ownMoney = -1;
    std::vector<std::pair<const net::PlayerRecord*, int>> gains;
    {
        platform::ScopedLock lock(seatLock_);
        platform::ScopedLock roomLock(game_.lock);
        for (int t = 0; t < teamCount; ++t) {
            net::RoomTeam& team = game_.teams[t];
            team.score = read[t].value;
            team.hiddenNumber = read[t].low;
            if (kind == 3)
                for (int m = 0; m < perTeam && m < team.memberCount; ++m) {
                    const int seat = team.memberSeats[m];
                    if (!SeatValid(seat)) continue;
                    seats_[seat].record.game.points = read[t].points[m];
                    if (read[t].points[m] != 0)
                        gains.emplace_back(&seats_[seat].record, static_cast<int>(read[t].points[m]));
                }
            if (kind == 4 && team.memberCount > 0 && SeatValid(team.memberSeats[0])) {
                const int seat = team.memberSeats[0];
                seats_[seat].record.money =
                    static_cast<std::int64_t>(std::min<std::uint64_t>(read[t].money, INT64_MAX));
                if (seat == own) ownMoney = seats_[seat].record.money;
            }
        }
    }
    if (ownMoney >= 0) Record().money = ownMoney;
    // The list is rebuilt first (the frame's widget refresh), then the points float beside their rows.
    widgetsDirty_ = true;
    ShowStake();
    RunOnMainThread([this, gains = std::move(gains)] {
        if (!playerMenu_) return;
        for (const auto& [record, points] : gains) playerMenu_->ShowScorePopup(record, points);
    });
}

void SceneRoomGame::ShowStake() {
    RunOnMainThread([this] {
        const net::RoomInfo info = RoomCopy();
        if (playerMenu_) playerMenu_->SetHeader(info.stake1, info.stake2);
    });
}

void SceneRoomGame::OnPointTrack(net::Packet& p) {
    const std::uint8_t mode = p.U8();
    std::array<std::uint8_t, 4> marks{};
    for (auto& m : marks) m = p.U8();
    if (p.IsBad()) return LogDrop(2078, u"short");
    std::uint8_t storedThird = 0;
    {
        platform::ScopedLock lock(seatLock_);
        storedThird = room_.pointTrack[3];
        room_.pointTrackMode = mode;
        std::copy(marks.begin(), marks.end(), room_.pointTrack.begin());
    }
    PlaySound(storedThird != 0 ? join_msg::kPointTrackMarkSound : join_msg::kPointTrackSound);
    ShowPointTrack(mode, marks);
}

// ---- Player progress -------------------------------------------------------------------------------

void SceneRoomGame::OnHighRun(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint16_t run = p.U16();
    if (p.IsBad() || !SeatValid(seat)) return LogDrop(2067, u"seat");
    if (seat == ownSeat_.load()) {
        const table::TableWorld* world = World();
        const std::size_t type =
            static_cast<std::size_t>(world ? world->GameType() : RoomCopy().gameType) % net::kGameTypeCount;
        Record().highRun[type] = run;
    }
    AddChatLine(Format(u"%s has renewed the highest singe-cue hits to %d ", SeatCopy(seat).record.nickname,
                       static_cast<int>(run)),
                colour::kLavender);
}

void SceneRoomGame::OnHandicapChange(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint16_t handicap = p.U16();
    if (p.IsBad() || !SeatValid(seat)) return LogDrop(2068, u"seat");
    const std::size_t type = RoomCopy().gameType % net::kGameTypeCount;
    WString name;
    std::uint16_t before = 0;
    {
        platform::ScopedLock lock(seatLock_);
        net::PlayerRecord& r = seats_[seat].record;
        name = r.nickname;
        before = r.handicap[type];
        r.handicap[type] = handicap;
        r.handicapChanged = 1;
    }
    if (seat == ownSeat_.load()) {
        net::PlayerRecord& own = Record();
        own.handicap[type] = handicap;
        own.handicapChanged = 1;
    }
    if (handicap > before)
        AddChatLine(Format(u"%s's handi hass increased to %d", name, static_cast<int>(handicap)),
                    colour::kLavender);
    else if (handicap < before)
        AddChatLine(Format(u"%s's hadni has decreased to %d", name, static_cast<int>(handicap)),
                    colour::kLavender);
    widgetsDirty_ = true;  // the player list shows the new handicap
}

void SceneRoomGame::OnLevelUp(net::Packet& p) {
    const std::uint8_t seat = p.U8();
    const std::uint16_t level = p.U16();
    const std::uint32_t experience = p.U32();
    if (p.IsBad() || !SeatValid(seat)) return LogDrop(2069, u"seat");
    const bool own = seat == ownSeat_.load();
    if (own) {
        net::PlayerRecord& record = Record();
        record.level = level;
        record.experience = experience;
    }
    WString name;
    {
        platform::ScopedLock lock(seatLock_);
        seats_[seat].record.level = level;
        seats_[seat].record.experience = experience;
        name = seats_[seat].record.nickname;
    }
    AddChatLine(Format(u"%s's level has raised to %d.", name, static_cast<int>(level)), colour::kLavender);
    if (own && level == join_msg::kTargetLineLevel)
        AddChatLine(u"Target line may be used when the level is over 10 respectively", colour::kYellow);
    if (own) QueueLevelUp();
    widgetsDirty_ = true;  // the player list shows the new level
}

void SceneRoomGame::OnOwnStats(net::Packet& p) {
    if (!net::ReadOwnStatistics(p, Record())) LogDrop(2070, u"short or game type");
}

void SceneRoomGame::OnOwnCounter(net::Packet& p) {
    if (!net::ReadOwnCounter(p, Record())) LogDrop(2071, u"short");
}

// ---- Jackpots --------------------------------------------------------------------------------------

void SceneRoomGame::OnJackpot(net::Packet& p) {
    const WString winner = p.Str();
    const std::uint8_t multiplier = p.U8();
    const std::uint32_t amount = p.U32();
    if (p.IsBad()) return LogDrop(2085, u"short");
    // The banner shows; the seat info panel drops its jackpot marker with the jackpot sound.
    ShowJackpot(amount, winner);
    AddChatLine(Format(u"★ Gain %s's jackpot %s won", winner, FormatNumber(amount)), colour::kGreen);
    if (winner == Record().nickname && multiplier > 2)
        AddChatLine(Format(u"★ 잭팟 아이템 1회 사용 (%d배 적용)", static_cast<int>(multiplier)),
                    colour::kGreen);
    AddChatLine(u"(The higher the betting amount, the more the jackpot gaining amount)", colour::kGreen);
}

void SceneRoomGame::OnJackpotBroadcast(net::Packet& p) {
    const WString winner = p.Str();
    const std::uint32_t amount = p.U32();
    const std::uint8_t channel = p.U8();
    const std::uint16_t roomNumber = p.U16();
    if (p.IsBad()) return LogDrop(2086, u"short");
    AddChatLine(Format(u"★ %s 님 잭팟 %s 획득! (%d채널 %d번방)", winner, FormatNumber(amount),
                       static_cast<int>(channel), static_cast<int>(roomNumber)),
                colour::kMagenta);
}

}  // namespace scenes
