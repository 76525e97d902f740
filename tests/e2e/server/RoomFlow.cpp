// The test server's room flow: what a game server does between room entry and leaving, in the least
// form that lets two clients play one game. It answers entry with the room state and the member
// list, keeps seats, teams and readiness, starts the game, relays aims to the others and shots to
// everyone, asks every client for its table state during a shot, collects the players' shot results
// and table states (refusing a state no client takes; a player who leaves or stays silent past the
// answers' time limit is not waited for), judges the shot from the shooter's result (GameJudge) and
// announces the turn result and the new turn built from the shooter's table state, or the end of the
// game. It passes game requests and their answers between the players, tells the others of a player's
// new cue, lists the players who may be invited and passes the invitations on, and answers ban cancels.
// A turn that runs out while the room has no table asks the clients for theirs before it passes.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "table/TableConstants.h"
#include "tests/e2e/server/GameJudge.h"
#include "tests/e2e/server/RoomCodes.h"
#include "tests/e2e/server/ServerState.h"
#include "tests/e2e/server/TableState.h"

namespace testserver {

using namespace room;

namespace {

constexpr std::uint8_t kRoomBan = 24;

// 2037: what the sender asks for. 1 withdraws (0 and 1 in the fee games, which send the withdraw
// dialog's flag), 7 withdraws after the opponent agreed, 8 ends the game as invalid (agreed too).
bool IsWithdrawal(std::uint8_t value, std::uint8_t gameType) {
    if (value == 7 || value == 1) return true;
    return value == 0 && (gameType == 2 || gameType == 5);
}
constexpr std::uint8_t kKindStays = 2;
constexpr std::uint16_t kTimeOutCode = 0xFFFD;  // -3
constexpr int kNineBallNumber = 9;

// The master's chat line that sets the room's rack: "/rack short" or "/rack full"; "/rack" alone asks
// for the usage.
constexpr std::u16string_view kRackCommand = u"/rack";

// 2051: the shooter, the cue ball and the state without its own turn pair, whose table and ball set go in
// front of the block and behind it.
Bytes NewTurn(int shooter, std::uint8_t cueBall, const Bytes& state) {
    const Bytes pair(state.begin(), state.begin() + 4);
    Writer w;
    w.u8(static_cast<std::uint8_t>(shooter)).u8(cueBall).raw(pair);
    w.raw(Bytes(state.begin() + 4, state.end() - 4)).raw(pair);
    return w.bytes();
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
    Outbox out;
    // `relayed`: the message passes on what the sender wrote (chat, aims, requests), which a reader
    // that reads slower than it is sent to may be left out of.
    auto toAll = [&](Room& room, std::uint16_t id, const Bytes& body, bool relayed = false) {
        for (Client* m : room.members) out.push_back({m, EncodeFrame(id, body), relayed ? &c : nullptr});
    };
    auto toOthers = [&](Room& room, std::uint16_t id, const Bytes& body, bool relayed = false) {
        for (Client* m : room.members)
            if (m != &c) out.push_back({m, EncodeFrame(id, body), relayed ? &c : nullptr});
    };
    {
        std::lock_guard lock(mutex_);
        if (c.room < 0 || c.seat < 0) return;
        Room& room = *rooms_[c.room];
        const int seat = c.seat;
        Reader r(f.body);

        auto goldOf = [&](const Client* m) { return GoldOf(*m); };
        // 2014: the profile of the member of `s` as the others learn it when he enters.
        auto entered = [&](int s) {
            const Client* m = room.seats[s];
            Writer w;
            w.u8(room.Players()).u8(static_cast<std::uint8_t>(s));
            w.u64(static_cast<std::uint64_t>(m->index) + 1).u8(0).str(m->nickname).u32(0);
            w.u16(1).u32(0).u64(goldOf(m)).u8(0).u16(kHandicap).u8(0).u16(0).u32(0).u16(m->cueItem).u8(0);
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
                w.str(m->nickname).u32(0).u16(1).u32(0).u16(kHandicap);
                w.u64(goldOf(m)).u8(0).u8(0).u16(0).u8(0);
                w.u32(0).u8(0).u16(m->cueItem).u8(0);
                w.u8(room.playing[s]).u8(0).u8(room.ready[s]).u8(0).u32(0).u8(0);
                if (room.gameType == 2 || room.gameType == 5) w.u64(goldOf(m));
            }
            return w.bytes();
        };
        switch (f.id) {
            case kEnterDone: {
                Writer w;
                w.u64(0).u8(room.moneyClass);
                if (room.moneyClass == 3) w.u32(0).u32(0);
                // While a game runs, the seed the table was last racked with: 14-1 racks the table a
                // shot cleared with it, and the table the entrant gets may be that one.
                w.u16(0).u16(0).u16(0).u16(room.number).u8(room.watchOnly[seat]);
                w.u8(room.running ? 2 : 1).u32(room.running ? room.seed : 0);
                w.u8(room.password.empty() ? 0 : 1);
                if (!room.password.empty()) w.str(room.password);
                // How long the room has waited for a game and, while a game runs, how long it and its
                // turn have run (the client's game clock and turn clock).
                const auto now = std::chrono::steady_clock::now();
                const auto ms = [&](std::chrono::steady_clock::time_point since) {
                    return static_cast<std::uint32_t>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(now - since).count());
                };
                w.u8(0).u32(ms(room.waitingSince)).u32(room.running ? ms(room.started) : 0);
                w.u32(room.running ? ms(room.turnAt) : 0);
                w.u8(static_cast<std::uint8_t>(room.running ? room.shooter : room.master)).u8(room.cueBall);
                w.u8(room.Players()).u8(room.maxPlayers);
                w.u8(static_cast<std::uint8_t>(room.master)).u8(static_cast<std::uint8_t>(seat)).u8(0);
                w.str(room.title).u8(room.pointRule).u8(0).u8(0);
                w.u32(static_cast<std::uint32_t>(room.seedMoney)).u32(0);
                out.emplace_back(&c, EncodeFrame(kRoomState, w.bytes()));
                // The one who enters gets the whole list; the others a line about him.
                out.emplace_back(&c, EncodeFrame(kMemberList, memberList()));
                toOthers(room, kPlayerEntered, entered(seat));
                // One who enters a running game gets its table at once, as a new turn: the room's, or
                // else (the first turn) the first the other players send. A shot under way, or a
                // turn that ran out, brings every member the next turn's table anyway.
                if (!room.running) break;
                if (!room.lastState.empty()) {
                    out.emplace_back(
                        &c, EncodeFrame(kNewTurn, NewTurn(room.shooter, room.cueBall, room.lastState)));
                } else if (!room.shotPending && !room.tableAsked) {
                    room.awaitingTable.push_back(c.index);
                    for (int s : room.PlayingSeats())
                        if (s != room.shooter && s != seat)
                            out.emplace_back(room.seats[s], EncodeFrame(kTableStateRequest, {}));
                }
                break;
            }
            case kPlayChoice: {
                const std::uint8_t team = r.u8();
                if (!r.ok || team > 7 || room.running || room.watchOnly[seat]) break;
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
                const auto seats = room.PlayingSeats();
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
                room.started = room.turnAt = std::chrono::steady_clock::now();
                room.shotPending = room.tableAsked = false;
                room.awaitingTable.clear();
                room.shots = 0;
                room.points = {};
                room.startSlots = room.playing;
                room.leftGame.clear();
                room.lastState.clear();
                room.groups.Reset();
                room.seed = 0x1234567u + room.number * 7919u + static_cast<std::uint32_t>(nextRoom_);
                room.shooter = seats.front();
                room.cueBall = room.CueBallOf(room.shooter);
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
                if (room.shortRack) {
                    Bytes pocketed;
                    room.lastState = TableState::ShortRack(room.gameType, room.table, room.ballSet, pocketed);
                    room.groups.Reset(pocketed);
                    if (!room.lastState.empty())
                        toAll(room, kNewTurn, NewTurn(room.shooter, room.cueBall, room.lastState));
                }
                break;
            }
            case kAim:
                // Another player's aim goes to the others only.
                toOthers(room, kAim, f.body, true);
                break;
            case kShot:
                if (room.running && (seat != room.shooter || room.shotPending || room.tableAsked)) break;
                // A shot no client reads is not passed on: every client would wait for it in vain. The
                // shooter keeps his turn until he shoots or the turn clock ends it.
                if (const std::string problem = TableState::ShotProblem(f.body, room.gameType);
                    !problem.empty()) {
                    std::fprintf(stderr, "marvenlot-testserver: client %d's shot refused: %s\n", c.index,
                                 problem.c_str());
                    break;
                }
                toAll(room, kShot, f.body);
                if (room.running) {
                    room.awaitingTable.clear();  // the shot's turn brings them its table
                    room.shotPending = true;
                    room.shotAt = std::chrono::steady_clock::now();
                    room.answered = false;
                    for (auto& result : room.results) result.reset();
                    for (auto& state : room.states) state.reset();
                    // Every client sends its table state with its shot result.
                    toAll(room, kTableStateRequest, {});
                }
                break;
            case kShotResult:
            case kTableState: {
                // A table asked for outside a shot: the first state every client takes ends a turn that
                // ran out (its new turn goes to all), or else goes to those who entered the running game
                // before it had a table.
                if (f.id == kTableState && room.running && !room.shotPending &&
                    (room.tableAsked || !room.awaitingTable.empty())) {
                    if (!TableState::Problem(f.body, room.gameType).empty()) break;
                    room.lastState = f.body;
                    if (room.tableAsked) {
                        room.tableAsked = false;
                        AnnounceTurn(room, kTimeOutCode, 0, false, false, false, out);
                        break;
                    }
                    const Bytes turn = NewTurn(room.shooter, room.cueBall, room.lastState);
                    for (Client* m : room.members)
                        if (std::find(room.awaitingTable.begin(), room.awaitingTable.end(), m->index) !=
                            room.awaitingTable.end())
                            out.emplace_back(m, EncodeFrame(kNewTurn, turn));
                    room.awaitingTable.clear();
                    break;
                }
                if (!room.running || !room.shotPending) break;
                // A client sends the shot's state behind its result: one before it answered an earlier
                // question (2049) from before the shot.
                if (f.id == kTableState && !room.results[seat]) break;
                if (!room.answered) room.firstAnswerAt = std::chrono::steady_clock::now();
                room.answered = true;
                Bytes body = f.body;
                // A state no client takes is not passed on: it would cost the next player his turn.
                if (f.id == kTableState) {
                    if (const std::string problem = TableState::Problem(body, room.gameType);
                        !problem.empty()) {
                        std::fprintf(stderr, "marvenlot-testserver: client %d's table state refused: %s\n",
                                     c.index, problem.c_str());
                        body.clear();
                    }
                }
                (f.id == kShotResult ? room.results : room.states)[seat] = std::move(body);
                if (room.ShotAnswered()) DecideShot(room, out);
                break;
            }
            case kTurnTimeOver:
                // The shooter's client ends his own turn, the master's only that of a shooter who is
                // gone. A master's client that slept through the end of its own turn sends it late, for
                // the turn that followed: that one is not his to end.
                if (!room.running || room.shotPending || room.tableAsked ||
                    (seat != room.shooter && !(seat == room.master && !room.seats[room.shooter])))
                    break;
                EndTurnByTime(room, out);
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
                    room.PassTurnFrom(seat, team);
                    room.CloseUpTeams();
                    // The others of a game that goes on may be all that the running shot waited for.
                    if (room.running && room.shotPending && room.ShotAnswered()) DecideShot(room, out);
                }
                break;
            }
            case kChatSend: {
                const std::uint8_t team = r.u8();
                const std::u16string text = r.str();
                if (!r.ok) break;
                const std::u16string_view line(text);
                if (line == kRackCommand ||
                    (line.starts_with(kRackCommand) && line.substr(kRackCommand.size()).starts_with(u' '))) {
                    // A room setting of the test server: the master's line is answered, not relayed.
                    const std::u16string_view rack =
                        line.substr(std::min(line.size(), kRackCommand.size() + 1));
                    const char16_t* answer =
                        seat != room.master ? u"Only the room master can change the rack."
                        : rack == u"short"  ? u"8-ball, 9-ball and 14-1 games start on a short rack."
                        : rack == u"full"   ? u"Games start on a full rack."
                                            : u"Use /rack short or /rack full.";
                    const bool done = seat == room.master && (rack == u"short" || rack == u"full");
                    if (done) room.shortRack = rack == u"short";
                    // The notice's kind: the rack set (a room event), the usage (a hint) or a refusal.
                    Writer notice;
                    notice.str(answer).u8(done                  ? kNoticeDone
                                          : seat == room.master ? kNoticeHint
                                                                : kNoticeError);
                    out.push_back({&c, EncodeFrame(kNotice, notice.bytes())});
                    break;
                }
                Writer w;
                w.u8(team).u8(static_cast<std::uint8_t>(seat)).str(c.nickname).str(text);
                toAll(room, kChatLine, w.bytes(), true);
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
                    break;
                }
                // A ball set down where a client refuses one (on the turn's table: the last state's, else
                // the room's) is refused: the others keep their tables and the room its state.
                const BallSpot at = TableState::ReadSpot(f.body.data() + 2);
                const std::uint16_t tableItem = TableState::Fits(room.lastState, room.gameType)
                                                    ? TableState::TableItem(room.lastState)
                                                    : room.table;
                if (!TableState::OnTable(room.gameType, tableItem, at)) {
                    std::fprintf(
                        stderr,
                        "marvenlot-testserver: client %d set ball %u down off the table (%g, %g, %g)\n",
                        c.index, ball, at.x, at.y, at.z);
                    break;
                }
                w.u8(ball).u32(x).u32(y).u32(z);
                toOthers(room, kPlacedBall, w.bytes());
                // A ball moved in the last table state comes back into play, so a new turn built from it
                // (a time-out) has it where it was set down.
                if (room.running && !room.shotPending)
                    TableState::Place(room.lastState, room.gameType, ball, f.body.data() + 2);
                break;
            }
            case kRoomOptions: {
                // The master's new settings, checked as a new room's are, go to every member as 2004;
                // the point rule and the option bits stay while a game runs. The game is the room's for
                // good: 2004 names none, so the members would go on showing one game while the server
                // judged another.
                const std::u16string title = r.str();
                const std::uint16_t table = r.u16(), ballSet = r.u16();
                const std::uint8_t maxPlayers = r.u8();
                r.str();
                const std::uint8_t gameType = r.u8(), pointRule = r.u8(), inning = r.u8(), bits = r.u8();
                const std::uint8_t locked = r.u8();
                const std::u16string password = locked == 1 ? r.str() : std::u16string();
                const std::uint16_t low = r.u16(), high = r.u16();
                if (!r.ok || seat != room.master) break;
                const char* problem = RoomSettingsProblem(gameType, maxPlayers, title, password);
                if (!problem && gameType != room.gameType) problem = "another game than the room's";
                if (!problem && maxPlayers < room.Players()) problem = "fewer places than players";
                if (!problem && pointRule > MaxPointRule(gameType))
                    problem = "a point rule the game does not have";
                if (problem) {
                    std::fprintf(stderr, "marvenlot-testserver: client %d's room settings refused: %s\n",
                                 c.index, problem);
                    Writer notice;
                    notice.str(u"The room settings were refused: " +
                               std::u16string(problem, problem + std::strlen(problem)) + u".");
                    out.emplace_back(&c, EncodeFrame(kNotice, notice.bytes()));
                    break;
                }
                room.title = title;
                room.maxPlayers = maxPlayers;
                room.inningTime = inning;
                room.password = password;
                if (!room.running) {
                    room.pointRule = pointRule;
                    room.gameOption = bits;
                }
                Writer w;
                w.u8(0)
                    .u8(static_cast<std::uint8_t>(room.master))
                    .u16(table)
                    .u16(ballSet)
                    .u8(room.maxPlayers);
                w.str(room.title).u8(room.pointRule).u8(0).u8(room.inningTime).u8(room.gameOption).u8(0);
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
                toOthers(room, kOpponentRequest, w.bytes(), true);
                break;
            }
            case kRequestAnswer: {
                const std::uint8_t accepted = r.u8();
                const std::uint8_t kind = r.u8();
                if (!r.ok) break;
                Writer w;
                w.u8(accepted ? 1 : 0).u8(kind);
                toOthers(room, kRequestAnswered, w.bytes(), true);
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
                std::vector<Bytes> entries;
                for (const Client* other : free) {
                    const auto id = static_cast<std::uint32_t>(other->index + 1);
                    Writer entry;
                    entry.u32(id).u64(id).u16(1).str(other->nickname).u16(0);
                    entries.push_back(entry.bytes());
                }
                out.emplace_back(&c, EncodeFrame(kInviteList, FittedList("invite list", c.index, 2, entries,
                                                                         kMaxListCount)));
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
                        out.push_back({other.get(), EncodeFrame(kInvitation, w.bytes()), &c});
                }
                break;
            }
            case kCueChosen: {
                // The others' tables show the new cue of the seat (a plain cue: no parts), and so do
                // the tables of those who enter later.
                r.u64();
                const std::uint32_t item = r.u32();
                if (!r.ok) break;
                c.cueItem = static_cast<std::uint16_t>(item);
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
                toOthers(room, f.id, f.body, true);
                break;
        }
    }
    Send(out);
}

