// The game room's status panels, result windows, invite list and replay panel without a window: the
// texts they show, their timers and blinking, what they send and post, and that a replayed shot
// comes to rest where the shot itself did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/core/Options.h"
#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/NumberDisplay.h"
#include "gui/Painter.h"
#include "gui/ScrollBar.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "net/Packet.h"
#include "net/PlayerRecord.h"
#include "net/RoomInfo.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/RoomCodes.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/InviteList.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/ResultWindows.h"
#include "scenes/room/hud/RoomStatusPanels.h"
#include "table/TableWorld.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using namespace scenes::hud;

gui::CommandEvent Click(std::uint32_t id, std::int32_t value = 0) {
    gui::CommandEvent e;
    e.id = id;
    e.value = value;
    return e;
}

class ClockedTest : public ::testing::Test {
protected:
    void SetUp() override { platform::SetClock(&clock); }
    void TearDown() override { platform::SetClock(nullptr); }
    platform::VirtualClock clock{100000};
};

// ---- Status panels ---------------------------------------------------------------------------------

TEST(RoomStatusPanel, PointRuleLineFollowsGameTypeAndRuleOption) {
    RoomStatusPanel panel;
    panel.Create(0, 0);
    struct Case {
        int gameType, option;
        const char16_t* text;
    };
    for (const Case& c :
         {Case{12, 1, u"1pts each 3hit"}, Case{16, 0, u"0pts each 1step"}, Case{3, 0, u"2pts each 3step"},
          Case{13, 1, u"1pts each 5hit"}, Case{0, 2, u"1pts each 3step"}, Case{10, 0, u"1pts each 3step"}}) {
        panel.SetPointRule(c.gameType, c.option);
        EXPECT_EQ(panel.RuleLabel()->Text(), c.text) << "game type " << c.gameType;
    }
    panel.SetAmount(123456789012);
    EXPECT_EQ(panel.Amount()->Digits(), u"56789012") << "the last 8 digits";
    EXPECT_EQ(panel.Amount()->Value(), 123456789012);
    panel.ShowAmountImage(false);
    EXPECT_FALSE(panel.AmountImage()->IsVisible());
    EXPECT_TRUE(panel.RuleImage()->IsVisible());
}

TEST(SeatInfoPanel, TrackHighlightsEveryStepUpToThePositionAndNeverPastTheLastCell) {
    SeatInfoPanel panel;
    panel.Create(0, 0);
    auto lit = [&] {
        std::vector<int> cells;
        for (int k = 0; k < SeatInfoPanel::kCells; ++k)
            if (panel.Highlight(k)->IsVisible()) cells.push_back(k);
        return cells;
    };
    panel.SetTrack(13, 2, 7, 3, 0, 0);
    EXPECT_EQ(lit(), std::vector<int>{5}) << "14-1 lights every fifth cell";
    EXPECT_EQ(panel.MultiplierLabel()->X(), 226);
    EXPECT_EQ(panel.MultiplierLabel()->Text(), u"x3");
    EXPECT_TRUE(panel.Marker(0)->IsVisible());
    EXPECT_EQ(panel.Marker(0)->X(), 32 * 7 - 3);
    EXPECT_FALSE(panel.Marker(1)->IsVisible());

    panel.SetTrack(10, 1, 9, 1, 4, 0);
    EXPECT_TRUE(lit().empty()) << "only mode 2 lights cells";
    EXPECT_TRUE(panel.Marker(1)->IsVisible());

    panel.SetTrack(4, 2, 0, 1, 0, 0);
    EXPECT_TRUE(lit().empty());
    EXPECT_FALSE(panel.Marker(0)->IsVisible()) << "position 0 hides the first marker";

    // A position from the server past the track lights the cells it has and no more.
    panel.SetTrack(4, 2, 255, 1, 0, 0);
    EXPECT_EQ(lit().size(), 19u);
    EXPECT_FALSE(panel.Highlight(0)->IsVisible());
}

TEST(SeatInfoPanel, CurrentCellMarkerPulsesOnEverySecondTickAndJackpotMarkerSounds) {
    SeatInfoPanel panel;
    panel.Create(0, 0);
    std::vector<std::pair<int, float>> sounds;
    panel.playSound = [&](int id, float volume) { sounds.emplace_back(id, volume); };
    panel.SetCurrentCell(4);
    EXPECT_EQ(panel.CurrentMarker()->X(), 128);
    panel.CurrentMarker()->SetAlpha(1.0f);
    panel.Tick(250);
    EXPECT_FLOAT_EQ(panel.CurrentMarker()->Alpha(), 1.0f) << "the first call leaves the marker";
    panel.Tick(250);
    EXPECT_FLOAT_EQ(panel.CurrentMarker()->Alpha(), 0.5f);
    panel.Tick(2600);
    panel.Tick(2600);
    EXPECT_FLOAT_EQ(panel.CurrentMarker()->Alpha(), 0.8f) << "falling in the second half";
    panel.Tick(1500);
    panel.Tick(1500);
    EXPECT_FLOAT_EQ(panel.CurrentMarker()->Alpha(), 0.9f) << "never brighter than 0.9";

    panel.SetTrack(4, 2, 3, 1, 6, 0);
    ASSERT_TRUE(panel.Marker(1)->IsVisible());
    panel.HideJackpotMarker();
    EXPECT_FALSE(panel.Marker(1)->IsVisible());
    EXPECT_EQ(sounds, (std::vector<std::pair<int, float>>{{41, 1.0f}}));
}

