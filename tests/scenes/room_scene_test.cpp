// The online game room without a window or a server: the room messages it reads, the messages it
// sends (seen by the scene's send tap), its turn timers on the virtual clock, the aim rate, the chat
// guard, and messages that break a bound leaving everything as it was.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <mutex>
#include <thread>
#include <tuple>

#include "engine/core/Log.h"
#include "gui/Button.h"
#include "gui/TextInput.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "net/PacketRecorder.h"
#include "physics/PhysicsModel.h"
#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "platform/window/WindowCodes.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/StartReadyButton.h"
#include "table/TableMessages.h"
#include "tests/common/TempDir.h"
#include "tests/scenes/support/QueuedSounds.h"
#include "tests/scenes/support/RoomSceneFixture.h"
#include "tests/scenes/support/WidgetTree.h"

namespace {

using namespace room_test;
using scenes::SceneRoomGame;

TEST_F(RoomSceneTest, EntrySendsOneEnterDoneAndTheRoomStateGivesControlOnlyToTheMaster) {
    ASSERT_EQ(SentWith(2007).size(), 1u);
    EXPECT_EQ(SentWith(2007)[0].body, Bytes{0});
    EnterRoom(1, 0);
    EXPECT_EQ(scene.OwnSeat(), 1);
    EXPECT_EQ(scene.MasterSeat(), 0);
    EXPECT_FALSE(scene.World()->OwnTurn());
    EXPECT_TRUE(HasChat("The game has not started yet.", kYellow));
    EnterRoom(0, 0);
    EXPECT_TRUE(scene.World()->OwnTurn()) << "the master practises before the game";
}

TEST_F(RoomSceneTest, GameStartRacksWithTheSeedAndGivesTheTurnToTheNamedShooter) {
    // A player who joins waits for the game's data only where a game runs.
    EnterRoom(1, 0);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.ReceivingLabel()->IsVisible()) << "no game runs: no game data comes";
    EnterRoom(1, 0, 0, 0, 0, 2, 12500);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.ReceivingLabel()->IsVisible());
    EXPECT_EQ(scene.Countdown()->Left(), 28) << "the 40 s turn has run 12.5 s";
    Results(1000, 1000);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.ReceivingLabel()->IsVisible()) << "the game is over: its data will not come";
    EnterRoom(1, 0, 0, 0, 0, 2);
    StartGame(1);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.ReceivingLabel()->IsVisible()) << "the breaker waits for no more game data";
    EXPECT_TRUE(scene.GameRunning());
    EXPECT_EQ(scene.GameSeed(), 77u);
    EXPECT_EQ(scene.CurrentShooter(), 1);
    EXPECT_TRUE(scene.World()->OwnTurn());
    EXPECT_EQ(scene.World()->CurrentBall(), 1);
    EXPECT_TRUE(HasChat("The game has started.", kGreen));
    const auto sounds = scene.PlayedSounds();
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[sounds.size() - 2], 24);
    EXPECT_TRUE(sounds.back() == 57 || sounds.back() == 58);

    // A turn result passes the turn; the money list may end with the message instead of 0xFF.
    TurnResult(0, true, false);
    EXPECT_EQ(scene.CurrentShooter(), 0);
    EXPECT_FALSE(scene.World()->OwnTurn());
    EXPECT_EQ(scene.SeatCopy(1).record.money, 600);
    EXPECT_EQ(host.session->own.money, 600) << "the own seat's money reaches the session";
}

