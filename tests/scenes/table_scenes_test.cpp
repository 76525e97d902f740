// The offline table and the replay viewer on a recording render device: the shot cycle, re-racking,
// the room setting, chalk and items, and the replay's playbacks, pause, stop and play.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/Button.h"
#include "net/ItemEntry.h"
#include "platform/video/RecordingBackend.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/PracticeSetupDialog.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/offline/SceneAlone.h"
#include "scenes/room/replay/SceneReplay.h"
#include "table/ShotRecord.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;
constexpr std::uint32_t kRoomSettingChosen = 1038;

struct RecordingDevice {
    std::unique_ptr<RenderDevice> device;
    RecordingDevice() {
        device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
    }
};

struct Offline : RecordingDevice {
    TableSceneHost host{*device, kWidth, kHeight};
    scenes::SceneAlone scene;
    table::TableWorld& World() { return *scene.World(); }

    Offline() {
        EXPECT_TRUE(host.Enter(scene));
        host.Pump(scene, 150);
    }
    ~Offline() { host.Leave(scene); }
    // A soft shot: aim a little to the side, draw back 60 pixels, let go.
    void Strike(int x = 404) {
        host.Mouse(scene, platform::kWmMouseMove, x - 4, 250);
        host.Mouse(scene, platform::kWmMouseMove, x, 250);
        host.Mouse(scene, platform::kWmLButtonDown, x, 250);
        host.Mouse(scene, platform::kWmMouseMove, x, 310);
        host.Mouse(scene, platform::kWmLButtonUp, x, 310);
    }
    void RunToRest() {
        for (int i = 0; i < 400 && World().ShotExecuting(); ++i) host.Pump(scene, 100);
        host.Deliver(scene);
    }
};

TEST(SceneAlone, StartsOnAnEightBallRackWithTheOfflineItemsAndGivesTheCueBackAfterEachShot) {
    Offline t;
    EXPECT_EQ(t.World().GameType(), 10);
    EXPECT_EQ(t.World().GetPlayState(), table::PlayState::FreePractice);
    net::PlayerRecord& record = t.host.session.own;
    ASSERT_NE(record.GetCurrentItem(), nullptr) << "the extra chalk is selected";
    EXPECT_EQ(record.GetCurrentItem()->itemId, 4903u);
    EXPECT_EQ(record.location, 20);
    EXPECT_EQ(t.scene.Gauge()->SelectedChalk(), record.GetCurrentItem());
    EXPECT_GE(t.scene.ItemStrip()->QualifyingCount(), 3);
    EXPECT_EQ(t.World().CueObjectCount(), 1u);

    for (int shot = 1; shot <= 2; ++shot) {
        t.Strike(400 + 6 * shot);
        ASSERT_TRUE(t.World().ShotExecuting()) << "shot " << shot << ": the cue is the player's again";
        t.RunToRest();
        EXPECT_EQ(t.World().ShotsAtRest(), static_cast<std::uint32_t>(shot));
    }
}

TEST(SceneAlone, AClearedEightBallTableIsRackedAgainWhenTheShotRests) {
    Offline t;
    table::TableRules& rules = t.World().Rules();
    for (std::size_t i = 1; i < t.World().BallCount(); ++i) rules.GetBall(i).outOfPlay = 1;
    t.Strike();
    ASSERT_TRUE(t.World().ShotExecuting());
    t.RunToRest();
    int inPlay = 0;
    for (std::size_t i = 1; i < t.World().BallCount(); ++i) inPlay += !t.World().BallOutOfPlay(i);
    EXPECT_EQ(inPlay, 15) << "a new rack";
    t.Strike();
    EXPECT_TRUE(t.World().ShotExecuting()) << "and the player shoots on it";
}

TEST(SceneAlone, ANewGameTypeStopsTheMovingShotAndRacksItsTableAtTheNextFrame) {
    Offline t;
    t.Strike();
    t.host.Pump(t.scene, 20);
    ASSERT_TRUE(t.World().ShotExecuting());
    const std::uint32_t rested = t.World().ShotsAtRest();

    t.scene.RoomSetting()->Open(10);
    t.scene.OnMessage(kRoomSettingChosen, 2050, 10);
    EXPECT_FALSE(t.scene.GameTypeChangePending()) << "the type in use changes nothing";
    EXPECT_TRUE(t.World().ShotExecuting());

    t.scene.RoomSetting()->Open(4);
    t.scene.OnMessage(kRoomSettingChosen, 2050, 4);
    EXPECT_FALSE(t.World().ShotExecuting()) << "the moving shot stops at once";
    EXPECT_TRUE(t.scene.GameTypeChangePending());
    EXPECT_EQ(t.World().GameType(), 10) << "the table changes only when the next frame draws";
    t.host.Frame(t.scene);
    EXPECT_FALSE(t.scene.GameTypeChangePending());
    EXPECT_EQ(t.World().GameType(), 4);
    EXPECT_EQ(t.World().BallCount(), 3);
    t.host.Pump(t.scene, 50);
    EXPECT_EQ(t.World().ShotsAtRest(), rested) << "a stopped shot never reports rest";
    // The stopped shot had raised the camera to its overview: the new rack is seen from behind its cue.
    t.host.Pump(t.scene, 100);
    const table::CameraRig& rig = t.World().GetCameraRig();
    float x, y, z;
    t.World().BallPosition(0, x, y, z);
    EXPECT_EQ(rig.Focus(), (Vector3f{x, y, z}));
    EXPECT_NEAR(std::remainder(rig.View().yaw - t.World().Aim().YawDegrees(), 360.0f), 0.0f, 1e-3f);
    EXPECT_LT(rig.View().pitch, 45.0f);
    t.Strike();
    EXPECT_TRUE(t.World().ShotExecuting()) << "the new table is played at once";
}