TEST_F(ClockedTest, JackpotBannerAndTurnLabelHideAfterTheirTime) {
    JackpotBanner banner;
    banner.Create(0, 0);
    banner.Show(1234567, u"alice");
    EXPECT_TRUE(banner.IsVisible());
    EXPECT_EQ(banner.AmountLabel()->Text(), u"1,234,567");
    EXPECT_EQ(banner.WinnerLabel()->Text(), u"alice");
    EXPECT_TRUE(banner.OnCommand(Click(99))) << "the banner swallows every event";
    const std::uint64_t shown = clock.NowMs();
    banner.Tick(shown + 5000);
    EXPECT_TRUE(banner.IsVisible());
    banner.Tick(shown + 5001);
    EXPECT_FALSE(banner.IsVisible());

    TurnTimer label;
    label.Create(0, 0);
    label.SetVisible(false);
    clock.AdvanceMs(10000);
    label.Show(true);
    label.Tick(clock.NowMs() + 2000);
    EXPECT_TRUE(label.IsVisible());
    label.Tick(clock.NowMs() + 2001);
    EXPECT_FALSE(label.IsVisible());
}

// ---- Result windows --------------------------------------------------------------------------------

TEST(RankResultWindow, RankTextBoundaries) {
    struct Case {
        int rank;
        const char16_t* text;
    };
    for (const Case& c : {Case{1, u"Congratulations! You're ranked at 1."},
                          Case{100, u"Congratulations! You're ranked at 100."},
                          Case{101, u"Unfortunately you could not be ranked in the top 100."},
                          Case{9998, u"Your rank is lower than the previous record."},
                          Case{9999, u"Unfortunately you could not be ranked in the top 100."}})
        EXPECT_EQ(RankText(c.rank), c.text) << c.rank;

    RankResultWindow window;
    window.Create();
    window.SetRank(100);
    window.Show(true);
    EXPECT_EQ(window.Line()->Text(), u"Congratulations! You're ranked at 100.");
    EXPECT_EQ(window.X(), (1024 - 316) / 2);
    EXPECT_TRUE(window.OnCommand(Click(77))) << "every event is consumed";
    EXPECT_TRUE(window.IsVisible());
    EXPECT_TRUE(window.OnCommand(Click(2050)));
    EXPECT_FALSE(window.IsVisible());
}

TEST(LevelUpWindow, AbilityPointsByLevelAndSpendShortcut) {
    const std::pair<int, int> table[] = {{0, 3},   {5, 3},   {6, 4},   {10, 4},  {11, 5},
                                         {20, 6},  {21, 7},  {30, 8},  {35, 9},  {36, 10},
                                         {40, 10}, {41, 12}, {45, 12}, {46, 15}, {65535, 15}};
    for (const auto& [level, points] : table)
        EXPECT_EQ(AbilityPointsForLevel(static_cast<std::uint16_t>(level)), points) << "level " << level;

    FakeSceneHost host;
    net::PlayerRecord record;
    record.level = 12;
    LevelUpWindow window(&host, &record);
    window.Create();
    window.Show(true);
    EXPECT_EQ(window.Line(0)->Text(), u"Your level has raised to 12.");
    EXPECT_TRUE(window.Line(1)->Text().empty());
    EXPECT_EQ(window.Line(2)->Text(), u"You have earned 5 Abil. points.");
    EXPECT_FALSE(window.SpendButton()->IsVisible()) << "nothing to spend";

    window.Show(false);
    record.abilityPoints = 5;
    window.Show(true);
    EXPECT_TRUE(window.SpendButton()->IsVisible());
    EXPECT_TRUE(window.OnCommand(Click(10)));
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, 1047u);
    EXPECT_TRUE(window.IsVisible());
    EXPECT_TRUE(window.OnCommand(Click(2050)));
    EXPECT_FALSE(window.IsVisible());
}

// ---- Invite list -----------------------------------------------------------------------------------

struct InvitePlayer {
    std::uint32_t key;
    std::uint64_t id;
    std::uint16_t level;
    WString nickname;
    std::uint16_t count;
};

void ListReply(net::Packet& p, const std::vector<InvitePlayer>& players) {
    p.Init(2043);
    p.WriteU16(static_cast<std::uint16_t>(players.size()));
    for (const InvitePlayer& m : players)
        p.WriteU32(m.key).WriteU64(m.id).WriteU16(m.level).WriteString(m.nickname).WriteU16(m.count);
    p.Finish();
    p.Rewind();
}

