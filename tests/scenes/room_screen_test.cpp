// The game room's screen and popups without a window or a server: the room line's texts, the channel
// level gate, the tournament fee, chat commands, bans, the game request dialogs, the centre amount,
// the finishing-shot lines and the calls the room makes on its heads-up display.
#include <gtest/gtest.h>

#include <algorithm>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/NumberDisplay.h"
#include "gui/Padlock.h"
#include "gui/TextLabel.h"
#include "net/ChatCommand.h"
#include "net/RoomInfo.h"
#include "net/SceneGate.h"
#include "scenes/base/SceneCodes.h"
#include "scenes/front/HelpWindow.h"
#include "scenes/front/RoomOptionDialog.h"
#include "scenes/room/RoomLine.h"
#include "scenes/room/RoomScreen.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/StartReadyButton.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;
namespace room = scenes::room;

constexpr std::uint32_t kRed = 0xFFFF0000;

// Remembers what the room asked of its heads-up display.
struct RecordingHud : scenes::RoomHud {
    void SetUpScoreBoard(int count, const std::array<std::uint8_t, 4>& values, bool tournament) override {
        boardCount = count;
        boardValues = values;
        boardTournament = tournament;
    }
    void UpdateScores(const scenes::RoomScoreUpdate& update) override { scores.push_back(update); }
    void ShowWithdrawQuestion(const net::PlayerRecord& record, int turns) override {
        withdrawName = record.nickname;
        withdrawTurns = turns;
    }
    void ShowRankResult(std::uint16_t rank, std::uint16_t, std::uint16_t) override { this->rank = rank; }
    void ShowGameResult(int mode, const std::vector<scenes::RoomResultRow>& rows) override {
        resultMode = mode;
        results = rows;
    }

    int boardCount = -1;
    std::array<std::uint8_t, 4> boardValues{};
    bool boardTournament = true;
    std::vector<scenes::RoomScoreUpdate> scores;
    WString withdrawName;
    int withdrawTurns = -1;
    int rank = -1;
    int resultMode = -1;
    std::vector<scenes::RoomResultRow> results;
};

struct NoSink : net::PacketSink {
    int OnPacket(net::Packet&) override { return 0; }
};

// A member of the list with withdrawals and a chat state.
void Member(net::Packet& p, std::uint8_t seat, const std::u16string& name, std::uint8_t chat, bool withdrew) {
    p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(name).WriteU32(0).WriteU16(1).WriteU32(0);
    p.WriteU16(20).WriteU64(5000).WriteU8(chat).WriteU8(0).WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(0);
    p.WriteU16(3000).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(withdrew ? 1 : 0).WriteU32(12);
    p.WriteU8(0);
}

class RoomScreenTest : public RoomSceneTest {
protected:
    template <class T>
    T* Find(std::uint32_t id) {
        return static_cast<T*>(scene.FindById(id));
    }
    std::string LabelText(std::uint32_t id) { return ToUtf8(Find<gui::TextLabel>(id)->Text()); }
    // The session's channel list with one channel of that type, made current.
    void JoinChannelOfType(std::uint16_t type) {
        net::Packet p;
        p.Init(156);
        p.WriteU8(1).WriteU16(3).WriteU16(type).WriteU16(0).WriteU16(100).WriteString(u"channel");
        p.Finish();
        p.Rewind();
        NoSink sink;
        host.session->Deliver(p, sink);
        host.session->currentChannel = 3;
        scene.Enter();
    }
    // A carom game of type 0 between seats 0 and 1 whose teams finish with a three-cushion shot at
    // `threeCushion` points and a bank shot at `bank` points.
    void StartCaromGame(std::uint8_t threeCushion, std::uint8_t bank) {
        host.session->GetRoom().gameType = 0;
        scene.Enter();
        EnterRoom(0, 0);
        Deliver(2029, [&](net::Packet& p) {
            p.WriteU32(5).WriteU32(0).WriteU8(0).WriteU8(0).WriteU8(2);
            p.WriteU8(1).WriteU8(2).WriteU8(3).WriteU8(4).WriteU8(2).WriteU8(1);
            for (std::uint8_t seat = 0; seat < 2; ++seat) {
                p.WriteU8(seat + 1).WriteU16(0).WriteU32(0).WriteU16(0).WriteU8(0);
                p.WriteU8(threeCushion).WriteU8(bank).WriteU8(0);
                p.WriteU8(seat).WriteU64(1000).WriteU16(0);
            }
            p.WriteU32(0);
        });
    }
    // A turn result that keeps (kind 2) or passes the table, with the table team's points and a
    // centre amount.
    void Turn(std::uint8_t kind, std::uint8_t next, std::uint16_t points, std::uint32_t centre = 0) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(kind).WriteU8(next).WriteU8(next).WriteU32(5);
            p.WriteU16(0).WriteU16(0).WriteU8(3).WriteU16(7).WriteU16(0).WriteU16(8).WriteU16(1).WriteU16(
                points);
            p.WriteU8(0).WriteU32(centre).WriteU8(0).WriteU8(0xFF);
        });
    }
    // A personal cue of the room's game type (4) with its durability and maximum in thousandths.
    net::ItemEntry& OwnCue(std::uint32_t durability, std::uint32_t maximum) {
        net::ItemEntry* cue = host.session->AllocItemEntry();
        cue->serial = 77;
        cue->itemId = 3104;
        cue->type = 1;
        cue->personal = 1;
        cue->unit = 3;
        cue->remainingValue = durability;
        cue->initialValue = maximum;
        EXPECT_TRUE(host.session->own.AddItem(77, cue));
        host.session->own.equipment[4].cueSerial = 77;
        return *cue;
    }
    std::size_t ChatCount(const std::string& text) const {
        std::size_t n = 0;
        for (const scenes::ChatLine& line : scene.ChatLines()) n += ToUtf8(line.text) == text;
        return n;
    }
    // Alice at seat 0 and Bob at seat 1, neither playing.
    void AliceAndBob() {
        Deliver(2011, [](net::Packet& p) {
            p.WriteU8(2);
            Member(p, 0, u"Alice", 0, false);
            Member(p, 1, u"Bob", 0, false);
        });
    }
    // Alice (seat 0) in team 1 and Bob in team 2, ready: the room can start.
    void TwoReadyTeams() {
        AliceAndBob();
        Deliver(2013, [](net::Packet& p) { p.WriteU8(0).WriteU8(1); });
        Deliver(2013, [](net::Packet& p) { p.WriteU8(1).WriteU8(2); });
        Deliver(2027, [](net::Packet& p) { p.WriteU8(1).WriteU8(1); });
    }
    RecordingHud hud;
};