void TestGameServer::AnnounceTurn(Room& room, std::uint16_t code, int points, bool stays, bool freeBall,
                                  bool gameOver, Outbox& out) {
    const int shooter = room.shooter;
    // The shot that ends the game passes the table to nobody: no "Your turn" under the results.
    const int next = stays || gameOver ? shooter : room.NextShooter(shooter);
    room.points[shooter] = static_cast<std::uint16_t>(room.points[shooter] + points);
    room.shooter = next;
    room.cueBall = room.CueBallOf(next);
    room.turnAt = std::chrono::steady_clock::now();
    room.awaitingTable.clear();  // every member gets this turn's table, if there is one
    room.seed = room.seed * 1103515245u + 12345u;
    std::uint16_t tableItem = 0, ballSet = 0;
    if (room.lastState.size() >= 9) {
        tableItem = TableState::TableItem(room.lastState);
        ballSet = static_cast<std::uint16_t>(room.lastState[2] | (room.lastState[3] << 8));
    }
    Writer turn;
    turn.u16(ballSet).u16(tableItem).u8(stays ? kKindStays : 0).u8(static_cast<std::uint8_t>(next));
    turn.u8(room.cueBall).u32(room.seed);
    turn.u16(0).u16(code).u8(0).u16(room.points[next]).u16(0).u16(0).u16(room.points[shooter]);
    turn.u16(room.points[next]).u8(0).u32(0).u8(freeBall ? 1 : 0);
    for (int s : room.PlayingSeats()) turn.u8(static_cast<std::uint8_t>(s)).u64(GoldOf(*room.seats[s]));
    turn.u8(0xFF);
    for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kTurnResult, turn.bytes()));
    if (room.lastState.size() >= 9 && !gameOver) {
        const Bytes body = NewTurn(next, room.cueBall, room.lastState);
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kNewTurn, body));
    }
}