std::vector<InvitePlayer> Players(int n) {
    std::vector<InvitePlayer> players;
    for (int i = 0; i < n; ++i)
        players.push_back({static_cast<std::uint32_t>(100 + i), 5000u + i, static_cast<std::uint16_t>(i + 1),
                           u"p" + WString(1, static_cast<char16_t>(u'a' + i)),
                           static_cast<std::uint16_t>(i)});
    return players;
}

class InviteListTest : public ClockedTest {
protected:
    void SetUp() override {
        ClockedTest::SetUp();
        dialog.Create();
        dialog.SetSender([this](net::Packet& p) {
            sent.emplace_back(p.Data() + 4, p.Data() + p.Size());
            sentIds.push_back(p.GetId());
        });
        dialog.Show(true);
    }
    void Fill(const std::vector<InvitePlayer>& players) {
        net::Packet p;
        ListReply(p, players);
        dialog.FillFromPacket(p);
        dialog.Tick(clock.NowMs());
    }
    // Ticks the dialog 20 times at the clock's time: one cooldown refresh.
    void TickRefresh() {
        for (int i = 0; i < 20; ++i) dialog.Tick(clock.NowMs());
    }

    FakeSceneHost host;
    InviteListDialog dialog{&host};
    std::vector<std::vector<std::uint8_t>> sent;
    std::vector<std::uint16_t> sentIds;
};

TEST_F(InviteListTest, ReplyFillsRowsAndANicknameTooLongIsCutWithoutLosingTheFieldsAfterIt) {
    ASSERT_EQ(sentIds, std::vector<std::uint16_t>{2042}) << "opening asks for the list";
    EXPECT_EQ(sent[0], std::vector<std::uint8_t>{0});
    EXPECT_TRUE(dialog.PendingLabel()->IsVisible());

    auto players = Players(9);
    players[1].nickname = u"abcdefghijklmnopqrstu";
    Fill(players);
    const auto c = dialog.Candidates();
    ASSERT_EQ(c.size(), 9u);
    EXPECT_EQ(c[1].nickname, u"abcdefghijklm");
    EXPECT_EQ(c[1].count, 1) << "the count after the long name is read in step";
    EXPECT_EQ(c[2].key, 102u);
    EXPECT_EQ(c[8].playerId, 5008u);
    EXPECT_FALSE(dialog.PendingLabel()->IsVisible());
    EXPECT_FALSE(dialog.EmptyLabel()->IsVisible());
    for (int k = 0; k < 7; ++k) EXPECT_TRUE(dialog.Row(k)->IsVisible());
    EXPECT_EQ(dialog.Row(3)->Name()->Text(), u"pd");
    EXPECT_EQ(dialog.Row(3)->LevelIcon()->Image().x - dialog.Row(0)->LevelIcon()->Image().x, 66);
    EXPECT_EQ(dialog.Scroll()->Range(), 3);

    dialog.OnCommand(Click(10, 5));
    EXPECT_EQ(dialog.FirstPosition(), 3) << "never past the last full page";
    EXPECT_EQ(dialog.Row(0)->Name()->Text(), u"pc");
    gui::MouseEvent wheel;
    wheel.message = platform::kWmMouseWheel;
    wheel.x = 100;
    wheel.y = 60;
    wheel.wheel = 120;
    EXPECT_TRUE(dialog.OnMouse(wheel));
    EXPECT_EQ(dialog.FirstPosition(), 2) << "the wheel up scrolls a row back";
    wheel.y = 220;
    dialog.OnMouse(wheel);
    EXPECT_EQ(dialog.FirstPosition(), 2) << "below the rows the wheel does not scroll";

    // A reply cut short keeps the players read before the break.
    net::Packet whole;
    ListReply(whole, Players(3));
    net::Packet cut;
    cut.Init(2043);
    cut.WriteBytes(whole.Data() + 4, whole.Size() - 4 - 5);
    cut.Finish();
    cut.Rewind();
    dialog.FillFromPacket(cut);
    dialog.Tick(clock.NowMs());
    EXPECT_EQ(dialog.Candidates().size(), 2u);
    EXPECT_FALSE(dialog.Row(2)->IsVisible());

    Fill({});
    EXPECT_TRUE(dialog.EmptyLabel()->IsVisible());
    for (int k = 0; k < 7; ++k) EXPECT_FALSE(dialog.Row(k)->IsVisible());
}