TEST_F(RoomSceneTest, TableStateAskedDuringAShotGoesBehindTheShotResultInOnePacketAndNotAgain) {
    EnterRoom(0, 0);
    StartGame(0);
    table::TableWorld& world = *scene.World();
    // Idle: the table state goes at once, with the turn's table and ball set behind the block.
    Deliver(2049, [](net::Packet&) {});
    ASSERT_EQ(SentWith(2050).size(), 1u);
    EXPECT_EQ(SentWith(2050)[0].body.size(), 2u + 2 + 1 + 3 * 12 + 3 * 16 + 2 + 2);

    world.MakeDefaultShot();
    RelayShot();
    ASSERT_TRUE(scene.ShotRunning());
    Deliver(2049, [](net::Packet&) {});
    EXPECT_TRUE(scene.AttachTableState());
    EXPECT_EQ(SentWith(2050).size(), 1u) << "nothing goes out while the shot runs";
    for (int i = 0; i < 200000 && world.ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
    ASSERT_FALSE(world.ShotExecuting());
    ASSERT_TRUE(host.Posted(1112));
    scene.OnMessage(1112, 0, 0);
    const auto results = SentWith(2053), states = SentWith(2050);
    ASSERT_EQ(results.size(), 1u);
    ASSERT_EQ(states.size(), 2u);
    EXPECT_EQ(results[0].body.size(), 2u) << "a carom result is the code alone";
    EXPECT_EQ(results[0].packet, states[1].packet) << "2053 and 2050 leave in one packet";
    TurnResult(1);
    EXPECT_EQ(SentWith(2050).size(), 2u) << "the state already went with the result";
    EXPECT_FALSE(scene.ShotRunning());

    // A slow client still runs the next shot when its turn comes: the turn's table is no refusal, it is
    // taken once the balls rest.
    net::Packet table;
    world.WriteBallStateMessage(table, false);
    const Bytes turnTable(table.Data() + 4, table.Data() + table.Size());
    world.MakeDefaultShot();
    RelayShot();
    TurnResult(0);
    Deliver(2051, [&](net::Packet& p) {
        p.WriteU8(0).WriteU8(0).WriteBytes(turnTable.data(), turnTable.size());
        p.WriteU16(0).WriteU16(0);
    });
    ASSERT_TRUE(world.ShotExecuting());
    for (int i = 0; i < 200000 && world.ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
    scene.OnMessage(1112, 0, 0);
    net::Packet rested;
    world.WriteBallStateMessage(rested, false);
    EXPECT_EQ(Bytes(rested.Data() + 4, rested.Data() + rested.Size()), turnTable);
}

// A watcher's client is not waited for and may still run the game's last shot when its end comes: that,
// and a seat watching since, are taken in order once its balls rest, as on the players' clients. A turn
// line still waiting for its table (one who entered as the last shot went) goes with the game.
TEST_F(RoomSceneTest, AClientStillRunningTheLastShotTakesTheGamesEndWhenItsBallsRestAndNoTurnAfterIt) {
    std::string turns;
    const std::uint64_t observer = platform::Journal::Subscribe([&](std::uint64_t, std::string_view line) {
        if (line.starts_with("TURN")) turns += line;
    });
    EnterRoom(2, 0);
    StartGame(0);
    Results(1000, 1000);
    Run(3000);
    platform::Journal::Unsubscribe(observer);
    EXPECT_EQ(turns, "");

    StartGame(0);
    table::TableWorld& world = *scene.World();
    world.MakeDefaultShot();
    RelayShot();
    TurnResult(0);
    Results(1000, 1000);
    Deliver(2013, [](net::Packet& p) { p.WriteU8(1).WriteU8(0); });
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.ResultList()->IsVisible()) << "the results came over rolling balls";
    for (int i = 0; i < 200000 && world.ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
    scene.OnMessage(1112, 0, 0);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.ResultList()->IsVisible());
    EXPECT_EQ(scene.ResultList()->TeamCount(), 2) << "the seat that watches since still has its result";
}

// A peer's shot with a power of 100 or a contact factor of -2.5 or 1e6 could run to the rules' cap
// (two minutes) before any client answered; brought within the limits it rests and the result goes
// out.
TEST_F(RoomSceneTest, APeersShotWithWordsNoClientSendsComesToRestAndItsResultGoesOut) {
    EnterRoom(0, 0);
    StartGame(1);
    table::TableWorld& world = *scene.World();
    for (const auto& words : {std::pair{100.0f, 0.0f}, std::pair{0.8f, -2.5f}, std::pair{0.8f, 1e6f}}) {
        const float power = words.first, contactFactor = words.second;
        Deliver(2052, [&](net::Packet& p) {
            table::ShotMessage shot;
            shot.currentBall = 1;
            shot.shooterSeat = 1;
            shot.words.aimX = shot.words.aimY = 30.0f;
            shot.words.power = power;
            shot.words.contactFactor = contactFactor;
            table::WriteShotMessage(p, shot);
        });
        ASSERT_TRUE(world.ShotExecuting()) << "power " << power;
        for (int i = 0; i < 12000 && world.ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
        EXPECT_FALSE(world.ShotExecuting()) << "power " << power << " contact factor " << contactFactor;
        scene.OnMessage(1112, 0, 0);
    }
    EXPECT_EQ(SentWith(2053).size(), 3u);
}

TEST_F(RoomSceneTest, PacketsArrivingOnTheDispatchThreadWhileAShotRunsAndTheTableTicks) {
    EnterRoom(0, 0);
    StartGame(0);
    table::TableWorld& world = *scene.World();
    world.MakeDefaultShot();
    world.Aim().SetPower(0.6f);
    RelayShot();
    std::thread dispatch([this] {
        for (int i = 0; i < 200; ++i) {
            Deliver(2058, [](net::Packet& p) {
                for (int v = 0; v < 5; ++v) p.WriteU32(0);
            });
            Deliver(2006,
                    [](net::Packet& p) { p.WriteU8(0).WriteU8(1).WriteString(u"Bob").WriteString(u"hi"); });
            Deliver(2027, [](net::Packet& p) { p.WriteU8(1).WriteU8(1); });
            if (i % 50 == 0) Deliver(2049, [](net::Packet&) {});
        }
    });
    for (int i = 0; i < 4000; ++i) {
        scene.Update(clock.NowMs(), 0);
        if (i % 4 == 0) scene.Render(nullptr, false);
    }
    dispatch.join();
    EXPECT_EQ(scene.ChatLines().size(), 200u);
}

TEST_F(RoomSceneTest, TurnTimerWarnsOnceAndEndsTheOwnTurnOnceAtTheLimitAndALimitOfZeroNeverEndsIt) {
    EnterRoom(0, 0);
    StartGame(0);
    Run(30000);
    EXPECT_TRUE(SentWith(2062).empty());
    Run(7000);
    int warnings = 0;
    for (int id : scene.PlayedSounds()) warnings += id >= 95 && id <= 97 ? 1 : 0;
    EXPECT_EQ(warnings, 1);
    EXPECT_TRUE(SentWith(2062).empty());
    Run(4000);
    ASSERT_EQ(SentWith(2062).size(), 1u);
    EXPECT_EQ(SentWith(2062)[0].body, Bytes{0});
    Run(10000);
    EXPECT_EQ(SentWith(2062).size(), 1u) << "one time-out per turn";

    // A room without a turn limit (inning time 0) never times a turn out.
    host.session->GetRoom().inningTime = 0;
    scene.Enter();
    EnterRoom(0, 0);
    StartGame(0);
    Run(120000);
    EXPECT_EQ(SentWith(2062).size(), 1u);
}

TEST_F(RoomSceneTest, OwnAimGoesAtMostOnceASecondAndNotAtAllWhileItStaysTheSame) {
    EnterRoom(0, 0);
    StartGame(0);
    float yaw = 0;
    for (int t = 0; t < 3200; t += 50) {
        scene.World()->Aim().SetYawDegrees(yaw += 1.0f);
        Run(50);
    }
    const std::size_t changing = SentWith(2058).size();
    EXPECT_GE(changing, 2u);
    EXPECT_LE(changing, 4u);
    for (const Sent& s : SentWith(2058)) EXPECT_EQ(s.body.size(), 20u);
    Run(3000);
    const std::size_t after = SentWith(2058).size();
    Run(3000);
    EXPECT_EQ(SentWith(2058).size(), after) << "an unchanged aim is not sent";
}

// An onlooker's keys leave the shooter's aim; his turn then looks along it from behind his cue ball.
TEST_F(RoomSceneTest, AnOnlookersKeysLeaveTheShootersAimAndHisTurnLooksAlongIt) {
    EnterRoom(1, 0);
    LeaveChatLine();
    StartGame(0);
    Run(1000);
    table::TableWorld& world = *scene.World();
    Deliver(2058, [](net::Packet& p) { p.WriteF32(90.0f).WriteF32(0).WriteF32(0).WriteF32(0).WriteF32(0); });
    const table::AimState aimed = world.Aim();
    for (std::uint32_t vk : {platform::kVkLeft, platform::kVkUp, std::uint32_t{'D'}})
        for (std::uint32_t message : {platform::kWmKeyDown, platform::kWmKeyUp}) {
            Route(message, vk, 0);
            Run(500);
        }
    EXPECT_FLOAT_EQ(world.Aim().YawDegrees(), aimed.YawDegrees());
    EXPECT_FLOAT_EQ(world.Aim().ElevationDegrees(), aimed.ElevationDegrees());
    EXPECT_FLOAT_EQ(world.Aim().TipSide(), aimed.TipSide());
    world.MakeDefaultShot();
    RelayShot();
    for (int i = 0; i < 200000 && world.ShotExecuting(); ++i) Run(5);
    TurnResult(1);
    Run(1000);
    float x = 0, y = 0, z = 0;
    world.BallPosition(1, x, y, z);
    const table::CameraRig& rig = world.GetCameraRig();
    EXPECT_EQ(rig.View(), (table::CameraView{300.0f, 30.0f, 90.0f, 0.0f}));
    EXPECT_NEAR(std::hypot(rig.Focus().x - x, rig.Focus().y - y), 0.0f, 1e-3);
}

TEST_F(RoomSceneTest, ChatGuardRefusesTheThirdLineInThreeSecondsAndTeamChatNeedsText) {
    const std::uint64_t t0 = clock.NowMs();
    EXPECT_TRUE(scene.SendChat(u"one", true, t0));
    EXPECT_TRUE(scene.SendChat(u"two", true, t0 + 1000));
    EXPECT_FALSE(scene.SendChat(u"three", true, t0 + 2000));
    EXPECT_TRUE(HasChat("No Spamming!", kYellow));
    EXPECT_TRUE(scene.SendChat(u"four", true, t0 + 6000));
    EXPECT_TRUE(scene.SendChat(u"@hi", false, t0 + 7000));
    EXPECT_TRUE(scene.SendChat(u"@h", false, t0 + 7000)) << "accepted, nothing to send";
    EXPECT_TRUE(scene.SendChat(u"   ", false, t0 + 7000));
    const auto chats = SentWith(2005);
    ASSERT_EQ(chats.size(), 4u);
    const Bytes team = {1, 4, 0, 'h', 0, 'i', 0, 0, 0};
    EXPECT_EQ(chats[3].body, team);
    EXPECT_EQ(chats[0].body[0], 0);
    Deliver(2006, [](net::Packet& p) { p.WriteU8(1).WriteU8(200).WriteString(u"Bob").WriteString(u"%s%n"); });
    EXPECT_TRUE(HasChat("(Team)Bob : %s%n", 0xFFFFFFFF)) << "an unknown colour index reads as the first";
}

TEST_F(RoomSceneTest, AFullChatListDropsTheOldestLineAndKeepsAScrolledUpReaderOnHisLines) {
    for (int i = 0; i < 250; ++i) scene.AddChatLine(u"line", kGreen);
    EXPECT_EQ(scene.ChatLines().size(), 200u);
    EXPECT_EQ(scene.FirstShownLine(), 200u - 7);
    scene.ScrollChatTo(50);
    scene.AddChatLine(u"new", kGreen);
    EXPECT_EQ(scene.FirstShownLine(), 49u);
    scene.AddChatLine(std::u16string(300, u'x'), kGreen);
    EXPECT_EQ(scene.ChatLines().back().text.size(), 79u);
}

TEST_F(RoomSceneTest, MessagesThatBreakABoundChangeNothingAndTheNextValidOneIsHandled) {
    EnterRoom(0, 0);
    StartGame(0);
    const int shooter = scene.CurrentShooter();
    const auto chatBefore = scene.ChatLines().size();
    struct Case {
        std::uint16_t id;
        std::function<void(net::Packet&)> fill;
    };
    const std::vector<Case> cases = {
        {2013, [](net::Packet& p) { p.WriteU8(9).WriteU8(1); }},
        {2027, [](net::Packet& p) { p.WriteU8(9).WriteU8(1); }},
        {2016, [](net::Packet& p) { p.WriteU8(9).WriteU16(0).WriteU16(0); }},
        {2038, [](net::Packet& p) { p.WriteU8(9); }},
        {2079, [](net::Packet& p) { p.WriteU8(9).WriteU8(0); }},
        {2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(12).WriteU8(0).WriteU8(3); }},
        {2029,
         [](net::Packet& p) {
             p.WriteU32(1)
                 .WriteU32(0)
                 .WriteU8(0)
                 .WriteU8(0)
                 .WriteBytes("\0\0\0\0\0", 5)
                 .WriteU8(50)
                 .WriteU8(1);
         }},
        {2046,
         [](net::Packet& p) {
             p.WriteU8(2).WriteU8(1).WriteU8(9).WriteU8(0).WriteU8(2).WriteU8(0).WriteU8(0);
         }},
        {2051, [](net::Packet& p) { p.WriteU8(9).WriteU8(0).WriteU16(0).WriteU16(0).WriteU8(3); }},
        {2056,
         [](net::Packet& p) { p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(9).WriteU8(0).WriteU32(0); }},
        {2064, [](net::Packet& p) { p.WriteU8(40).WriteU32(0).WriteU32(0).WriteU32(0); }},
        {2083, [](net::Packet& p) { p.WriteU8(9).WriteU8(0).WriteU32(0).WriteU32(0).WriteU32(0); }},
        {247, [](net::Packet& p) { p.WriteU8(1).WriteU16(5000); }},
        {2001, [](net::Packet& p) { p.WriteU64(0).WriteU8(0); }},
        {4321, [](net::Packet& p) { p.WriteU32(7); }},
    };
    for (const Case& c : cases) {
        Deliver(c.id, c.fill);
        EXPECT_EQ(scene.CurrentShooter(), shooter) << c.id;
        EXPECT_EQ(scene.OwnSeat(), 0) << c.id;
        EXPECT_EQ(scene.MasterSeat(), 0) << c.id;
        EXPECT_TRUE(scene.GameRunning()) << c.id;
        EXPECT_EQ(scene.ChatLines().size(), chatBefore) << c.id;
    }
    TurnResult(1);
    EXPECT_EQ(scene.CurrentShooter(), 1) << "the next valid message is handled";
}

TEST_F(RoomSceneTest, ReportSendsTheChatHistoryAndThePlayerInOnePacketAndNothingWithoutHistory) {
    scene.OnMessage(1051, 0, 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], u"No messages.");
    EXPECT_TRUE(SentWith(258).empty());
    for (int i = 0; i < 30; ++i)
        Deliver(2006, [](net::Packet& p) {
            p.WriteU8(0).WriteU8(1).WriteString(u"Bob").WriteString(u"bad words");
        });
    scene.OnMessage(1051, 0, 0);
    const auto report = SentWith(258), target = SentWith(244);
    ASSERT_EQ(report.size(), 1u);
    ASSERT_EQ(target.size(), 1u);
    EXPECT_EQ(report[0].packet, target[0].packet);
    const std::size_t chars = (report[0].body[4] | (report[0].body[5] << 8)) / 2;
    EXPECT_EQ(chars, 20u * 16) << "the last 20 lines, each with its separator";
    scene.Render(nullptr, false);
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices.back(), u"Your report has been sent.");
}