TEST(RoomScreenTexts, PointRulesHandicapRangesMoneyAndChannelLimitsFollowTheirTables) {
    struct Rule {
        int type, option;
        const char* text;
    };
    const Rule rules[] = {{0, 0, "Indv. : --      Team match : 3C-1pt"},
                          {0, 2, "Indv. : 3C-2pts   Team match : 3C-2pts + Bank-1pt"},
                          {3, 1, "Indv. : Bank-1pts Team match : Bank-2pts"},
                          {4, 3, "3Cushion 25pts"},
                          {3, 2, ""},
                          {4, 4, ""},
                          {10, 0, ""}};
    for (const Rule& r : rules) EXPECT_EQ(ToUtf8(room::PointRuleText(r.type, r.option)), r.text) << r.type;

    EXPECT_EQ(ToUtf8(room::HandicapRangeText(0, 0)), "No limit");
    EXPECT_EQ(ToUtf8(room::HandicapRangeText(-3, 0)), "-3 ~");
    EXPECT_EQ(ToUtf8(room::HandicapRangeText(0, 12)), "~ 12");
    EXPECT_EQ(ToUtf8(room::HandicapRangeText(3, 9)), "3 ~ 9");
    EXPECT_FALSE(room::ShowsHandicapRange(4));
    EXPECT_TRUE(room::ShowsHandicapRange(6));

    net::RoomInfo info;
    info.gameType = 4;
    info.seedMoney = 12000;
    EXPECT_EQ(ToUtf8(room::MoneyLabelText(info, 0)), "") << "an open room hides its money";
    EXPECT_EQ(ToUtf8(room::MoneyLabelText(info, 8)), "Tournament");
    info.gameType = 5;
    EXPECT_EQ(ToUtf8(room::MoneyLabelText(info, 0)), "12,000");

    EXPECT_EQ(room::ChannelLevelLimit(0), 5);
    EXPECT_EQ(room::ChannelLevelLimit(4), 25);
    EXPECT_EQ(room::ChannelLevelLimit(7), 50);
    EXPECT_EQ(ToUtf8(room::ChannelName(3)), "Ama-3");
}

TEST(RoomChatCommands, KnownCommandsAreTakenWithTheirNicknameAndEverythingElseIsChat) {
    struct Case {
        const char16_t* text;
        bool command;
        net::ChatCommandKind kind;
        const char* nickname;
    };
    const Case cases[] = {
        {u"/unban Bob", true, net::ChatCommandKind::RoomUnban, "Bob"},
        {u"  /UNBLOCK   Bob  ", true, net::ChatCommandKind::ChatUnblock, "Bob"},
        {u"/unban", true, net::ChatCommandKind::RoomUnban, ""},
        {u"/unban two words", true, net::ChatCommandKind::RoomUnban, ""},
        {u"/unban abcdefghijklmnopq", true, net::ChatCommandKind::RoomUnban, ""},
        {u"/unbanBob", false, {}, ""},
        {u"/hello there", false, {}, ""},
        {u"unban Bob", false, {}, ""},
        {u"", false, {}, ""},
    };
    for (const Case& c : cases) {
        const auto command = net::ParseChatCommand(c.text);
        ASSERT_EQ(command.has_value(), c.command) << ToUtf8(c.text);
        if (!command) continue;
        EXPECT_EQ(command->kind, c.kind) << ToUtf8(c.text);
        EXPECT_EQ(ToUtf8(command->nickname), c.nickname) << ToUtf8(c.text);
    }
}

TEST_F(RoomScreenTest, TheRoomLineShowsTheRoomStateOnTheNextFrame) {
    host.session->GetRoom().requirementLow = static_cast<std::uint16_t>(-3);
    scene.Enter();
    EnterRoom(0, 0);
    scene.Render(nullptr, false);
    EXPECT_EQ(Find<gui::NumberDisplay>(room::control::kRoomNumber)->Value(), 7);
    EXPECT_EQ(LabelText(room::control::kRoomTitle), "room");
    EXPECT_EQ(LabelText(room::control::kPlayerCount), "(2/2)");
    // The count is the room's players: the member list, which lists a watcher too, keeps it.
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(3);
        for (std::uint8_t seat = 0; seat < 3; ++seat) Member(p, seat, u"Member", 0, false);
    });
    scene.Render(nullptr, false);
    EXPECT_EQ(LabelText(room::control::kPlayerCount), "(2/2)");
    EXPECT_FALSE(Find<gui::Widget>(room::control::kLockIcon)->IsVisible());
    EXPECT_FALSE(Find<gui::Widget>(room::control::kHandicapRange)->IsVisible()) << "no range in game type 4";
    EXPECT_FALSE(Find<gui::Widget>(room::control::kHalfGame)->IsVisible());
    EXPECT_FALSE(Find<gui::Widget>(room::control::kJoin)->IsVisible()) << "no join outside gamble games";
    // A room with a password shows the lobby's padlock beside the player count.
    roomPassword = u"secret";
    EnterRoom(0, 0);
    scene.Render(nullptr, false);
    const gui::Widget& lock = *Find<gui::Widget>(room::control::kLockIcon);
    EXPECT_TRUE(lock.IsVisible());
    EXPECT_NE(dynamic_cast<const gui::Padlock*>(&lock), nullptr) << "a dark square stands for the padlock";
    EXPECT_NE(dynamic_cast<const scenes::room::CoinMark*>(
                  Find<gui::Widget>(room::control::kMoneyLabel)->GetParent()),
              nullptr)
        << "a dark square stands for the coin";
    EXPECT_GE(lock.X(), Find<gui::Widget>(room::control::kPlayerCount)->X());
}