TEST_F(InviteListTest, InvitationSendsAtMostEightAndItsCountMatchesTheIdsWritten) {
    Fill(Players(10));
    sent.clear();
    for (int k = 0; k < 7; ++k) dialog.OnCommand(Click(100 + k, 1));
    dialog.OnCommand(Click(10, 4));
    dialog.OnCommand(Click(104, 1));  // the 8th
    dialog.OnCommand(Click(105, 1));  // the 9th
    dialog.OnCommand(Click(2050));
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(host.notices.back(), u"No more than 8 people can be invited.");

    dialog.OnCommand(Click(105, 0));
    dialog.OnCommand(Click(2050));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sentIds.back(), 2044);
    ASSERT_EQ(sent[0].size(), 1u + 8 * 8);
    EXPECT_EQ(sent[0][0], 8);
    for (int i = 0; i < 8; ++i) {
        std::uint64_t id = 0;
        std::memcpy(&id, sent[0].data() + 1 + 8 * i, 8);
        EXPECT_EQ(id, 5000u + i);
    }
    EXPECT_EQ(host.notices.back(), u"Invitation message has been sent.");

    // Invited players are greyed out and unchecked at once; ticking one of them again changes
    // nothing, so the next invitation counts only the ones that may be invited.
    const auto c = dialog.Candidates();
    EXPECT_FALSE(c[0].available);
    EXPECT_FALSE(c[0].selected);
    EXPECT_FALSE(dialog.Row(0)->Check()->IsEnabled());
    EXPECT_FLOAT_EQ(dialog.Row(0)->Name()->Alpha(), 0.3f);
    dialog.OnCommand(
        Click(100, 1));  // a greyed row (the toggle could not have sent it, but a stale one might)
    dialog.OnCommand(Click(106, 1));  // the 10th, never invited
    dialog.OnCommand(Click(2050));
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].size(), 1u + 8);
    EXPECT_EQ(sent[1][0], 1);

    dialog.OnCommand(Click(2050));
    EXPECT_EQ(sent.size(), 2u);
    EXPECT_EQ(host.notices.back(), u"Select more than 1 person you wish to invite.");
}

TEST_F(InviteListTest, OnlyThePlayersOwnRequestsHoldUpRefreshAndInvitedPlayersComeBackAfterTenSeconds) {
    Fill(Players(2));
    clock.AdvanceMs(3000);
    dialog.OnCommand(Click(2053));
    EXPECT_EQ(host.notices.back(), u"Try again in 2 seconds");
    EXPECT_EQ(sentIds.size(), 1u);
    clock.AdvanceMs(2000);
    dialog.OnCommand(Click(2053));
    EXPECT_EQ(sentIds.size(), 2u);
    EXPECT_EQ(sentIds.back(), 2042);
    EXPECT_TRUE(dialog.PendingLabel()->IsVisible());

    // A player entering makes the list ask again by itself: that request is not the player's, so his
    // own "Refresh" right after it is not refused.
    clock.AdvanceMs(30000);
    dialog.RoomChanged(77, u"newcomer", false);
    dialog.Tick(clock.NowMs());
    EXPECT_EQ(sentIds.size(), 3u);
    clock.AdvanceMs(1000);
    dialog.OnCommand(Click(2053));
    EXPECT_EQ(sentIds.size(), 4u) << "his own Refresh waited for a request he did not make";
    dialog.OnCommand(Click(2053));
    EXPECT_EQ(sentIds.size(), 4u) << "his own presses still wait for each other";
    EXPECT_EQ(host.notices.back(), u"Try again in 5 seconds");

    Fill(Players(2));
    dialog.OnCommand(Click(100, 1));
    dialog.OnCommand(Click(2050));
    ASSERT_FALSE(dialog.Candidates()[0].available);
    clock.AdvanceMs(10999);
    TickRefresh();
    EXPECT_FALSE(dialog.Candidates()[0].available) << "10 whole seconds are not yet over 10";
    clock.AdvanceMs(1000);
    TickRefresh();
    EXPECT_TRUE(dialog.Candidates()[0].available);
    EXPECT_FALSE(dialog.Candidates()[0].selected);
    EXPECT_TRUE(dialog.Row(0)->Check()->IsEnabled());

    // The invited list outlives a closing: reopened at once, the player is greyed out again.
    dialog.OnCommand(Click(100, 1));
    dialog.OnCommand(Click(2050));
    dialog.OnCommand(Click(2049));
    EXPECT_FALSE(dialog.IsVisible());
    dialog.Show(true);
    Fill(Players(2));
    EXPECT_FALSE(dialog.Candidates()[0].available);
    EXPECT_TRUE(dialog.Candidates()[1].available);
}

// ---- Replay control panel --------------------------------------------------------------------------

struct Positions {
    std::vector<float> xyz;
    bool operator==(const Positions&) const = default;
};
void PrintTo(const Positions& p, std::ostream* os) {
    for (float v : p.xyz) *os << v << ' ';
}

Positions PositionsOf(const table::TableWorld& world) {
    Positions p;
    for (std::size_t i = 0; i < world.BallCount(); ++i) {
        float x, y, z;
        world.BallPosition(i, x, y, z);
        p.xyz.insert(p.xyz.end(), {x, y, z});
    }
    return p;
}