TEST_F(RoomSceneTest, ARefusedRequestIsRefusedLocallyTheSecondTimeAndAnAcceptedOneIsAnswered) {
    EnterRoom(0, 0);
    StartGame(0);
    Deliver(2035, [](net::Packet& p) { p.WriteU8(1).WriteU8(2); });
    ASSERT_EQ(SentWith(2037).size(), 1u);
    EXPECT_EQ(SentWith(2037)[0].body, Bytes{7});
    Deliver(2035, [](net::Packet& p) { p.WriteU8(0).WriteU8(2); });
    scene.OnMessage(1044, 2, 0);
    scene.Render(nullptr, false);
    ASSERT_GE(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[host.notices.size() - 2], u"The opponent didn't accept the request.");
    EXPECT_EQ(host.notices.back(), u"Only one request per game is allowed.");
    scene.OnMessage(1044, 1, 0);
    scene.OnMessage(1094, 0, 0);
    ASSERT_EQ(SentWith(2032).size(), 1u);
    EXPECT_EQ(SentWith(2032)[0].body, Bytes{1});
}

TEST_F(RoomSceneTest, PocketGameMessagesWriteTheirLinesAndSounds) {
    EnterRoom(0, 0);
    Deliver(2087, [](net::Packet& p) { p.WriteU8(2).WriteU8(3).WriteU8(4); });
    EXPECT_TRUE(HasChat("The group has been determined.", kGreen));
    Deliver(2088, [](net::Packet& p) { p.WriteU8(1).WriteU8(2).WriteU8(3).WriteU8(4); });
    EXPECT_TRUE(HasChat("8 ball shot!", kGreen));
    EXPECT_EQ(scene.PlayedSounds().back(), 81);
    Deliver(2057, [](net::Packet& p) { p.WriteU32(3).WriteU8(1); });
    EXPECT_TRUE(HasChat("Break foul! Try the first break again!", kYellow));
    Deliver(2061, [](net::Packet& p) { p.WriteU8(255); });
    EXPECT_EQ(scene.PlayedSounds().back(), 17);
    const std::size_t lines = scene.ChatLines().size();
    Deliver(2087, [](net::Packet& p) { p.WriteU8(50); });
    EXPECT_EQ(scene.ChatLines().size(), lines) << "a team count of 50 is dropped";
}

