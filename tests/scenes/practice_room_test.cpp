// The practice room on a recording render device: the earn-gold mission's rules and judging, the
// lent chalk, the chat box, watching the last shot again, and item use.
#include <gtest/gtest.h>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/ImageWidget.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/ItemEntry.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/video/RecordingBackend.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/hud/HudCodes.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/ReplayControlPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "scenes/room/practice/EarnGoldDialogs.h"
#include "scenes/room/practice/EarnGoldMission.h"
#include "scenes/room/practice/PracticeCodes.h"
#include "scenes/room/practice/SceneRoomPractice.h"
#include "table/AimControls.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/PracticeSteps.h"
#include "tests/scenes/support/QueuedSounds.h"
#include "tests/scenes/support/TableSceneHost.h"
#include "tests/scenes/support/WidgetTree.h"

namespace {

using scenes::practice::EarnGoldMission;
using scenes::practice::MissionRefusal;
using Outcome = EarnGoldMission::Outcome;

constexpr std::uint32_t kShotAtRest = 1112;
constexpr std::uint32_t kItemChosen = 1086;
constexpr std::uint32_t kActivateConfirmed = 1087;

// ---- The mission's rules -------------------------------------------------------------------------

TEST(EarnGoldRules, EachGameTypeScoresFromItsOwnResultValueAndCountsItsOwnPoints) {
    struct Case {
        int gameType, result, pocketed;
        bool scores;
        int points;
    } cases[] = {
        {0, 0, 0, false, 0},   {0, 1, 0, true, 1},     {2, 1, 0, false, 0},     {2, 2, 0, true, 1},
        {2, 4, 0, true, 2},    {3, 3, 0, false, 0},    {3, 4, 0, true, 1},      {3, 1004, 0, true, 2},
        {4, 1004, 0, true, 1}, {5, 2004, 0, true, 2},  {10, 4, 2, false, 0},    {12, 5, 3, true, 3},
        {13, 5, 1, true, 1},   {6, 1000, 0, false, 0}, {14, 1000, 0, false, 0},
    };
    for (const Case& c : cases) {
        const auto judged = scenes::practice::JudgeMissionShot(c.gameType, c.result, c.pocketed);
        EXPECT_EQ(judged.scores, c.scores) << c.gameType << " r=" << c.result;
        EXPECT_EQ(judged.points, c.points) << c.gameType << " r=" << c.result;
    }
}

TEST(EarnGoldRules, TheGoldLimitTheDailyLimitAndGameTypesWithoutAMissionRefuseInThatOrder) {
    using scenes::practice::CheckMissionRequest;
    EXPECT_EQ(CheckMissionRequest(4, 3000, 0), MissionRefusal::None);
    EXPECT_EQ(CheckMissionRequest(4, 3001, 0), MissionRefusal::TooMuchGold);
    EXPECT_EQ(CheckMissionRequest(4, 3001, 1), MissionRefusal::TooMuchGold);
    EXPECT_EQ(CheckMissionRequest(4, 0, 1), MissionRefusal::AlreadyToday);
    EXPECT_EQ(CheckMissionRequest(16, 0, 1), MissionRefusal::AlreadyToday);
    EXPECT_EQ(CheckMissionRequest(16, 0, 0), MissionRefusal::NoMission);
    EXPECT_EQ(CheckMissionRequest(6, 0, 0), MissionRefusal::NoMission);
}

TEST(EarnGoldRules, AMissedFirstShotOfTheGambleTypesKeepsInningOneAndOthersUseItUp) {
    for (int gameType : {3, 4, 5}) {
        EarnGoldMission mission;
        mission.Start(*scenes::practice::MissionRowFor(gameType));
        EXPECT_EQ(mission.Judge(0, 0), Outcome::Missed);
        EXPECT_EQ(mission.Innings(), gameType == 4 ? 2 : 1) << gameType;
        EXPECT_EQ(mission.Judge(0, 0), Outcome::Missed);
        EXPECT_EQ(mission.Innings(), gameType == 4 ? 3 : 2) << "only the first shot is exempt";
    }
}

TEST(EarnGoldRules, TheMissionEndsOnTheTargetAtOnceOrOnAMissInTheTwentiethInning) {
    EarnGoldMission fourBall;
    fourBall.Start(*scenes::practice::MissionRowFor(0));
    for (int i = 1; i < 10; ++i) EXPECT_EQ(fourBall.Judge(1, 0), Outcome::Scored);
    EXPECT_EQ(fourBall.Judge(1, 0), Outcome::TargetReached);
    EXPECT_FALSE(fourBall.Active());
    EXPECT_EQ(fourBall.Points(), 10);
    EXPECT_EQ(fourBall.Innings(), 1);

    EarnGoldMission threeCushion;
    threeCushion.Start(*scenes::practice::MissionRowFor(4));
    EXPECT_EQ(threeCushion.Judge(4, 0), Outcome::Scored);
    for (int i = 1; i < scenes::practice::kMissionInnings; ++i)
        EXPECT_EQ(threeCushion.Judge(0, 0), Outcome::Missed);
    EXPECT_EQ(threeCushion.Innings(), 20);
    EXPECT_TRUE(threeCushion.Active());
    EXPECT_EQ(threeCushion.Judge(0, 0), Outcome::InningsUsedUp);
    EXPECT_FALSE(threeCushion.Active());
    EXPECT_EQ(threeCushion.Points(), 1);
    EXPECT_DOUBLE_EQ(threeCushion.Average(), 1.0 / 20);
}

// ---- The scene -------------------------------------------------------------------------------------

struct Practice {
    std::unique_ptr<RenderDevice> device;
    std::unique_ptr<TableSceneHost> host;
    scenes::SceneRoomPractice scene;
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> sent;