TEST_F(RoomScreenTest, ALevelOverTheChannelLimitSitsAsWatcherWithTheNoticeAndOneUnderItPlays) {
    EnterRoom(0, 0);
    host.session->own.level = 6;
    scene.OnMessage(1090, 1, 0);
    ASSERT_EQ(SentWith(2012).size(), 1u);
    EXPECT_EQ(SentWith(2012)[0].body, Bytes{0});
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices.back(), u"You have reached level 6,");
    host.session->own.level = 5;
    scene.OnMessage(1090, 2, 0);
    ASSERT_EQ(SentWith(2012).size(), 2u);
    EXPECT_EQ(SentWith(2012)[1].body, Bytes{2});
    scene.OnMessage(1090, 7, 0);
    EXPECT_EQ(SentWith(2012).size(), 2u) << "slot 7 is ignored";
}

TEST_F(RoomScreenTest, TheTournamentFeeIsToldOnEntryAndAShortPurseCannotStart) {
    host.session->SetTournamentFee(1500);
    EXPECT_EQ(host.session->own.tournamentFeeText, u"1,500");
    host.session->own.tournamentFeeFlag = 1;
    host.session->own.money = 1000;
    JoinChannelOfType(8);
    EnterRoom(0, 0);
    scene.Render(nullptr, false);
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(host.notices.back(), u"If you participate in the tournament, a fee of 1,500 will be charged.");
    TwoReadyTeams();
    scene.OnMessage(1092, 0, 0);
    EXPECT_TRUE(SentWith(2028).empty());
    EXPECT_EQ(host.notices.back(), u"You are falling short of gold to join.");
    host.session->own.money = 1500;
    scene.OnMessage(1092, 0, 0);
    EXPECT_EQ(SentWith(2028).size(), 1u);

    // A tournament game always opens with the first voice.
    host.session->tournamentFlag1 = 1;
    for (int game = 0; game < 12; ++game) {
        StartGame(0, 100 + game);
        const auto sounds = scene.PlayedSounds();
        EXPECT_EQ(std::count(sounds.begin(), sounds.end(), 58), 0) << game;
    }
}

TEST_F(RoomScreenTest, ChatCommandsGoAsBanCancelRequestsAndTheirAnswersAndBansAreTold) {
    EnterRoom(0, 0);
    EXPECT_TRUE(scene.SendChat(u"/unblock Bob", true, 100000));
    EXPECT_TRUE(SentWith(2005).empty()) << "a command is never chat";
    ASSERT_EQ(SentWith(246).size(), 1u);
    EXPECT_EQ(SentWith(246)[0].body, (Bytes{25, 6, 0, 'B', 0, 'o', 0, 'b', 0, 0, 0}));

    struct Answer {
        std::uint8_t kind, result;
        const char* line;  // empty: no line
    };
    const Answer answers[] = {{24, 1, "Ban is cancelled."},
                              {24, 0, "The user is not banned from this room."},
                              {25, 0, "Chatting ban has been removed."},
                              {25, 1, "Not a banned user."},
                              {25, 2, "Cancellation is not allowed if the user has not logged on."},
                              {26, 0, ""}};
    for (const Answer& a : answers) {
        const std::size_t before = scene.ChatLines().size();
        Deliver(246, [&](net::Packet& p) { p.WriteU8(a.kind).WriteU8(a.result).WriteString(u"Bob"); });
        if (*a.line)
            EXPECT_TRUE(HasChat(a.line, kRed)) << a.line;
        else
            EXPECT_EQ(scene.ChatLines().size(), before);
    }

    Deliver(2018, [](net::Packet& p) { p.WriteU8(0).WriteString(u"Eve"); });
    EXPECT_TRUE(HasChat("Eve has been banned.", kRed));
    EXPECT_TRUE(HasChat("Enter '/unban nickname' to cancel.", kRed)) << "the master learns how to undo it";
    Deliver(2018, [](net::Packet& p) { p.WriteU8(1); });
    scene.Render(nullptr, false);
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(host.errors.back(), u"A player playing in the game cannot be banned.");
}

