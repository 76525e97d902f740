#pragma once
// The server's record of a connection and of a room, shared by the lobby and the room flow.

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <optional>

#include "tests/e2e/server/PocketGroups.h"
#include "tests/e2e/server/TestGameServer.h"

namespace testserver {

constexpr int kRoomSeats = 8;

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
};

struct TestGameServer::Room {
    std::uint16_t number = 0;
    std::uint16_t channel = 0;
    std::uint8_t gameType = 4;
    std::uint8_t maxPlayers = 2;
    std::uint8_t moneyClass = 0;
    std::uint8_t gameOption = 0;
    std::uint8_t inningTime = 40;
    std::u16string title;
    std::u16string password;
    std::int32_t seedMoney = 0;
    std::uint16_t table = 0;
    std::uint16_t ballSet = 0;
    std::vector<Client*> members;  // in order of entry
    std::array<Client*, kRoomSeats> seats{};
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
    std::array<std::optional<Bytes>, kRoomSeats> states{};   // 2050 of the running shot
    Bytes lastState;                                         // the shooter's last 2050
    std::array<std::uint16_t, kRoomSeats> points{};
    // Since when the room waits for a game: its creation, then the end of its last game.
    std::chrono::steady_clock::time_point waitingSince = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point started;  // of the running game
    PocketGroups groups;                            // 8-ball
    bool shortRack = false;  // 8-ball and 9-ball games start on TableState::ShortRack (the master's "/rack")

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

    void Write(Writer& w) const {
        w.u16(number).u8(1).u8(gameType).u8(static_cast<std::uint8_t>(members.size())).u8(maxPlayers).u8(0);
        w.u8(moneyClass).u8(gameOption).u8(inningTime).u8(password.empty() ? 0 : 1);
        w.str(title).u32(static_cast<std::uint32_t>(seedMoney)).u16(table).u16(ballSet);
    }
};

}  // namespace testserver
