#pragma once
// The server's record of a connection and of a room, shared by the lobby and the room flow.

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <optional>

#include "tests/e2e/server/PocketGroups.h"
#include "tests/e2e/server/RoomCodes.h"
#include "tests/e2e/server/TestGameServer.h"

namespace testserver {

constexpr int kRoomSeats = 8;
// Every account owns one cue, equipped for every game type.
constexpr std::uint64_t kOwnCueSerial = 100;
constexpr std::uint16_t kOwnCueItem = 3000;
// The most entries the client takes in a list with a u16 count (the room, player and invite lists).
constexpr std::size_t kMaxListCount = 1000;

// The body of a list the client replaces whole (so it cannot come in parts): the entries that fit one
// frame behind the count (EntriesThatFit); a list so cut is logged.
inline Bytes FittedList(const char* list, int client, std::size_t countBytes,
                        const std::vector<Bytes>& entries, std::size_t limit,
                        std::size_t always = static_cast<std::size_t>(-1)) {
    const auto kept = EntriesThatFit(countBytes, entries, limit, always);
    if (kept.size() < entries.size())
        std::fprintf(
            stderr,
            "marvenlot-testserver: the %s for client %d holds %zu of its %zu entries: a frame takes no "
            "more\n",
            list, client, kept.size(), entries.size());
    return ListBody(countBytes, entries, kept);
}

// A piece of bytes waiting to be sent; `pause` lets it arrive on its own (SendSplit).
struct OutPiece {
    Bytes bytes;
    bool pause = false;
};

struct TestGameServer::Client {
    int index = 0;
    platform::TcpSocket socket;
    std::thread reader;
    // The send side: every write goes into the queue and the writer thread sends it, so a client
    // that does not read holds up only its own writer. Under writeMutex.
    std::mutex writeMutex;
    std::condition_variable outChanged;
    std::deque<OutPiece> outbox;
    std::size_t outBytes = 0;  // queued or being sent
    bool sendClosed = false;   // no more writes: the connection ended or was dropped
    // Dropped by the server: its reader takes no further frame, so the socket closes on what is
    // unread and the peer learns at once.
    std::atomic<bool> cutOff{false};
    // When the writer last finished a piece or found the queue empty: a client whose writer has been
    // stuck on a piece for ServerOptions::stallMs does not read.
    std::chrono::steady_clock::time_point lastTaken = std::chrono::steady_clock::now();
    std::uint64_t skipped = 0;  // others' messages left out since the writer last took a piece
    std::uint64_t leftOut = 0;  // others' messages left out in all
    bool skipLogged = false;    // the skipping was told since the queue was last empty
    std::thread writer;
    WireCipher sendCipher;
    WireCipher receiveCipher;
    // Frames received, each deque at most ServerOptions::frameLimit long (the oldest go first).
    std::deque<Frame> inbox;    // under the server mutex
    std::deque<Frame> history;  // under the server mutex
    std::uint64_t dropped = 0;  // frames that fell out of the inbox unread, under the server mutex
    bool closed = false;        // under the server mutex
    std::chrono::steady_clock::time_point closedAt;  // under the server mutex
    // What the client may make the server pass on to others (the reader thread): the tokens left and
    // when they were counted, and the messages over the limit since the budget was last full.
    double relayTokens = 0;
    std::chrono::steady_clock::time_point relayCounted{};
    int overLimit = 0;
    // Lobby state
    std::u16string loginId;
    std::u16string nickname;
    std::uint16_t channel = 0;
    int room = -1;
    int seat = -1;
    // The cue last chosen in a room (544), which those who meet him later learn too.
    std::uint16_t cueItem = kOwnCueItem;
};

struct TestGameServer::Room {
    std::uint16_t number = 0;
    std::uint16_t channel = 0;
    std::uint8_t gameType = 4;
    std::uint8_t maxPlayers = 2;
    std::uint8_t moneyClass = 0;
    std::uint8_t gameOption = 0;  // the option bits (bit 3: half game)
    std::uint8_t pointRule = 0;   // 2003's game option: the three-cushion game's target (RoomCodes.h)
    std::uint8_t inningTime = 40;
    std::u16string title;
    std::u16string password;
    std::int32_t seedMoney = 0;
    std::uint16_t table = 0;
    std::uint16_t ballSet = 0;
    std::vector<Client*> members;  // in order of entry
    std::array<Client*, kRoomSeats> seats{};
    // The seats of members who entered when every place to play (maxPlayers) was taken: they watch
    // only, in the seats left of the room's eight, until they leave.
    std::array<std::uint8_t, kRoomSeats> watchOnly{};
    // The game of the room (the room flow).
    std::array<std::uint8_t, kRoomSeats> playing{};
    std::array<std::uint8_t, kRoomSeats> ready{};
    int master = 0;
    bool running = false;
    int shooter = 0;
    std::uint8_t cueBall = 0;
    std::uint32_t seed = 0;
    std::uint32_t shots = 0;
    bool shotPending = false;
    std::array<std::optional<Bytes>, kRoomSeats> results{};  // 2053 of the running shot
    // 2050 of the running shot; empty when it was refused (a state no client takes).
    std::array<std::optional<Bytes>, kRoomSeats> states{};
    // When the running shot went out and when its first answer came (the answers' time limit runs
    // from then: every client plays the same shot).
    std::chrono::steady_clock::time_point shotAt, firstAnswerAt;
    bool answered = false;
    // When the shooter's turn began: the start of the game or the last turn announced (the turn clock).
    std::chrono::steady_clock::time_point turnAt;
    Bytes lastState;  // the table of the last turn: the last shot's state, with placements since
    // A turn that ran out with no table to pass on asked the clients for theirs (2049), at that time;
    // it ends with the first one they all take, or without a table once the answers' wait is over.
    bool tableAsked = false;
    std::chrono::steady_clock::time_point tableAskedAt;
    // Clients who entered the running game before the room had a table: the players were asked for
    // theirs (2049), and the first one taken goes to these as their new turn (2051).
    std::vector<int> awaitingTable;
    std::array<std::uint16_t, kRoomSeats> points{};
    // The team slot each seat played for when the running game started, and the seats that left it
    // while it went on (withdrew, or left the room), in the order they left: its end lists them all.
    std::array<std::uint8_t, kRoomSeats> startSlots{};
    std::vector<int> leftGame;
    // Since when the room waits for a game: its creation, then the end of its last game.
    std::chrono::steady_clock::time_point waitingSince = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point started;  // of the running game
    PocketGroups groups;                            // 8-ball
    // 8-ball, 9-ball and 14-1 games start on TableState::ShortRack (the master's "/rack").
    bool shortRack = false;