void TestGameServer::EndTurnByTime(Room& room, Outbox& out) {
    // Before any table came (the game's first turn, or a shot no client's state came from) each client
    // has its own: one of theirs, passed to all, keeps them in step and gives the turn its new table.
    if (room.lastState.empty()) {
        room.tableAsked = true;
        room.tableAskedAt = std::chrono::steady_clock::now();
        for (Client* m : room.members) out.emplace_back(m, EncodeFrame(kTableStateRequest, {}));
        return;
    }
    AnnounceTurn(room, kTimeOutCode, 0, false, false, false, out);
}

void TestGameServer::DecideShot(Room& room, Outbox& out) {
    room.shotPending = false;
    ++room.shots;
    const int shooter = room.shooter;
    const bool shooterPlays = room.seats[shooter] && room.playing[shooter];
    // The shooter's answer decides; every client plays the same shot, so another player's (or, failing
    // those, a watcher's) stands in for a shooter who did not answer or whose state was refused.
    const auto answerOf = [&](const std::array<std::optional<Bytes>, kRoomSeats>& answers) -> const Bytes* {
        std::vector<int> order{shooter};
        for (int s : room.PlayingSeats()) order.push_back(s);
        for (int s = 0; s < kRoomSeats; ++s) order.push_back(s);
        for (int s : order)
            if (answers[s] && !answers[s]->empty()) return &*answers[s];
        return nullptr;
    };
    const Bytes* result = answerOf(room.results);
    if (const Bytes* state = answerOf(room.states)) {
        room.lastState = *state;
    } else {
        // No table to pass on: each client keeps the one its shot left, and a time-out builds none.
        std::fprintf(stderr, "marvenlot-testserver: room %u: no table state of the shot to pass on\n",
                     room.number);
        room.lastState.clear();
    }
    const ShotReading shot = result ? ReadShotResult(*result, room.gameType) : ShotReading{};
    const int team = room.playing[shooter];
    // A shooter who left a game that goes on scores nothing: the turn passes.
    const ShotVerdict verdict =
        shooterPlays ? JudgeShot(room.gameType, shot, room.groups.Status(team), room.points[shooter],
                                 CaromTarget(room.gameType, room.pointRule, kHandicap))
                     : ShotVerdict{};
    const bool gameOver = verdict.end != GameEnd::None;
    if (verdict.spotNine) TableState::SpotOnFoot(room.lastState, room.gameType, kNineBallNumber);
    bool decided = false;
    if (room.gameType == kEightBallGame && shooterPlays && !gameOver &&
        room.groups.AfterShot(team, shot, decided)) {
        int teams = 0;
        for (int s : room.PlayingSeats()) teams = std::max<int>(teams, room.playing[s]);
        Writer w;
        if (!decided) w.u8(1);
        w.raw(room.groups.Statuses(teams));
        for (Client* m : room.members)
            out.emplace_back(m, EncodeFrame(decided ? kGroupsDecided : kEightBallShot, w.bytes()));
    }
    const std::uint16_t code =
        result && result->size() >= 2 ? static_cast<std::uint16_t>((*result)[0] | ((*result)[1] << 8)) : 0;
    AnnounceTurn(room, code, verdict.points, verdict.stays, verdict.freeBall && !gameOver, gameOver, out);
    if (gameOver) EndGameByPlay(room, shooter, verdict.end == GameEnd::ShooterWins, out);
}

