// The game room's HUD widgets without a window: the countdown's warning window, the clocks and the
// score board, the in-game menu, the result list and group notice, the team and ready panel and
// the player list with its menu of actions.
#include <gtest/gtest.h>

#include <vector>

#include "gui/Button.h"
#include "gui/ImageWidget.h"
#include "gui/NumberDisplay.h"
#include "gui/TextLabel.h"
#include "net/GameRoom.h"
#include "net/Packet.h"
#include "net/RoomInfo.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/hud/GameHud.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/RoomWidgetCodes.h"
#include "scenes/room/hud/StartReadyButton.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/WidgetTree.h"

namespace {

using namespace scenes::hud;

gui::CommandEvent Event(std::uint32_t id, gui::CommandCode code = gui::CommandCode::Event) {
    gui::CommandEvent e;
    e.id = id;
    e.code = code;
    return e;
}

WString Clock(const gui::NumberDisplay* minutes, const gui::NumberDisplay* seconds) {
    return minutes->Digits() + u":" + seconds->Digits();
}

std::vector<PostedMessage> PostedOf(const FakeSceneHost& host, std::uint32_t code) {
    std::vector<PostedMessage> out;
    for (const PostedMessage& m : host.posted)
        if (m.code == code) out.push_back(m);
    return out;
}

}  // namespace

TEST(RoomHud, CountdownTicksOncePerSecondOnlyFromNineToOneAndFlashesTwiceEveryOneAndAHalfSeconds) {
    TurnCountdown countdown;
    countdown.Create(0, 0);
    countdown.SetLimit(30);
    int sounds = 0;
    countdown.playSound = [&](int id) {
        EXPECT_EQ(id, room_sound::kCountdownTick);
        ++sounds;
    };
    std::vector<int> heard;
    for (int elapsed = 0; elapsed <= 32; ++elapsed)
        for (int frame = 0; frame < 3; ++frame) {  // every frame, several per second
            const int before = sounds;
            countdown.Update(elapsed);
            if (sounds != before) heard.push_back(countdown.Left());
            EXPECT_EQ(countdown.Warning()->IsVisible(), countdown.Left() < 10) << "elapsed " << elapsed;
        }
    EXPECT_EQ(heard, (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1})) << "no tick at 10 or at 0";
    EXPECT_EQ(countdown.Left(), 0) << "the time past the limit shows 0";
    EXPECT_EQ(countdown.Seconds()->Value(), 0);

    // The blink acts on every fourth tick: opaque in [0, 200) and [400, 600) of each 1.5 s.
    struct Case {
        std::uint64_t ms;
        float alpha;
    };
    for (const Case c :
         {Case{1500 + 100, 1.0f}, {1500 + 300, 0.0f}, {3000 + 450, 1.0f}, {3000 + 700, 0.0f}}) {
        for (int i = 0; i < 4; ++i) countdown.Tick(c.ms);
        EXPECT_EQ(countdown.Warning()->Alpha(), c.alpha) << c.ms;
    }
    countdown.SetLimit(30);
    countdown.Update(0);
    for (int i = 0; i < 4; ++i) countdown.Tick(1500 + 100);
    EXPECT_EQ(countdown.Warning()->Alpha(), 0.0f) << "no flash while ten seconds or more are left";
    EXPECT_FALSE(countdown.Warning()->IsVisible());
}

TEST(RoomHud, ScoreBoardCountsFifteenMinutesDownAndNeverShowsTimeOutsideTheGame) {
    ScoreBoard board;
    board.Create(0, 0);
    struct Case {
        std::int64_t ms;
        const char16_t* shown;
        bool colon;
    };
    for (const Case c : {Case{0, u"15:00", true},
                         {61700, u"13:58", false},
                         {899999, u"0:00", false},
                         {900001, u"0:00", true},
                         {-5, u"0:00", false},
                         {3600000 + 250, u"0:00", true}}) {
        board.SetTime(c.ms);
        EXPECT_EQ(Clock(board.Minutes(), board.Seconds()), c.shown) << c.ms;
        EXPECT_EQ(board.Colon()->IsVisible(), c.colon) << c.ms;
    }
    board.SetScore(0, 5);
    EXPECT_EQ(board.Average()->Text(), u"0.0") << "no division by zero innings";
    EXPECT_EQ(board.Points()->Text(), u"5 pts");
    board.SetScore(4, 10);
    EXPECT_EQ(board.Average()->Text(), u"2.5");
    EXPECT_EQ(board.Innings()->Text(), u"4");

    GameClock clock;
    clock.Create(0, 0);
    clock.SetTime(3600000 + 2 * 60000 + 700);
    EXPECT_EQ(clock.Hours()->Digits(), u"1");
    EXPECT_EQ(clock.Minutes()->Digits(), u"02");
    EXPECT_FALSE(clock.Colon()->IsVisible());
}

