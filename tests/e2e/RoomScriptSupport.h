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

// Signs in as Alice and opens a room with the lobby dialog's defaults; the room scene is current
// when the script goes on.
inline std::string OpenRoom() {
    return "wait-journal SCENE 1\nwait 300\ntext Alice\nkey Return\nwait-journal SCENE 4\n"
           "wait-journal ROOMS 0\n" +
           Click("80 478") + "key Return\nwait-journal SCENE 5\n";
}

// Room state on entry: the own seat 0 is the master, no game runs, the room is 10 s old.
inline Bytes RoomState() {
    Writer w;
    w.u64(0).u8(0).u16(0).u16(0).u16(0).u16(1).u8(0).u8(1).u32(0).u8(0).u8(0);
    w.u32(10000).u32(0).u32(0).u8(0).u8(0).u8(2).u8(2).u8(0).u8(0).u8(0);
    w.str(u"Alice's room").u8(0).u8(0).u8(0).u32(0).u32(0);
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