class PocketRoomTest : public RoomSceneTest {
protected:
    PocketRoomTest() { gameType = 10; }
};

TEST_F(PocketRoomTest, TheStartsAndTheResultsSoundsFollowOneAnother) {
    EnterRoom(0, 0);
    QueuedSounds sounds({{24, 300}, {27, 100}, {57, 200}, {58, 200}, {21, 300}, {56, 100}}, &clock);
    StartGame(1);
    EXPECT_EQ(sounds.played, std::vector<int>{24}) << "the rack or the voice sounded over the start";
    sounds.Pass(300);
    EXPECT_EQ(sounds.played, (std::vector<int>{24, 27}));
    sounds.Pass(300);
    ASSERT_EQ(sounds.played.size(), 3u);
    EXPECT_TRUE(sounds.played[2] == 57 || sounds.played[2] == 58);
    // Both teams decided: the results' sound, then the one after them.
    sounds.played.clear();
    Deliver(2046, [](net::Packet& p) {
        p.WriteU8(2).WriteU8(1);
        p.WriteU8(1).WriteU8(1).WriteU32(0).WriteU32(0).WriteU64(1500).WriteU8(0).WriteU8(0);
        p.WriteU8(2).WriteU8(2).WriteU32(0).WriteU32(0).WriteU64(500).WriteU8(0).WriteU8(0).WriteU8(0);
    });
    EXPECT_EQ(sounds.played, std::vector<int>{21});
    sounds.Pass(300);
    EXPECT_EQ(sounds.played, (std::vector<int>{21, 56}));
    // The next game's announcements end with the room when the player leaves in the middle of them.
    sounds.Pass(300);
    sounds.played.clear();
    StartGame(1);
    scene.Leave(nullptr, nullptr);
    sounds.Pass(600);
    EXPECT_EQ(sounds.played, std::vector<int>{24});
}

