// The test server's messages about joining a game and about the own items in a room.
#include "tests/e2e/server/RoomJoinMessages.h"

#include <algorithm>

namespace testserver {

namespace join {

std::int64_t JoinCost(std::uint8_t gameType, std::int32_t seedMoney) {
    const std::int64_t seed = std::max<std::int32_t>(seedMoney, 0);
    if (gameType == 2 || gameType == 5) return 2 * seed;
    return gameType == 6 ? seed : 0;
}

Bytes PlayerJoinedGame(std::uint8_t seat, std::uint64_t money, std::uint8_t team, std::uint32_t penalty) {
    Writer w;
    w.u8(seat).u64(money).u8(team).u32(penalty).u16(0).u32(0);
    return w.bytes();
}

Bytes AllIn(std::uint8_t team) {
    Writer w;
    w.u8(team);
    return w.bytes();
}

Bytes Purchased(std::uint64_t money, std::uint64_t serial, std::uint32_t itemId, std::uint32_t count,
                std::uint32_t bonus) {
    Writer w;
    w.u8(1).u8(0).u32(0).u64(money).u32(0).u32(bonus);
    w.u64(serial).u32(itemId).u8(0).u8(0).u32(count).u32(count);
    return w.bytes();
}

Bytes ItemUsed(std::uint64_t serial, std::uint32_t itemId, const std::u16string& name) {
    Writer w;
    w.u8(0).u64(serial).u32(itemId).u8(1).u8(0);
    if (serial != 0) w.str(name);
    return w.bytes();
}

Bytes ItemCount(std::uint64_t serial, std::uint16_t count) {
    Writer w;
    w.u8(0).u64(serial).u16(count);
    return w.bytes();
}

}  // namespace join

}  // namespace testserver
