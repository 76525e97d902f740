// One client program against a scripted room: the test plays the server and the opponent message by
// message, from entering the room through the turns, shots, results, a turn that runs out of time
// and the game's result, to leaving for the lobby, and checks the messages the client sends, their
// fields and order, and the texts, sounds and boxes in its journal.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

// The new turn from a table state: shooter, cue ball, then the state's block with its pairs swapped.
Bytes NewTurn(std::uint8_t shooter, const Bytes& state) {
    Writer w;
    w.u8(shooter).u8(shooter);
    w.raw(Bytes(state.end() - 4, state.end())).raw(Bytes(state.begin() + 4, state.end() - 4));
    w.raw(Bytes(state.begin(), state.begin() + 4));
    return w.bytes();
}

TEST(RoomScriptRun, ThreeCushionGameFromEntryThroughTurnsTimeOutAndResultToTheLobby) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    ASSERT_TRUE(StartScripted(server));

    // Turn time 20 s in the room dialog; the own moves wait for the opponent's words.
    std::string aim;
    for (int i = 0; i < 60; ++i) aim += "move " + std::to_string(400 + 4 * i) + " 250\nwait 50\n";
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Alice\nkey Return\nwait-journal SCENE 4\nwait-journal ROOMS "
        "0\n" +
        Click("80 478") + Click("480 420") + Click("480 464") + "key Return\nwait-journal SCENE 5\n" +
        "wait-journal CHAT 0xFFFFFF80 Rival : pick a team\n" + Click("655 717") +
        "wait-journal CHAT 0xFFFFFF80 Rival : start\n" + Click("895 717") + "wait-journal TURN 0 1\n" + aim +
        "wait 2000\n" + "move 516 300\ndown left\nwait 50\nmove 516 360\nwait 50\nup left\n" +
        "wait-journal SHOT 4 \nwait-journal SHOT 4 \nwait-journal BOX \nkey Return\nwait 300\n" +
        Click("1006 21") + "wait-journal SCENE 4\nwait 300\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_script"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));

    ASSERT_TRUE(server.WaitForClients(1, kMs));
    // Entry: exactly one 2007, then the room and its members.
    const auto entered = server.Expect(0, 2007, kMs);
    ASSERT_TRUE(entered) << client.Journal() << client.Log();
    EXPECT_EQ(entered->body, Bytes{0});
    // The room plays to 15 points (rule 1), which the lobby's copy of the room does not carry.
    ASSERT_TRUE(
        server.SendFrames(0, {{2001, RoomState(1)}, {2011, TwoMembers()}, {2006, Chat(u"pick a team")}}));

    // Team, readiness, start.
    const auto team = server.Expect(0, 2012, kMs);
    ASSERT_TRUE(team) << client.Journal();
    EXPECT_EQ(team->body, Bytes{1});
    ASSERT_TRUE(
        server.SendFrames(0, {{2013, {0, 1}}, {2013, {1, 2}}, {2027, {1, 1}}, {2006, Chat(u"start")}}));
    const auto start = server.Expect(0, 2028, kMs);
    ASSERT_TRUE(start) << client.Journal();
    EXPECT_EQ(start->body, Bytes{0});
    const auto gameStart = std::chrono::steady_clock::now();
    ASSERT_TRUE(server.Send(0, 2029, GameStart(4242, 0, 4)));

    // The own shot: relayed back, the table state asked for while it runs, both in one go at rest.
    const auto shot = server.Expect(0, 2052, 60000);
    ASSERT_TRUE(shot) << client.Journal();
    // A busy machine stretches the three seconds of aiming: the aims are counted against the time taken.
    const auto aimedSeconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - gameStart)
            .count();
    const auto aims = server.Received(0, 2058);
    EXPECT_GE(aims.size(), 2u) << "the aim moved for three seconds";
    EXPECT_LE(aims.size(), static_cast<std::size_t>(aimedSeconds) + 1) << "at most one aim a second";
    for (const Bytes& a : aims) EXPECT_EQ(a.size(), 20u);
    ASSERT_TRUE(server.SendFrames(0, {{2052, shot->body}, {2049, {}}}));
    const auto result = server.Expect(0, 2053, kMs);
    const auto state = server.Expect(0, 2050, kMs);
    ASSERT_TRUE(result && state) << client.Journal();
    EXPECT_EQ(result->body.size(), 2u);
    ASSERT_EQ(state->body.size(), 93u);

    // The opponent's turn: his aim and his shot, simulated here; the result goes back alone.
    ASSERT_TRUE(server.SendFrames(0, {{2056, TurnResult(1, result->body[0] | (result->body[1] << 8))},
                                      {2051, NewTurn(1, state->body)}}));
    Bytes theirs = shot->body;
    theirs[0] = 1;  // the opponent plays the second cue ball
    theirs[1] = 1;
    ASSERT_TRUE(server.SendFrames(0, {{2058, aims.empty() ? Bytes(20, 0) : aims.back()}, {2052, theirs}}));
    ASSERT_TRUE(server.Expect(0, 2053, kMs)) << client.Journal();

    // Back to the own turn, which runs out: one warning, then 2062 once at the limit.
    ASSERT_TRUE(server.SendFrames(0, {{2056, TurnResult(0, 0)}, {2051, NewTurn(0, state->body)}}));
    const auto timeOut = server.Expect(0, 2062, 40000);
    ASSERT_TRUE(timeOut) << client.Journal();
    EXPECT_EQ(timeOut->body, Bytes{0});
    EXPECT_EQ(server.CountReceived(0, 2050), 1) << "the table state went only with the first result";

    // The game's result and the rank, then the way back to the lobby.
    Writer results;
    results.u8(2).u8(1);
    results.u8(1).u8(1).u32(0).u32(0).u64(5300).u8(0).u8(0);
    results.u8(2).u8(2).u32(0).u32(0).u64(4700).u8(0).u8(0);
    results.u8(0);
    Writer rank;
    rank.u16(3).u16(10).u16(20);
    ASSERT_TRUE(server.SendFrames(0, {{2046, results.bytes()}, {2047, rank.bytes()}}));
    const auto leave = server.Expect(0, 2008, kMs);
    ASSERT_TRUE(leave) << client.Journal();
    EXPECT_EQ(leave->body, Bytes{0});
    ASSERT_TRUE(server.Send(0, 2009, {0}));
    EXPECT_EQ(client.Wait(30s), std::optional<int>(0));

    const std::string journal = client.Journal();
    EXPECT_EQ(Lines(journal, "CHAT 0xFFFFFFFF ◆ Game option"),
              std::vector<std::string>{"CHAT 0xFFFFFFFF ◆ Game option - 3Cushion 15pts"})
        << journal;
    EXPECT_EQ(journal.find("CHAT 0xFFFFFF00 The game has not started yet."), std::string::npos)
        << "the master has the table before the game";
    const auto started = journal.find("CHAT 0xFF00FF00 The game has started.\n");
    ASSERT_NE(started, std::string::npos) << journal;
    EXPECT_NE(journal.find("SOUND 24\n", started), std::string::npos);
    EXPECT_TRUE(journal.find("SOUND 57\n", started) != std::string::npos ||
                journal.find("SOUND 58\n", started) != std::string::npos);
    EXPECT_EQ(Lines(journal, "SHOT 4 ").size(), 2u);
    const std::size_t warnings = Lines(journal, "SOUND 95").size() + Lines(journal, "SOUND 96").size() +
                                 Lines(journal, "SOUND 97").size();
    EXPECT_EQ(warnings, 1u) << journal;
    EXPECT_NE(journal.find("SOUND 21\n"), std::string::npos) << "the game results' sound";
    const auto rankBox = journal.find("BOX Rank|Congratulations! You're ranked at 3.");
    ASSERT_NE(rankBox, std::string::npos) << journal;
    EXPECT_NE(journal.find("SCENE 4\n", rankBox), std::string::npos) << "back in the lobby after the game";
    server.Stop();
}

