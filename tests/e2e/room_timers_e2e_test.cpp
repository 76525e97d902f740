// The game room's turn timers against the scripted test server on virtual time: the client's real
// session, connection and dispatch thread deliver the server's messages to the room scene while the
// test steps the scene's update tick, so a turn of 40 seconds or a game of 15 minutes passes at once.
// The default shot near the end of a turn, the time-out message, the room master ending a dropped
// player's turn and the tournament's time limit are seen in the bytes the server receives.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <tuple>

#include "gui/Button.h"
#include "gui/GuiConstants.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/SceneGate.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/RoomWidgetCodes.h"
#include "tests/common/Patience.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using namespace roomscript;

constexpr std::uint16_t kTournamentChannel = 8;

class RoomTimersRun : public ::testing::Test {
protected:
    // Connects, learns the channel list, enters a room of `gameType` with the turn limit `inning`
    // (0 none) and receives the room state and its two members (the own seat 0 is the master).
    void Open(std::uint8_t gameType, std::uint8_t inning, std::uint16_t channelType) {
        platform::SetClock(&clock);
        server.Ignore(202);
        ASSERT_TRUE(server.Start());
        net::GameSession& session = *host.session;
        gate.SetCurrent(&scene);
        session.SetSceneGate(&gate);
        session.StartDispatchThread();
        ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
        ASSERT_TRUE(session.WaitConnected(5000));
        ASSERT_TRUE(server.WaitForClients(1, kMs));
        if (channelType != 0) {
            Writer channels;
            channels.u8(1).u16(3).u16(channelType).u16(0).u16(100).str(u"channel");
            ASSERT_TRUE(server.Send(0, 156, channels.bytes()));
            ASSERT_TRUE(WaitUntil([&] { return session.GetChannelType(3) == channelType; }));
        }
        session.currentChannel = 3;
        session.GetRoom().gameType = gameType;
        session.GetRoom().inningTime = inning;
        scene.SetHost(&host);
        gate.SetChangingScene(true);
        scene.Load3D(nullptr, nullptr);
        scene.Enter();
        gate.SetChangingScene(false);
        ASSERT_TRUE(server.Expect(0, 2007, kMs));
        ASSERT_TRUE(server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}}));
        ASSERT_TRUE(WaitUntil([&] { return scene.SeatCopy(1).occupied; }));
    }
    void TearDown() override {
        host.session->StopDispatchThread();
        host.session->Disconnect();
        server.Stop();
        platform::SetClock(nullptr);
    }
    // Seats 0 and 1 in team slots 1 and 2; `shooter` starts.
    void StartGame(std::uint8_t gameType, std::uint8_t shooter) {
        ASSERT_TRUE(server.Send(0, 2029, GameStart(4242, shooter, gameType)));
        ASSERT_TRUE(WaitUntil([&] { return scene.GameRunning(); }));
    }
    // A turn result naming the next shooter with the shooter's result code.
    void PassTurn(std::uint8_t next, std::int16_t code) {
        gate.SetChangingScene(true);
        const auto timeOuts = scene.World()->timeOutCount;
        gate.SetChangingScene(false);
        ASSERT_TRUE(server.Send(0, 2056, roomscript::TurnResult(next, static_cast<std::uint16_t>(code))));
        ASSERT_TRUE(WaitUntil([&] {
            return !scene.ShotRunning() && scene.CurrentShooter() == next &&
                   (code != -3 || scene.World()->timeOutCount > timeOuts);
        }));
    }
    // Steps the update tick over `ms` of virtual time. As in the shell, one thread at a time is in
    // the scene: the gate holds the packets back meanwhile.
    void Run(std::uint64_t ms) {
        gate.SetChangingScene(true);
        for (std::uint64_t t = 0; t < ms; t += 5) {
            clock.AdvanceMs(5);
            scene.Update(clock.NowMs(), 0);
        }
        gate.SetChangingScene(false);
    }
    // Waits until the packets delivered so far make `pred` true; it looks with the gate closed.
    template <class Pred>
    bool WaitUntil(Pred pred) {
        return testsupport::WaitUntil(
            [&] {
                gate.SetChangingScene(true);
                const bool done = pred();
                gate.SetChangingScene(false);
                return done;
            },
            std::chrono::seconds(10), std::chrono::milliseconds(5));
    }
    // Frames of this id sent so far, waiting a little for the connection to carry them.
    int Sent(std::uint16_t id, int atLeast = 0) {
        WaitUntil([&] { return server.CountReceived(0, id) >= atLeast; });
        return server.CountReceived(0, id);
    }

    platform::VirtualClock clock{100000};
    testserver::TestGameServer server;
    FakeSceneHost host;
    net::BasicSceneGate gate;
    scenes::SceneRoomGame scene;
};