TEST(SceneAlone, APointerSweptOntoAButtonOrAwayToAnotherWindowLeavesTheAimAndTheCameraAsTheyWere) {
    Offline t;
    auto route = [&](int x, int y) {
        const auto at = static_cast<std::intptr_t>((y << 16) | (x & 0xFFFF));
        if (!t.scene.RouteMessage(platform::kWmMouseMove, 0, at))
            t.scene.OnMessage(platform::kWmMouseMove, 0, at);
    };
    route(400, 250);
    route(396, 250);
    t.host.Pump(t.scene, 60);
    const float aimed = t.World().Aim().YawDegrees();
    const float cameraYaw = t.World().GetCameraRig().View().yaw;
    // On the way to "Room setting" (top right) the aim swings; on the button it is back.
    for (const auto& [x, y] : {std::pair{460, 200}, {520, 140}, {580, 80}, {610, 40}}) route(x, y);
    EXPECT_NE(t.World().Aim().YawDegrees(), aimed);
    route(kWidth - 200 + 15, 20);
    EXPECT_FLOAT_EQ(t.World().Aim().YawDegrees(), aimed);
    EXPECT_NEAR(t.World().GetCameraRig().View().yaw, cameraYaw, 1e-3f);
    // The pointer leaves for another program's window, or the focus goes: its moves meanwhile and its
    // jump back turn nothing.
    route(400, 250);
    t.host.Pump(t.scene, 60);
    const float rested = t.World().Aim().YawDegrees();
    t.scene.OnMessage(platform::kWmMouseLeave, 0, 0);
    route(700, 400);
    t.scene.OnActivate(false);
    route(200, 300);
    route(250, 320);
    t.scene.OnActivate(true);
    route(600, 500);
    EXPECT_FLOAT_EQ(t.World().Aim().YawDegrees(), rested);
}

TEST(SceneAlone, ChalkingGoesIntoTheWorldEachStrikeUsesItAndAStripChalkBecomesTheGaugesChalk) {
    Offline t;
    gui::CommandEvent chalk;
    chalk.id = 20;
    t.scene.Gauge()->OnCommand(chalk);
    t.host.Deliver(t.scene);
    EXPECT_EQ(t.scene.Gauge()->Level(), 75);
    EXPECT_FLOAT_EQ(t.World().chalkValue, 0.75f);
    t.Strike();
    t.host.Deliver(t.scene);
    EXPECT_LT(t.scene.Gauge()->Level(), 75) << "the strike used its share";
    t.RunToRest();

    // The strip lists the newest entry first: the offline set's chalk follows the extra one.
    scenes::hud::PlayerPanel& strip = *t.scene.ItemStrip();
    int other = -1;
    for (int k = 0; k < scenes::hud::PlayerPanel::kSlots && strip.Slot(k)->Item(); ++k)
        if (strip.Slot(k)->Item()->type == static_cast<std::uint32_t>(net::ItemType::Chalk) &&
            strip.Slot(k)->Item() != t.scene.Gauge()->SelectedChalk())
            other = k;
    ASSERT_GE(other, 0);
    gui::CommandEvent click;
    click.id = 150 + static_cast<std::uint32_t>(other);
    strip.OnCommand(click);
    t.host.Deliver(t.scene);
    EXPECT_EQ(t.scene.Gauge()->SelectedChalk(), strip.Slot(other)->Item());
    EXPECT_TRUE(t.World().chalkReload);
}

TEST(SceneAlone, LeavingReleasesTheCueObjectAndTheWorld) {
    RecordingDevice d;
    TableSceneHost host(*d.device, kWidth, kHeight);
    scenes::SceneAlone scene;
    ASSERT_TRUE(host.Enter(scene));
    EXPECT_EQ(scene.World()->CueObjectCount(), 1u);
    host.Leave(scene);
    EXPECT_EQ(scene.World(), nullptr);
    gui::CommandEvent exit;
    exit.id = scenes::SceneAlone::kExitId;
    EXPECT_TRUE(scene.OnCommand(exit));
    EXPECT_EQ(host.quits, 1);
}

// The record of one soft offline shot, as its SHOT line carries it, with the rest it reported.
struct OfflineShot {
    std::string hex;
    std::uint32_t hash = 0;
    OfflineShot() {
        Offline t;
        t.Strike();
        t.RunToRest();
        hex = table::ShotRecordToHex(t.World().MakeShotRecord());
        hash = t.World().LastShotHash();
    }
};

