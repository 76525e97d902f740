#include "net/PlayerRecord.h"

#include <algorithm>

#include "net/Packet.h"

namespace net {

ItemEntry* PlayerRecord::FindItem(std::uint64_t serial) const {
    for (ItemEntry* e : items_)
        if (e->serial == serial) return e;
    return nullptr;
}

bool PlayerRecord::AddItem(std::uint64_t serial, ItemEntry* entry) {
    if (!entry || FindItem(serial) || static_cast<int>(items_.size()) >= kMaxOwnedItems) return false;
    entry->serial = serial;
    items_.push_back(entry);
    return true;
}

ItemEntry* PlayerRecord::RemoveItem(std::uint64_t serial) {
    ItemEntry* e = FindItem(serial);
    if (e) RemoveItemEntry(e);
    return e;
}

bool PlayerRecord::RemoveItemEntry(ItemEntry* entry) {
    auto it = std::find(items_.begin(), items_.end(), entry);
    if (it == items_.end()) return false;
    items_.erase(it);
    // Nothing may keep pointing at an entry that goes back to the pool.
    if (currentItemSerial == entry->serial) currentItemSerial = 0;
    return true;
}

bool PlayerRecord::SelectItem(std::uint64_t serial) {
    if (serial != 0 && !FindItem(serial)) return false;
    currentItemSerial = serial;
    return true;
}

ItemEntry* PlayerRecord::GetSlotItem(int slot) const {
    if (slot < 0 || slot >= kGameTypeCount) return nullptr;
    return FindItem(equipment[static_cast<std::size_t>(slot)].cueSerial);
}

void PlayerRecord::WriteAccount(Packet& p) const {
    p.WriteU64(playerId)
        .WriteString(nickname)
        .WriteU16(level)
        .WriteU32(experience)
        .WriteI64(money)
        .WriteU32(cash);
    p.WriteU8(accountKind).WriteI8(membershipGrade).WriteU8(chatState);
    p.WriteU32(clanId).WriteString(clanName).WriteU8(clanGrade);
    p.WriteU32(generalAverage).WriteU16(abilityPoints);
    for (std::uint32_t a : abilities) p.WriteU32(a);
    p.WriteU8(dailyCounter).WriteU32(signInCounter).WriteU16(stickerCount);
    for (std::uint16_t h : handicap) p.WriteU16(h);
    for (const GameTypeEquipment& e : equipment) {
        p.WriteU64(e.cueSerial).WriteU16(e.cueId).WriteU64(e.ballSetSerial).WriteU16(e.ballSetId);
        p.WriteU64(e.tableSerial).WriteU16(e.tableId);
    }
    p.WriteU32(serverOptionWord);
}

bool PlayerRecord::ReadAccount(Packet& p) {
    PlayerRecord r;
    p.ReadU64(r.playerId).ReadString(r.nickname).ReadU16(r.level).ReadU32(r.experience).ReadI64(r.money);
    p.ReadU32(r.cash).ReadU8(r.accountKind).ReadI8(r.membershipGrade).ReadU8(r.chatState);
    p.ReadU32(r.clanId).ReadString(r.clanName).ReadU8(r.clanGrade);
    p.ReadU32(r.generalAverage).ReadU16(r.abilityPoints);
    for (std::uint32_t& a : r.abilities) p.ReadU32(a);
    p.ReadU8(r.dailyCounter).ReadU32(r.signInCounter).ReadU16(r.stickerCount);
    for (std::uint16_t& h : r.handicap) p.ReadU16(h);
    for (GameTypeEquipment& e : r.equipment) {
        p.ReadU64(e.cueSerial).ReadU16(e.cueId).ReadU64(e.ballSetSerial).ReadU16(e.ballSetId);
        p.ReadU64(e.tableSerial).ReadU16(e.tableId);
    }
    p.ReadU32(r.serverOptionWord);
    if (p.IsBad()) return false;
    playerId = r.playerId;
    nickname = std::move(r.nickname);
    level = r.level;
    experience = r.experience;
    money = r.money;
    cash = r.cash;
    accountKind = r.accountKind;
    membershipGrade = r.membershipGrade;
    chatState = r.chatState;
    clanId = r.clanId;
    clanName = std::move(r.clanName);
    clanGrade = r.clanGrade;
    generalAverage = r.generalAverage;
    abilityPoints = r.abilityPoints;
    abilities = r.abilities;
    dailyCounter = r.dailyCounter;
    signInCounter = r.signInCounter;
    stickerCount = r.stickerCount;
    handicap = r.handicap;
    equipment = r.equipment;
    serverOptionWord = r.serverOptionWord;
    return true;
}

}  // namespace net