    explicit Practice(int gameType = 4, std::int64_t gold = 1000) {
        device = std::make_unique<RenderDevice>(std::make_unique<platform::RecordingBackend>());
        device->SetDisplayMode(platform::DisplayMode{});
        device->ApplyDisplayMode();
        host = std::make_unique<TableSceneHost>(*device, 800, 600);
        host->session.GetRoom().gameType = static_cast<std::uint8_t>(gameType);
        host->session.own.money = gold;
        gui::NoticeBox::SetPoster(
            [this](std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t) {
                host->queue.push_back({code, a, b});
            });
        scene.SetSendTap([this](const net::Packet& p) {
            const std::uint8_t* data = p.Data();
            sent.push_back({p.GetId(), {data + 4, data + p.Size()}});
        });
    }
    ~Practice() {
        if (entered) host->Leave(scene);
        gui::NoticeBox::SetPoster(nullptr);
    }
    // The earn-gold button, then the mission's only row, as the player clicks them.
    void StartMission() { StartMissionByClicks(scene, *host); }
    void Enter() {
        entered = host->Enter(scene);
        ASSERT_TRUE(entered);
        host->Pump(scene, 50);
    }
    table::TableWorld& World() { return *scene.World(); }
    int Sent(std::uint16_t id) const {
        int n = 0;
        for (const auto& s : sent) n += s.first == id ? 1 : 0;
        return n;
    }
    // One shot at rest with the result the rules would have given.
    void ShotRests(int result) {
        World().Rules().SetShotResultCode(result, true);
        scene.OnMessage(kShotAtRest, 0, 0);
    }
    std::vector<std::string> Chat() const {
        std::vector<std::string> lines;
        for (const auto& line : scene.ChatLines()) lines.push_back(ToUtf8(line.text));
        return lines;
    }
    net::ItemEntry* Give(std::uint64_t serial, std::uint32_t item, net::ItemType type) {
        net::ItemEntry* entry = host->session.AllocItemEntry();
        entry->itemId = item;
        entry->type = static_cast<std::uint32_t>(type);
        entry->state = static_cast<std::uint8_t>(net::ItemState::Active);
        entry->usageKind = static_cast<std::uint8_t>(net::UsageKind::LimitedCount);
        entry->initialValue = entry->remainingValue = 20;
        EXPECT_TRUE(host->session.own.AddItem(serial, entry));
        return entry;
    }
    // The strip selects the entry as a click on its slot would, and posts the choice.
    void Choose(const net::ItemEntry* entry) {
        scene.ItemStrip()->Fill();
        for (int k = 0; k < scenes::hud::PlayerPanel::kSlots; ++k) {
            gui::CommandEvent click;
            click.code = gui::CommandCode::Event;
            click.id = scenes::hud::control_id::kFirstSlot + static_cast<std::uint32_t>(k);
            scene.ItemStrip()->OnCommand(click);
            if (scene.ItemStrip()->SelectedEntry() == entry) break;
        }
        ASSERT_EQ(scene.ItemStrip()->SelectedEntry(), entry);
        host->queue.clear();
        scene.OnMessage(kItemChosen, entry->type, 0);
    }
    // The cue selector picks the card of the entry, as a click does, and posts the choice.
    void ChooseCue(const net::ItemEntry* entry) {
        scenes::hud::PlayerInfoPanel& selector = *scene.CueSelector();
        selector.Fill();
        for (int k = 0; k < scenes::hud::SlidingPanel::kCards; ++k) {
            gui::CommandEvent click;
            click.code = gui::CommandCode::Event;
            click.id = scenes::hud::control_id::kFirstCueCard + static_cast<std::uint32_t>(k);
            selector.OnCommand(click);
            if (selector.SelectedCue() == entry) break;
        }
        ASSERT_EQ(selector.SelectedCue(), entry);
        host->queue.clear();
        scene.OnMessage(1084, 1, 0);
    }
    void Packet(std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        DeliverPacket(scene, id, fill);
        scene.RunQueuedWork();
    }

