#pragma once
// What the scripted room runs share: the test plays the game server in the room (the test server
// answers only the sign-in and the lobby), a client program signs in, opens a room and is driven by
// scripted input, and the messages it sends and its journal are checked.

#include <sstream>
#include <string>
#include <vector>

#include "tests/e2e/server/TestGameServer.h"

namespace roomscript {

using testserver::Bytes;
using testserver::Writer;

constexpr int kMs = 30000;

inline std::string Click(const char* at) {
    return std::string("move ") + at + "\ndown left\nup left\nwait 300\n";
}

// The lobby's controls and the room's on the 1024 x 768 client area.
constexpr const char* kCreateRoomButton = "80 478";
constexpr const char* kJoinButton = "198 478";
constexpr const char* kFirstRoomRow = "120 105";
constexpr const char* kTeamOne = "655 717";
constexpr const char* kTeamTwo = "705 717";
constexpr const char* kReadyStart = "895 717";
constexpr const char* kToLobby = "1005 21";

// The first sign-in of an account: the nickname dialog once the server asks for it, then the lobby.
inline std::string SignIn(const std::string& nickname) {
    return "wait-journal DIALOG Create Nick\ntext " + nickname + "\nkey Return\nwait-journal SCENE 4\n";
}

// Signs in as Alice and opens a room with the lobby dialog (`choose` picks in it before it is
// confirmed; its defaults open a three-cushion room); the room scene is current when the script goes on.
inline std::string OpenRoom(const std::string& choose = {}) {
    return SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) +
           "wait-journal DIALOG Create room\n" + choose + "key Return\nwait-journal SCENE 5\n";
}

// Room state on entry: the own seat 0 is the master, no game runs, the room is 10 s old; the point rule
// in force.
inline Bytes RoomState(std::uint8_t rule = 0) {
    Writer w;
    w.u64(0).u8(0).u16(0).u16(0).u16(0).u16(1).u8(0).u8(1).u32(0).u8(0).u8(0);
    w.u32(10000).u32(0).u32(0).u8(0).u8(0).u8(2).u8(2).u8(0).u8(0).u8(0);
    w.str(u"Alice's room").u8(rule).u8(0).u8(0).u32(0).u32(0);
    return w.bytes();
}

inline void Member(Writer& w, std::uint8_t seat, const std::u16string& nickname) {
    w.u8(seat).u64(seat + 1u).u8(0).str(nickname).u32(0).u16(1).u32(0).u16(20).u64(5000).u8(0).u8(0);
    w.u16(0).u8(0).u32(0).u8(0).u16(3000).u8(0).u8(0).u8(0).u8(0).u8(0).u32(0).u8(0);
}

// Alice at seat 0 and Rival at seat 1.
inline Bytes TwoMembers() {
    Writer w;
    w.u8(2);
    Member(w, 0, u"Alice");
    Member(w, 1, u"Rival");
    return w.bytes();
}

// A chat line of Rival (colour index 1).
inline Bytes Chat(const std::u16string& text, std::uint8_t team = 0) {
    Writer w;
    w.u8(team).u8(1).str(u"Rival").str(text);
    return w.bytes();
}

// A game of seats 0 (team slot 1) and 1 (team slot 2), and seat 2 (slot 3) with three `teams`, one
// member each, with 5000 gold each; the team blocks carry the finishing targets (0) in game types 0
// and 3 and start with `status`.
inline Bytes GameStart(std::uint32_t seed, std::uint8_t shooter, std::uint8_t gameType,
                       std::uint8_t status = 0, std::uint8_t teams = 2) {
    Writer w;
    w.u32(seed).u32(0).u8(shooter).u8(shooter).u8(0).u8(0).u8(0).u8(0).u8(0).u8(teams).u8(1);
    for (std::uint8_t seat = 0; seat < teams; ++seat) {
        w.u8(seat + 1).u16(0).u32(0).u16(0).u8(0);
        if (gameType == 0 || gameType == 3) w.u8(0).u8(0);
        w.u8(status).u8(seat).u64(5000).u16(0);
    }
    w.u32(0);
    return w.bytes();
}

// A turn result passing the table to `next` (cue ball `next`) with the shooter's result code and the
// money of both seats; `freeBall` as the message carries it.
inline Bytes TurnResult(std::uint8_t next, std::uint16_t code, std::uint8_t freeBall = 0) {
    Writer w;
    w.u16(0).u16(0).u8(0).u8(next).u8(next).u32(9);
    w.u16(0).u16(code).u8(0).u16(0).u16(0).u16(0).u16(0).u16(0).u8(0).u32(0).u8(freeBall);
    w.u8(0).u64(5100).u8(1).u64(4900).u8(0xFF);
    return w.bytes();
}

// Starts a server for a scripted room that ignores the keep-alive and the option word.
inline bool StartScripted(testserver::TestGameServer& server) {
    server.Ignore(202);
    server.Ignore(261);
    return server.Start();
}

inline std::vector<std::string> Lines(const std::string& journal, const std::string& prefix) {
    std::vector<std::string> lines;
    std::istringstream in(journal);
    for (std::string line; std::getline(in, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

// The lobby flow of the test server, with the room left to the test.
inline testserver::ServerOptions ScriptedRoomOptions() {
    testserver::ServerOptions options;
    options.lobby = true;
    options.roomFlow = false;
    return options;
}

}  // namespace roomscript