TEST_F(RoomScreenTest, GameRequestsOpenTheirDialogsWaitForTheAnswerAndAnswerTheOpponent) {
    EnterRoom(0, 0);
    StartGame(0);
    scene.OnMessage(1044, 2, 0);
    auto* request = static_cast<gui::GameRequestDialog*>(nullptr);
    for (gui::Widget* child : scene.Children())
        if (auto* d = dynamic_cast<gui::GameRequestDialog*>(child)) request = d;
    ASSERT_NE(request, nullptr);
    EXPECT_TRUE(request->IsVisible());
    EXPECT_EQ(request->Kind(), 2);
    scene.OnMessage(1094, 2052, 2);
    ASSERT_EQ(SentWith(2032).size(), 1u);
    EXPECT_EQ(SentWith(2032)[0].body, Bytes{2});
    gui::WaitResponseNotice* wait = nullptr;
    for (gui::Widget* child : scene.Children())
        if (auto* d = dynamic_cast<gui::WaitResponseNotice*>(child)) wait = d;
    ASSERT_NE(wait, nullptr);
    EXPECT_TRUE(wait->IsVisible());
    Deliver(2035, [](net::Packet& p) { p.WriteU8(0).WriteU8(2); });
    scene.Render(nullptr, false);
    EXPECT_FALSE(wait->IsVisible()) << "the answer ends the wait";

    Deliver(2033, [](net::Packet& p) { p.WriteString(u"Rival").WriteU8(1); });
    gui::GameRequestAnswerDialog* answer = nullptr;
    for (gui::Widget* child : scene.Children())
        if (auto* d = dynamic_cast<gui::GameRequestAnswerDialog*>(child)) answer = d;
    ASSERT_NE(answer, nullptr);
    EXPECT_FALSE(answer->IsVisible()) << "widgets change on the main thread only";
    scene.Render(nullptr, false);
    EXPECT_TRUE(answer->IsVisible());
    EXPECT_EQ(ToUtf8(answer->Line(0)), "Rival asks to call this game invalid.");
    scene.OnMessage(1106, 2053, 1);
    scene.OnMessage(1106, 2052, 2);
    scene.OnMessage(1106, 2052, 9);
    const auto answers = SentWith(2034);
    ASSERT_EQ(answers.size(), 2u);
    EXPECT_EQ(answers[0].body, (Bytes{0, 1}));
    EXPECT_EQ(answers[1].body, (Bytes{1, 2}));
}

TEST_F(RoomScreenTest, TheCentreAmountShowsForTwoSecondsInsteadOfAChatLine) {
    EnterRoom(0, 0);
    StartGame(0);
    const std::size_t lines = scene.ChatLines().size();
    Turn(0, 1, 0, 25000);
    EXPECT_EQ(scene.ChatLines().size(), lines);
    EXPECT_EQ(scene.PlayedSounds().back(), 34);
    EXPECT_EQ(scene.CentreAmount(), 25000u);
    scene.Render(nullptr, false);
    auto* centre = Find<gui::TextLabel>(room::control::kCentreAmount);
    EXPECT_TRUE(centre->IsVisible());
    EXPECT_EQ(ToUtf8(centre->Text()), "25,000");
    clock.AdvanceMs(2001);
    scene.Render(nullptr, false);
    EXPECT_FALSE(centre->IsVisible());
}

TEST_F(RoomScreenTest, AShooterWhoStaysHearsTheFinishingShotAtItsTargetAndTheVoiceAtTenPoints) {
    scene.SetHud(&hud);
    StartCaromGame(12, 15);
    EXPECT_EQ(hud.boardCount, 2);
    EXPECT_EQ(hud.boardValues, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_FALSE(hud.boardTournament);

    Turn(2, 0, 10);
    EXPECT_EQ(scene.PlayedSounds().back(), 77);
    EXPECT_FALSE(HasChat("Now~ your three cushion shot.", kGreen));
    Turn(0, 1, 12);
    EXPECT_FALSE(HasChat("Now~ your three cushion shot.", kGreen)) << "only a shooter who stays";
    Turn(2, 1, 12);
    EXPECT_TRUE(HasChat("Now~ your three cushion shot.", kGreen));
    EXPECT_EQ(scene.PlayedSounds().back(), 79);
    ASSERT_EQ(hud.scores.size(), 3u);
    EXPECT_EQ(hud.scores.back().shooterSeat, 1);
    EXPECT_TRUE(hud.scores.back().shooterStays);
    EXPECT_EQ(hud.scores.back().turnMarker, 3);
    EXPECT_EQ(hud.scores.back().tableTeamResult, 12);
    EXPECT_EQ(hud.scores.back().firstScore, 7);
}

TEST_F(RoomScreenTest, TheWithdrawOfferAndTheRankGoToTheHudAndABadSeatIsDropped) {
    scene.SetHud(&hud);
    EnterRoom(0, 0);
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(1).WriteU64(2).WriteU8(0).WriteString(u"Rival").WriteU32(0).WriteU16(1);
        p.WriteU32(0).WriteU16(20).WriteU64(5000).WriteU8(0).WriteU8(0).WriteU16(0).WriteU8(0).WriteU32(0);
        p.WriteU8(0)
            .WriteU16(3000)
            .WriteU8(0)
            .WriteU8(0)
            .WriteU8(0)
            .WriteU8(0)
            .WriteU8(0)
            .WriteU32(0)
            .WriteU8(0);
    });
    Deliver(2039, [](net::Packet& p) { p.WriteU8(9).WriteU8(30); });
    EXPECT_EQ(hud.withdrawTurns, -1);
    Deliver(2039, [](net::Packet& p) { p.WriteU8(1).WriteU8(30); });
    EXPECT_EQ(hud.withdrawName, u"Rival");
    EXPECT_EQ(hud.withdrawTurns, 30);
    Deliver(2047, [](net::Packet& p) { p.WriteU16(3).WriteU16(1).WriteU16(2); });
    EXPECT_EQ(hud.rank, 3);
    Deliver(2002, [](net::Packet& p) { p.WriteU16(1).WriteU16(2).WriteU16(3); });
}

TEST_F(RoomScreenTest, MutingTheChatSoundSilencesReceivedLinesOnly) {
    gui::CommandEvent click;
    click.id = room::control::kMuteChat;
    EXPECT_TRUE(scene.OnCommand(click));
    EXPECT_FALSE(scene.ChatSoundOn());
    Deliver(2006, [](net::Packet& p) { p.WriteU8(0).WriteU8(1).WriteString(u"Bob").WriteString(u"hi"); });
    EXPECT_TRUE(HasChat("Bob : hi", 0xFFFFFF80));
    const auto sounds = scene.PlayedSounds();
    EXPECT_TRUE(sounds.empty() || sounds.back() != 19);
}