TEST_F(RoomSceneTest, TheShooterLeavingPassesTheTurnAndADisconnectionSaysSoWhateverTheReason) {
    EnterRoom(0, 0);
    StartGame(1);
    ASSERT_FALSE(scene.World()->OwnTurn());
    Deliver(2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(1).WriteU8(2).WriteU8(3); });
    EXPECT_EQ(scene.CurrentShooter(), 0);
    EXPECT_TRUE(scene.World()->OwnTurn());
    EXPECT_TRUE(HasChat(" has been disconnected.", kGreen));
    EXPECT_FALSE(scene.SeatCopy(1).occupied);
}

TEST_F(RoomSceneTest, TheResultNamesAPlayerWhoLeftTheGameAndNoResultOrMenuOutlivesTheRoom) {
    EnterRoom(0, 0);
    Members({{0, u"Alice"}, {1, u"Rival"}});
    StartGame(1);
    // The server tells of the departure first, then ends the game with both seats in its list.
    Deliver(2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(1).WriteU8(2).WriteU8(3); });
    Deliver(2031, [](net::Packet& p) {
        p.WriteString(u"Rival").WriteU8(1).WriteU16(0).WriteU16(0).WriteU8(2).WriteU8(1);
        p.WriteU8(1).WriteU8(1).WriteU8(0).WriteU32(0).WriteU32(0).WriteU8(0);
        p.WriteU8(2).WriteU8(2).WriteU8(1).WriteU32(0).WriteU32(0).WriteU8(0);
    });
    scenes::hud::GameResultList& list = *scene.ResultList();
    ASSERT_TRUE(list.IsVisible());
    EXPECT_EQ(list.RowAt(0).name->Text(), u"Alice");
    EXPECT_EQ(list.RowAt(1).name->Text(), u"Rival") << "the player who left is still named";
    scene.Render(nullptr, false);
    StartGame(1);
    scene.Render(nullptr, false);
    EXPECT_FALSE(list.IsVisible()) << "the next game closes the last one's results";

    // Back in the lobby and into another room: the last room's result is gone, and so are a menu open on
    // a player and a box that came after the room's last frame; the room's widgets are kept, not built
    // again.
    list.Show(true);
    scene.PlayerList()->RowAt(1).button->Click();
    ASSERT_TRUE(scene.PlayerList()->Menu()->IsVisible());
    Deliver(254, [](net::Packet&) {});
    std::string logged;
    GetLog().SetObserver([&](const std::string& line) { logged += line; });
    scene.Leave(nullptr, nullptr);
    EXPECT_FALSE(scene.PlayerList()->Menu()->IsVisible()) << "the room was left";
    scene.Load3D(nullptr, nullptr);
    scene.Enter();
    GetLog().SetObserver(nullptr);
    scene.Render(nullptr, false);
    EXPECT_FALSE(list.IsVisible());
    EXPECT_TRUE(host.notices.empty()) << ToUtf8(host.notices.front());
    EXPECT_EQ(logged.find("BREAK"), std::string::npos) << logged;
}

TEST_F(RoomSceneTest, AGameEndClosesTheRecordingWithItsEndMarker) {
    const std::string path = testsupport::TempPath("room_recording").string();
    std::filesystem::remove(path);
    ASSERT_TRUE(host.session->Recorder().Start(path));
    EnterRoom(0, 0);
    Deliver(2031, [](net::Packet& p) {
        p.WriteString(u"x").WriteU8(1).WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(0);
    });
    EXPECT_FALSE(host.session->Recorder().IsRecording());
    std::vector<std::uint16_t> ids;
    ASSERT_TRUE(net::PacketRecorder::Read(path, [&](const std::uint8_t* frame, std::size_t size) {
        if (size >= 4) ids.push_back(static_cast<std::uint16_t>(frame[2] | (frame[3] << 8)));
    }));
    ASSERT_FALSE(ids.empty());
    EXPECT_EQ(ids.back(), 20) << "the end marker closes the game's recording";
    std::filesystem::remove(path);
}

TEST_F(RoomSceneTest, ALostConnectionStopsTheGameItsTurnClockAndTheOwnTurn) {
    EnterRoom(0, 0);
    StartGame(0);
    ASSERT_TRUE(scene.World()->OwnTurn());
    const std::size_t soundsBefore = scene.PlayedSounds().size();
    EXPECT_TRUE(scene.OnMessage(static_cast<std::uint32_t>(scenes::AppMessage::ConnectionLost), 0, 0));
    EXPECT_FALSE(scene.GameRunning());
    EXPECT_FALSE(scene.World()->OwnTurn()) << "nobody can shoot into a dead connection";
    Run(60000);
    EXPECT_TRUE(SentWith(2062).empty()) << "the turn clock ran on to its time-out";
    EXPECT_EQ(scene.PlayedSounds().size(), soundsBefore) << "no warning or tick sounds";
}