TEST_F(RoomTimersRun, TheDefaultShotComesFiveSecondsBeforeTheLimitUntilATimeOutWasCountedThenTheTurnEnds) {
    Open(3, 40, 0);
    StartGame(3, 0);
    Run(34000);
    EXPECT_EQ(Sent(2052), 0) << "no shot before limit - 5";
    Run(1100);
    ASSERT_EQ(Sent(2052, 1), 1) << "the default shot at 35 s, without input";
    Run(10000);
    EXPECT_EQ(Sent(2062), 0) << "a turn whose shot went out does not time out";

    PassTurn(0, -3);
    Run(36000);
    EXPECT_EQ(Sent(2052), 1) << "after a counted time-out no default shot";
    Run(4100);
    ASSERT_EQ(Sent(2062, 1), 1);
    EXPECT_EQ(server.Received(0, 2062)[0], Bytes{0});
    Run(5000);
    EXPECT_EQ(Sent(2062), 1) << "once per turn";

    // The server ends the next own turn first (the client was stopped): its result waits, received and not
    // yet handled, when the own clock runs out. No time-out goes out for the turn the server passed.
    PassTurn(0, -3);
    Run(39000);
    gate.SetChangingScene(true);
    ASSERT_TRUE(server.Send(0, 2056, roomscript::TurnResult(1, static_cast<std::uint16_t>(-3))));
    ASSERT_TRUE(testsupport::WaitUntil([&] { return host.session->PendingPackets() == 1; },
                                       std::chrono::seconds(10), std::chrono::milliseconds(5)));
    Run(2000);
    ASSERT_TRUE(host.session->SendEmpty(9) && Sent(9, 1) == 1);
    EXPECT_EQ(Sent(2062), 1) << "a time-out for the turn the server had passed";
}

TEST_F(RoomTimersRun, TheMasterEndsTheTurnOfADroppedPlayerAtTheLimitAndOnlyThen) {
    Open(4, 40, 0);
    StartGame(4, 1);
    Run(41000);
    EXPECT_EQ(Sent(2062), 0) << "another player's turn is his own business";
    PassTurn(1, 0);
    ASSERT_TRUE(server.Send(0, 2079, {1, 0}));
    ASSERT_TRUE(WaitUntil([&] { return scene.SeatCopy(1).record.game.dropped != 0; }));
    Run(39000);
    EXPECT_EQ(Sent(2062), 0);
    Run(1100);
    ASSERT_EQ(Sent(2062, 1), 1) << "the master's client ends the dropped player's turn";
}

TEST_F(RoomTimersRun, ATournamentGameEndsOnceAfterFifteenMinutesOnTheShootersClient) {
    Open(4, 0, kTournamentChannel);
    StartGame(4, 0);
    Run(899000);
    EXPECT_EQ(Sent(2084), 0);
    Run(2000);
    ASSERT_EQ(Sent(2084, 1), 1);
    EXPECT_EQ(server.Received(0, 2084)[0], Bytes{1});
    Run(10000);
    EXPECT_EQ(Sent(2084), 1);
    EXPECT_EQ(Sent(2062), 0) << "an inning time of 0 never runs out";
}