TEST(RoomHud, InGameMenuPostsEachItemsMessageAfterClosingAndItsHotKeysWork) {
    FakeSceneHost host;
    InGameMenu menu(&host);
    menu.Create(0, 0);
    struct Case {
        int item;
        std::uint32_t posted;  // 0: none
        bool notice;
    };
    for (const Case c : {Case{0, room_message::kHelp, false},
                         {1, 0, true},
                         {2, room_message::kWithdraw, false},
                         {3, room_message::kSettings, false},
                         {4, 0, false}}) {
        host.posted.clear();
        host.notices.clear();
        menu.Show(true);
        menu.Item(c.item)->Click();
        EXPECT_FALSE(menu.IsVisible()) << c.item;
        ASSERT_EQ(host.posted.size(), c.posted ? 1u : 0u) << c.item;
        if (c.posted) {
            EXPECT_EQ(host.posted[0].code, c.posted);
        }
        EXPECT_EQ(host.notices.size(), c.notice ? 1u : 0u) << c.item;
    }
    host.posted.clear();
    menu.Show(true);
    menu.RouteMessage(platform::kWmKeyDown, room_key::kF3, 0);
    ASSERT_EQ(host.posted.size(), 1u);
    EXPECT_EQ(host.posted[0].code, room_message::kSettings);
    menu.Show(true);
    menu.RouteMessage(platform::kWmKeyDown, room_key::kEscape, 0);
    EXPECT_FALSE(menu.IsVisible());
    EXPECT_EQ(host.posted.size(), 1u) << "Escape only closes";

    OneHourLimitNotice notice(&host);
    notice.Create();
    notice.Show(true);
    notice.RouteMessage(platform::kWmKeyDown, room_key::kReturn, 0);
    EXPECT_FALSE(notice.IsVisible());
    EXPECT_EQ(host.posted.back().code, room_message::kHourLimitSeen);
}

TEST(RoomHud, FloatingGainWritesThePlusOnlyWhereAskedRisesFadesAndHides) {
    FloatingGain plus(true, true), plain(false, false);
    plus.Create(0, 0);
    plain.Create(0, 0);
    plus.Show(12500, u"Gold", 300, 200, 0xFF00FF00);
    plain.Show(12500, u"Gold", 300, 200, 0xFF00FF00);
    EXPECT_EQ(plus.Label()->Text(), u"+12,500 Gold");
    EXPECT_EQ(plain.Label()->Text(), u"12,500 Gold");
    plus.Show(-300, u"Gold", 300, 200, 0xFFFF0000);
    EXPECT_EQ(plus.Label()->Text(), u"-300 Gold");
    EXPECT_EQ(plus.Label()->Colour(), 0xFFFF0000u);
    int ticks = 0;
    while (plus.IsVisible() && ticks < 1000) {
        plus.TickTree(static_cast<std::uint64_t>(ticks));
        ++ticks;
        if (ticks == 10) {
            EXPECT_EQ(plus.Y(), 200 - 6) << "rises 0.6 a tick from where it was shown";
            EXPECT_NEAR(plus.Alpha(), 0.94f, 1e-4);
        }
    }
    // 84 ticks to half, then twice as fast: about 125 ticks in all.
    EXPECT_GT(ticks, 115);
    EXPECT_LT(ticks, 135);
}