// A shot struck in a world of its own, run to rest: the block the room keeps and where it ended.
struct StruckShot {
    table::ShotStateBlock block{};
    Positions end;
};

StruckShot Strike(int gameType, std::uint16_t tableItem, float power) {
    table::TableWorld world;
    world.SetGameType(gameType);
    world.SetGameItems(tableItem, 0);
    world.SetPhysicsModel(0x10014, true);
    world.StartNewRack(7);
    world.SetPlayState(table::PlayState::FreePractice);
    float x, y, z;
    world.BallPosition(1, x, y, z);
    table::ShotMessage shot;
    shot.words.aimX = x;
    shot.words.aimY = y;
    shot.words.power = power;
    shot.words.maxPower = 1.0f;
    shot.words.tipOffsetSide = shot.words.offsetLimitSide = 0.2f;
    shot.shotSeed = 99;
    shot.cueItem = 3000;
    net::Packet out;
    table::WriteShotMessage(out, shot);
    out.Finish();
    out.Rewind();
    EXPECT_TRUE(world.ReadShotMessage(out));
    EXPECT_TRUE(world.ExecuteShot(table::ShotMode::Server, false));
    for (std::uint32_t tick = 1; world.ShotExecuting() && tick < 200000; ++tick)
        world.Update(tick, 0, 0, false);
    return {world.LastShotState(), PositionsOf(world)};
}

class ReplayPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.Create();
        net::RoomInfo room;
        room.gameType = 4;
        panel.CreateWorld(nullptr, nullptr, room, Options{});
        ASSERT_NE(panel.World(), nullptr);
    }
    // Runs the replay world as the scene's update does, until the shot rests.
    void RunToRest() {
        for (int n = 0; panel.World()->ShotExecuting() && n < 200000; ++n) panel.Update(++tick, 0, 0);
    }
    void DrawOnce() {
        gui::Painter painter(nullptr, nullptr);
        panel.Draw(painter, panel.ScreenX(), panel.ScreenY());
    }

    FakeSceneHost host;
    ReplayControlPanel panel{&host};
    std::uint32_t tick = 0;
};

TEST_F(ReplayPanelTest, ReplayEndsWhereTheShotEndedOnTheSameTableAndAfterAReloadOnAnother) {
    const StruckShot same = Strike(4, 0, 0.8f);
    panel.ReplayShot(same.block);
    EXPECT_FALSE(panel.ReloadPending());
    EXPECT_TRUE(panel.Running());
    EXPECT_TRUE(panel.World()->ShotExecuting()) << "the same table plays at once";
    RunToRest();
    EXPECT_EQ(PositionsOf(*panel.World()), same.end);
    const std::size_t cues = panel.World()->CueObjectCount();

    // Play again from the stored block: the same end again, and no cue object piles up.
    panel.OnCommand(Click(ReplayControlPanel::kPlayId));
    RunToRest();
    EXPECT_EQ(PositionsOf(*panel.World()), same.end);
    EXPECT_EQ(panel.World()->CueObjectCount(), cues);

    const StruckShot other = Strike(4, 1029, 0.6f);
    panel.ReplayShot(other.block);
    EXPECT_TRUE(panel.ReloadPending());
    EXPECT_FALSE(panel.World()->ShotExecuting()) << "another table waits for the draw";
    DrawOnce();
    EXPECT_FALSE(panel.ReloadPending());
    EXPECT_EQ(panel.World()->TableItem(), 1029);
    EXPECT_TRUE(panel.World()->ShotExecuting());
    RunToRest();
    EXPECT_EQ(PositionsOf(*panel.World()), other.end);
    EXPECT_EQ(panel.World()->CueObjectCount(), cues) << "the reload releases the cue object it replaces";

    // A cue item the catalogue does not know plays as a plain cue.
    table::ShotStateBlock unknownCue = same.block;
    unknownCue[8] = 0xF0;
    unknownCue[9] = 0xFF;
    panel.ReplayShot(unknownCue);
    DrawOnce();
    EXPECT_TRUE(panel.World()->ShotExecuting());
    RunToRest();
    EXPECT_EQ(PositionsOf(*panel.World()), same.end);
    EXPECT_EQ(panel.World()->CueObjectCount(), cues);
}