    // The team slots of the playing seats close up after a player left them (he left the room or
    // withdrew), as every client's room closes them up: the slots keep their order and are numbered
    // from 1 without a gap.
    void CloseUpTeams() {
        std::array<std::uint8_t, 8> renumbered{};  // by old slot
        std::uint8_t next = 0;
        for (std::uint8_t slot = 1; slot < renumbered.size(); ++slot)
            for (int s = 0; s < kRoomSeats; ++s)
                if (seats[s] && playing[s] == slot) {
                    renumbered[slot] = ++next;
                    break;
                }
        for (int s = 0; s < kRoomSeats; ++s)
            if (playing[s] < renumbered.size()) playing[s] = renumbered[playing[s]];
    }

    // The members who hold a place to play: the room's player count (the room list, 2001, 2014, 2015).
    std::uint8_t Players() const {
        std::uint8_t count = 0;
        for (int s = 0; s < kRoomSeats; ++s) count += seats[s] && !watchOnly[s] ? 1 : 0;
        return count;
    }

    std::vector<int> PlayingSeats() const {
        std::vector<int> out;
        for (int s = 0; s < kRoomSeats; ++s)
            if (seats[s] && playing[s]) out.push_back(s);
        return out;
    }
    // The playing seat after `from`, in seat order.
    int NextShooter(int from) const {
        const auto all = PlayingSeats();
        for (int s : all)
            if (s > from) return s;
        return all.empty() ? from : all.front();
    }
    // A shooter who left a game that goes on (withdrew, or left the room) from team slot `slot` passes
    // the turn at once, as every client passes it: to the player of the next team in slot order, whose
    // turn begins now. A shot under way passes it with its turn result, a turn that ran out with its table.
    void PassTurnFrom(int seat, std::uint8_t slot) {
        if (!running || seat != shooter || shotPending || tableAsked) return;
        int next = -1, first = -1;
        for (int s : PlayingSeats()) {
            if (playing[s] > slot && (next < 0 || playing[s] < playing[next])) next = s;
            if (first < 0 || playing[s] < playing[first]) first = s;
        }
        if (first < 0) return;
        shooter = next >= 0 ? next : first;
        turnAt = std::chrono::steady_clock::now();
    }
    // A seat that left the running game stays empty until it ends, so its results name who left.
    bool SeatFree(int s) const {
        return !seats[s] && !(running && std::find(leftGame.begin(), leftGame.end(), s) != leftGame.end());
    }
    // Carom games: the first player of the game plays cue ball 0, the second cue ball 1, and so on.
    std::uint8_t CueBallOf(int shooter) const {
        if (gameType >= room::kFirstPocketType) return 0;
        const auto all = PlayingSeats();
        const auto at = std::find(all.begin(), all.end(), shooter) - all.begin();
        return static_cast<std::uint8_t>(at % 2);
    }
    // Every player of the game still in the room sent the running shot's result and state (watchers
    // are not waited for: the turn is built from the players' tables).
    bool ShotAnswered() const {
        for (int s : PlayingSeats())
            if (!results[s] || !states[s]) return false;
        return true;
    }

    void Write(Writer& w) const {
        // 1 waiting, 2 playing.
        w.u16(number).u8(running ? 2 : 1).u8(gameType).u8(Players());
        w.u8(maxPlayers).u8(static_cast<std::uint8_t>(master));
        w.u8(moneyClass).u8(gameOption).u8(inningTime).u8(password.empty() ? 0 : 1);
        w.str(title).u32(static_cast<std::uint32_t>(seedMoney)).u16(table).u16(ballSet);
    }
};

}  // namespace testserver