// The HUD's answers as the server reads them: Yes to the withdraw offer names the slow player's game
// slot and id (2040), the tournament score board's end button asks to end the timed game (2084). The
// own withdrawal on the way out of a game of four teams, on the own turn, passes the turn and leaves the
// player watching: the end of the others' game keeps him in the room, and only his next X leaves (2008).
// Its results name a player who withdrew and left the room before it ended.
TEST_F(RoomTimersRun, TheWithdrawAnswerAndTheScoreBoardsEndReachTheServerAndAWithdrawalFromFourTeamsStays) {
    Open(4, 0, kTournamentChannel);
    const char16_t* names[] = {u"Alice", u"Rival", u"Third", u"Fourth"};
    Writer four;
    four.u8(4);
    for (std::uint8_t seat = 0; seat < 4; ++seat) Member(four, seat, names[seat]);
    ASSERT_TRUE(server.Send(0, 2011, four.bytes()));
    ASSERT_TRUE(WaitUntil([&] { return scene.SeatCopy(3).occupied; }));
    ASSERT_TRUE(server.Send(0, 2029, GameStart(4242, 0, 4, 0, 4)));
    ASSERT_TRUE(WaitUntil([&] { return scene.GameRunning(); }));
    ASSERT_TRUE(server.Send(0, 2039, {1, 12}));
    ASSERT_TRUE(WaitUntil([&] { return scene.WithdrawAsk()->IsVisible(); }));
    gate.SetChangingScene(true);
    const net::PlayerRecord slow = scene.SeatCopy(1).record;
    scene.WithdrawAsk()->RouteMessage(platform::kWmKeyDown, scenes::hud::room_key::kReturn, 0);
    scene.Scores()->EndButton()->Click();
    gate.SetChangingScene(false);
    ASSERT_EQ(Sent(2040, 1), 1);
    Writer answer;
    answer.u8(1).u8(slow.game.gameSlot).u64(slow.playerId);
    EXPECT_EQ(server.Received(0, 2040)[0], answer.bytes());
    EXPECT_NE(slow.playerId, 0u) << "the member list's id reached the seat";
    ASSERT_EQ(Sent(2084, 1), 1);
    EXPECT_EQ(server.Received(0, 2084)[0], Bytes{0});

    gate.SetChangingScene(true);
    scene.OnMessage(1040, 0, 0);
    scene.OnMessage(1093, gui::button_id::kYes, 0);
    gate.SetChangingScene(false);
    ASSERT_TRUE(Sent(2037, 1) == 1 && server.Send(0, 2038, {0}));
    ASSERT_TRUE(WaitUntil([&] { return scene.CurrentShooter() == 1; }))
        << "the withdrawn shooter kept the turn";
    // Fourth withdraws and leaves the room; Third's withdrawal ends the game: its results, every team in
    // them, are on Alice's screen.
    Writer ended;
    ended.str(u"Third").u8(2).u16(0).u16(0).u8(4).u8(1);
    for (std::uint8_t seat = 0; seat < 4; ++seat)
        ended.u8(seat + 1).u8(seat == 1 ? 1 : 2).u8(seat).u32(0).u32(0).u8(0);
    ASSERT_TRUE(
        server.SendFrames(0, {{2038, {3}}, {2015, {3, 3, 0, 0}}, {2038, {2}}, {2031, ended.bytes()}}));
    ASSERT_TRUE(WaitUntil([&] { return !scene.GameRunning(); }));
    gate.SetChangingScene(true);
    const scenes::hud::GameResultList& results = *scene.ResultList();
    EXPECT_TRUE(results.IsVisible() && results.RowShown(3) && !results.RowShown(4));
    for (const auto& [row, name, result] :
         {std::tuple(0, u"Alice", u"Loss"), std::tuple(1, u"Rival", u"WIN"), std::tuple(2, u"Third", u"Loss"),
          std::tuple(3, u"Fourth", u"Loss")})
        EXPECT_EQ(std::pair(results.RowAt(row).name->Text(), results.RowAt(row).result->Text()),
                  std::pair(std::u16string(name), std::u16string(result)));
    scene.Render(nullptr, false);  // the frame's work, then his own X and a marker behind it
    scene.OnMessage(1040, 0, 0);
    gate.SetChangingScene(false);
    ASSERT_TRUE(host.session->SendEmpty(9) && Sent(9, 1) == 1);
    EXPECT_EQ(Sent(2008), 1) << "the end of the others' game took the watching player out";
}

TEST_F(RoomTimersRun, OtherChannelsHaveNoFifteenMinuteLimit) {
    Open(4, 0, 0);
    StartGame(4, 0);
    Run(901000);
    EXPECT_EQ(Sent(2084), 0);
}

}  // namespace