TEST_F(ReplayPanelTest, CommandsPauseCloseAskForTheLastShotAndSwitchTheCamera) {
    panel.Show(true);
    panel.ReplayShot(Strike(4, 0, 0.8f).block);
    for (int i = 0; i < 5; ++i) panel.Update(++tick, 0, 0);
    EXPECT_TRUE(panel.OnCommand(Click(ReplayControlPanel::kPauseId)));
    EXPECT_FALSE(panel.Running());
    const Positions paused = PositionsOf(*panel.World());
    for (int i = 0; i < 20; ++i) panel.Update(++tick, 0, 0);
    EXPECT_EQ(PositionsOf(*panel.World()), paused) << "a paused replay stands still";
    panel.OnCommand(Click(ReplayControlPanel::kPauseId));
    EXPECT_TRUE(panel.Running());

    panel.OnCommand(Click(ReplayControlPanel::kSaveId));
    EXPECT_EQ(host.notices.back(), u"This feature is not allowed currently.");
    panel.OnCommand(Click(ReplayControlPanel::kLastShotId));
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, 1064u);

    panel.CameraToggle()->SetChecked(true);
    panel.OnCommand(Click(ReplayControlPanel::kCameraId, 1));
    EXPECT_EQ(panel.CameraMode(), 2);
    panel.CameraToggle()->SetChecked(false);
    panel.OnCommand(Click(ReplayControlPanel::kCameraId, 0));
    EXPECT_EQ(panel.CameraMode(), 1);

    EXPECT_TRUE(panel.OnCommand(Click(ReplayControlPanel::kCloseId)));
    EXPECT_FALSE(panel.IsVisible());
    EXPECT_EQ(host.posted.back().code, 1060u);
    EXPECT_FALSE(panel.OnCommand(Click(6))) << "other ids are not the panel's";
}

TEST_F(ReplayPanelTest, WindowSizeDoublesTheViewKeepsTheRightEdgeAndRefusesASecondChangeBeforeADraw) {
    panel.Show(true);
    const int right = panel.X() + panel.ImageWidth();
    const int bottomX = panel.Bottom()->X();
    // Right after showing the view waits for its first draw: a change now is refused and the toggle
    // goes back to the size the panel has.
    panel.SizeToggle()->SetChecked(true);
    panel.OnCommand(Click(ReplayControlPanel::kSizeId, 1));
    EXPECT_FALSE(panel.Enlarged());
    EXPECT_FALSE(panel.SizeToggle()->IsChecked());
    EXPECT_TRUE(panel.SizeToggle()->IsEnabled());
    EXPECT_EQ(panel.ViewWidth(), 178);

    DrawOnce();
    panel.SizeToggle()->SetChecked(true);
    panel.OnCommand(Click(ReplayControlPanel::kSizeId, 1));
    EXPECT_TRUE(panel.Enlarged());
    EXPECT_EQ(panel.ViewWidth(), 356);
    EXPECT_EQ(panel.X() + panel.ImageWidth(), right) << "the right edge stays";
    EXPECT_EQ(panel.Bottom()->X(), bottomX + 184) << "the buttons stay where they were on the screen";
    EXPECT_TRUE(panel.SizeToggle()->IsEnabled());
    // A press on the doubled view belongs to the panel; beyond it, it does not.
    gui::MouseEvent press;
    press.message = platform::kWmLButtonDown;
    press.x = 300;
    EXPECT_TRUE(panel.OnMouse(press));
    press.x = 370;
    EXPECT_FALSE(panel.OnMouse(press));

    DrawOnce();
    panel.SizeToggle()->SetChecked(false);
    panel.OnCommand(Click(ReplayControlPanel::kSizeId, 0));
    EXPECT_FALSE(panel.Enlarged());
    EXPECT_EQ(panel.ViewWidth(), 178);
    EXPECT_EQ(panel.X() + panel.ImageWidth(), right);
    EXPECT_EQ(panel.Bottom()->X(), bottomX);
    press.x = 300;
    EXPECT_FALSE(panel.OnMouse(press)) << "back to the single width";
}

// ---- In the game room ------------------------------------------------------------------------------

class RoomPanelsTest : public ClockedTest {
protected:
    void SetUp() override {
        ClockedTest::SetUp();
        host.session->GetRoom().gameType = 4;
        scene.SetHost(&host);
        scene.SetSendTap([this](const net::Packet& p) {
            sentIds.push_back(p.GetId());
            sent.emplace_back(p.Data() + 4, p.Data() + p.Size());
        });
        scene.Load3D(nullptr, nullptr);
        EnterRoom();
    }
    // The room as entered, with the keys given back to the table (entering focuses the chat line).
    void EnterRoom() {
        scene.Enter();
        static_cast<gui::EditBox*>(scene.FindById(50))->SetFocus(false);
    }
    void Deliver(std::uint16_t id, net::Packet& p) {
        p.Rewind();
        EXPECT_EQ(scene.OnPacket(id, &p), 0);
    }
    void PressR() {
        scene.OnMessage(platform::kWmKeyDown, 'R', 0);
        scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    }

    FakeSceneHost host;
    scenes::SceneRoomGame scene;
    std::vector<std::uint16_t> sentIds;
    std::vector<std::vector<std::uint8_t>> sent;
};