TEST_F(RoomSceneTest, TheClocksCarryCaptionsWhileAGameRunsAndTheKeyGuideListsOnlyKeysThatWorkHere) {
    // U (the balls back) and a ball moved by hand work on a free practice table only, never in a game
    // room; R is the room's replay, and the tip is centred by a key of its own.
    EXPECT_EQ(FindLabel(scene, u"U: balls back"), nullptr);
    EXPECT_EQ(FindLabel(scene, u"Ctrl+left drag: move a ball"), nullptr);
    EXPECT_NE(FindLabel(scene, u"C: chalk, R: replay"), nullptr);
    EXPECT_NE(FindLabel(scene, u"W A S D: tip, Q: centre"), nullptr);
    EnterRoom(0, 0);
    scene.Render(nullptr, false);
    ASSERT_NE(scene.ClockCaption(), nullptr);
    EXPECT_FALSE(scene.ClockCaption()->IsVisible());
    StartGame(0);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.Clock()->IsVisible());
    EXPECT_TRUE(scene.ClockCaption()->IsVisible());
    EXPECT_EQ(scene.ClockCaption()->Text(), u"Game time");
    EXPECT_TRUE(scene.CountdownCaption()->IsVisible());
    EXPECT_EQ(scene.CountdownCaption()->Text(), u"Turn time");
}

TEST_F(RoomSceneTest, TheEntryTipForTheWholeTableNamesTheKeyTheKeyGuideGivesTheTopView) {
    // The tip is drawn at random on each entry: enter until it comes.
    WString tip;
    for (int i = 0; i < 40 && tip.empty(); ++i) {
        scene.Enter();
        for (const auto& line : scene.ChatLines())
            if (line.text.find(u"View entire table") != WString::npos) tip = line.text;
    }
    ASSERT_FALSE(tip.empty());
    const std::size_t press = tip.find(u"press ");
    ASSERT_NE(press, WString::npos) << "the tip names a key";
    const WString key = tip.substr(press + 6, tip.find(u" key") - press - 6);
    EXPECT_NE(FindLabel(scene, key + u": top view"), nullptr) << "the tip sends players to a key that does "
                                                                 "something else";
}

TEST_F(RoomSceneTest, ToLobbyWithoutAConnectionGoesToTheLobbyAtOnce) {
    gui::CommandEvent click;
    click.id = 1;
    EXPECT_TRUE(scene.OnCommand(click));
    EXPECT_TRUE(scene.ChangeRequested());
    EXPECT_EQ(scene.NextId(), scenes::scene_id::kLobby);
}

TEST_F(RoomSceneTest, AClosedRoomTellsSoAndItsNoticesOkGoesToTheLobby) {
    gui::NoticeBox box;
    host.noticeBox = &box;
    EnterRoom(0, 0);
    Deliver(2010, [](net::Packet&) {});
    scene.Render(nullptr, false);
    ASSERT_TRUE(box.IsVisible());
    EXPECT_EQ(box.Line(0), u"The room is closed. Moving to the lobby.");
    EXPECT_FALSE(scene.ChangeRequested()) << "the notice would go with the room";
    box.Press(0);
    ASSERT_TRUE(host.Posted(1071));
    EXPECT_TRUE(scene.OnMessage(1071, host.posted.back().a, 0));
    EXPECT_TRUE(scene.ChangeRequested());
    EXPECT_EQ(scene.NextId(), scenes::scene_id::kLobby);
    scene.RemoveChild(&box);
}

}  // namespace

TEST_F(RoomSceneTest, TheHudFollowsTheGameAndShowsTheDecidedGroupsOnceAndEscapeOpensTheMenu) {
    EnterRoom(0, 0);
    scene.Render(nullptr, false);
    ASSERT_NE(scene.StartReady(), nullptr);
    EXPECT_TRUE(scene.StartReady()->IsVisible());
    EXPECT_FALSE(scene.Clock()->IsVisible());
    StartGame(0);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.StartReady()->IsVisible()) << "no team choice while the game runs";
    EXPECT_TRUE(scene.Clock()->IsVisible());
    EXPECT_TRUE(scene.PlayerList()->Running());
    EXPECT_EQ(scene.PlayerList()->RowCount(), 2);
    scene.PlayerList()->ShowScorePopup(scene.PlayerList()->RowRecord(1), 3);

    // Both teams still open: no notice; the stripes taken: the notice, and only once.
    Deliver(2087, [](net::Packet& p) { p.WriteU8(2).WriteU8(2).WriteU8(2); });
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.Groups()->IsVisible());
    Deliver(2087, [](net::Packet& p) { p.WriteU8(2).WriteU8(3).WriteU8(2); });
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.Groups()->IsVisible());
    EXPECT_TRUE(scene.PlayerList()->RowAt(1).scorePopup->IsVisible()) << "a refresh keeps a score rising";
    scene.Groups()->Show(false);
    Deliver(2088, [](net::Packet& p) { p.WriteU8(0).WriteU8(2).WriteU8(3).WriteU8(2); });
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.Groups()->IsVisible()) << "the same groups are not told again";

    // A player past the turn limit: the withdraw question names him and his turns.
    Deliver(2039, [](net::Packet& p) { p.WriteU8(1).WriteU8(12); });
    EXPECT_TRUE(scene.WithdrawAsk()->IsVisible());
    EXPECT_EQ(scene.WithdrawAsk()->TurnCount(), 12);
    EXPECT_EQ(scene.WithdrawAsk()->Seat(), 1);
    scene.WithdrawAsk()->Show(false);

    // The scene manager offers each key to the widgets of the shown scene first, then to the room.
    scene.Show(true);
    const auto press = [this] {
        Route(platform::kWmKeyDown, platform::kVkEscape, 0);
        Route(platform::kWmChar, platform::kVkEscape, 0);
    };
    // The room gave its chat line the focus on entering. A player's menu takes the Escape as its Close:
    // neither the chat line nor the room sees it.
    auto* chat = static_cast<gui::EditBox*>(scene.FindById(50));
    ASSERT_TRUE(chat->HasFocus());
    scene.PlayerList()->RowAt(1).button->Click();
    ASSERT_TRUE(scene.PlayerList()->Menu()->IsVisible());
    press();
    EXPECT_FALSE(scene.PlayerList()->Menu()->IsVisible());
    EXPECT_TRUE(chat->HasFocus());
    EXPECT_FALSE(scene.GameMenu()->IsVisible());
    // The first Escape without it leaves the chat line.
    press();
    EXPECT_FALSE(chat->HasFocus());
    EXPECT_FALSE(scene.GameMenu()->IsVisible());
    press();
    EXPECT_TRUE(scene.GameMenu()->IsVisible());
    press();
    EXPECT_FALSE(scene.GameMenu()->IsVisible())
        << "its own Escape closes it and its character reopens nothing";
}