TEST_F(RoomScreenTest, EachOwnShotWearsTheCueByAPointReportsItAndWarnsOnceAtTenAndFivePercent) {
    net::ItemEntry& cue = OwnCue(21000, 200000);
    EnterRoom(0, 0);
    StartGame(0);
    scene.OnMessage(1111, 0, 0);
    EXPECT_EQ(cue.remainingValue, 20000u);
    const auto wear = SentWith(546);
    ASSERT_EQ(wear.size(), 1u);
    EXPECT_EQ(wear[0].body, (Bytes{0x20, 0x0C, 0, 0, 77, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x4E, 0, 0}));
    EXPECT_EQ(ChatCount("큐의 내구도가 10% 밖에 남지 않았습니다."), 1u);
    scene.OnMessage(1111, 0, 0);
    EXPECT_EQ(ChatCount("큐의 내구도가 10% 밖에 남지 않았습니다."), 1u) << "once per cue choice";
    cue.remainingValue = 11000;
    scene.OnMessage(1111, 0, 0);
    EXPECT_EQ(ChatCount("큐의 내구도가 5% 밖에 남지 않았습니다."), 1u);
    scene.RecheckDurability();
    EXPECT_EQ(ChatCount("큐의 내구도가 5% 밖에 남지 않았습니다."), 2u) << "a new cue choice warns again";
    cue.remainingValue = 500;
    scene.OnMessage(1111, 0, 0);
    EXPECT_EQ(cue.remainingValue, 0u) << "never below 0";
    EXPECT_TRUE(HasChat("Cue's durability became 0 so ability won't be applied.", kRed));
    EXPECT_EQ(ChatCount("큐의 내구도가 0이 되어 성능이 적용되지 않습니다."), 1u);
}

TEST_F(RoomScreenTest, EnteringWithAWornCueWarnsOnce) {
    OwnCue(9000, 200000);
    scene.Enter();
    EXPECT_EQ(ChatCount("큐의 내구도가 5% 밖에 남지 않았습니다."), 1u);
}

TEST_F(RoomScreenTest, ACueWithoutMaximumWarnsOnlyAtZeroAndAWatcherDoesNotWearHisCue) {
    net::ItemEntry& cue = OwnCue(5000, 0);
    EnterRoom(0, 0);
    scene.OnMessage(1111, 0, 0);
    EXPECT_EQ(cue.remainingValue, 5000u) << "no game runs";
    EXPECT_TRUE(SentWith(546).empty());
    cue.remainingValue = 0;
    scene.RecheckDurability();
    EXPECT_EQ(ChatCount("큐의 내구도가 0이 되어 성능이 적용되지 않습니다."), 1u);
    const std::size_t lines = scene.ChatLines().size();
    cue.remainingValue = 3;
    scene.RecheckDurability();
    EXPECT_EQ(scene.ChatLines().size(), lines) << "no share of a maximum of 0";
}

// The room's lines wait for the room state (the lobby's copy has no point rule); another tells a new one.
TEST_F(RoomScreenTest, EntryTellsThePointRuleAndSeedMoneyOfTheRoomStateAndOwnItemsUnlockTheirKeys) {
    for (std::uint32_t item : {4145u, 4146u}) {
        net::ItemEntry* entry = host.session->AllocItemEntry();
        entry->serial = item;
        entry->itemId = item;
        EXPECT_TRUE(host.session->own.AddItem(item, entry));
    }
    scene.Enter();
    EXPECT_FALSE(HasChat("◆ Game option - 3Cushion 10pts", 0xFFFFFFFF)) << "told from the lobby's copy";
    EnterRoom(1, 0, 0, 1, 25000);
    EnterRoom(1, 0, 0, 3, 25000);
    EXPECT_TRUE(HasChat("◆ Game option - 3Cushion 15pts", 0xFFFFFFFF));
    EXPECT_TRUE(HasChat("◆ Seed money - 25,000", 0xFFFFFFFF));
    EXPECT_TRUE(HasChat("◆ Game option changed - 3Cushion 25pts", 0xFFFFFFFF));
    EXPECT_FALSE(scene.World()->practiceKit) << "the practice kit is the master's";
    EXPECT_EQ(scene.World()->ItemKeyMode(), 1);
    EnterRoom(0, 0);
    EXPECT_TRUE(scene.World()->practiceKit);
}

TEST_F(RoomScreenTest, ATurnOnTheMastersOwnTableIsToldOnceInTheRoom) {
    EnterRoom(0, 0);
    StartGame(0);
    auto turn = [&](std::uint16_t table) {
        Deliver(2056, [&](net::Packet& p) {
            p.WriteU16(0).WriteU16(table).WriteU8(0).WriteU8(1).WriteU8(1).WriteU32(5);
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
            p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0xFF);
        });
    };
    const std::string notice = "The table and the ball will be belonged to the current room master's items.";
    turn(0);
    EXPECT_EQ(ChatCount(notice), 0u) << "the room's own table";
    turn(1999);
    EXPECT_EQ(ChatCount(notice), 1u);
    turn(0);
    turn(1999);
    EXPECT_EQ(ChatCount(notice), 1u) << "once in the room";
}

// The turn's table is swapped in by the render step (never under a running shot), and the room then
// names it, so the next turn on the same table swaps nothing.
TEST_F(RoomScreenTest, TheTurnsTableIsSwappedInAtTheNextFrameAndTheRoomNamesIt) {
    EnterRoom(0, 0);
    StartGame(0);
    Deliver(2056, [&](net::Packet& p) {
        p.WriteU16(0).WriteU16(1999).WriteU8(0).WriteU8(1).WriteU8(1).WriteU32(5);
        p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
        p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0xFF);
    });
    EXPECT_NE(scene.RoomCopy().tableItem, 1999) << "not before the render step";
    scene.Render(nullptr, false);
    EXPECT_EQ(scene.RoomCopy().tableItem, 1999);
    EXPECT_EQ(host.session->GetRoom().tableItem, 1999);
    // A turn on another table that comes after the room's last frame (the player leaves at once) is
    // no table of his next visit: the room he enters keeps the table it names.
    TurnResult(0);
    scene.Leave(nullptr, nullptr);
    scene.Load3D(nullptr, nullptr);
    scene.Enter();
    scene.Render(nullptr, false);
    EXPECT_EQ(scene.RoomCopy().tableItem, 1999);
    EXPECT_EQ(host.session->GetRoom().tableItem, 1999);
}