    bool entered = false;
};

TEST(SceneRoomPractice, EntryLendsThePracticeChalkAndGivesTheTipsAndLeavingTakesItBackByIdentity) {
    Practice t;
    net::PlayerRecord& record = t.host->session.own;
    // An entry of the record already holds serial 1: it steps aside and comes back.
    net::ItemEntry* own = t.Give(1, 4901, net::ItemType::Chalk);
    t.Enter();
    const net::ItemEntry* lent = record.FindItem(1);
    ASSERT_NE(lent, nullptr);
    EXPECT_EQ(lent, t.scene.PracticeChalk());
    EXPECT_EQ(lent->itemId, 4904u);
    EXPECT_EQ(record.location, 0xFFFE);
    EXPECT_EQ(t.World().GetPlayState(), table::PlayState::FreePractice);
    const auto lines = t.scene.ChatLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, u"You can move the ball freely in the practice room.");
    EXPECT_EQ(lines[1].text, u"Hold Ctrl and drag a ball with the left button to move it.");
    EXPECT_EQ(lines[2].argb, 0xFFFF00FFu);

    t.host->Leave(t.scene);
    t.entered = false;
    EXPECT_EQ(record.FindItem(1), own) << "the displaced entry is back";
    for (const net::ItemEntry* e : record.Items()) EXPECT_NE(e->itemId, 4904u);

    // The lobby's earn-gold request opens the rules at entry, once.
    net::LobbyRequest& request = t.host->session.lobbyRequest;
    request.flag = 1;
    request.kind = 1;
    t.Enter();
    EXPECT_TRUE(t.scene.RulesDialog()->IsVisible());
    EXPECT_EQ(request.flag, 0);
    EXPECT_EQ(request.value, -999);
}