TEST(RoomHud, ResultListShowsTheLayoutsRowsAndWritesResultsPointsMoneyAndLevel) {
    GameResultList list;
    list.Create();
    EXPECT_FALSE(list.IsVisible());
    list.SetLayout(2, 1);
    for (int i = 0; i < GameResultList::kRows; ++i) EXPECT_EQ(list.RowShown(i), i < 2) << i;
    list.SetLayout(4, 2);
    for (int i = 0; i < GameResultList::kRows; ++i) EXPECT_TRUE(list.RowShown(i)) << i;

    struct Case {
        int team, member, code, points;
        std::int64_t money;
        int level;
        const char16_t *result, *pointsText, *moneyText;
        int iconX;
    };
    for (const Case c : {Case{0, 0, 1, 12, 12500, 95, u"WIN", u"+12", u"+12,500", 21 * 32},
                         {0, 1, 2, 0, 0, 5, u"Loss", u"0", u"0", 30 * 32},
                         {1, 0, 5, -3, -2000, 400, u"Allin", u"-3", u"-2,000", 0},
                         {3, 1, 7, 1, 1, 0, u"Invalid", u"+1", u"+1", 30 * 32}}) {
        list.SetRow(c.team, c.member, u"Name", c.code, c.points, c.money, c.level);
        const GameResultList::Row& row = list.RowAt(c.team * 2 + c.member);
        EXPECT_EQ(row.result->Text(), c.result);
        EXPECT_EQ(row.points->Text(), c.pointsText);
        EXPECT_EQ(row.money->Text(), c.moneyText);
        EXPECT_EQ(row.level->Image().x, c.iconX) << "level " << c.level;
        EXPECT_EQ(row.level->Image().y, 883);
        EXPECT_TRUE(row.money->IsVisible());
    }
    list.SetRow(2, 0, u"Still", 0, 5, 5, 5);
    EXPECT_EQ(list.RowAt(4).result->Text(), u"Playing");
    EXPECT_FALSE(list.RowAt(4).points->IsVisible());
    EXPECT_FALSE(list.RowAt(4).money->IsVisible());

    // Rows the layout does not hold are left alone (and never written past the list).
    list.SetLayout(2, 1);
    list.SetRow(0, 1, u"Intruder", 1, 1, 1, 1);
    list.SetRow(5, 0, u"Intruder", 1, 1, 1, 1);
    list.SetRow(-1, 0, u"Intruder", 1, 1, 1, 1);
    for (int i = 0; i < GameResultList::kRows; ++i) EXPECT_NE(list.RowAt(i).name->Text(), u"Intruder") << i;

    list.SetFeeRate(5);
    EXPECT_EQ(list.FeeLabel()->Text(), u"5% of earn money is payed for game fee.");
    EXPECT_TRUE(list.FeeLabel()->IsVisible());
    list.SetFeeRate(0);
    EXPECT_FALSE(list.FeeLabel()->IsVisible());
    list.Show(true);
    list.RouteMessage(platform::kWmKeyDown, room_key::kEscape, 0);
    EXPECT_FALSE(list.IsVisible());
}

// The game's end hands the HUD one row per member; the list puts each under its team, in order,
// with the seat's name and level, however the teams' slots are numbered.
TEST(RoomHud, AGameResultFillsTheListTeamByTeamWithTheSeatsNamesAndShowsIt) {
    GameResultList list;
    list.Create();
    GameHud hud(nullptr, nullptr, nullptr, nullptr);
    hud.SetResultList(&list, [](int seat, WString& name, int& level) {
        if (seat == 5) return false;
        name = seat == 0 ? u"Alice" : seat == 1 ? u"Bob" : u"Carol";
        level = 10 * (seat + 1);
        return true;
    });
    auto row = [](int seat, std::uint8_t slot, std::uint8_t result, std::uint32_t points,
                  std::int64_t money) {
        scenes::RoomResultRow r;
        r.seat = seat;
        r.teamSlot = slot;
        r.teamResult = result;
        r.first = points;
        r.money = money;
        return r;
    };
    hud.ShowGameResult(
        9, {row(1, 3, 2, static_cast<std::uint32_t>(-4), -1500), row(0, 1, 1, 7, 3000), row(2, 1, 1, 2, 0)});
    EXPECT_TRUE(list.IsVisible());
    EXPECT_EQ(list.TeamCount(), 2);
    EXPECT_EQ(list.MembersPerTeam(), 2);
    EXPECT_EQ(list.RowAt(0).name->Text(), u"Bob");
    EXPECT_EQ(list.RowAt(0).result->Text(), u"Loss");
    EXPECT_EQ(list.RowAt(0).points->Text(), u"-4") << "points come unsigned and mean a signed count";
    EXPECT_EQ(list.RowAt(0).money->Text(), u"-1,500");
    EXPECT_EQ(list.RowAt(1).name->Text(), u"") << "the first team has one member";
    EXPECT_EQ(list.RowAt(2).name->Text(), u"Alice");
    EXPECT_EQ(list.RowAt(2).points->Text(), u"+7");
    EXPECT_EQ(list.RowAt(3).name->Text(), u"Carol");
    EXPECT_EQ(list.RowAt(3).level->Image().x, (30 - 3) * 32);

    list.Show(false);
    hud.ShowGameResult(0, {});
    EXPECT_FALSE(list.IsVisible()) << "no rows, no list";
}