TEST_F(RoomScreenTest, MemberLinesKeepTheirOwnColoursAndANewMasterLearnsHeMayPractise) {
    host.session->own.level = 3;
    EnterRoom(0, 0);
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(3);
        Member(p, 0, u"Alice", 0, false);
        Member(p, 1, u"Bob", 0, true);
        Member(p, 2, u"Carol", 0, true);
    });
    EXPECT_TRUE(HasChat("Bob : a total of 12 withdrawals", kGreen));
    EXPECT_TRUE(HasChat("Carol : a total of 12 withdrawals", kGreen)) << "each withdrawal line is green";
    EXPECT_TRUE(HasChat("Room master can play practice game.", kYellow));
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(1);
        Member(p, 3, u"Dave", 4, false);
    });
    EXPECT_TRUE(HasChat("Dave is banned from chatting.", 0xFFB0B0B0));
}

TEST_F(RoomScreenTest, ADroppedPlayerIsToldWithTheReconnectRuleAndHisReturnAndMoneyAndClanReachTheSeat) {
    EnterRoom(1, 0);
    AliceAndBob();
    Deliver(2079, [](net::Packet& p) { p.WriteU8(0).WriteU8(1); });
    EXPECT_TRUE(HasChat("Alice is dropped. Wainting for reconnect.", kGreen));
    EXPECT_TRUE(HasChat("Will lose unless reconnecting to the game within 6 inn.(5min).", kGreen));
    EXPECT_FALSE(HasChat("May lose unless reconnecting to the game within 3 inn.(3min).", kGreen));
    EXPECT_EQ(scene.MasterSeat(), 1) << "the dropped master hands the room on";
    EXPECT_EQ(scene.SeatCopy(1).record.game.ready, 1);
    Deliver(274, [](net::Packet& p) { p.WriteU8(0).WriteU32(0).WriteU8(0); });
    EXPECT_TRUE(HasChat("Alice has logged in again and has been connected to the game.", kGreen));
    EXPECT_EQ(scene.SeatCopy(0).record.game.dropped, 0);
    Deliver(2073, [](net::Packet& p) { p.WriteU8(1).WriteU64(4321); });
    EXPECT_EQ(scene.SeatCopy(1).record.money, 4321);
    EXPECT_EQ(host.session->own.money, 4321) << "the own seat's money is the own money";
    Deliver(239, [](net::Packet& p) { p.WriteU8(0).WriteU32(5).WriteString(u"Cue Club"); });
    EXPECT_EQ(scene.SeatCopy(0).record.clanName, u"Cue Club");
    Deliver(2073, [](net::Packet& p) { p.WriteU8(8).WriteU64(1); });
    EXPECT_EQ(host.session->own.money, 4321) << "seat 8 is no seat";
}

template <class Dialog>
Dialog* FindChild(gui::Widget& parent) {
    for (gui::Widget* child : parent.Children())
        if (auto* d = dynamic_cast<Dialog*>(child)) return d;
    return nullptr;
}

TEST_F(RoomScreenTest, MenuCommandsNeedAGameToPlayAndOpenTheirDialogsAndLeavingNeverPostsItselfAgain) {
    EnterRoom(0, 0);
    scene.OnMessage(1042, 0, 0);
    scene.OnMessage(1044, 2, 0);
    scene.Render(nullptr, false);
    ASSERT_GE(host.notices.size(), 2u);
    EXPECT_EQ(host.notices[host.notices.size() - 2], u"This feature is allowed when playing the game.");
    EXPECT_EQ(host.notices.back(), u"This feature is allowed when playing the game.");
    EXPECT_FALSE(host.Posted(1043));

    StartGame(0);
    scene.OnMessage(1042, 0, 0);
    EXPECT_TRUE(host.Posted(1043));
    scene.OnMessage(1043, 1, 0);
    auto* withdraw = FindChild<gui::WithdrawDialog>(scene);
    ASSERT_NE(withdraw, nullptr);
    EXPECT_TRUE(withdraw->IsVisible());
    EXPECT_EQ(withdraw->Param(), 0u) << "no penalty outside the gamble games";

    scene.OnMessage(1089, 7, 0);
    ASSERT_EQ(SentWith(2076).size(), 1u);
    EXPECT_EQ(SentWith(2076)[0].body, (Bytes{7, 0}));

    auto* report = FindChild<gui::ReportBadDialog>(scene);
    ASSERT_NE(report, nullptr);
    scene.OnMessage(1049, 0, 0);
    EXPECT_TRUE(report->IsVisible());
    EXPECT_FALSE(report->ConfirmButton()->IsEnabled()) << "no player chosen yet";

    scene.OnMessage(1040, 0, 0);
    EXPECT_TRUE(scene.ChangeRequested()) << "without a connection the lobby comes at once";
    EXPECT_FALSE(host.Posted(1040)) << "1040 is handled, not posted again";
}

TEST_F(RoomScreenTest, TheMenusHelpOpensTheRulesAndAPopupsWayToTheLobbyLeavesOnlyOutsideAGame) {
    auto* help = FindChild<scenes::HelpWindow>(scene);
    ASSERT_NE(help, nullptr);
    EXPECT_FALSE(help->IsVisible());
    scene.OnMessage(1046, 0, 0);
    EXPECT_TRUE(help->IsVisible());

    EnterRoom(0, 0);
    StartGame(0);
    host.session->gameEffect1 = 3;
    host.session->gameEffect3 = 5;
    scene.OnMessage(1071, 0, 0);
    EXPECT_FALSE(scene.ChangeRequested()) << "a player in a game stays";
    EXPECT_EQ(host.session->gameEffect1, 0);
    EXPECT_EQ(host.session->gameEffect3, -999);
    Deliver(2031, [](net::Packet& p) {
        p.WriteString(u"x").WriteU8(1).WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(0);
    });
    ASSERT_FALSE(scene.GameRunning());
    scene.OnMessage(1071, 0, 0);
    EXPECT_TRUE(scene.ChangeRequested()) << "a watcher goes to the lobby as with 1040";
}

