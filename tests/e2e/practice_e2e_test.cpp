// The practice room against the test server. The earn-gold mission on the scene with its session on
// the wire: exactly one report (1149) when a mission ends, none when it is given up or left, the
// reward (1150) arriving on the dispatch thread while shots run. Then the client program itself,
// driven by scripted input: the lobby's Practice button, a shot, 'R' to watch it again, 'U', an item
// activated through the server and switched on, and "To Lobby"; and the earn-gold mission started
// from its button by a player the server started with little gold.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <filesystem>
#include <sstream>
#include <thread>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/NoticeBox.h"
#include "net/SceneGate.h"
#include "platform/video/RecordingBackend.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/net/support/RecordingSink.h"
#include "tests/scenes/support/PracticeSteps.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

using namespace std::chrono_literals;
using Bytes = testserver::Bytes;

constexpr std::uint16_t kMissionReport = 1149;
constexpr std::uint16_t kLeavePractice = 1140;
constexpr std::uint32_t kShotAtRest = 1112;
constexpr std::uint16_t kServerNotice = 240;
constexpr std::uint16_t kBallPlacement = 2063;

// The practice scene on a recording device, its session signed in to the test server.
struct WiredPractice {
    testserver::TestGameServer server{[] {
        testserver::ServerOptions options;
        options.lobby = true;
        return options;
    }()};
    std::unique_ptr<RenderDevice> device;
    std::unique_ptr<TableSceneHost> host;
    net::BasicSceneGate gate;
    RecordingSink signIn;
    scenes::SceneRoomPractice scene;
    bool entered = false;

    explicit WiredPractice(int gameType) {
        EXPECT_TRUE(server.Start());
        server.SetGold(u"player", 1000);
        server.Ignore(202);
        device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
        host = std::make_unique<TableSceneHost>(*device, 1024, 768);
        gui::NoticeBox::SetPoster(
            [this](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) {
                host->queue.push_back({code, a, b});
            });
        net::GameSession& session = host->session;
        // The sign-in answers go to a stand-in first: the session reads the account and the items
        // on its own thread before the scene and the test look at the record.
        gate.SetCurrent(&signIn);
        session.SetSceneGate(&gate);
        session.StartDispatchThread();
        EXPECT_TRUE(session.Connect("127.0.0.1", server.Port()) && session.WaitConnected(5000));
        EXPECT_TRUE(session.SendSignIn(u"player", u"secret", 1));
        EXPECT_TRUE(server.Expect(0, net::Id(net::MessageId::SignIn), 5000));
        // A notice behind the item list: once the stand-in has it, the session has read the list.
        testserver::Writer marker;
        marker.str(u"signed in");
        server.Send(0, kServerNotice, marker.bytes());
        signIn.WaitId(kServerNotice);
        EXPECT_EQ(session.own.money, 1000) << "signed in";
        gate.SetCurrent(nullptr);
        session.GetRoom().gameType = static_cast<std::uint8_t>(gameType);
        entered = host->Enter(scene);
        EXPECT_TRUE(entered);
        gate.SetCurrent(&scene);
        host->Pump(scene, 20);
    }
    ~WiredPractice() {
        gate.SetCurrent(nullptr);
        if (entered) host->Leave(scene);
        host->session.StopDispatchThread();
        host->session.Disconnect();
        gui::NoticeBox::SetPoster(nullptr);
        server.Stop();
    }
    void StartMission() { StartMissionByClicks(scene, *host); }
    // A shot at rest with the rules' result value, the world ticking meanwhile.
    void ShotRests(int result) {
        scene.World()->Rules().SetShotResultCode(result, true);
        host->Pump(scene, 2);
        scene.OnMessage(kShotAtRest, 0, 0);
    }
    // "To Lobby": 1140 follows every earlier message on the wire, so the server has them all.
    std::vector<Bytes> ReportsUpToLeaving() {
        gui::CommandEvent toLobby;
        toLobby.code = gui::CommandCode::Event;
        toLobby.id = scenes::practice::control::kToLobby;
        scene.OnCommand(toLobby);
        EXPECT_TRUE(server.Expect(0, kLeavePractice, 5000));
        return server.Received(0, kMissionReport);
    }
    bool RewardArrived() {
        return testsupport::WaitUntil(
            [&] {
                host->Pump(scene, 1);
                scene.RunQueuedWork();
                return !scene.InProgress()->IsVisible();
            },
            5s, 20ms);
    }
};