TEST(RoomHud, GroupNoticeTakesOnlyItsFourNamesStaysTwoSecondsAndFadesOutInTheThird) {
    GroupNotice notice;
    notice.Create(0, 0);
    notice.SetName(0, 0, u"Ann");
    notice.SetName(1, 1, u"Bob");
    notice.SetName(2, 0, u"Bad group");
    notice.SetName(0, 2, u"Bad slot");
    notice.SetName(-1, 0, u"Bad group");
    EXPECT_EQ(notice.Name(0, 0), u"Ann");
    EXPECT_EQ(notice.Name(1, 1), u"Bob");
    EXPECT_EQ(notice.Name(0, 1), u"");
    EXPECT_EQ(notice.Name(1, 0), u"");
    notice.ShowAt(10000);
    notice.Tick(12000);
    EXPECT_EQ(notice.Alpha(), 1.0f);
    notice.Tick(12500);
    EXPECT_NEAR(notice.Alpha(), 0.5f, 1e-4);
    EXPECT_TRUE(notice.IsVisible());
    notice.Tick(13001);
    EXPECT_FALSE(notice.IsVisible());
    notice.Clear();
    EXPECT_EQ(notice.Name(0, 0), u"");
}

namespace {

struct Panel {
    FakeSceneHost host;
    net::RoomInfo room;
    StartReadyButton panel{&host};
    Panel() {
        panel.roomSource = [this] { return room; };
        panel.Create(0, 0);
        panel.Show(true);
        panel.Refresh(true);
        panel.SetTeam(0);
        host.posted.clear();
    }
    void Click(int index) { panel.TeamButton(index)->Click(); }
    std::vector<int> Checked() const {
        std::vector<int> out;
        for (int i = 0; i < StartReadyButton::kTeamCount; ++i)
            if (panel.TeamButton(i)->IsChecked()) out.push_back(i);
        return out;
    }
};

}  // namespace

TEST(RoomHud, ATeamIsRefusedWhenTheGoldIsShortAndReadyLocksTheTeamUntilReleased) {
    Panel p;
    p.room.moneyClass = 1;  // 500 to play
    p.host.session->own.money = 120;
    p.Click(2);
    ASSERT_EQ(PostedOf(p.host, room_message::kGoldShort).size(), 1u);
    EXPECT_EQ(PostedOf(p.host, room_message::kGoldShort)[0].a, 380u);
    EXPECT_TRUE(PostedOf(p.host, room_message::kTeamChosen).empty());
    EXPECT_EQ(p.Checked(), std::vector<int>{0}) << "still watching";
    EXPECT_EQ(p.panel.SelectedTeam(), 0);
    EXPECT_FALSE(p.panel.ReadyButton()->IsEnabled());

    p.host.session->own.money = 5000;
    p.host.posted.clear();
    p.Click(3);
    ASSERT_EQ(PostedOf(p.host, room_message::kTeamChosen).size(), 1u);
    EXPECT_EQ(PostedOf(p.host, room_message::kTeamChosen)[0].a, 3u);
    EXPECT_EQ(p.Checked(), std::vector<int>{3});
    EXPECT_TRUE(p.panel.ReadyButton()->IsEnabled());
    EXPECT_TRUE(p.panel.Highlight()->IsVisible()) << "the player still has to declare ready";

    p.host.posted.clear();
    p.Click(3);
    EXPECT_TRUE(p.host.posted.empty()) << "the team already chosen posts nothing";

    // A click on the ready button reaches it through the blinking highlight over it.
    const std::intptr_t at =
        platform::MakeLParam(p.panel.ReadyButton()->ScreenX() + 2, p.panel.ReadyButton()->ScreenY() + 30);
    p.panel.RouteMessage(platform::kWmMouseMove, 0, at);
    p.panel.RouteMessage(platform::kWmLButtonDown, 1, at);
    p.panel.RouteMessage(platform::kWmLButtonUp, 0, at);
    ASSERT_EQ(p.host.posted.size(), 1u);
    EXPECT_EQ(p.host.posted[0].code, room_message::kReadyToggled);
    EXPECT_EQ(p.host.posted[0].a, 1u);
    for (int i = 0; i < StartReadyButton::kTeamCount; ++i)
        EXPECT_EQ(p.panel.TeamButton(i)->IsEnabled(), i == 3) << "the team is locked while ready: " << i;
    EXPECT_FALSE(p.panel.Highlight()->IsVisible());
    p.panel.RouteMessage(platform::kWmKeyDown, room_key::kF5, 0);
    ASSERT_EQ(p.host.posted.size(), 2u) << "F5 toggles it back";
    EXPECT_EQ(p.host.posted.back().a, 0u);
    for (int i = 0; i < StartReadyButton::kTeamCount; ++i)
        EXPECT_TRUE(p.panel.TeamButton(i)->IsEnabled()) << i;

    // An id past the seven buttons is taken without effect.
    p.host.posted.clear();
    EXPECT_TRUE(p.panel.OnCommand(Event(room_control::kLastTeamId)));
    EXPECT_TRUE(p.host.posted.empty());
    EXPECT_EQ(p.panel.SelectedTeam(), 3);
}