namespace {

// An 8-ball room: the world racks sixteen balls.
class PocketRoomSceneTest : public room_test::RoomSceneTest {
protected:
    PocketRoomSceneTest() { gameType = 10; }

    // The world's table state as 2050 carries it (without the frame header).
    room_test::Bytes TableBlock() {
        net::Packet p;
        scene.World()->WriteBallStateMessage(p, false);
        return room_test::Bytes(p.Data() + 4, p.Data() + p.Size());
    }
    // The world takes a table state as 2050 carries it, as a shot ending in it would leave it.
    void SetTable(const room_test::Bytes& block) {
        net::Packet out;
        out.Init(2050);
        out.WriteBytes(block.data(), block.size());
        out.Finish();
        net::Packet in;
        in.SetFrames(out.Data(), out.Size());
        ASSERT_TRUE(scene.World()->ReadBallStateMessage(in));
    }
    // A turn result (with a free ball for `next` unless `freeBall` is 0), then the new turn with the
    // shot's table state, in which the cue ball may lie in a pocket.
    void FreeBallTurn(std::uint8_t next, const room_test::Bytes& scratched, std::uint8_t freeBall = 1) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(next).WriteU8(0).WriteU32(5);
            p.WriteU16(0)
                .WriteU16(0xFFFF)
                .WriteU8(0)
                .WriteU16(0)
                .WriteU16(0)
                .WriteU16(0)
                .WriteU16(0)
                .WriteU16(0);
            p.WriteU8(0).WriteU32(0).WriteU8(freeBall).WriteU8(0xFF);
        });
        Deliver(2051, [&](net::Packet& p) {
            p.WriteU8(next).WriteU8(0);
            for (std::uint8_t b : scratched) p.WriteU8(b);
            p.WriteU16(0).WriteU16(0);
        });
    }
};

TEST_F(PocketRoomSceneTest, AFreeBallLeavesTheShootersTableAndAWatchersWhoTookItsPlacementAlike) {
    EnterRoom(0, 0);
    StartGame(0);  // the cue ball of 8-ball is ball 0
    // The table at rest after a scratch: the cue ball (ball 0) is off the table.
    room_test::Bytes scratched = TableBlock();
    const std::size_t balls = scratched[4];
    ASSERT_EQ(balls, 16u);
    scratched[5 + balls * 28] = 1;

    // The shooter's client: its respot goes out, and the new turn's table state keeps it.
    FreeBallTurn(0, scratched);
    const auto placements = SentWith(2063);
    ASSERT_EQ(placements.size(), 1u);
    const room_test::Bytes& placed = placements[0].body;
    ASSERT_EQ(placed.size(), 15u);
    EXPECT_EQ(placed[0], 0) << "a placement";
    EXPECT_EQ(placed[1], 0) << "of the cue ball";
    EXPECT_FALSE(scene.World()->Rules().GetBall(0).outOfPlay) << "the cue ball is back on the table";
    const room_test::Bytes shooter = TableBlock();

    // A watcher's client, still running the shot: the same game, the same turn, then the shooter's
    // placement as 2064, all taken once its balls rest. It places no ball itself.
    StartGame(0);
    table::TableWorld& world = *scene.World();
    world.MakeDefaultShot();
    RelayShot();
    std::string logged;
    GetLog().SetObserver([&](const std::string& line) { logged += line; });
    FreeBallTurn(1, scratched);
    Deliver(2064, [&](net::Packet& p) {
        for (std::size_t i = 1; i < 14; ++i) p.WriteU8(placed[i]);
    });
    ASSERT_TRUE(world.ShotExecuting());
    for (int i = 0; i < 200000 && world.ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
    scene.OnMessage(1112, 0, 0);
    GetLog().SetObserver(nullptr);
    EXPECT_EQ(logged.find("ERROR"), std::string::npos) << logged;
    EXPECT_EQ(SentWith(2063).size(), 1u) << "a client that does not shoot placed the ball";
    EXPECT_EQ(TableBlock(), shooter) << "both tables hold the cue ball at the respot";
}

// No cue under the results; the next game's camera stands behind the cue ball, not at the overview.
TEST_F(PocketRoomSceneTest, NoCueShowsUnderTheResultsAndTheNextGameStartsBehindTheCueBall) {
    EnterRoom(0, 0);
    table::TableWorld& world = *scene.World();
    const table::CameraRig& rig = world.GetCameraRig();
    StartGame(0);
    Run(1000);
    const table::AimState firstAim = world.Aim();
    world.CenterCamera(0.0f);
    world.MoveCamera(0.0f, 500.0f, 60.0f);  // the last shot's overview
    // The last shot's aim: across the table, struck low and left from a raised cue.
    world.Aim().SetYawDegrees(135.0f);
    world.Aim().SetTipOffset(-0.5f, -0.5f);
    world.Aim().SetElevationDegrees(20.0f);
    Results(1000, 1000);
    Run(3000);
    scene.Render(nullptr, false);
    gui::Widget& results = *scene.ResultList();
    ASSERT_TRUE(results.IsVisible());
    EXPECT_TRUE(world.CueHidden()) << "no cue under the results";
    results.Show(false);
    scene.Render(nullptr, false);
    EXPECT_FALSE(world.CueHidden());
    StartGame(0);
    Run(1000);
    float x = 0, y = 0, z = 0;
    world.BallPosition(0, x, y, z);
    EXPECT_NEAR(std::hypot(rig.Focus().x - x, rig.Focus().y - y), 0.0f, 1e-3);
    EXPECT_EQ(rig.View(), (table::CameraView{300.0f, 30.0f, 0.0f, 0.0f}));
    // The aim starts as the first game's did (the cue as low, give or take what clears the balls).
    const table::AimState& aim = world.Aim();
    EXPECT_EQ(std::tuple(aim.YawDegrees(), aim.TipSide(), aim.TipVertical()),
              std::tuple(firstAim.YawDegrees(), firstAim.TipSide(), firstAim.TipVertical()));
    EXPECT_NEAR(aim.ElevationDegrees(), firstAim.ElevationDegrees(), 1.0f);
}

TEST_F(PocketRoomSceneTest, APocketClickedForTheEightGoesToTheOthersAsTheCalledPocket) {
    EnterRoom(0, 0);
    table::TableWorld& world = *scene.World();
    world.SetTopView(true);
    Run(2000);
    StartGame(0);
    EXPECT_TRUE(world.GetCameraRig().InTopView()) << "the top view stays into the new game";
    world.ClearBallInHand();
    world.SetPocketCallPending(true);
    Run(2000);
    const physics::PocketHole hole = physics::HoleOfPocket(world.Rules().Model()->Geometry(), 3);
    float x = 0, y = 0;
    ASSERT_TRUE(world.TableToScreen({hole.cx.Value(), hole.cy.Value(), 0.0f}, x, y));
    scene.OnMessage(platform::kWmLButtonDown, 0,
                    platform::MakeLParam(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y))));
    const auto calls = SentWith(2063);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].body.front(), 1) << "a called pocket";
    EXPECT_EQ(calls[0].body.back(), 3);
    EXPECT_EQ(scene.PlayedSounds().back(), 17);
}