TEST(RoomScriptRun, AConnectionDroppedWhileAShotRunsEndsInTheNoticeAndTheClientCarriesOn) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    ASSERT_TRUE(StartScripted(server));
    const std::string script = OpenRoom() + "wait-journal ENTERED 5\n" +
                               "move 516 300\ndown left\nwait 50\nmove 516 360\nwait 50\nup left\n" +
                               "wait-journal BOX Notice|The connection to the game server was lost.\n"
                               "wait-journal SHOT \nwait 500\nkey Return\nwait 300\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_drop"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal();
    Writer members;
    members.u8(1);
    Member(members, 0, u"Alice");
    ASSERT_TRUE(server.SendFrames(0, {{2001, RoomState()}, {2011, members.bytes()}}));
    // The master's practice shot comes back, and the connection breaks while the balls run.
    const auto shot = server.Expect(0, 2052, 60000);
    ASSERT_TRUE(shot) << client.Journal();
    ASSERT_TRUE(server.Send(0, 2052, shot->body));
    ASSERT_TRUE(server.SendRaw(0, {2, 0}));
    EXPECT_TRUE(server.WaitClosed(0, kMs));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    EXPECT_NE(journal.find("BOX Notice|The connection to the game server was lost."), std::string::npos)
        << journal;
    EXPECT_EQ(Lines(journal, "SHOT 4 ").size(), 1u) << "the shot still comes to rest";
    server.Stop();
}

}  // namespace