TEST(RoomHud, TheMasterGetsTheStartButtonAndF5StartsOnlyWhileItIsEnabled) {
    Panel p;
    p.panel.SetOwnMaster(true);
    p.panel.Refresh(false);
    EXPECT_TRUE(p.panel.StartButton()->IsVisible());
    EXPECT_FALSE(p.panel.ReadyButton()->IsVisible());
    EXPECT_FALSE(p.panel.StartButton()->IsEnabled()) << "greyed until the room can start";
    for (const bool enabled : {false, true}) {
        p.host.posted.clear();
        p.panel.SetStartEnabled(enabled);
        EXPECT_EQ(p.panel.StartButton()->IsEnabled(), enabled);
        EXPECT_EQ(p.panel.Highlight()->IsVisible(), enabled);
        p.panel.RouteMessage(platform::kWmKeyDown, room_key::kF5, 0);
        ASSERT_EQ(p.host.posted.size(), enabled ? 1u : 0u);
        if (!enabled) continue;
        EXPECT_EQ(p.host.posted[0].code, room_message::kStartClicked);
        EXPECT_EQ(p.host.posted[0].a, 1u);
    }

    p.panel.EnterGame();
    EXPECT_FALSE(p.panel.IsVisible());
    EXPECT_TRUE(p.panel.InGame());
    p.panel.LeaveGame();
    EXPECT_FALSE(p.panel.StartButton()->IsEnabled());
    EXPECT_FALSE(p.panel.Highlight()->IsVisible());
    p.panel.Resize(1024, 768);
    EXPECT_EQ(p.panel.X(), 654);
    EXPECT_EQ(p.panel.Y(), 688);
}

namespace {

// A room of players in teams, as the room's seats hold them.
struct ListedRoom {
    FakeSceneHost host;
    net::RoomInfo info;
    net::GameRoom game;
    std::array<net::PlayerRecord, 8> records{};
    PlayerMenu list{&host};
    std::vector<std::pair<int, std::uint64_t>> questions;  // kind, player
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> sent;

    ListedRoom(int gameType, std::initializer_list<int> slots, int perTeam) {
        info.gameType = static_cast<std::uint8_t>(gameType);
        game.SetOptions(static_cast<std::uint8_t>(gameType), static_cast<std::uint8_t>(perTeam));
        int seat = 0;
        for (int slot : slots) {
            net::PlayerRecord& r = records[static_cast<std::size_t>(seat)];
            r.playerId = 1000 + static_cast<std::uint64_t>(seat);
            r.nickname = Format(u"P%d", seat);
            r.level = static_cast<std::uint16_t>(seat);
            game.AddPlayer(seat, &r);
            game.SetTeamSlot(seat, slot);
            ++seat;
        }
        host.session->own.playerId = 1000;  // seat 0 is the local player
        list.send = [this](std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
            net::Packet p;
            p.Init(id);
            fill(p);
            sent.push_back({id, std::vector<std::uint8_t>(p.Data() + 4, p.Data() + p.Size())});
        };
        list.askQuestion = [this](const net::PlayerRecord& r, int kind) {
            questions.push_back({kind, r.playerId});
        };
        list.Create(0, 0);
        list.Attach(&info, &game);
        list.Refresh(game);
    }
    void ClickRow(int row) { list.RowAt(row).button->Click(); }
    void Choose(int item) { list.MenuItem(item)->Click(); }
};

}  // namespace