TEST(SceneRoomPractice, TheChatBoxKeepsTwoHundredLinesAndShowsTheNewestEightFromTheBottom) {
    Practice t;
    t.Enter();
    for (int i = 0; i < 201; ++i) t.scene.AddChatLine(FromUtf8(std::to_string(i)), 0xFFFFFFFF);
    t.scene.Render(nullptr, false);
    const auto lines = t.scene.ChatLines();
    ASSERT_EQ(lines.size(), 200u);
    EXPECT_EQ(lines.front().text, u"1") << "the tips and line 0 are gone";
    EXPECT_EQ(t.scene.FirstShownLine(), 192u);
    EXPECT_EQ(t.scene.ChatRow(7)->Text(), u"200");
    EXPECT_EQ(t.scene.ChatRow(0)->Text(), u"193");

    // A server notice with an empty text is an empty red line.
    t.Packet(240, [](net::Packet& p) { p.WriteString(u""); });
    EXPECT_EQ(t.scene.ChatLines().back().text, u"");
    EXPECT_EQ(t.scene.ChatLines().back().argb, 0xFFFF0000u);
}

TEST(SceneRoomPractice,
     ReleasingRWatchesTheLastShotOnItsOwnWorldAndAnotherKeyReleasedFirstCancelsAndQCentresTheTip) {
    Practice t;
    t.Enter();
    t.World().Aim().SetTipOffset(0.3f, 0.2f);
    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    EXPECT_FALSE(t.scene.ReplayShown()) << "no shot yet";
    EXPECT_FLOAT_EQ(t.World().Aim().TipSide(), 0.3f) << "R is the replay's key, never the tip's";
    t.scene.OnMessage(platform::kWmKeyDown, table::kCentreTipKey, 0);
    EXPECT_EQ(t.World().Aim().TipSide(), 0.0f);

    table::TableWorld& world = t.World();
    world.MakeDefaultShot();
    ASSERT_TRUE(world.ExecuteShot(table::ShotMode::Local, true));
    for (int i = 0; i < 400 && world.ShotExecuting(); ++i) t.host->Pump(t.scene, 100);
    const std::uint32_t hash = world.LastShotHash();

    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyDown, 'X', 0);
    EXPECT_EQ(t.scene.HeldKey(), static_cast<std::uint32_t>('R'));
    t.scene.OnMessage(platform::kWmKeyUp, 'X', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    EXPECT_FALSE(t.scene.ReplayShown()) << "another key let go first cancels";

    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    ASSERT_TRUE(t.scene.ReplayShown());
    ASSERT_NE(t.scene.Replay()->World(), nullptr);
    table::TableWorld& replay = *t.scene.Replay()->World();
    for (int i = 0; i < 40000 && replay.ShotsAtRest() == 0; ++i) t.scene.Update(0, 0);
    EXPECT_EQ(replay.ShotsAtRest(), 1u);
    EXPECT_EQ(replay.LastShotHash(), hash) << "the replay ends where the shot ended";
    EXPECT_EQ(world.ShotsAtRest(), 1u) << "the room's own balls did not move";

    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    EXPECT_FALSE(t.scene.ReplayShown());
    EXPECT_FALSE(t.scene.Replay()->IsVisible()) << "'R' again hides the panel";
}

