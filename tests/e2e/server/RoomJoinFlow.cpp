// The test server's answer to a watcher who asks to join a running game: the cost is taken, the
// player goes into the next free team and everyone in the room learns it (2020).
#include <algorithm>

#include "tests/e2e/server/RoomJoinMessages.h"
#include "tests/e2e/server/ServerState.h"

namespace testserver {

namespace join {

namespace {
constexpr std::uint64_t kRoomMoney = 100000;  // what every player brings into a room here
constexpr std::uint8_t kMaxTeams = 7;
}  // namespace

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

bool TestGameServer::HandleJoinGame(Client& c, const Frame& f) {
    constexpr std::uint16_t kJoinRequest = 2019, kJoined = 2020;
    if (f.id != kJoinRequest) return false;
    std::vector<std::pair<Client*, Bytes>> out;
    {
        std::lock_guard lock(mutex_);
        if (c.room < 0 || c.seat < 0 || c.seat >= kRoomSeats) return true;
        Room& room = *rooms_[c.room];
        if (!room.running || room.playing[c.seat] != 0) return true;
        std::uint8_t team = 1;
        while (team <= join::kMaxTeams &&
               std::find(room.playing.begin(), room.playing.end(), team) != room.playing.end())
            ++team;
        if (team > join::kMaxTeams) return true;
        room.playing[c.seat] = team;
        const std::int64_t cost = join::JoinCost(room.gameType, room.seedMoney);
        const Bytes body = join::PlayerJoinedGame(
            static_cast<std::uint8_t>(c.seat), join::kRoomMoney - static_cast<std::uint64_t>(cost), team, 0);
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kJoined, body));
    }
    for (auto& [m, bytes] : out) Write(*m, std::move(bytes), true);
    return true;
}

}  // namespace testserver
