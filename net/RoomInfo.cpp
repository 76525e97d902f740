#include "net/RoomInfo.h"

#include <algorithm>

#include "engine/core/Format.h"
#include "net/Packet.h"

namespace net {

std::int64_t RoomInfo::RequiredGold(std::int64_t money, std::uint16_t channelType) const {
    constexpr std::uint16_t kTournamentChannel = 8;
    if (channelType == kTournamentChannel) return 0;
    std::int64_t need = 0;
    if (moneyClass == 1) need = 500;
    if (moneyClass == 3) need = 1000;
    if (gameType == 2 || gameType == 5 || gameType == 6) need += std::max<std::int32_t>(seedMoney, 0);
    return std::max<std::int64_t>(need - money, 0);
}

bool RoomInfo::IsOpenNonGamble() const {
    const bool gambleType = gameType == 2 || gameType == 5 || gameType == 6;
    return !gambleType && stake1 == 0 && stake2 == 0;
}

void RoomInfo::Write(Packet& p) const {
    p.WriteU16(number).WriteU8(state).WriteU8(gameType).WriteU8(playerCount).WriteU8(maxPlayers);
    p.WriteU8(masterSlot).WriteU8(moneyClass).WriteU8(gameOption).WriteU8(inningTime).WriteU8(hasPassword);
    p.WriteString(title).WriteI32(seedMoney).WriteU16(tableItem).WriteU16(ballSetItem);
}

RoomInfo::BlockRead RoomInfo::ReadBlock(Packet& p, WString* why) {
    RoomInfo r;
    p.ReadU16(r.number).ReadU8(r.state).ReadU8(r.gameType).ReadU8(r.playerCount).ReadU8(r.maxPlayers);
    p.ReadU8(r.masterSlot)
        .ReadU8(r.moneyClass)
        .ReadU8(r.gameOption)
        .ReadU8(r.inningTime)
        .ReadU8(r.hasPassword);
    p.ReadString(r.title).ReadI32(r.seedMoney).ReadU16(r.tableItem).ReadU16(r.ballSetItem);
    if (p.IsBad()) return BlockRead::Broken;
    WString problem;
    if (r.gameType >= 17)
        problem = Format(u"game type %d", int{r.gameType});
    else if (r.maxPlayers > kMaxSeats || r.playerCount > kMaxSeats)
        problem = Format(u"%d of %d players", int{r.playerCount}, int{r.maxPlayers});
    else if (r.masterSlot >= kMaxSeats)
        problem = Format(u"master seat %d", int{r.masterSlot});
    if (!problem.empty()) {
        if (why) *why = Format(u"room %d, %s", int{r.number}, problem);
        return BlockRead::Unshowable;
    }
    number = r.number;
    state = r.state;
    gameType = r.gameType;
    playerCount = r.playerCount;
    maxPlayers = r.maxPlayers;
    masterSlot = r.masterSlot;
    moneyClass = r.moneyClass;
    gameOption = r.gameOption;
    inningTime = r.inningTime;
    hasPassword = r.hasPassword;
    title = std::move(r.title);
    seedMoney = r.seedMoney;
    tableItem = r.tableItem;
    ballSetItem = r.ballSetItem;
    return BlockRead::Taken;
}

}  // namespace net