TEST_F(RoomScreenTest, AShortPurseOpensTheNotEnoughGoldDialogOnTheJoinCheck) {
    host.session->GetRoom().moneyClass = 1;
    host.session->own.money = 100;
    scene.Enter();
    auto* gold = FindChild<gui::NotEnoughGoldDialog>(scene);
    ASSERT_NE(gold, nullptr);
    scene.OnMessage(1105, 0, 0);
    EXPECT_TRUE(gold->IsVisible());
    EXPECT_EQ(ToUtf8(gold->Line(1)), "Short by 400 Gold.");
    gold->Show(false);
    host.session->own.money = 500;
    scene.OnMessage(1105, 0, 0);
    EXPECT_FALSE(gold->IsVisible());
}

TEST_F(RoomScreenTest, TheKeyGuideShowsForNewPlayersAndF2TogglesIt) {
    host.session->own.signInCounter = 299;
    scene.Enter();
    LeaveChatLine();
    EXPECT_TRUE(scene.KeyGuideShown());
    scene.OnMessage(0x0101, 0x71, 0);
    EXPECT_FALSE(scene.KeyGuideShown());
    scene.OnMessage(0x0101, 0x71, 0);
    EXPECT_TRUE(scene.KeyGuideShown());
    host.session->own.signInCounter = 300;
    scene.Enter();
    EXPECT_FALSE(scene.KeyGuideShown());
}

TEST_F(RoomScreenTest, RoomOptionsGoOutFromTheDialogButNotAnotherGameWhileOneRuns) {
    EnterRoom(0, 0);
    scenes::RoomOptionDialog* dialog = scene.RoomOptions();
    ASSERT_NE(dialog, nullptr);
    gui::CommandEvent click;
    click.id = room::control::kRoomSetting;
    EXPECT_TRUE(scene.OnCommand(click));
    EXPECT_TRUE(dialog->IsVisible());
    EXPECT_EQ(dialog->ScreenX(), (scene.Width() - dialog->Width()) / 2) << "the dialog opens centred";
    EXPECT_EQ(dialog->ScreenY(), (scene.Height() - dialog->Height()) / 2);
    net::RoomInfo wanted = scene.RoomCopy();
    wanted.title = u"ab";
    wanted.maxPlayers = 4;
    wanted.inningTime = 30;
    const std::array<const net::PlayerRecord*, 8> seats{};
    dialog->SetRoomInfo(wanted, true, seats, 0);
    scene.OnMessage(1161, 2050, 0);
    const auto sent = SentWith(2003);
    ASSERT_EQ(sent.size(), 1u);
    const Bytes& b = sent[0].body;
    ASSERT_GE(b.size(), 8u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8), (Bytes{4, 0, 'a', 0, 'b', 0, 0, 0})) << "the title first";
    EXPECT_EQ(b[12], 4) << "then the tables, the players";

    StartGame(0);
    wanted.gameType = 3;
    dialog->SetRoomInfo(wanted, true, seats, 0);
    scene.OnMessage(1052, 0, 0);
    EXPECT_EQ(SentWith(2003).size(), 1u);
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(host.errors.back(), u"Game option cannot be changed after the game starts.");
}

TEST_F(RoomScreenTest, ChalkGoesOnTheTableACountedChalkLosesAUseInAGameAndTheShotTakesItsShare) {
    net::ItemEntry* chalk = host.session->AllocItemEntry();
    chalk->serial = 30;
    chalk->itemId = 4903;
    chalk->type = 5;
    chalk->usageKind = 3;
    chalk->initialValue = chalk->remainingValue = 10;
    ASSERT_TRUE(host.session->own.AddItem(30, chalk));
    ASSERT_TRUE(host.session->own.SelectItem(30));
    scene.Enter();
    EnterRoom(0, 0);
    scenes::hud::ChalkGauge* gauge = scene.Chalk();
    ASSERT_NE(gauge, nullptr);
    gauge->SetLevel(75);
    scene.OnMessage(1083, 75, 0);
    EXPECT_FLOAT_EQ(scene.World()->chalkValue, 0.75f);
    EXPECT_EQ(chalk->remainingValue, 10u) << "practice before the game is free";
    StartGame(0);
    EXPECT_TRUE(gauge->IsActive()) << "the own turn may chalk";
    scene.OnMessage(1083, 75, 0);
    EXPECT_EQ(chalk->remainingValue, 9u);
    scene.OnMessage(1111, 120, 30);
    EXPECT_EQ(gauge->Level(), 45);
    EXPECT_FALSE(gauge->IsActive()) << "no chalk while the shot runs";

    // A used-up chalk leaves with the room and its entry goes back to the pool.
    chalk->kind = 3;
    chalk->remainingValue = 0;
    const int freeBefore = host.session->FreeItemEntries();
    scene.Leave(nullptr, nullptr);
    EXPECT_EQ(host.session->own.FindItem(30), nullptr);
    EXPECT_EQ(host.session->own.GetCurrentItem(), nullptr) << "no selection points at a freed entry";
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore + 1);
}

