#pragma once
// The client's copy of a player's account data: the own player in the session, the others per seat.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/core/Text.h"
#include "net/ItemEntry.h"
#include "net/NetConstants.h"

namespace net {

class Packet;

// Per-game state of a seated player.
struct PlayerGameState {
    std::uint8_t present = 0;
    std::uint8_t playing = 0;  // team slot; 0 watches
    std::uint8_t ready = 0;
    std::uint8_t gameSlot = 0;
    std::uint8_t dropped = 0;
    std::uint32_t shots = 0;
    std::uint32_t points = 0;
    std::uint32_t fouls = 0;
    std::uint16_t score1 = 0;
    std::uint16_t score2 = 0;

    void ClearCounters() {
        shots = points = fouls = 0;
        score1 = score2 = 0;
    }
};

struct GameTypeStatistics {
    std::uint32_t games = 0;
    std::uint32_t wins = 0;
    std::uint32_t losses = 0;
};

struct GameTypeEquipment {
    std::uint64_t cueSerial = 0;
    std::uint16_t cueId = 0;
    std::uint64_t ballSetSerial = 0;
    std::uint16_t ballSetId = 0;
    std::uint64_t tableSerial = 0;
    std::uint16_t tableId = 0;
};

// What a game room tells of a member beside his account: the seat number and in-room flag are the
// game state's game slot and present byte.
struct SeatFields {
    std::uint8_t status = 0;  // seat status (2023)
    std::uint8_t secondRole = 0;
    std::uint8_t withdrawalFlag = 0;  // marked for withdrawals
    std::array<std::uint32_t, kGameTypeCount> perTypeValues{};
    std::uint16_t cueItem = 0;  // the cue of the room's game type
    std::array<std::uint16_t, 5> cueParts{};
};

// The own statistics of one game type: eight values, with two small ones that travel between the
// fourth and the fifth.
struct TypeStatistics {
    std::array<std::uint32_t, 8> values{};
    std::array<std::uint16_t, 2> small{};
};

constexpr int kOwnCounters = 10;  // counters 1..9; index 0 is unused

constexpr int kMaxOwnedItems = 255;  // the item count travels as a u8
constexpr int kAbilityCount = 5;

class PlayerRecord {
public:
    std::uint64_t playerId = 0;
    WString nickname;
    std::uint16_t level = 0;
    std::uint32_t experience = 0;
    std::int64_t money = 0;  // gold, cue money
    std::uint32_t cash = 0;
    PlayerGameState game;
    SeatFields seat;
    std::uint8_t chatState = 0;  // 3 and 4: banned from chatting
    std::uint32_t withdrawals = 0;
    std::uint32_t clanId = 0;
    WString clanName;
    std::uint8_t clanGrade = 0;  // 10 = clan master
    std::uint8_t portrait = 0;
    std::uint8_t warningPercent = 0;
    std::uint8_t badge1 = 0;
    std::uint8_t badge2 = 0;
    std::uint8_t mark = 0;
    std::uint32_t generalAverage = 0;  // hundredths
    std::array<std::uint16_t, kGameTypeCount> handicap{};
    std::uint8_t handicapChanged = 0;
    std::uint16_t abilityPoints = 0;
    std::array<std::uint32_t, kAbilityCount> abilities{};
    std::uint8_t accountKind = 0;
    std::int8_t membershipGrade = 0;
    std::uint8_t dailyCounter = 0;
    std::uint32_t signInCounter = 0;  // the practice key guide shows while below 300
    std::array<GameTypeStatistics, kGameTypeCount> statistics{};
    std::uint8_t tournamentFeeFlag = 0;
    WString tournamentFeeText;
    std::uint8_t tournamentMaster = 0;
    std::uint16_t stickerCount = 0;
    std::uint16_t location = 0;
    std::array<GameTypeEquipment, kGameTypeCount> equipment{};
    std::uint64_t currentItemSerial = 0;
    // The settings the server keeps for the account (voice, filters, control mode), as
    // Options::SetFromServerWord reads them.
    std::uint32_t serverOptionWord = 0;
    // Own progress the room reports (statistics, counters, high runs, the second money value).
    std::uint16_t statisticsValue = 0;
    std::array<TypeStatistics, kGameTypeCount> typeStatistics{};
    std::uint8_t statisticsTail1 = 0;
    std::uint32_t statisticsTail2 = 0;
    std::uint8_t statisticsTail3 = 0;
    std::array<std::uint32_t, kOwnCounters> counters{};
    std::array<std::uint16_t, kGameTypeCount> highRun{};
    std::uint32_t secondMoney = 0;

    bool IsChatBanned() const { return chatState == 3 || chatState == 4; }

    // Items: the record holds the session's pooled entries and never frees them.
    ItemEntry* FindItem(std::uint64_t serial) const;
    // False when the serial is already held or the list is full; the caller keeps the entry then.
    bool AddItem(std::uint64_t serial, ItemEntry* entry);
    // Takes the entry of that serial out of the list (and out of the selection); null when absent.
    ItemEntry* RemoveItem(std::uint64_t serial);
    bool RemoveItemEntry(ItemEntry* entry);
    ItemEntry* GetCurrentItem() const { return currentItemSerial ? FindItem(currentItemSerial) : nullptr; }
    // 0 clears the selection; a serial the record does not hold is refused.
    bool SelectItem(std::uint64_t serial);
    // The cue entry equipped for a slot (a game type 0..16), or null for another slot or a serial
    // the record does not hold.
    ItemEntry* GetSlotItem(int slot) const;
    int ItemCount() const { return static_cast<int>(items_.size()); }
    const std::vector<ItemEntry*>& Items() const { return items_; }
    // Empties the list and hands every entry to release (the session returns them to its pool).
    template <class F>
    void ReleaseItems(F&& release) {
        for (ItemEntry* e : items_) release(e);
        items_.clear();
        currentItemSerial = 0;
    }

    // Account fields, the equipment per game type and the server's option word, without items (the
    // account block of the sign-in flows, docs/protocol.md).
    void WriteAccount(Packet& packet) const;
    // Reads the block; false (record unchanged) when the message is short or malformed.
    bool ReadAccount(Packet& packet);

private:
    std::vector<ItemEntry*> items_;
};

}  // namespace net