TEST_F(RoomPanelsTest, InviteListTalksThroughTheRoomAndRankResultOpensItsWindow) {
    ASSERT_NE(scene.InviteList(), nullptr);
    // The room's invite button opens the room's own list (not the shared invitation dialog).
    auto* invite = dynamic_cast<gui::Button*>(scene.FindById(scenes::room::join_msg::kInviteControl));
    ASSERT_NE(invite, nullptr) << "a widget of the room carries the invite control";
    EXPECT_TRUE(invite->IsVisible());
    scene.OnCommand(Click(scenes::room::join_msg::kInviteControl));
    EXPECT_TRUE(scene.InviteList()->IsVisible());
    ASSERT_FALSE(sentIds.empty());
    EXPECT_EQ(sentIds.back(), 2042);
    EXPECT_EQ(sent.back(), std::vector<std::uint8_t>{0});
    net::Packet reply;
    ListReply(reply, Players(3));
    Deliver(2043, reply);
    EXPECT_EQ(scene.InviteList()->Candidates().size(), 3u);

    net::Packet rank;
    rank.Init(2047);
    rank.WriteU16(42).WriteU16(0).WriteU16(0);
    rank.Finish();
    Deliver(2047, rank);
    EXPECT_TRUE(scene.RankWindow()->IsVisible());
    EXPECT_EQ(scene.RankWindow()->Line()->Text(), u"Congratulations! You're ranked at 42.");

    scene.QueueLevelUp();
    EXPECT_FALSE(scene.LevelUpWindow()->IsVisible());
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.LevelUpWindow()->IsVisible());

    // A line point shows the seat's name label over the point for two seconds.
    net::Packet line;
    line.Init(2083);
    line.WriteU8(1).WriteU8(0).WriteF32(10.0f).WriteF32(5.0f).WriteF32(0.0f);
    line.Finish();
    Deliver(2083, line);
    EXPECT_FALSE(scene.TurnLabel(1)->IsVisible());
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.TurnLabel(1)->IsVisible());
    EXPECT_FALSE(scene.TurnLabel(0)->IsVisible());
    scene.TurnLabel(1)->Tick(clock.NowMs() + 2001);
    EXPECT_FALSE(scene.TurnLabel(1)->IsVisible());
}

TEST_F(RoomPanelsTest, RoomStateShowsTheJackpotThePointRuleAndInAGameThePointTrack) {
    for (const bool running : {false, true}) {
        net::Packet p;
        p.Init(2001);
        p.WriteU64(9876543).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7).WriteU8(0);
        p.WriteU8(running ? 2 : 1).WriteU32(0).WriteU8(0);
        p.WriteU8(2).WriteU8(5).WriteU8(3).WriteU8(4).WriteU8(0).WriteU8(0);  // point track, mode 2
        p.WriteU32(10000).WriteU32(0).WriteU32(0);
        p.WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(2).WriteU8(0).WriteU8(0).WriteU8(0);
        p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU32(0);
        p.Finish();
        Deliver(2001, p);
        EXPECT_EQ(scene.StatusPanel()->Amount()->Value(), 9876543);
        EXPECT_EQ(scene.StatusPanel()->RuleLabel()->Text(), u"0pts each 1step") << "three-cushion";
        EXPECT_TRUE(scene.StatusPanel()->RuleImage()->IsVisible());
        EXPECT_EQ(scene.SeatInfo()->IsVisible(), running) << "the track shows in a running game";
    }
    EXPECT_EQ(scene.SeatInfo()->Position(), 5);
    EXPECT_EQ(scene.SeatInfo()->MultiplierLabel()->Text(), u"x3");
    EXPECT_TRUE(scene.SeatInfo()->Marker(1)->IsVisible()) << "second marker at 4";
}

TEST_F(RoomPanelsTest, RoomStateShowsTheStakeMarkerOnlyInAStakeRoomAndRebasesTheGameClockAndThePot) {
    // A room of that game type and money class (class 3 carries its stake values), a game running 65 s.
    const auto roomState = [this](std::uint8_t gameType, std::uint8_t moneyClass) {
        host.session->GetRoom().gameType = gameType;
        EnterRoom();
        net::Packet p;
        p.Init(2001);
        p.WriteU64(0).WriteU8(moneyClass);
        if (moneyClass == 3) p.WriteU32(1000).WriteU32(2000);
        p.WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7).WriteU8(0).WriteU8(2).WriteU32(0).WriteU8(0);
        p.WriteU8(0).WriteU32(400000).WriteU32(65000).WriteU32(0);
        p.WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(2).WriteU8(0).WriteU8(1).WriteU8(0);
        p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU32(12345);
        p.Finish();
        Deliver(2001, p);
        scene.Render(nullptr, false);
    };
    roomState(4, 3);
    EXPECT_TRUE(scene.StatusPanel()->AmountImage()->IsVisible()) << "a stake room";
    EXPECT_EQ(scene.Clock()->Minutes()->Digits(), u"01") << "the game has run for 65 s";
    EXPECT_EQ(scene.BettingValue(), 12345u);
    EXPECT_EQ(scene.PlayerList()->PotLabel()->Text(), u"12,345");
    roomState(4, 0);
    EXPECT_FALSE(scene.StatusPanel()->AmountImage()->IsVisible()) << "an open room";
}

