// One client program in a scripted 8-ball room: the break from the ball in hand (the placement goes
// out before the shot), the shot result with the rule value and its two ball lists, the groups, the
// 8-ball shot, a free ball on the own turn with the pocket call that follows, another player's called
// pocket and placed ball, and a break foul, checked in the bytes sent and in the journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

constexpr const char* kGameChoice = "450 348";
constexpr const char* kEightBallRow = "450 502";

std::uint32_t Bits(float f) {
    std::uint32_t u = 0;
    std::memcpy(&u, &f, sizeof u);
    return u;
}

TEST(RoomPocketRun, BallInHandBreakGroupsEightBallShotFreeBallPocketCallAndBreakFoul) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    ASSERT_TRUE(StartScripted(server));
    const std::string script =
        OpenRoom(Click(kGameChoice) + Click(kEightBallRow)) +
        "wait-journal TURN 0 1\n"
        // The first drag sets the cue ball down, the second strikes.
        "move 512 420\ndown left\nwait 50\nmove 500 430\nwait 50\nup left\nwait 300\n"
        "move 516 300\ndown left\nwait 50\nmove 516 360\nwait 50\nup left\n"
        "wait-journal CHAT 0xFFFFFF00 Break foul! Try the first break again!\nwait 300\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_pocket"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    ASSERT_TRUE(
        server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}, {2029, GameStart(777, 0, 10)}}));

    // The placement leaves before the shot; the shot comes back with the table state asked for.
    const auto placed = server.Expect(0, 2063, 60000);
    ASSERT_TRUE(placed) << client.Journal();
    ASSERT_GE(placed->body.size(), 2u);
    EXPECT_EQ(placed->body[0], 0) << "a placement, not a called pocket";
    EXPECT_EQ(placed->body[1], 0) << "the cue ball";
    const auto shot = server.Expect(0, 2052, kMs);
    ASSERT_TRUE(shot) << client.Journal();
    ASSERT_TRUE(server.SendFrames(0, {{2052, shot->body}, {2049, {}}}));
    const auto result = server.Expect(0, 2053, 60000);
    ASSERT_TRUE(result) << client.Journal();
    // u16 code, u8 rule value, u8 count and the pocketed balls, u8 count and the balls touched.
    const Bytes& r = result->body;
    ASSERT_GE(r.size(), 5u);
    const std::size_t pocketed = r[3];
    ASSERT_GE(r.size(), 5u + pocketed);
    EXPECT_EQ(r.size(), 5u + pocketed + r[4 + pocketed]) << "the two lists fill the message";
    const auto state = server.Expect(0, 2050, kMs);
    ASSERT_TRUE(state);
    EXPECT_EQ(state->body[4], 16) << "sixteen balls";

    ASSERT_TRUE(server.SendFrames(0, {{2087, {2, 2, 3}}, {2088, {1, 2, 4, 3}}, {2056, TurnResult(0, 0, 1)}}));
    const auto respotted = server.Expect(0, 2063, kMs);
    ASSERT_TRUE(respotted) << "the free ball's cue ball goes to the others" << client.Journal();
    EXPECT_EQ(respotted->body[0], 0);
    ASSERT_TRUE(
        client.WaitFor("CHAT 0xFF00FF00 Call the pocket where you will pocket the 8 ball.(Left click)"))
        << client.Journal();
    // The new turn after the free ball and the one after a ball-in-hand turn ran out of time (2056, -3)
    // carry the shot's table state, the cue ball still in its pocket: each turn starts with the cue ball
    // back on the table, where the free ball put it.
    constexpr std::size_t kCueBallByte = 5 + 16 * 28;
    Bytes inPocket = {0, 0};
    inPocket.insert(inPocket.end(), state->body.begin(), state->body.end());
    inPocket[2 + kCueBallByte] = 1;
    ASSERT_TRUE(server.SendFrames(
        0, {{2051, inPocket}, {2056, TurnResult(0, 0xFFFD)}, {2051, inPocket}, {2049, {}}}));
    const auto turnState = server.Expect(0, 2050, kMs);
    ASSERT_TRUE(turnState) << client.Journal();
    EXPECT_EQ(turnState->body[kCueBallByte], 0) << "the cue ball is in play";
    EXPECT_TRUE(
        std::equal(respotted->body.begin() + 2, respotted->body.begin() + 14, turnState->body.begin() + 5))
        << "on the free ball's spot";
    Writer ball;
    ball.u8(1).u32(Bits(20.0f)).u32(Bits(0.0f)).u32(Bits(10.0f));
    Writer foul;
    foul.u32(99).u8(1);
    ASSERT_TRUE(server.SendFrames(0, {{2061, {255}}, {2064, ball.bytes()}, {2057, foul.bytes()}}));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();

    const std::string journal = client.Journal();
    const auto groups = journal.find("CHAT 0xFF00FF00 The group has been determined.");
    const auto eight = journal.find("CHAT 0xFF00FF00 8 ball shot!");
    const auto freeBall =
        journal.find("CHAT 0xFFFFFFFF Free ball. Click the cueball to place it anywhere you want.");
    const auto call = journal.find("CHAT 0xFF00FF00 Call the pocket where you will pocket the 8 ball.");
    ASSERT_NE(groups, std::string::npos) << journal;
    ASSERT_NE(eight, std::string::npos) << journal;
    ASSERT_NE(freeBall, std::string::npos) << journal;
    ASSERT_NE(call, std::string::npos) << journal;
    EXPECT_LT(groups, eight);
    EXPECT_LT(eight, freeBall);
    EXPECT_NE(journal.find("SOUND 81\n", eight), std::string::npos) << "the 8-ball shot's sound";
    EXPECT_NE(journal.find("SOUND 17\n", call), std::string::npos) << "a called pocket, even none";
    EXPECT_NE(journal.find("CHAT 0xFFFFFF00 Break foul! Try the first break again!"), std::string::npos);
    server.Stop();
}

}  // namespace