TEST(PracticeMissionRun, ReachingTheTargetReportsOnceAndTheRewardArrivesWhileTheTableRuns) {
    WiredPractice t(4);
    t.StartMission();
    for (int i = 0; i < 3; ++i) t.ShotRests(4);
    EXPECT_FALSE(t.scene.Mission().Active());
    ASSERT_TRUE(t.server.Expect(0, kMissionReport, 5000));
    EXPECT_TRUE(t.RewardArrived()) << "the in-progress notice waits for 1150";
    EXPECT_EQ(t.host->session.own.money, 3000) << "the full reward";
    EXPECT_EQ(t.host->session.own.dailyCounter, 1);
    const auto reports = t.ReportsUpToLeaving();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], (Bytes{4, 1, 3, 0}));
}

TEST(PracticeMissionRun, AMissInTheLastInningReportsOnceAndTheGambleTypesDoNotCountAMissedFirstShot) {
    struct Case {
        int gameType;
        int missesToEnd;
    } cases[] = {{0, 20}, {3, 21}, {4, 20}, {5, 21}};
    for (const Case& c : cases) {
        WiredPractice t(c.gameType);
        t.StartMission();
        for (int i = 1; i < c.missesToEnd; ++i) t.ShotRests(0);
        EXPECT_TRUE(t.scene.Mission().Active()) << c.gameType;
        t.ShotRests(0);
        EXPECT_FALSE(t.scene.Mission().Active()) << c.gameType;
        EXPECT_TRUE(t.RewardArrived());
        EXPECT_EQ(t.host->session.own.money, 2000) << "half the reward for a failed try";
        const auto reports = t.ReportsUpToLeaving();
        ASSERT_EQ(reports.size(), 1u) << c.gameType;
        EXPECT_EQ(reports[0], (Bytes{static_cast<std::uint8_t>(c.gameType), 1, 0, 0}));
    }
}

TEST(PracticeMissionRun, GivingUpOrLeavingMidMissionReportsNothingAndLeavesNoPracticeChalk) {
    {
        WiredPractice t(0);
        t.StartMission();
        t.ShotRests(1);
        t.scene.OnMessage(static_cast<std::uint32_t>(scenes::practice::PracticeUi::MissionStartOrCancel), 0,
                          0);
        for (int i = 0; i < 25; ++i) t.ShotRests(0);
        EXPECT_TRUE(t.ReportsUpToLeaving().empty());
    }
    WiredPractice t(12);
    t.StartMission();
    t.ShotRests(0);
    EXPECT_TRUE(t.ReportsUpToLeaving().empty());
    t.gate.SetCurrent(nullptr);
    t.host->Leave(t.scene);
    t.entered = false;
    for (const net::ItemEntry* entry : t.host->session.own.Items()) EXPECT_NE(entry->itemId, 4904u);
    EXPECT_EQ(t.host->session.own.FindItem(1), nullptr);
}

TEST(PracticeMissionRun, NoticesAndAnswersArrivingWhileAShotRunsReachTheChatAndTheRecordIntact) {
    WiredPractice t(4);
    t.StartMission();
    table::TableWorld& world = *t.scene.World();
    world.MakeDefaultShot();
    ASSERT_TRUE(world.ExecuteShot(table::ShotMode::Local, true));
    // The update thread ticks the shot; the server talks meanwhile; the main thread draws.
    std::atomic<bool> stop{false};
    std::thread update([&] {
        while (!stop.load()) t.scene.Update(0, 0);
    });
    testserver::Writer notice;
    notice.str(u"Server notice");
    for (int i = 0; i < 40; ++i) t.server.Send(0, 240, notice.bytes());
    testserver::Writer reward;
    reward.u32(1000).u64(2000).u8(1);
    t.server.Send(0, 1150, reward.bytes());
    testserver::Writer unknown;
    unknown.u8(0).u64(424242).u32(1).u8(1).u8(0).str(u"-");
    t.server.Send(0, 513, unknown.bytes());
    int notices = 0;
    testsupport::WaitUntil([&] {
        t.scene.Render(nullptr, false);
        notices = 0;
        for (const auto& line : t.scene.ChatLines()) notices += line.text == u"Server notice" ? 1 : 0;
        return notices >= 40 && t.host->session.own.dailyCounter != 0;
    });
    stop = true;
    update.join();
    EXPECT_EQ(notices, 40);
    EXPECT_EQ(t.host->session.own.money, 2000);
    EXPECT_EQ(t.host->session.own.dailyCounter, 1);
    EXPECT_TRUE(t.scene.Mission().Active()) << "a reward does not end a running mission";
}