TEST(SceneRoomPractice, TheReplayPanelsButtonsReachTheRoomAndLeavingDropsThePanelsWorld) {
    Practice t;
    t.Enter();
    table::TableWorld& world = t.World();
    world.MakeDefaultShot();
    ASSERT_TRUE(world.ExecuteShot(table::ShotMode::Local, true));
    for (int i = 0; i < 400 && world.ShotExecuting(); ++i) t.host->Pump(t.scene, 100);
    const std::uint32_t hash = world.LastShotHash();
    scenes::hud::ReplayControlPanel& panel = *t.scene.Replay();
    const auto press = [&](std::uint32_t id) {
        gui::CommandEvent e;
        e.id = id;
        EXPECT_TRUE(panel.OnCommand(e));
        t.host->Pump(t.scene, 1);
    };

    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    ASSERT_TRUE(panel.IsVisible());
    table::TableWorld& replay = *panel.World();
    for (int i = 0; i < 40000 && replay.ShotsAtRest() == 0; ++i) t.scene.Update(0, 0);
    // "Replay last shot" asks the room, which hands the same shot over again.
    press(scenes::hud::ReplayControlPanel::kLastShotId);
    for (int i = 0; i < 40000 && replay.ShotsAtRest() < 2; ++i) t.scene.Update(0, 0);
    EXPECT_EQ(replay.ShotsAtRest(), 2u);
    EXPECT_EQ(replay.LastShotHash(), hash);

    // The close button: the room stops driving the panel and 'R' opens it again at once.
    press(scenes::hud::ReplayControlPanel::kCloseId);
    EXPECT_FALSE(t.scene.ReplayShown());
    EXPECT_FALSE(panel.IsVisible());
    t.scene.OnMessage(platform::kWmKeyDown, 'R', 0);
    t.scene.OnMessage(platform::kWmKeyUp, 'R', 0);
    EXPECT_TRUE(t.scene.ReplayShown()) << "the close button left the toggle out of step";

    t.host->Leave(t.scene);
    t.entered = false;
    EXPECT_EQ(panel.World(), nullptr);
    EXPECT_FALSE(panel.IsVisible());
    t.Enter();
    EXPECT_NE(panel.World(), nullptr) << "a new visit builds the panel's world again";
}

TEST(SceneRoomPractice, APocketMissionCallsTheRackOnlyAfterTheStartCallHasEnded) {
    Practice t(10);
    t.Enter();
    QueuedSounds sounds({{24, 300}, {27, 100}});
    t.StartMission();
    EXPECT_EQ(sounds.played, std::vector<int>{24}) << "the rack's call sounded over the start";
    sounds.Pass(250);
    EXPECT_EQ(sounds.played, std::vector<int>{24});
    sounds.Pass(100);
    EXPECT_EQ(sounds.played, (std::vector<int>{24, 27}));
}

TEST(SceneRoomPractice, TheMissionJudgesTheShotAfterTheReRackAndReportsOnceWhenTheTargetIsReached) {
    Practice t(10);
    t.Enter();
    t.StartMission();
    ASSERT_TRUE(t.scene.Mission().Active());
    EXPECT_EQ(t.World().GetPlayState(), table::PlayState::NewRack);
    // A pocket game's mission breaks with the cue ball in hand, and says so.
    EXPECT_EQ(t.World().ballInHandMode, 1);
    EXPECT_EQ(t.World().PlacedBall(), t.World().CurrentBall()) << "the hand holds no ball, or another";
    EXPECT_EQ(t.World().CurrentBall(), 0);
    EXPECT_EQ(t.Chat().back(), ToUtf8(scenes::SceneRoomPractice::kFreeBallLine));
    EXPECT_FALSE(t.scene.EarnGoldButton()->IsVisible());
    EXPECT_TRUE(t.scene.StatusPanel()->IsVisible());
    // Each shot clears the table: the re-rack on rest must not erase what the shot scored.
    table::TableRules& rules = t.World().Rules();
    for (int shot = 1; shot <= 5; ++shot) {
        for (std::size_t i = 1; i < t.World().BallCount(); ++i) rules.GetBall(i).outOfPlay = 1;
        rules.SetShotResultCode(5, true);
        rules.SetFirstBallList({1, 2, 3});
        t.scene.OnMessage(kShotAtRest, 0, 0);
        EXPECT_FALSE(t.World().BallOutOfPlay(1)) << "racked again";
        EXPECT_EQ(t.scene.Mission().Points(), std::min(3 * shot, 15)) << shot;
    }
    ASSERT_EQ(t.Sent(1149), 1);
    EXPECT_EQ(t.sent.back().second, (std::vector<std::uint8_t>{10, 1, 15, 0}));
    EXPECT_EQ(t.Chat().back(), "Success !!") << "the target ends the mission without the finish line";
    EXPECT_FALSE(t.scene.Mission().Active());
    EXPECT_TRUE(t.scene.EarnGoldButton()->IsVisible());
    EXPECT_FALSE(t.scene.StatusPanel()->IsVisible());
}