TEST_F(RoomScreenTest, APlayerWhoCannotPayForTheRoomWatchesAfterTheGameEnds) {
    auto end = [&] {
        Deliver(2031, [](net::Packet& p) {
            p.WriteString(u"Bob").WriteU8(2).WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(0);
        });
    };
    host.session->own.money = 600;
    EnterRoom(0, 0, 1);
    StartGame(0);
    end();
    EXPECT_EQ(host.session->ownPlaying, 1) << "the session remembers the own player played";
    EXPECT_TRUE(SentWith(2012).empty()) << "500 gold are enough";
    host.session->own.money = 100;
    StartGame(0);
    end();
    EXPECT_EQ(host.session->ownPlaying, 0);
    ASSERT_EQ(SentWith(2012).size(), 1u);
    EXPECT_EQ(SentWith(2012)[0].body, Bytes{0});

    // A withdrawal takes the own player out of the game at once.
    host.session->ownPlaying = 1;
    StartGame(0);
    Deliver(2038, [](net::Packet& p) { p.WriteU8(0); });
    EXPECT_EQ(host.session->ownPlaying, 0);
    EXPECT_FALSE(scene.World()->OwnTurn());
}

TEST_F(RoomScreenTest, AGambleGameWithoutAPotTellsTheHourWhenTheFirstTeamIsBackAtTheTable) {
    struct HourHud : RecordingHud {
        void ShowOneHourNotice() override { ++told; }
        int told = 0;
    } clockHud;
    scene.SetHud(&clockHud);
    host.session->GetRoom().gameType = 2;
    scene.Enter();
    EnterRoom(0, 0);
    StartGame(0);
    TurnResult(1);
    TurnResult(0);
    EXPECT_EQ(clockHud.told, 0) << "not before an hour";
    clock.AdvanceMs(3600000);
    TurnResult(1);
    EXPECT_EQ(clockHud.told, 0) << "the second team is at the table";
    TurnResult(0);
    EXPECT_EQ(clockHud.told, 1);
}

// Start is enabled, and the bubble asks, exactly while the room can start; a press otherwise sends nothing.
TEST_F(RoomScreenTest, StartIsPressableAndTheBubbleAsksOnlyWhileTheRoomCanStartAndNeverWithoutAConnection) {
    EnterRoom(0, 0);
    AliceAndBob();
    gui::Widget* bubble = Find<gui::Widget>(room::control::kStartPrompt);
    ASSERT_NE(bubble, nullptr);
    const auto pressStart = [&](bool possible, const char* when) {
        scene.Render(nullptr, false);
        EXPECT_EQ(scene.StartReady()->StartButton()->IsEnabled(), possible) << when;
        EXPECT_EQ(bubble->IsVisible(), possible) << when;
        const std::size_t starts = SentWith(2028).size(), lines = scene.ChatLines().size();
        scene.OnMessage(1092, 1, 0);
        EXPECT_EQ(SentWith(2028).size(), starts + (possible ? 1 : 0)) << when;
        EXPECT_EQ(scene.ChatLines().size(), lines) << when << ": no line of its own";
    };
    pressStart(false, "nobody in a team");
    Deliver(2013, [](net::Packet& p) { p.WriteU8(0).WriteU8(1); });
    Deliver(2013, [](net::Packet& p) { p.WriteU8(1).WriteU8(2); });
    pressStart(false, "Bob not ready");
    Deliver(2027, [](net::Packet& p) { p.WriteU8(1).WriteU8(1); });
    pressStart(true, "every player ready");
    const int y = bubble->Y();
    Run(20);
    scene.Render(nullptr, false);
    EXPECT_NE(bubble->Y(), y) << "the bubble bobs";
    scene.OnMessage(static_cast<std::uint32_t>(scenes::AppMessage::ConnectionLost), 0, 0);
    pressStart(false, "the connection lost");
    scene.Enter();
    EnterRoom(0, 0);
    TwoReadyTeams();
    pressStart(true, "a new room on a new connection");
    scene.SetSendTap(nullptr);  // the session's own word: it has no connection
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.StartReady()->StartButton()->IsEnabled());
    scene.SetSendTap([this](const net::Packet& p) { Capture(p); });
    EnterRoom(1, 0);
    pressStart(false, "Bob's room: only the master starts");
}

TEST_F(RoomScreenTest, TheResultWindowGetsEveryMembersRowWithTheSeatsOfTheRoomsTeams) {
    scene.SetHud(&hud);
    EnterRoom(0, 0);
    StartGame(1);
    Results(1500, 500);  // both seats had 1,000 gold
    EXPECT_EQ(hud.resultMode, 0) << "an open room without a stake";
    ASSERT_EQ(hud.results.size(), 2u);
    EXPECT_EQ(hud.results[0].seat, 1) << "team slot 2 is seat 1's";
    EXPECT_EQ(hud.results[0].money, 500) << "the column shows what the game changed, not the gold";
    EXPECT_EQ(hud.results[1].seat, 0);
    EXPECT_EQ(hud.results[1].money, -500) << "the loser's row reads as a loss";
    EXPECT_EQ(hud.results[1].second, 22u);
    EXPECT_EQ(scene.SeatCopy(1).record.money, 1500);
    EXPECT_EQ(host.session->own.money, 500) << "the own money follows the own row";

    StartGame(0);
    Deliver(2031, [](net::Packet& p) {
        p.WriteString(u"Bob").WriteU8(2).WriteU16(3).WriteU16(0).WriteU8(2).WriteU8(1);
        p.WriteU8(1).WriteU8(1).WriteU8(0).WriteU32(5).WriteU32(6).WriteU8(7);
        p.WriteU8(2).WriteU8(7).WriteU8(9).WriteU32(0).WriteU32(0).WriteU8(0);
    });
    ASSERT_EQ(hud.results.size(), 1u) << "seat 9 has no row";
    EXPECT_EQ(hud.results[0].seat, 0);
    EXPECT_EQ(hud.results[0].third, 7);
    EXPECT_TRUE(HasChat("The game became invalid.", kRed));
}

}  // namespace