// The replay viewer started with that shot's record on its command line.
struct Replay : RecordingDevice {
    const OfflineShot shot;
    TableSceneHost host{*device, kWidth, kHeight};
    scenes::SceneReplay replay;
    bool entered = false;
    Replay() {
        host.args = {u"m", u"replay", u"a", u"b", WString(shot.hex.begin(), shot.hex.end())};
        entered = host.Enter(replay);
    }
    ~Replay() { host.Leave(replay); }
    void RunPlayback(int playback) {
        for (int i = 0; i < 4000 && replay.Playbacks() < playback; ++i) host.Pump(replay, 10);
    }
};

TEST(SceneReplay, PlaybacksCycleTheSpeedsAndEndWhereTheShotEnded) {
    Replay t;
    ASSERT_TRUE(t.entered);
    scenes::SceneReplay& replay = t.replay;
    EXPECT_TRUE(replay.World()->GetCameraRig().InTopView());
    EXPECT_EQ(replay.World()->CueObjectCount(), 1u) << "the record's cue object was let go";
    const int speeds[] = {100, 50, 25, 100};
    for (int playback = 1; playback <= 4; ++playback) {
        ASSERT_TRUE(replay.ShotRunning());
        EXPECT_EQ(replay.SpeedPercent(), speeds[playback - 1]) << "playback " << playback;
        t.RunPlayback(playback);
        EXPECT_EQ(replay.World()->LastShotHash(), t.shot.hash) << "playback " << playback;
    }
    EXPECT_TRUE(replay.World()->GetCameraRig().InTopView()) << "the playbacks keep the top view";
}

TEST(SceneReplay, TheViewerLeavesTheKeyboardAloneAsItAimsNothing) {
    Replay t;
    ASSERT_TRUE(t.entered);
    EXPECT_FALSE(t.replay.PollKeyboard()) << "the viewer polled the keyboard for the table's keys";
}

TEST(SceneReplay, PauseHoldsTheBallsStopPutsThemBackAndPlayStrikesAgain) {
    Replay t;
    ASSERT_TRUE(t.entered);
    scenes::SceneReplay& replay = t.replay;
    TableSceneHost& host = t.host;
    const OfflineShot& shot = t.shot;
    float x0, y0, z0;
    table::ShotRecord record;
    ASSERT_EQ(record.ParseHex(shot.hex), table::ShotRecord::ParseResult::Ok);
    x0 = record.positions[0][0];
    y0 = record.positions[0][1];
    host.Pump(replay, 40);
    auto press = [&](std::uint32_t id) {
        gui::CommandEvent e;
        e.id = id;
        return replay.OnCommand(e);
    };
    EXPECT_TRUE(press(scenes::SceneReplay::kPauseId));
    EXPECT_TRUE(replay.PlayButton()->IsVisible());
    float x1, y1, x2, y2;
    replay.World()->BallPosition(0, x1, y1, z0);
    host.Pump(replay, 50);
    replay.World()->BallPosition(0, x2, y2, z0);
    EXPECT_EQ(x1, x2);
    EXPECT_EQ(y1, y2) << "paused: the balls hold";

    EXPECT_TRUE(press(scenes::SceneReplay::kStopId));
    EXPECT_FALSE(replay.ShotRunning());
    EXPECT_FALSE(replay.World()->ShotExecuting());
    replay.World()->BallPosition(0, x1, y1, z0);
    EXPECT_EQ(x1, x0);
    EXPECT_EQ(y1, y0) << "stopped: the cue ball is back where the shot started";
    host.Pump(replay, 50);
    EXPECT_EQ(replay.Playbacks(), 0) << "a stopped shot starts no playback";

    EXPECT_TRUE(press(scenes::SceneReplay::kPlayId));
    EXPECT_TRUE(replay.ShotRunning());
    EXPECT_TRUE(replay.PauseButton()->IsVisible());
    t.RunPlayback(1);
    EXPECT_EQ(replay.World()->LastShotHash(), shot.hash) << "struck again from the saved start";
}

TEST(SceneReplay, RecordsThatCannotBePlayedFailTheLoadAndNeverReachTheWorld) {
    RecordingDevice d;
    TableSceneHost host(*d.device, kWidth, kHeight);
    const std::string zeroBalls = table::ShotRecordToHex(table::ShotRecord{});
    std::string badType = zeroBalls;
    badType.replace(16, 2, "1F");  // game type 31
    for (const std::string& text : {std::string(), std::string("0A0B"), std::string("XYZ"), badType,
                                    zeroBalls + "00", std::string(5000, '0')}) {
        scenes::SceneReplay replay;
        host.args = {u"m", u"replay", u"a", u"b", WString(text.begin(), text.end())};
        replay.SetHost(&host);
        EXPECT_NE(replay.Load3D(&host.resources, host.Renderer()), 0) << text.substr(0, 40);
        host.Leave(replay);
    }
}

}  // namespace