TEST(SceneRoomPractice, AMissInTheTwentiethInningReportsThePointsSoFarAndGivingUpReportsNothing) {
    Practice t(4);
    t.Enter();
    t.StartMission();
    EXPECT_EQ(t.World().ballInHandMode, 0) << "a carom mission breaks from the cue ball's spot";
    t.ShotRests(4);
    for (int i = 0; i < 19; ++i) t.ShotRests(0);
    EXPECT_EQ(t.scene.Mission().Innings(), 20);
    EXPECT_EQ(t.Sent(1149), 0);
    t.ShotRests(0);
    ASSERT_EQ(t.Sent(1149), 1);
    EXPECT_EQ(t.sent.back().second, (std::vector<std::uint8_t>{4, 1, 1, 0}));
    EXPECT_TRUE(t.scene.InProgress()->IsVisible());
    EXPECT_EQ(t.Chat().back(), "Finish... Wait for rewards.");
    EXPECT_EQ(t.World().GetPlayState(), table::PlayState::FreePractice);

    // The reward closes the wait and pays.
    t.Packet(1150, [](net::Packet& p) { p.WriteU32(1000).WriteU64(2000).WriteU8(1); });
    EXPECT_FALSE(t.scene.InProgress()->IsVisible());
    EXPECT_EQ(t.host->session.own.money, 2000);
    EXPECT_EQ(t.host->session.own.dailyCounter, 1);

    t.host->session.own.dailyCounter = 0;  // the next day
    t.StartMission();
    t.ShotRests(4);
    t.scene.OnMessage(1036, 0, 0);
    EXPECT_FALSE(t.scene.Mission().Active());
    EXPECT_TRUE(t.scene.EarnGoldButton()->IsVisible());
    for (int i = 0; i < 25; ++i) t.ShotRests(0);
    EXPECT_EQ(t.Sent(1149), 1) << "a mission given up reports nothing";
}

TEST(SceneRoomPractice, EffectItemsSwitchOnAndOffAndAChalkAlreadyOnTheTipChangesNothing) {
    Practice t;
    net::ItemEntry* booster = t.Give(500, 4511, net::ItemType::Effect);
    net::ItemEntry* chalk = t.Give(501, 4901, net::ItemType::Chalk);
    t.Enter();
    t.Choose(booster);
    t.Choose(booster);
    const auto chat = t.Chat();
    ASSERT_GE(chat.size(), 5u);
    EXPECT_EQ(chat[3], "Use item : Power booster");
    EXPECT_EQ(chat[4], "Power booster : Canceled");
    EXPECT_EQ(t.host->session.GetItemEffectFlag(1), 0);

    t.Choose(chalk);
    EXPECT_EQ(t.Chat().back(), "Chalk is changed to Blue chalk");
    const std::size_t before = t.Chat().size();
    t.Choose(chalk);
    EXPECT_EQ(t.Chat().size(), before) << "the chalk already on the tip";
}