TEST_F(RoomPanelsTest, PointTrackJackpotAndOwnLevelUpReachTheirPanels) {
    net::Packet track;
    track.Init(2078);
    track.WriteU8(2).WriteU8(7).WriteU8(2).WriteU8(3).WriteU8(0);
    track.Finish();
    Deliver(2078, track);
    EXPECT_EQ(scene.SeatInfo()->Position(), 7);
    EXPECT_TRUE(scene.SeatInfo()->Highlight(7)->IsVisible()) << "three-cushion lights every cell";
    EXPECT_EQ(scene.SeatInfo()->MultiplierLabel()->Text(), u"x2");
    EXPECT_TRUE(scene.SeatInfo()->Marker(1)->IsVisible());

    net::Packet jackpot;
    jackpot.Init(2085);
    jackpot.WriteString(u"bob").WriteU8(1).WriteU32(1234567);
    jackpot.Finish();
    Deliver(2085, jackpot);
    EXPECT_TRUE(scene.JackpotBanner()->IsVisible());
    EXPECT_EQ(scene.JackpotBanner()->AmountLabel()->Text(), u"1,234,567");
    EXPECT_FALSE(scene.SeatInfo()->Marker(1)->IsVisible());
    const auto sounds = scene.PlayedSounds();
    EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 41), 1) << "the jackpot sound once";

    net::Packet level;
    level.Init(2069);
    level.WriteU8(static_cast<std::uint8_t>(scene.OwnSeat())).WriteU16(12).WriteU32(0);
    level.Finish();
    Deliver(2069, level);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.LevelUpWindow()->IsVisible());
    EXPECT_EQ(scene.LevelUpWindow()->Line(0)->Text(), u"Your level has raised to 12.");
}

TEST_F(RoomPanelsTest, RKeyAndThePanelsMessagesReplayTheWorldsLastShot) {
    ReplayControlPanel* panel = scene.ReplayPanel();
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(panel->World(), nullptr) << "the room's 3D loading made the replay world";
    EXPECT_FALSE(panel->IsVisible());
    PressR();
    EXPECT_FALSE(panel->IsVisible()) << "no shot yet, nothing to replay";

    const StruckShot shot = Strike(4, 0, 0.8f);
    ASSERT_TRUE(scene.World()->RestoreShotState(shot.block));
    scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    EXPECT_FALSE(panel->IsVisible())
        << "an R let go that went down elsewhere (in the lobby, in the chat line)";
    PressR();
    EXPECT_TRUE(panel->IsVisible());
    EXPECT_TRUE(panel->World()->ShotExecuting());
    PressR();
    EXPECT_FALSE(panel->IsVisible());

    scene.OnMessage(1064, 0, 0);
    EXPECT_TRUE(panel->IsVisible());
    for (int i = 0; i < 200000 && panel->World()->ShotExecuting(); ++i) scene.Update(clock.NowMs(), 0);
    EXPECT_EQ(PositionsOf(*panel->World()), shot.end) << "the room's update runs the replay to its end";
    scene.OnMessage(1060, 0, 0);
    EXPECT_FALSE(panel->IsVisible());
}

TEST_F(RoomPanelsTest, TheReplayPanelTakesTheKeyGuidesPlaceAndF2WaitsUntilItIsClosed) {
    constexpr std::uint32_t kF2 = 0x71;
    host.session->own.signInCounter = 10;
    EnterRoom();
    gui::Widget* guide = scene.FindById(scenes::room::info_panel::kControl);
    ASSERT_NE(guide, nullptr);
    ASSERT_TRUE(guide->IsVisible());
    const StruckShot shot = Strike(4, 0, 0.8f);
    ASSERT_TRUE(scene.World()->RestoreShotState(shot.block));

    PressR();
    ASSERT_TRUE(scene.ReplayPanel()->IsVisible());
    EXPECT_FALSE(guide->IsVisible());
    scene.OnMessage(platform::kWmKeyUp, kF2, 0);
    EXPECT_FALSE(guide->IsVisible()) << "F2 does not bring the guide over the open panel";
    EXPECT_TRUE(scene.KeyGuideShown()) << "nor does it change the guide's flag";
    PressR();
    EXPECT_TRUE(guide->IsVisible()) << "closing restores the guide by its flag";

    scene.OnMessage(platform::kWmKeyUp, kF2, 0);
    EXPECT_FALSE(guide->IsVisible());
    scene.OnMessage(1064, 0, 0);
    scene.OnMessage(1060, 0, 0);
    EXPECT_FALSE(scene.ReplayPanel()->IsVisible());
    EXPECT_FALSE(guide->IsVisible()) << "a guide switched off stays off";
}

}  // namespace
