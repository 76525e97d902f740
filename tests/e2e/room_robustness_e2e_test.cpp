// One client program in a scripted room that receives what no good server sends: seats, team counts,
// ball counts and ball indices out of range, lists and strings that run past their message, unknown
// ids, frames split across several writes and many frames in one write, a new turn whose table state
// lies off the table, and at last a frame length the stream cannot hold. The client changes nothing for
// the bad messages, handles the next good one, takes the turn it is given on its own table, and ends
// the broken connection with its notice instead of a crash.
#include <gtest/gtest.h>

#include <bit>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

TEST(RoomRobustnessRun, BadMessagesChangeNothingTheNextGoodOneIsHandledAndABrokenStreamEndsInTheNotice) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    ASSERT_TRUE(StartScripted(server));
    const std::string script = OpenRoom() + "wait-journal TURN 0 1\nkeydown Space\nwait 300\nkeyup Space\n" +
                               "wait-journal BOX Notice|The connection to the game server was lost.\n"
                               "wait 500\nkey Return\nwait 300\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_robust"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    ASSERT_TRUE(
        server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}, {2029, GameStart(4242, 1, 4)}}));
    ASSERT_TRUE(client.WaitFor("CHAT 0xFF00FF00 The game has started.")) << client.Journal();

    const Bytes zeros12(12, 0);
    Bytes ball40{40};
    ball40.insert(ball40.end(), zeros12.begin(), zeros12.end());
    const std::vector<testserver::Frame> bad = {
        {2013, {9, 1}},
        {2027, {9, 1}},
        {2016, {9, 0, 0, 0, 0}},
        {2038, {9}},
        {2079, {9, 0}},
        {2039, {9, 30}},
        {2029, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 50, 1}},
        {2030, {0, 0, 0, 0, 50, 1}},
        {2046, {9, 1}},
        {2051, {1, 1, 0, 0, 0, 0, 200}},
        {2056, {0, 0, 0, 0, 0, 9, 0, 0, 0, 0, 0}},
        {2064, ball40},
        {247, {1, 0x88, 0x13}},
        {2006, {0, 1, 0x88, 0x13, 'a', 0}},
        {2006, {0, 1, 3, 0, 'a', 0, 'b'}},
        {2018, {0}},
        {4321, {7, 0, 0, 0}},
    };
    ASSERT_TRUE(server.SendFrames(0, bad));
    // The next good message, three bytes a write, then the turn, then thirty lines in one write.
    ASSERT_TRUE(server.SendSplit(0, 2006, Chat(u"still here"), 3));
    ASSERT_TRUE(client.WaitFor("CHAT 0xFFFFFF80 Rival : still here")) << client.Journal();
    ASSERT_TRUE(server.Send(0, 2056, TurnResult(0, 0)));
    std::vector<testserver::Frame> many;
    for (int i = 0; i < 30; ++i) {
        std::u16string number;
        for (char c : std::to_string(i)) number += static_cast<char16_t>(c);
        many.push_back({2006, Chat(u"line " + number)});
    }
    ASSERT_TRUE(server.SendFrames(0, many));
    ASSERT_TRUE(client.WaitFor("CHAT 0xFFFFFF80 Rival : line 29")) << client.Journal();
    ASSERT_TRUE(client.WaitFor("SOUND 26")) << "the turn came to the own seat";

    // The new turn's table state holds a ball 1e20 cm above the bed: refused, and logged, yet the turn
    // is the own seat's, and the own cue strikes from the table it had.
    Writer turn;
    turn.u8(0).u8(0).u16(0).u16(0).u8(3);
    const float spots[3][3] = {{-63.5f, 0.0f, 3.075f}, {63.5f, 0.0f, 1e20f}, {0.0f, 20.0f, 3.075f}};
    for (const auto& spot : spots)
        for (float v : spot) turn.u32(std::bit_cast<std::uint32_t>(v));
    for (int ball = 0; ball < 3; ++ball) turn.u32(0).u32(0).u32(0).u32(std::bit_cast<std::uint32_t>(1.0f));
    turn.u16(0).u16(0);
    ASSERT_TRUE(server.Send(0, 2051, turn.bytes()));
    ASSERT_TRUE(client.WaitFor("TURN 0 1")) << client.Journal() << client.Log();
    EXPECT_TRUE(server.Expect(0, 2052, kMs)) << client.Journal() << client.Log();

    // A frame longer than the receive ring: the stream cannot be trusted any more.
    ASSERT_TRUE(server.SendRaw(0, {0x88, 0x13, 0xD6, 0x07}));
    EXPECT_TRUE(server.WaitClosed(0, kMs));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();

    const std::string journal = client.Journal();
    EXPECT_NE(client.Log().find("room message 2051: its table state is refused; the turn of seat 0 goes on"),
              std::string::npos)
        << client.Log();
    EXPECT_EQ(Lines(journal, "CHAT 0xFF00FF00 The game has started.").size(), 1u) << journal;
    EXPECT_EQ(journal.find("is the room master."), std::string::npos) << journal;
    EXPECT_EQ(journal.find("has withdrawn"), std::string::npos) << journal;
    EXPECT_EQ(journal.find("is dropped"), std::string::npos) << journal;
    EXPECT_EQ(journal.find("has been banned."), std::string::npos) << "a ban without its name";
    EXPECT_EQ(journal.find("has blocked you"), std::string::npos) << journal;
    EXPECT_EQ(Lines(journal, "CHAT 0xFFFFFF80 Rival : line ").size(), 30u) << journal;
    const auto still = journal.find("Rival : still here");
    EXPECT_EQ(Lines(journal.substr(0, still), "CHAT 0xFFFFFF80 Rival : ").size(), 0u)
        << "no bad chat message made a line";
    server.Stop();
}

}  // namespace