// ---- The client program ----------------------------------------------------------------------------

namespace fs = std::filesystem;

// The lobby's Practice button and the practice room's controls on the 1024 x 768 client area.
constexpr const char* kPracticeButton = "763 391";
constexpr const char* kToLobby = "1005 21";

std::string Click(const char* at) {
    return std::string("move ") + at + "\ndown left\nup left\nwait 300\n";
}

std::string SlotAt(int k) {
    return std::to_string(27 + 32 * k) + " 753";
}

TEST(PracticeRoomRun, KeysShotsReplayAndAnItemActivatedThroughTheServerWorkInTheClientProgram) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    // An effect item for a limited time, not yet in use, and a chalk.
    testserver::LedgerItem effect;
    effect.serial = 700;
    effect.itemId = 4510;
    effect.type = 6;
    effect.state = 0;
    effect.usage = 1;
    effect.initial = effect.remaining = 7;
    server.GiveItem(u"tester", effect);
    testserver::LedgerItem chalk;
    chalk.serial = 701;
    chalk.itemId = 4901;
    chalk.type = 5;
    chalk.state = 1;
    chalk.usage = 3;
    chalk.initial = chalk.remaining = 300;
    server.GiveItem(u"tester", chalk);

    const std::string effectSlot = SlotAt(2), chalkSlot = SlotAt(1);
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Tester\nkey Return\nwait-journal SCENE 4\n" +
        Click(kPracticeButton) +
        "wait-journal DIALOG Room setting\nkey Return\nwait-journal TURN 0 1\nkey F2\n" +
        // The cue ball carried by hand, a soft shot from there; 'R' watches it again, 'U' sets it up anew.
        testsupport::CarryBall(512, 384, 430, 430) +
        "move 516 300\ndown left\nwait 50\nmove 516 360\nwait 50\nup left\n" +
        "wait-journal SHOT \nwait-journal TURN 0 1\nkeydown R\nwait 100\nkeyup R\nwait-journal SHOT \n" +
        "keydown R\nwait 100\nkeyup R\nwait 300\nkey U\nwait 300\n" +
        // The chalk, then the limited-time item: asked, activated through the server, switched on.
        "move " + chalkSlot +
        "\nwait 200\ndown left\nup left\nwait-journal CHAT 0xFFFFFF00 Chalk is changed to\n" + "move " +
        effectSlot +
        "\nwait 200\ndown left\nup left\nwait-journal BOX Notice|This item is for limited time\n" +
        "key Return\nwait 1000\n" + "move " + effectSlot +
        "\nwait 200\ndown left\nup left\nwait-journal CHAT 0xFFFFFF00 Use item : \n" + Click(kToLobby) +
        "wait-journal SCENE 4\nquit\n";
    testsupport::ScriptedClient client(testsupport::TempPath("practice_e2e"), script);
    ASSERT_TRUE(client.Start({"launcher", "tester", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(180s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    EXPECT_NE(journal.find("CHAT 0xFFFF00FF You can move the ball freely in the practice room."),
              std::string::npos);
    // The replay panel's world ends the shot again where the room's did.
    std::vector<std::string> shots;
    std::istringstream lines(journal);
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("SHOT ", 0) == 0) shots.push_back(line);
    ASSERT_GE(shots.size(), 2u) << journal;
    EXPECT_EQ(shots[0], shots[1]);
    // The shot started off the head string's spot 15.25 cm beside the other cue ball, where the carry
    // ended; the carry stayed on this client.
    const auto balls = testsupport::RecordOf(shots[0]).positions;
    EXPECT_GT(std::hypot(balls[0][0] - balls[1][0], balls[0][1] + 15.25f), 10.0f) << shots[0];
    EXPECT_EQ(server.CountReceived(0, kBallPlacement), 0);
    EXPECT_NE(journal.find("CHAT 0xFFFFFF00 Use item : All skills +15"), std::string::npos) << journal;
    const auto activations = server.Received(0, 512);
    ASSERT_EQ(activations.size(), 1u) << journal;
    EXPECT_EQ(activations[0], (Bytes{0x9E, 0x11, 0, 0, 6, 0xBC, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(server.CountReceived(0, kLeavePractice), 1);
    EXPECT_EQ(server.CountReceived(0, kMissionReport), 0);
    server.Stop();
}

// The earn-gold button, the first row of the rules dialog (437 x 295, centred), and the cue ball, which
// the camera behind it shows at the screen's centre.
constexpr const char* kEarnGoldButton = "59 83";
constexpr const char* kFirstMissionRow = "519 334";
constexpr const char* kCueBall = "512 384";
// The lobby's room dialog: its game choice and the 8-ball row of the open list.
constexpr const char* kGameChoice = "450 348";
constexpr const char* kEightBallRow = "450 502";

// The practice setup offers the game of the last room, an 8-ball room opened and left first, and the
// practice room takes it; config.ini remembers it. The break's cue ball is in hand; a scratch fails and
// puts it in hand again, where it is set down and struck.
TEST(PracticeRoomRun, APlayerWithLittleGoldStartsTheMissionFromItsButtonAndEachShotIsJudged) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.startGold = 1000;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string inHand = "wait-journal CHAT 0xFFFFFFFF Free ball.\nwait-journal TURN 0 1\n";
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Miner\nkey Return\nwait-journal ENTERED 4\n" +
        Click(roomscript::kCreateRoomButton) + "wait-journal DIALOG Create room\n" + Click(kGameChoice) +
        Click(kEightBallRow) + "key Return\nwait-journal ENTERED 5\n" + Click(kToLobby) +
        "wait-journal ENTERED 4\n" + Click(kPracticeButton) +
        "wait-journal DIALOG Room setting\nkey Return\n" + "wait-journal TURN 0 1\n" +
        Click(kEarnGoldButton) + Click(kFirstMissionRow) +
        "wait-journal CHAT 0xFFFFFF00 Earning gold mission started!!.\n" + inHand + Click(kCueBall) +
        testsupport::ScratchIntoTheCornerPocket() +
        "wait-journal SHOT 10 \nwait-journal CHAT 0xFFFF0000 Failed... OTL\n" + inHand +
        "move 400 420\ndown left\nwait 50\nmove 380 430\nwait 50\nup left\nwait 300\n" +
        "move 516 300\ndown left\nwait 50\nmove 516 360\nwait 50\nup left\nwait-journal SHOT 10 \n" +
        "wait-journal TURN 0 1\n" + Click(kToLobby) + "wait-journal SCENE 4\nquit\n";
    testsupport::ScriptedClient client(testsupport::TempPath("mission_e2e"), script);
    ASSERT_TRUE(client.Start({"launcher", "miner", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(120s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    EXPECT_EQ(journal.find("BOX "), std::string::npos) << "no refusal: " << journal;
    EXPECT_NE(journal.find("CHAT 0xFFFFFF00 Earning gold mission started!!."), std::string::npos) << journal;
    // Every journal wait was met: the break in hand, the scratch failed and back in hand, the second shot.
    EXPECT_EQ(client.Log().find("input script line"), std::string::npos) << journal << client.Log();
    EXPECT_EQ(server.CountReceived(0, kMissionReport), 0) << "leaving mid-mission reports nothing";
    EXPECT_NE(client.Config().find("practicegame= 10"), std::string::npos) << client.Config();
    server.Stop();
}

}  // namespace