// A 14-1 room: fifteen object balls.
class StraightPoolRoomTest : public PocketRoomSceneTest {
protected:
    StraightPoolRoomTest() { gameType = 13; }
};

TEST_F(StraightPoolRoomTest, TheTurnAfterTheLastButOneBallRacksTheTableAlikeOnEveryClient) {
    EnterRoom(0, 0);
    StartGame(0);
    // The shot left one object ball: every other object ball lies in a pocket.
    room_test::Bytes cleared = TableBlock();
    const std::size_t balls = cleared[4];
    ASSERT_EQ(balls, 16u);
    for (std::size_t i = 2; i < balls; ++i) cleared[5 + balls * 28 + i] = 1;
    auto objectBallsInPlay = [&] {
        int n = 0;
        for (std::uint16_t i = 1; i < balls; ++i) n += scene.World()->Rules().GetBall(i).outOfPlay ? 0 : 1;
        return n;
    };

    // The turn result racks the table with its seed; the new turn's state, the one the shot ended
    // with, is racked the same way.
    SetTable(cleared);
    FreeBallTurn(1, cleared, 0);
    EXPECT_EQ(objectBallsInPlay(), 15) << "the table is racked for the next shot";
    const room_test::Bytes racked = TableBlock();

    // A client that takes the turn result on the racked table and the new turn alike holds the same rack;
    // so does a client whose new turn arrives on its own.
    SetTable(cleared);
    Deliver(2051, [&](net::Packet& p) {
        p.WriteU8(1).WriteU8(0);
        for (std::uint8_t b : cleared) p.WriteU8(b);
        p.WriteU16(0).WriteU16(0);
    });
    EXPECT_EQ(TableBlock(), racked);
    FreeBallTurn(0, racked, 0);
    EXPECT_EQ(TableBlock(), racked) << "a racked table is not racked again";

    // A client that held another rack seed (another game) enters now, as a watcher: the room state
    // carries the rack seed, so its rack of the shot's table turns every ball as the players' did.
    StartGame(0, 99);
    EnterRoom(2, 0, 0, 0, 0, 2, 0, 5);
    Deliver(2051, [&](net::Packet& p) {
        p.WriteU8(1).WriteU8(0);
        for (std::uint8_t b : cleared) p.WriteU8(b);
        p.WriteU16(0).WriteU16(0);
    });
    EXPECT_EQ(TableBlock(), racked) << "the positions and orientations of the players' rack";
}

// Each row of the player list names the points its player plays to, his handicap for the game: a
// player's as a watcher's, in the game and after it.
TEST_F(StraightPoolRoomTest, EveryRowOfThePlayerListShowsTheHandicapAsItsTargetInAndAfterTheGame) {
    EnterRoom(2, 0);
    Members({{0, u"A"}, {1, u"B"}, {2, u"C"}});
    for (const bool running : {true, false}) {
        running ? StartGame(0) : Results(1000, 1000);
        scene.Render(nullptr, false);
        for (int i = 0; i < 3; ++i) EXPECT_EQ(scene.PlayerList()->RowAt(i).score->Text(), u"(  0/ 20)") << i;
    }
}

}  // namespace
