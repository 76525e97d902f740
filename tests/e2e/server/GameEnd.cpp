// The end of a room's game: by a player who left or withdrew (2031), or by play (2046).
#include <algorithm>

#include "tests/e2e/server/RoomCodes.h"
#include "tests/e2e/server/ServerState.h"

namespace testserver {

using namespace room;

std::uint64_t TestGameServer::GoldOf(const Client& c) {
    return static_cast<std::uint64_t>(std::max<std::int64_t>(0, shop_.Account(c.loginId).money));
}

void TestGameServer::EndGame(Room& room, int seat, std::uint8_t team, const std::u16string& name,
                             std::uint8_t endKind, Outbox& out) {
    // The teams of the game at its end, each with the slot it started with: the one who left and those
    // still playing, in slot order.
    const auto slotOf = [&](int s, std::uint8_t now) {
        return room.startSlots[s] ? room.startSlots[s] : now;
    };
    std::vector<std::pair<std::uint8_t, int>> teams{{slotOf(seat, team), seat}};
    for (int s = 0; s < kRoomSeats; ++s)
        if (room.seats[s] && room.playing[s] && s != seat) teams.emplace_back(slotOf(s, room.playing[s]), s);
    if (endKind != kInvalidGame && teams.size() > 2) {
        room.leftGame.push_back(seat);  // the others play on
        return;
    }
    std::sort(teams.begin(), teams.end());
    // Those who left the game before come first, in the order they left, each with his loss, so that
    // the last team is one of the end (an invalid game marks it).
    std::vector<std::pair<std::uint8_t, int>> left;
    for (int s : room.leftGame) left.emplace_back(room.startSlots[s], s);
    teams.insert(teams.begin(), left.begin(), left.end());
    room.running = false;
    room.waitingSince = std::chrono::steady_clock::now();
    room.shotPending = false;
    room.ready = {};
    Writer w;
    w.str(name).u8(endKind == kEndWithdrawn ? kEndWithdrawn : kEndDisconnected);
    w.u16(static_cast<std::uint16_t>(endKind == kEndWithdrawn ? kWithdrawalPoints : 0)).u16(0);
    w.u8(static_cast<std::uint8_t>(teams.size())).u8(1);
    for (std::size_t i = 0; i < teams.size(); ++i) {
        const bool last = i + 1 == teams.size();
        const bool leftBefore = i < left.size();
        const std::uint8_t result = leftBefore                ? kTeamLost
                                    : endKind == kInvalidGame ? (last ? kTeamInvalid : 0)
                                    : teams[i].second == seat ? kTeamLost
                                                              : kTeamWon;
        w.u8(teams[i].first).u8(result).u8(static_cast<std::uint8_t>(teams[i].second)).u32(0).u32(0).u8(0);
    }
    for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kGameEnd, w.bytes()));
    // Every player readies again for the next game (a withdrawn one was unreadied before): the
    // clients hear it after the game's end, so no Start waits on a Ready they still show.
    for (int s = 0; s < kRoomSeats; ++s) {
        if (!room.seats[s] || s == room.master) continue;
        Writer unready;
        unready.u8(static_cast<std::uint8_t>(s)).u8(0);
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kReadyChanged, unready.bytes()));
    }
}

void TestGameServer::EndGameByPlay(Room& room, int shooter, bool shooterWon, Outbox& out) {
    // The teams in slot order, one member each; the shooter's team won or lost, every other team the
    // other way.
    std::vector<std::pair<std::uint8_t, int>> teams;
    for (int s = 0; s < kRoomSeats; ++s)
        if (room.seats[s] && room.playing[s]) teams.emplace_back(room.playing[s], s);
    std::sort(teams.begin(), teams.end());
    const std::uint8_t shooterTeam = room.playing[shooter];
    Writer w;
    w.u8(static_cast<std::uint8_t>(teams.size())).u8(1);
    for (const auto& [slot, seat] : teams) {
        const bool won = (slot == shooterTeam) == shooterWon;
        w.u8(slot).u8(won ? kTeamWon : kTeamLost);
        // The game's points, a value the result list does not show, the player's gold after the game
        // (unchanged: the server plays for no gold; the clients keep it as his gold), two values unshown.
        w.u32(room.points[seat]).u32(0).u64(GoldOf(*room.seats[seat])).u8(0).u8(0);
    }
    w.u8(0);
    room.running = false;
    room.waitingSince = std::chrono::steady_clock::now();
    room.shotPending = false;
    room.ready = {};
    for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kGameResults, w.bytes()));
    // Every client seats the players as watchers with the results; the server does too and says so,
    // so each picks a team again for the next game.
    for (const auto& [slot, seat] : teams) {
        room.playing[seat] = 0;
        Writer watching;
        watching.u8(static_cast<std::uint8_t>(seat)).u8(0);
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kPlaying, watching.bytes()));
    }
}

}  // namespace testserver
