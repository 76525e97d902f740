// The test server's room flow: what a game server does between room entry and leaving, in the least
// form that lets two clients play one game. It answers entry with the room state and the member
// list, keeps seats, teams and readiness, starts the game, relays aims to the others and shots to
// everyone, asks every client for its table state during a shot, collects every client's shot result
// and table state, judges the turn from the shooter's result and announces the turn result and the
// new turn built from the shooter's table state. It passes game requests and their answers between the
// players, tells the others of a player's new cue, lists the players who may be invited and passes the
// invitations on, and answers ban cancels.
#include <algorithm>

#include "tests/e2e/server/ServerState.h"

namespace testserver {

namespace {

enum : std::uint16_t {
    kRoomState = 2001,
    kChatSend = 2005,
    kChatLine = 2006,
    kEnterDone = 2007,
    kMemberList = 2011,
    kPlayChoice = 2012,
    kPlaying = 2013,
    kReady = 2026,
    kReadyChanged = 2027,
    kStart = 2028,
    kGameStart = 2029,
    kTableStateRequest = 2049,
    kTableState = 2050,
    kNewTurn = 2051,
    kShot = 2052,
    kShotResult = 2053,
    kTurnResult = 2056,
    kAim = 2058,
    kCalledPocket = 2061,
    kTurnTimeOver = 2062,
    kBallPlacement = 2063,
    kPlacedBall = 2064,
    kBanCancel = 246,
    kNotice = 240,
    kReport = 258,
    kReportTarget = 244,
    kCueChosen = 544,
    kCueChanged = 545,
    kCueWear = 546,
    kGameRequest = 2032,
    kOpponentRequest = 2033,
    kRequestAnswer = 2034,
    kRequestAnswered = 2035,
    kRoomOptions = 2003,
    kRoomOptionsChanged = 2004,
    kInviteListRequest = 2042,
    kInviteList = 2043,
    kInvite = 2044,
    kInvitation = 186,
    kGroupsDecided = 2087,
    kEightBallShot = 2088,
    kPlayerEntered = 2014,
    kGameEndRequest = 2037,
    kWithdrawnLost = 2038,
    kGameEnd = 2031,
};

constexpr std::uint8_t kRoomBan = 24;

// 2037: what the sender asks for. 1 withdraws (0 and 1 in the fee games, which send the withdraw
// dialog's flag), 7 withdraws after the opponent agreed, 8 ends the game as invalid (agreed too).
bool IsWithdrawal(std::uint8_t value, std::uint8_t gameType) {
    if (value == 7 || value == 1) return true;
    return value == 0 && (gameType == 2 || gameType == 5);
}
constexpr std::uint8_t kInvalidGame = 8;
constexpr std::uint8_t kEndWithdrawn = 2, kEndDisconnected = 0;
// Withdrawal points charged to a player who withdraws (shown in the game end line as "WP").
constexpr std::int16_t kWithdrawalPoints = -10;
constexpr std::uint8_t kTeamWon = 1, kTeamLost = 2, kTeamInvalid = 7;

constexpr std::uint8_t kKindStays = 2;
constexpr std::uint16_t kTimeOutCode = 0xFFFD;  // -3
constexpr int kFirstPocketType = 10;
constexpr int kEightBall = 10;

// Whether the shooter keeps the table: a carom point (a count above 0, no foul), or in a pocket game a
// ball pocketed without the cue ball.
bool ShooterStays(const Bytes& result, int gameType) {
    if (result.size() < 2) return false;
    const std::uint16_t code = static_cast<std::uint16_t>(result[0] | (result[1] << 8));
    if (code & 0x8000) return false;
    if (gameType < kFirstPocketType) return code % 1000 > 0;
    if (result.size() < 4) return false;
    const std::size_t n = result[3];
    if (n == 0 || result.size() < 4 + n) return false;
    return std::find(result.begin() + 4, result.begin() + 4 + static_cast<long>(n), 0) ==
           result.begin() + 4 + static_cast<long>(n);
}

// In a pocket game: the cue ball went down with the shot (the next player gets it in hand).
bool CueBallPocketed(const Bytes& result, int gameType) {
    if (gameType < kFirstPocketType || result.size() < 4) return false;
    const std::size_t n = std::min<std::size_t>(result[3], result.size() - 4);
    return std::find(result.begin() + 4, result.begin() + 4 + static_cast<long>(n), 0) !=
           result.begin() + 4 + static_cast<long>(n);
}

// A ball the shooter set down by hand (2063: the ball and its 12 position bytes) moves in the room's
// last table state, back in play, so a new turn built from that state (a time-out) has it where it was
// set down. The state is a 2050 body: table, ball set, count, 12 position and 16 orientation bytes a
// ball, in pocket games one out-of-play byte a ball, the turn's table and ball set.
void PlaceInState(Bytes& state, std::uint8_t ball, const std::uint8_t* position, int gameType) {
    if (state.size() < 5) return;
    const std::size_t count = state[4];
    const bool pocket = gameType >= kFirstPocketType;
    if (ball >= count || state.size() != 5 + count * (pocket ? 29 : 28) + 4) return;
    std::copy(position, position + 12, state.begin() + 5 + ball * 12);
    if (pocket) state[5 + count * 28 + ball] = 0;
}

}  // namespace

std::vector<Bytes> TestGameServer::Received(int client, std::uint16_t id) const {
    std::lock_guard lock(mutex_);
    std::vector<Bytes> bodies;
    const std::shared_ptr<Client> found = FindLocked(client);
    if (!found) return bodies;
    for (const Frame& f : found->history)
        if (f.id == id) bodies.push_back(f.body);
    return bodies;
}

void TestGameServer::HandleRoom(Client& c, const Frame& f) {
    std::vector<std::pair<Client*, Bytes>> out;
    auto toAll = [&](Room& room, std::uint16_t id, const Bytes& body) {
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(id, body));
    };
    auto toOthers = [&](Room& room, std::uint16_t id, const Bytes& body) {
        for (Client* m : room.members)
            if (m != &c) out.emplace_back(m, EncodeFrame(id, body));
    };
    {
        std::lock_guard lock(mutex_);
        if (c.room < 0 || c.seat < 0) return;
        Room& room = *rooms_[c.room];
        const int seat = c.seat;
        Reader r(f.body);

        // The gold a member holds in the shop's ledger (what he bought or won shows in the room).
        auto goldOf = [&](const Client* m) {
            return static_cast<std::uint64_t>(std::max<std::int64_t>(0, shop_.Account(m->loginId).money));
        };
        // 2014: the profile of the member of `s` as the others learn it when he enters.
        auto entered = [&](int s) {
            const Client* m = room.seats[s];
            Writer w;
            w.u8(static_cast<std::uint8_t>(room.members.size())).u8(static_cast<std::uint8_t>(s));
            w.u64(static_cast<std::uint64_t>(m->index) + 1).u8(0).str(m->nickname).u32(0);
            w.u16(1).u32(0).u64(goldOf(m)).u8(0).u16(20).u8(0).u16(0).u32(0).u16(3000).u8(0);
            w.u8(room.playing[s]).u8(0).u8(0).u8(0).u32(0).u8(0);
            if (room.gameType == 2 || room.gameType == 5) w.u64(goldOf(m));
            return w.bytes();
        };
        auto memberList = [&] {
            Writer w;
            w.u8(static_cast<std::uint8_t>(room.members.size()));
            for (int s = 0; s < kRoomSeats; ++s) {
                const Client* m = room.seats[s];
                if (!m) continue;
                w.u8(static_cast<std::uint8_t>(s)).u64(static_cast<std::uint64_t>(m->index) + 1).u8(0);
                w.str(m->nickname).u32(0).u16(1).u32(0).u16(20).u64(goldOf(m)).u8(0).u8(0).u16(0).u8(0);
                w.u32(0).u8(0).u16(3000).u8(0);
                w.u8(room.playing[s]).u8(0).u8(room.ready[s]).u8(0).u32(0).u8(0);
                if (room.gameType == 2 || room.gameType == 5) w.u64(goldOf(m));
            }
            return w.bytes();
        };
        auto playingSeats = [&] {
            std::vector<int> seats;
            for (int s = 0; s < kRoomSeats; ++s)
                if (room.seats[s] && room.playing[s]) seats.push_back(s);
            return seats;
        };
        auto cueBallOf = [&](int shooter) -> std::uint8_t {
            if (room.gameType >= kFirstPocketType) return 0;
            const auto seats = playingSeats();
            const auto at = std::find(seats.begin(), seats.end(), shooter) - seats.begin();
            return static_cast<std::uint8_t>(at % 2);
        };
        auto nextShooter = [&](int from) {
            const auto seats = playingSeats();
            for (int s : seats)
                if (s > from) return s;
            return seats.empty() ? from : seats.front();
        };
        // The turn result and, when a table state is known, the new turn built from it.
        auto announceTurn = [&](std::uint16_t code, bool stays, bool freeBall) {
            const int shooter = room.shooter;
            const int next = stays ? shooter : nextShooter(shooter);
            if (stays) room.points[shooter]++;
            room.shooter = next;
            room.cueBall = cueBallOf(next);
            room.seed = room.seed * 1103515245u + 12345u;
            std::uint16_t tableItem = 0, ballSet = 0;
            if (room.lastState.size() >= 9) {
                tableItem = static_cast<std::uint16_t>(room.lastState[0] | (room.lastState[1] << 8));
                ballSet = static_cast<std::uint16_t>(room.lastState[2] | (room.lastState[3] << 8));
            }
            Writer turn;
            turn.u16(ballSet).u16(tableItem).u8(stays ? kKindStays : 0).u8(static_cast<std::uint8_t>(next));
            turn.u8(room.cueBall).u32(room.seed);
            turn.u16(0).u16(code).u8(0).u16(room.points[next]).u16(0).u16(0).u16(room.points[shooter]);
            turn.u16(room.points[next]).u8(0).u32(0).u8(freeBall ? 1 : 0);
            for (int s : playingSeats()) turn.u8(static_cast<std::uint8_t>(s)).u64(goldOf(room.seats[s]));
            turn.u8(0xFF);
            toAll(room, kTurnResult, turn.bytes());
            if (room.lastState.size() >= 9) {
                // 2050: table, ball set, block, turn table, turn ball set. 2051: shooter, cue ball, turn
                // table and ball set, block, table and ball set.
                const Bytes& s = room.lastState;
                Writer newTurn;
                newTurn.u8(static_cast<std::uint8_t>(next)).u8(room.cueBall);
                newTurn.u16(tableItem).u16(ballSet);
                newTurn.raw(Bytes(s.begin() + 4, s.end() - 4));
                newTurn.u16(tableItem).u16(ballSet);
                toAll(room, kNewTurn, newTurn.bytes());
            }
        };
        auto collectDone = [&] {
            for (int s = 0; s < kRoomSeats; ++s)
                if (room.seats[s] && !room.seats[s]->closed && (!room.results[s] || !room.states[s]))
                    return false;
            return true;
        };

        switch (f.id) {
            case kEnterDone: {
                Writer w;
                w.u64(0).u8(room.moneyClass);
                if (room.moneyClass == 3) w.u32(0).u32(0);
                w.u16(0).u16(0).u16(0).u16(room.number).u8(0).u8(room.running ? 2 : 1).u32(0);
                w.u8(room.password.empty() ? 0 : 1);
                if (!room.password.empty()) w.str(room.password);
                // How long the room has waited for a game and, while a game runs, how long it has run
                // (the client's game clock).
                const auto now = std::chrono::steady_clock::now();
                const auto ms = [&](std::chrono::steady_clock::time_point since) {
                    return static_cast<std::uint32_t>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(now - since).count());
                };
                w.u8(0).u32(ms(room.waitingSince)).u32(room.running ? ms(room.started) : 0).u32(0);
                w.u8(static_cast<std::uint8_t>(room.running ? room.shooter : room.master)).u8(room.cueBall);
                w.u8(static_cast<std::uint8_t>(room.members.size())).u8(room.maxPlayers);
                w.u8(static_cast<std::uint8_t>(room.master)).u8(static_cast<std::uint8_t>(seat)).u8(0);
                w.str(room.title).u8(0).u8(0).u8(0).u32(static_cast<std::uint32_t>(room.seedMoney)).u32(0);
                out.emplace_back(&c, EncodeFrame(kRoomState, w.bytes()));
                // The one who enters gets the whole list; the others a line about him.
                out.emplace_back(&c, EncodeFrame(kMemberList, memberList()));
                toOthers(room, kPlayerEntered, entered(seat));
                break;
            }
            case kPlayChoice: {
                const std::uint8_t team = r.u8();
                if (!r.ok || team > 7 || room.running) break;
                room.playing[seat] = team;
                if (team == 0) room.ready[seat] = 0;
                Writer w;
                w.u8(static_cast<std::uint8_t>(seat)).u8(team);
                toAll(room, kPlaying, w.bytes());
                break;
            }
            case kReady: {
                const std::uint8_t value = r.u8();
                if (!r.ok || room.running) break;
                room.ready[seat] = value ? 1 : 0;
                Writer w;
                w.u8(static_cast<std::uint8_t>(seat)).u8(room.ready[seat]);
                toAll(room, kReadyChanged, w.bytes());
                break;
            }
            case kStart: {
                const auto seats = playingSeats();
                bool distinct = seats.size() >= 2;
                bool ready = true;
                for (std::size_t i = 0; i < seats.size(); ++i) {
                    for (std::size_t j = i + 1; j < seats.size(); ++j)
                        distinct = distinct && room.playing[seats[i]] != room.playing[seats[j]];
                    ready = ready && (seats[i] == room.master || room.ready[seats[i]]);
                }
                // A start that cannot be honoured is answered with the reason, as a notice (240).
                const char16_t* refusal = seat != room.master ? u"Only the room master can start the game."
                                          : !distinct         ? u"Two teams are needed to start the game."
                                          : !ready ? u"Every player must be ready to start the game."
                                                   : nullptr;
                if (room.running) break;
                if (refusal) {
                    Writer notice;
                    notice.str(refusal);
                    out.emplace_back(&c, EncodeFrame(kNotice, notice.bytes()));
                    break;
                }
                room.running = true;
                room.started = std::chrono::steady_clock::now();
                room.shotPending = false;
                room.shots = 0;
                room.points = {};
                room.lastState.clear();
                room.groups.Reset();
                room.seed = 0x1234567u + room.number * 7919u + static_cast<std::uint32_t>(nextRoom_);
                room.shooter = seats.front();
                room.cueBall = cueBallOf(room.shooter);
                Writer w;
                w.u32(room.seed).u32(0).u8(static_cast<std::uint8_t>(room.shooter)).u8(room.cueBall);
                w.u8(0).u8(0).u8(0).u8(0).u8(0);
                w.u8(static_cast<std::uint8_t>(seats.size())).u8(1);
                for (int s : seats) {
                    w.u8(room.playing[s]).u16(0).u32(0).u16(0).u8(0);
                    if (room.gameType == 0 || room.gameType == 3) w.u8(0).u8(0);
                    if (room.gameType == 6) w.u8(0);
                    w.u8(PocketGroups::kOpen);
                    w.u8(static_cast<std::uint8_t>(s)).u64(goldOf(room.seats[s])).u16(0);
                }
                w.u32(0);
                if (room.moneyClass == 3) w.u32(0).u32(0);
                toAll(room, kGameStart, w.bytes());
                break;
            }
            case kAim:
                // Another player's aim goes to the others only.
                toOthers(room, kAim, f.body);
                break;
            case kShot:
                if (room.running && (seat != room.shooter || room.shotPending)) break;
                toAll(room, kShot, f.body);
                if (room.running) {
                    room.shotPending = true;
                    for (auto& result : room.results) result.reset();
                    for (auto& state : room.states) state.reset();
                    // Every client sends its table state with its shot result.
                    toAll(room, kTableStateRequest, {});
                }
                break;
            case kShotResult:
            case kTableState:
                if (!room.running || !room.shotPending) break;
                (f.id == kShotResult ? room.results : room.states)[seat] = f.body;
                if (collectDone()) {
                    room.shotPending = false;
                    ++room.shots;
                    const Bytes& result = *room.results[room.shooter];
                    if (room.states[room.shooter]) room.lastState = *room.states[room.shooter];
                    bool decided = false;
                    if (room.gameType == kEightBall &&
                        room.groups.AfterShot(room.playing[room.shooter], result, decided)) {
                        int teams = 0;
                        for (int s : playingSeats()) teams = std::max<int>(teams, room.playing[s]);
                        Writer w;
                        if (!decided) w.u8(1);
                        w.raw(room.groups.Statuses(teams));
                        toAll(room, decided ? kGroupsDecided : kEightBallShot, w.bytes());
                    }
                    const std::uint16_t code =
                        result.size() >= 2 ? static_cast<std::uint16_t>(result[0] | (result[1] << 8)) : 0;
                    announceTurn(code, ShooterStays(result, room.gameType),
                                 CueBallPocketed(result, room.gameType));
                }
                break;
            case kTurnTimeOver:
                if (!room.running || room.shotPending || (seat != room.shooter && seat != room.master)) break;
                announceTurn(kTimeOutCode, false, false);
                break;
            case kGameEndRequest: {
                const std::uint8_t value = r.u8();
                const std::uint8_t team = room.playing[seat];
                if (!r.ok || !room.running || team == 0) break;
                if (value == kInvalidGame) {
                    EndGame(room, seat, team, c.nickname, kInvalidGame, out);
                } else if (IsWithdrawal(value, room.gameType)) {
                    // The seat watches from now on; a game left with one team ends.
                    room.playing[seat] = room.ready[seat] = 0;
                    Writer w;
                    w.u8(static_cast<std::uint8_t>(seat));
                    toAll(room, kWithdrawnLost, w.bytes());
                    EndGame(room, seat, team, c.nickname, kEndWithdrawn, out);
                    room.CloseUpTeams();
                }
                break;
            }
            case kChatSend: {
                const std::uint8_t team = r.u8();
                const std::u16string text = r.str();
                if (!r.ok) break;
                Writer w;
                w.u8(team).u8(static_cast<std::uint8_t>(seat)).str(c.nickname).str(text);
                toAll(room, kChatLine, w.bytes());
                break;
            }
            case kBallPlacement: {
                // A placement goes out as 2064, a called pocket as 2061; in a game only the shooter's.
                if (room.running && seat != room.shooter) break;
                const std::uint8_t argument = r.u8();
                const std::uint8_t ball = r.u8();
                const std::uint32_t x = r.u32(), y = r.u32(), z = r.u32();
                const std::uint8_t pocket = r.u8();
                if (!r.ok) break;
                Writer w;
                if (argument == 1) {
                    w.u8(pocket);
                    toOthers(room, kCalledPocket, w.bytes());
                } else {
                    w.u8(ball).u32(x).u32(y).u32(z);
                    toOthers(room, kPlacedBall, w.bytes());
                    if (room.running && !room.shotPending)
                        PlaceInState(room.lastState, ball, f.body.data() + 2, room.gameType);
                }
                break;
            }
            case kRoomOptions: {
                // The master's new settings go to every member as 2004; the game type and its option
                // stay while a game runs.
                const std::u16string title = r.str();
                const std::uint16_t table = r.u16(), ballSet = r.u16();
                const std::uint8_t maxPlayers = r.u8();
                r.str();
                const std::uint8_t gameType = r.u8(), gameOption = r.u8(), inning = r.u8(), bits = r.u8();
                const std::uint8_t locked = r.u8();
                const std::u16string password = locked == 1 ? r.str() : std::u16string();
                const std::uint16_t low = r.u16(), high = r.u16();
                if (!r.ok || seat != room.master || maxPlayers < room.members.size() ||
                    maxPlayers > kRoomSeats)
                    break;
                room.title = title;
                room.maxPlayers = maxPlayers;
                room.inningTime = inning;
                room.password = password;
                if (!room.running) {
                    room.gameType = gameType;
                    room.gameOption = bits;
                }
                Writer w;
                w.u8(0)
                    .u8(static_cast<std::uint8_t>(room.master))
                    .u16(table)
                    .u16(ballSet)
                    .u8(room.maxPlayers);
                w.str(room.title).u8(gameOption).u8(0).u8(room.inningTime).u8(room.gameOption).u8(0);
                w.u32(static_cast<std::uint32_t>(room.seedMoney)).u8(room.password.empty() ? 0 : 1);
                if (!room.password.empty()) w.str(room.password);
                w.u16(low).u16(high);
                toAll(room, kRoomOptionsChanged, w.bytes());
                break;
            }
            case kGameRequest: {
                // The opponent learns who asks; the answer goes back to the others as 2035.
                const std::uint8_t kind = r.u8();
                if (!r.ok || (kind != 1 && kind != 2)) break;
                Writer w;
                w.str(c.nickname).u8(kind);
                toOthers(room, kOpponentRequest, w.bytes());
                break;
            }
            case kRequestAnswer: {
                const std::uint8_t accepted = r.u8();
                const std::uint8_t kind = r.u8();
                if (!r.ok) break;
                Writer w;
                w.u8(accepted ? 1 : 0).u8(kind);
                toOthers(room, kRequestAnswered, w.bytes());
                break;
            }
            case kBanCancel: {
                // The test server bans nobody: a cancel finds no ban to lift.
                const std::uint8_t kind = r.u8();
                const std::u16string name = r.str();
                if (!r.ok) break;
                Writer w;
                w.u8(kind).u8(kind == kRoomBan ? 0 : 1).str(name);
                out.emplace_back(&c, EncodeFrame(kBanCancel, w.bytes()));
                break;
            }
            case kInviteListRequest: {
                // The players of the channel in the lobby, keyed and named by their player id.
                std::vector<const Client*> free;
                for (const auto& other : clients_)
                    if (other.get() != &c && !other->closed && other->room < 0 &&
                        other->channel == c.channel && !other->nickname.empty())
                        free.push_back(other.get());
                Writer w;
                w.u16(static_cast<std::uint16_t>(free.size()));
                for (const Client* other : free) {
                    const auto id = static_cast<std::uint32_t>(other->index + 1);
                    w.u32(id).u64(id).u16(1).str(other->nickname).u16(0);
                }
                out.emplace_back(&c, EncodeFrame(kInviteList, w.bytes()));
                break;
            }
            case kInvite: {
                // Each invited player in the lobby who accepts invitations gets the invitation to this room.
                const std::uint8_t n = r.u8();
                std::vector<std::uint64_t> ids;
                for (int i = 0; i < n && i < 8; ++i) ids.push_back(r.u64());
                if (!r.ok || n < 1 || n > 8) break;
                Writer w;
                w.u16(room.number).str(c.nickname).str(room.title);
                for (const auto& other : clients_) {
                    const Account* account = FindAccount(other->loginId);
                    if (!other->closed && other->room < 0 && (!account || account->optionFlags & 1) &&
                        std::find(ids.begin(), ids.end(), static_cast<std::uint64_t>(other->index + 1)) !=
                            ids.end())
                        out.emplace_back(other.get(), EncodeFrame(kInvitation, w.bytes()));
                }
                break;
            }
            case kCueChosen: {
                // The others' tables show the new cue of the seat (a plain cue: no parts).
                r.u64();
                const std::uint32_t item = r.u32();
                if (!r.ok) break;
                Writer w;
                w.u8(static_cast<std::uint8_t>(seat)).u32(item).u8(0);
                toOthers(room, kCueChanged, w.bytes());
                break;
            }
            case kReport:
            case kReportTarget:
            case kCueWear:
                // Kept by a real server; nothing goes to the others.
                break;
            default:
                toOthers(room, f.id, f.body);
                break;
        }
    }
    for (auto& [m, bytes] : out) Write(*m, std::move(bytes), true);
}

void TestGameServer::EndGame(Room& room, int seat, std::uint8_t team, const std::u16string& name,
                             std::uint8_t endKind, Outbox& out) {
    // The teams of the game: the one who left and those still playing, in slot order.
    std::vector<std::pair<std::uint8_t, int>> teams{{team, seat}};
    for (int s = 0; s < kRoomSeats; ++s)
        if (room.seats[s] && room.playing[s] && s != seat) teams.emplace_back(room.playing[s], s);
    if (endKind != kInvalidGame && teams.size() > 2) return;  // the others play on
    std::sort(teams.begin(), teams.end());
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
        const std::uint8_t result = endKind == kInvalidGame   ? (last ? kTeamInvalid : 0)
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

}  // namespace testserver