void TestGameServer::CheckRoomClocks() {
    // The longest a shot runs on a client before it is judged (table/TableConstants.h).
    constexpr auto kLongestShot = std::chrono::seconds(table::kMaxShotCalls / table::kTicksPerSecond);
    const auto wait = std::chrono::milliseconds(options_.answerWaitMs);
    const auto now = std::chrono::steady_clock::now();
    Outbox out;
    {
        std::lock_guard lock(mutex_);
        for (const auto& room : rooms_) {
            if (!room->running) continue;
            if (room->tableAsked) {
                if (now - room->tableAskedAt < wait) continue;
                std::fprintf(stderr,
                             "marvenlot-testserver: room %u: no table of the turn that ran out: it "
                             "passes without one\n",
                             room->number);
                room->tableAsked = false;
                AnnounceTurn(*room, kTimeOutCode, 0, false, false, false, out);
                continue;
            }
            if (!room->shotPending) {
                // The shooter's own client sends his time-out when the turn time is up; one that hangs
                // with its socket open would hold the game for good.
                const auto limit = room->inningTime > 0 ? std::chrono::seconds(room->inningTime) +
                                                              std::chrono::milliseconds(options_.turnGraceMs)
                                                        : std::chrono::milliseconds(options_.turnCapMs);
                if (now - room->turnAt < limit) continue;
                const Client* shooter = room->seats[room->shooter];
                std::fprintf(
                    stderr,
                    "marvenlot-testserver: room %u: client %d at seat %d has not shot in %lld ms: "
                    "his turn is over, as his time-out would end it\n",
                    room->number, shooter ? shooter->index : -1, room->shooter,
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(now - room->turnAt).count()));
                EndTurnByTime(*room, out);
                continue;
            }
            if (room->answered ? now - room->firstAnswerAt < wait : now - room->shotAt < kLongestShot + wait)
                continue;
            std::string silent;
            for (int s : room->PlayingSeats())
                if (!room->results[s] || !room->states[s])
                    silent += " " + std::to_string(room->seats[s]->index);
            std::fprintf(
                stderr,
                "marvenlot-testserver: room %u: no answer to the shot from client%s in time: the turn "
                "goes on without it\n",
                room->number, silent.c_str());
            DecideShot(*room, out);
        }
    }
    Send(out);
}

}  // namespace testserver