TEST(RoomHud, PlayerListGroupsByTeamWritesTheLineUpAndTheGameTypesScore) {
    ListedRoom room(4, {1, 1, 2, 3, 0}, 2);
    EXPECT_EQ(room.list.RowCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_TRUE(room.list.RowAt(i).button->IsVisible()) << i;
    EXPECT_FALSE(room.list.RowAt(5).button->IsVisible());
    EXPECT_EQ(room.list.RowRecord(4), &room.records[4]) << "the watcher comes last";
    EXPECT_EQ(room.list.RowAt(4).name->Colour(), 0xFFB0B0B0u);
    EXPECT_EQ(room.list.MatchLabel()->Text(), u"2:1:1 Match not avail");
    EXPECT_TRUE(room.list.MatchLabel()->IsVisible());
    EXPECT_EQ(room.list.RowAt(1).name->Text(), u"P1(1)");
    EXPECT_EQ(room.list.RowAt(0).levelIcon->Image().x, 0) << "level 0 takes the first cell, not cell -1";
    EXPECT_EQ(room.list.X(), 1024 - 160);
    EXPECT_EQ(room.list.Y(), 768 - 47 * 5 - 168);

    // Three-cushion: the general average before a game, what is left of the goal during it.
    room.records[0].generalAverage = 123;
    room.list.Refresh(room.game);
    EXPECT_EQ(room.list.RowAt(0).score->Text(), u"GA:1.23");
    room.game.teams[0].goal = 250;
    room.game.teams[0].score = 70;
    room.list.OnGameStart();
    room.list.Refresh(room.game);
    EXPECT_EQ(room.list.RowAt(0).score->Text(), u"(18/25)");
    EXPECT_FALSE(room.list.MatchLabel()->IsVisible());
    EXPECT_EQ(room.list.Y(), 768 - 47 * 5 - 168 + 80);

    // A warned player's name turns from white to red as the warning grows.
    room.records[2].warningPercent = 100;
    room.list.Refresh(room.game);
    EXPECT_EQ(room.list.RowAt(2).name->Colour(), 0xFF000000u);
    EXPECT_EQ(room.list.RowAt(2).name->SecondColour(), 0xFFFF0000u);

    // The crown stands on the master's row, and on none while his seat is empty (he left, the room closes).
    for (const net::PlayerRecord* master : {&room.records[1], static_cast<net::PlayerRecord*>(nullptr)}) {
        room.list.SetRoomMaster(master, false);
        room.list.Refresh(room.game);
        EXPECT_EQ(room.list.Crown()->IsVisible(), master != nullptr);
    }

    ListedRoom even(0, {1, 2}, 1);
    EXPECT_EQ(even.list.MatchLabel()->Text(), u"1:1 Match avail");
    even.records[1].handicap[0] = 30;
    even.list.Refresh(even.game);
    EXPECT_EQ(even.list.RowAt(1).score->Text(), u"(  0/ 30)");
}

TEST(RoomHud, EightBallListShowsNoGroupOnTheOpenTableAndEachTeamsGroupOnceDecided) {
    ListedRoom room(10, {1, 2}, 1);
    room.records[1].game.ready = 1;
    room.list.Refresh(room.game);
    EXPECT_TRUE(room.list.RowAt(1).ready->IsVisible());
    room.game.BeginGame(0);
    room.list.OnGameStart();
    room.list.Refresh(room.game);
    EXPECT_FALSE(room.list.RowAt(1).ready->IsVisible()) << "no ready mark stays up through the game";
    EXPECT_EQ(room.list.RowAt(0).status->Text(), u" ") << "the break is not a group";
    EXPECT_EQ(room.list.RowAt(1).status->Text(), u" ");
    const int first = room.game.TeamIndexOfSeat(0), second = room.game.TeamIndexOfSeat(1);
    room.game.teams[static_cast<std::size_t>(first)].SetStatus(
        static_cast<std::uint8_t>(net::TeamStatus::Stripes));
    room.game.teams[static_cast<std::size_t>(second)].SetStatus(
        static_cast<std::uint8_t>(net::TeamStatus::Solids));
    room.list.Refresh(room.game);
    EXPECT_EQ(room.list.RowAt(0).status->Text(), u"STRIPE");
    EXPECT_EQ(room.list.RowAt(1).status->Text(), u"SOLID");
    room.game.teams[static_cast<std::size_t>(second)].SetStatus(
        static_cast<std::uint8_t>(net::TeamStatus::EightBall));
    room.game.teams[static_cast<std::size_t>(first)].SetStatus(9);
    room.list.Refresh(room.game);
    EXPECT_EQ(room.list.RowAt(1).status->Text(), u"8-BALL");
    EXPECT_EQ(room.list.RowAt(0).status->Text(), u"?");
}

TEST(RoomHud, PlayerMenuActsOnTheClickedPlayerAndRefusesWhatTheLocalPlayerMayNotDo) {
    ListedRoom room(0, {1, 2, 0}, 1);
    net::GameSession& session = *room.host.session;

    EXPECT_FALSE(room.list.Menu()->IsVisible()) << "the menu waits for a click on a row";
    // The own row: only "View Info" and "Report bad"; the own profile needs no message and shows the
    // own record at once, as "My Info" does.
    gui::UserInfoWindow info;
    room.host.userInfo = &info;
    session.own.money = 12345;
    session.own.generalAverage = 123;
    session.own.statistics[0] = {7, 4, 3};
    room.ClickRow(0);
    EXPECT_TRUE(room.list.Menu()->IsVisible());
    for (int k = 0; k < PlayerMenu::kMenuItems; ++k)
        EXPECT_EQ(room.list.MenuItem(k)->IsEnabled(), k == 0 || k == 5) << k;
    room.Choose(0);
    EXPECT_FALSE(room.list.Menu()->IsVisible());
    EXPECT_TRUE(room.sent.empty());
    EXPECT_TRUE(info.IsVisible());
    EXPECT_EQ(FindLabel(info, u"Loading..."), nullptr);
    for (const char16_t* shown : {u"12,345 Gold", u"1.23", u"[4-Ball] 7 games, 4 wins, 3 losses"})
        EXPECT_NE(FindLabel(info, shown), nullptr) << ToUtf8(shown);

    // Another player's profile is asked for: u8 255, u64 id, the nickname.
    room.ClickRow(1);
    EXPECT_FALSE(room.list.MenuItem(4)->IsEnabled()) << "no clan to invite to";
    room.Choose(0);
    ASSERT_EQ(room.sent.size(), 1u);
    EXPECT_EQ(room.sent[0].first, 210);
    const std::vector<std::uint8_t> expected = {255, 0xE9, 0x03, 0, 0,   0, 0, 0, 0,
                                                4,   0,    'P',  0, '1', 0, 0, 0};
    EXPECT_EQ(room.sent[0].second, expected);

    // Kicking: never a player of the running game, only by the master, only with a membership.
    struct Case {
        bool running, master;
        std::uint8_t membership;
        int notices, errors, kicks;
    };
    for (const Case c : {Case{false, false, 3, 0, 1, 0},
                         {true, true, 3, 1, 0, 0},
                         {false, true, 0, 1, 0, 0},
                         {false, true, 1, 0, 0, 1}}) {
        room.host.notices.clear();
        room.host.errors.clear();
        room.questions.clear();
        session.clubMembership = c.membership;
        room.list.SetRoomMaster(&room.records[0], c.master);
        if (c.running != room.list.Running()) c.running ? room.list.OnGameStart() : room.list.OnGameEnd();
        room.ClickRow(1);
        room.Choose(2);
        EXPECT_EQ(static_cast<int>(room.host.notices.size()), c.notices);
        EXPECT_EQ(static_cast<int>(room.host.errors.size()), c.errors);
        ASSERT_EQ(static_cast<int>(room.questions.size()), c.kicks);
        if (c.kicks) {
            EXPECT_EQ(room.questions[0], (std::pair<int, std::uint64_t>{5, 1001}));
        }
    }
    if (room.list.Running()) room.list.OnGameEnd();

    room.questions.clear();
    session.own.clanId = 7;
    session.own.clanGrade = 9;
    room.ClickRow(2);
    EXPECT_TRUE(room.list.MenuItem(4)->IsEnabled());
    for (int item : {1, 3, 4}) {
        room.ClickRow(2);
        room.Choose(item);
    }
    EXPECT_EQ(room.questions, (std::vector<std::pair<int, std::uint64_t>>{{1, 1002}, {4, 1002}, {6, 1002}}));
    room.host.notices.clear();
    room.ClickRow(2);
    room.Choose(5);
    EXPECT_EQ(room.host.notices, std::vector<WString>{u"This feature is not allowed currently."});

    // The menu closes as a game starts or ends, and never stays on a player who has gone; opened at
    // the corner of the screen it stays on the screen.
    gui::GetGuiState().mouseX = 1020;
    gui::GetGuiState().mouseY = 760;
    room.ClickRow(2);
    const gui::Widget& menu = *room.list.Menu();
    EXPECT_EQ(menu.ScreenX() + menu.Width(), 1024);
    EXPECT_EQ(menu.ScreenY() + menu.Height(), 768);
    room.list.OnGameStart();
    EXPECT_FALSE(menu.IsVisible()) << "the game started";
    room.game.currentSeat = -1;
    room.list.Refresh(room.game);
    EXPECT_FALSE(room.list.ShooterMarker()->IsVisible()) << "no shooter named yet: no row to mark";
    room.game.currentSeat = 1;
    room.list.Refresh(room.game);
    EXPECT_TRUE(room.list.ShooterMarker()->IsVisible());
    room.ClickRow(2);
    room.list.OnGameEnd();
    EXPECT_FALSE(menu.IsVisible()) << "the game ended";
    room.ClickRow(1);
    room.list.Refresh(room.game);
    EXPECT_TRUE(menu.IsVisible()) << "its player is still there";
    room.questions.clear();
    // He leaves, and his seat is emptied, before the list follows: his menu asks nothing about him.
    ASSERT_TRUE(room.game.RemovePlayer(1));
    room.records[1] = net::PlayerRecord{};
    room.Choose(3);
    EXPECT_TRUE(room.questions.empty());
    room.ClickRow(2);
    room.game.RemovePlayer(2);
    room.list.Refresh(room.game);
    EXPECT_FALSE(menu.IsVisible()) << "its player left";
}

TEST(RoomHud, ScorePopupSlidesOutForTenStepsAndHidesAtThirty) {
    ListedRoom room(0, {1, 2}, 1);
    room.list.ShowScorePopup(&room.records[1], 7);
    const PlayerMenu::Row& row = room.list.RowAt(1);
    EXPECT_TRUE(row.scorePopup->IsVisible());
    EXPECT_EQ(row.scorePopupLabel->Text(), u"7");
    int steps = 0;
    for (int call = 0; call < 4 * 40; ++call) {
        room.list.Tick(static_cast<std::uint64_t>(call));
        if ((call + 1) % 4 != 0) continue;
        ++steps;
        if (steps <= 10) {
            EXPECT_EQ(row.scorePopup->X(), -(59 + 4 * (steps - 1))) << steps;
        }
        EXPECT_EQ(row.scorePopup->IsVisible(), steps < 30) << steps;
    }
    net::PlayerRecord stranger;
    room.list.ShowScorePopup(&stranger, 3);
    for (int i = 0; i < PlayerMenu::kRows; ++i) EXPECT_FALSE(room.list.RowAt(i).scorePopup->IsVisible()) << i;
}

TEST(RoomHud, WithdrawAnswerNamesTheAskedPlayersSeatAndSerialAndTheScoreBoardEndsTheTimedGame) {
    std::vector<std::pair<std::uint16_t, std::vector<std::uint8_t>>> sent;
    const RoomSender capture = [&](std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        net::Packet p;
        p.Init(id);
        fill(p);
        sent.push_back({id, std::vector<std::uint8_t>(p.Data() + 4, p.Data() + p.Size())});
    };
    WithdrawQuestion question;
    question.Create();
    question.send = capture;
    net::PlayerRecord record;
    record.nickname = u"Slow";
    record.playerId = 0x0102030405060708ull;
    record.game.gameSlot = 5;
    question.SetPlayer(record, 12);
    question.Show(true);
    EXPECT_EQ(question.Line(0)->Text(), u"Slow has exceeded a total of 12 turns.");
    question.RouteMessage(platform::kWmKeyDown, room_key::kEscape, 0);
    EXPECT_FALSE(question.IsVisible());
    EXPECT_TRUE(sent.empty()) << "No only closes";
    question.Show(true);
    question.RouteMessage(platform::kWmKeyDown, room_key::kReturn, 0);
    EXPECT_FALSE(question.IsVisible());
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].first, room_send::kWithdrawAnswer);
    EXPECT_EQ(sent[0].second, (std::vector<std::uint8_t>{1, 5, 8, 7, 6, 5, 4, 3, 2, 1}));

    ScoreBoard board;
    board.Create(0, 0);
    board.send = capture;
    board.ResetForRoom();
    EXPECT_FALSE(board.EndButton()->IsVisible());
    EXPECT_EQ(Clock(board.Minutes(), board.Seconds()), u"15:00");
    EXPECT_EQ(board.Points()->Text(), u"");
    board.ResetForGame();
    EXPECT_EQ(board.Innings()->Text(), u"1");
    EXPECT_EQ(board.Average()->Text(), u"0.0");
    board.EndButton()->Click();
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1].first, room_send::kTimeLimit);
    EXPECT_EQ(sent[1].second, std::vector<std::uint8_t>{0});
}