TEST(SceneRoomPractice, AnActivationAnswerForAnUnknownSerialChangesNothingAndACueAnswerSwitchesTheCue) {
    Practice t;
    net::ItemEntry* cue = t.Give(600, 3001, net::ItemType::Cue);
    cue->state = static_cast<std::uint8_t>(net::ItemState::Inactive);
    cue->usageKind = static_cast<std::uint8_t>(net::UsageKind::LimitedTime);
    t.Enter();
    // No selection yet: the confirmation does nothing.
    t.scene.OnMessage(kActivateConfirmed, 2052, 6);
    EXPECT_EQ(t.Sent(512), 0);

    auto answer = [](std::uint64_t serial) {
        return [serial](net::Packet& p) {
            p.WriteU8(0).WriteU64(serial).WriteU32(3001).WriteU8(1).WriteU8(0).WriteString(u"2026-12-31");
        };
    };
    t.Packet(513, answer(999));
    EXPECT_EQ(cue->state, static_cast<std::uint8_t>(net::ItemState::Inactive));
    EXPECT_EQ(t.Sent(517), 0);
    t.Packet(513, [](net::Packet& p) { p.WriteU8(0).WriteU64(600); });  // cut short
    EXPECT_EQ(cue->state, static_cast<std::uint8_t>(net::ItemState::Inactive));

    t.Packet(513, answer(600));
    EXPECT_EQ(cue->state, static_cast<std::uint8_t>(net::ItemState::Active));
    EXPECT_EQ(cue->expiry, u"2026-12-31");
    EXPECT_EQ(t.scene.CurrentCue(), cue);
    ASSERT_EQ(t.Sent(517), 1);
    EXPECT_EQ(t.sent.back().second,
              (std::vector<std::uint8_t>{0xB9, 0x0B, 0, 0, 1, 0x58, 2, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(t.host->session.own.equipment[4].cueSerial, 600u);
    EXPECT_EQ(t.Chat().back(), "Cue is changed to Beginner cue");
}

TEST(SceneRoomPractice, APlainCueAboveTheOwnLevelIsRefusedAPersonalOneNeverAndTheCueInUseChangesNothing) {
    Practice t;
    t.host->session.own.level = 1;
    net::ItemEntry* club = t.Give(610, 3003, net::ItemType::Cue);  // level 5
    net::ItemEntry* personal = t.Give(611, 3003, net::ItemType::Cue);
    personal->personal = 1;
    personal->cueName = u"My own cue";
    t.Enter();
    const std::size_t before = t.Chat().size();
    t.ChooseCue(club);
    EXPECT_NE(t.scene.CurrentCue(), club);
    EXPECT_EQ(t.Chat().size(), before) << "refused before anything changes";

    t.ChooseCue(personal);
    EXPECT_EQ(t.scene.CurrentCue(), personal);
    EXPECT_EQ(t.Chat().back(), "Cue is chaned to My own cue.");
    t.ChooseCue(personal);
    EXPECT_EQ(t.Chat().size(), before + 1) << "the cue in use again adds nothing";
    EXPECT_EQ(t.World().CueObjectCount(), 1u) << "the cue objects replaced are released";
}

}  // namespace

// The free table's guide lists its keys; the mission's, shown while it runs, leaves out the keys that
// do nothing on a game's table, and the free table's guide comes back with the free table.
TEST(PracticeRoomScene, TheKeyGuideListsTheBallsBackKeyOfTheFreeTableAndTheReplayKey) {
    Practice p;
    p.Enter();
    gui::ImageWidget* free = p.scene.KeyGuide();
    ASSERT_TRUE(free->IsVisible());
    for (const char16_t* line : {u"U: balls back", u"Ctrl+left drag: move a ball", u"C: chalk, R: replay",
                                 u"W A S D: tip, Q: centre"})
        EXPECT_NE(FindLabel(*free, line), nullptr) << ToUtf8(line);
    p.StartMission();
    gui::ImageWidget* mission = p.scene.KeyGuide();
    ASSERT_TRUE(mission->IsVisible() && !free->IsVisible());
    EXPECT_EQ(FindLabel(*mission, u"U: balls back"), nullptr);
    EXPECT_EQ(FindLabel(*mission, u"Ctrl+left drag: move a ball"), nullptr);
    EXPECT_NE(FindLabel(*mission, u"C: chalk, R: replay"), nullptr);
    p.scene.OnMessage(platform::kWmKeyUp, platform::kVkF1 + 1, 0);
    EXPECT_FALSE(mission->IsVisible()) << "F2 hides the guide in force";
    p.scene.OnMessage(platform::kWmKeyUp, platform::kVkF1 + 1, 0);
    p.scene.OnMessage(1036, 0, 0);  // given up
    EXPECT_TRUE(free->IsVisible() && !mission->IsVisible());
}
