// The game room's joining, seat, bet and room-option messages and its item, money, progress and
// jackpot messages, without a window or a server: the texts and colours they write, the boxes they
// show, what they send and what they leave in the records; messages out of range change nothing.
#include <gtest/gtest.h>

#include <functional>
#include <mutex>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/NoticeBox.h"
#include "gui/NumberDisplay.h"
#include "gui/TextInput.h"
#include "gui/TextLabel.h"
#include "gui/WidgetRouter.h"
#include "net/GameSession.h"
#include "net/ItemTable.h"
#include "net/OwnStatistics.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "platform/window/WindowCodes.h"
#include "scenes/front/Messenger.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/RoomStatusPanels.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "scenes/shared/PurchaseDialog.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/SentFrames.h"

namespace {

using scenes::SceneRoomGame;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kGreen = 0xFF00FF00, kYellow = 0xFFFFFF00, kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF;
constexpr std::uint32_t kLavender = 0xFFB0B0FF, kMagenta = 0xFFFF00FF, kGrey = 0xFFB0B0B0;

// The host with the shared notice box the join question uses and a messenger.
class BoxHost : public FakeSceneHost {
public:
    gui::NoticeBox* GetNoticeBox() override { return &box; }
    gui::Dialog* GetMessenger() override { return &messenger; }
    gui::NoticeBox box;
    scenes::Messenger messenger{this};
};

class RoomJoinTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        host.session->own.nickname = u"Me";
        host.session->own.money = 100000;
        scene.SetHost(&host);
        scene.SetSendTap([this](const net::Packet& p) {
            std::lock_guard lock(sentMutex);
            ForEachSentFrame(
                p, [this](std::uint16_t id, Bytes body) { sent.emplace_back(id, std::move(body)); });
        });
    }
    void TearDown() override { platform::SetClock(nullptr); }

    // Opens a room of that game type and seed money with the own seat and the master given.
    void Open(std::uint8_t gameType, std::int32_t seed = 0, std::uint8_t own = 0, std::uint8_t master = 0) {
        host.session->GetRoom().gameType = gameType;
        host.session->GetRoom().inningTime = 40;
        host.session->GetRoom().seedMoney = seed;
        if (scene.World()) scene.Leave(nullptr, nullptr);
        scene.Load3D(nullptr, nullptr);
        ASSERT_NE(scene.World(), nullptr);
        scene.Enter();
        Deliver(2001, [&](net::Packet& p) {
            p.WriteU64(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7).WriteU8(0).WriteU8(1);
            p.WriteU32(0).WriteU8(0).WriteU8(0).WriteU32(10000).WriteU32(0).WriteU32(0);
            p.WriteU8(master).WriteU8(0).WriteU8(2).WriteU8(8).WriteU8(master).WriteU8(own).WriteU8(0);
            p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(
                static_cast<std::uint32_t>(seed));
            p.WriteU32(0);
        });
        sent.clear();
    }
    void Deliver(std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
        EXPECT_EQ(DeliverPacket(scene, id, fill), 0);
    }
    // A player enters: the whole profile block of 2014.
    void Enter(std::uint8_t seat, const std::u16string& name, std::uint8_t team = 0, std::uint8_t chat = 0,
               std::uint8_t withdrawalFlag = 0, std::uint32_t withdrawals = 0) {
        const std::uint8_t type = scene.RoomCopy().gameType;
        const bool gamble = type == 2 || type == 5;
        Deliver(2014, [&](net::Packet& p) {
            p.WriteU8(seat + 1).WriteU8(seat).WriteU64(seat + 10u).WriteU8(0).WriteString(name).WriteU32(0);
            p.WriteU16(5).WriteU32(400).WriteU64(50000).WriteU8(0).WriteU16(0).WriteU8(0).WriteU16(0);
            p.WriteU32(0);
            p.WriteU16(3000).WriteU8(0);
            p.WriteU8(team).WriteU8(0).WriteU8(chat).WriteU8(withdrawalFlag).WriteU32(withdrawals).WriteU8(0);
            if (gamble) p.WriteU64(70000);
        });
    }
    // Seats 0..n-1 in teams 1..n; seat `shooter` starts.
    void StartGame(int teams, std::uint8_t shooter = 0, std::uint32_t pot = 0) {
        Deliver(2029, [&](net::Packet& p) {
            p.WriteU32(77).WriteU32(0).WriteU8(shooter).WriteU8(shooter).WriteU8(0);
            p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(static_cast<std::uint8_t>(teams));
            p.WriteU8(1);
            const std::uint8_t type = scene.RoomCopy().gameType;
            for (int seat = 0; seat < teams; ++seat) {
                p.WriteU8(static_cast<std::uint8_t>(seat + 1)).WriteU16(0).WriteU32(0).WriteU16(0).WriteU8(0);
                if (type == 6) p.WriteU8(0);  // bet games carry one more team byte
                p.WriteU8(0).WriteU8(static_cast<std::uint8_t>(seat)).WriteU64(1000).WriteU16(0);
            }
            p.WriteU32(pot);
        });
        ASSERT_TRUE(scene.GameRunning());
    }
    std::vector<Bytes> SentWith(std::uint16_t id) {
        std::lock_guard lock(sentMutex);
        std::vector<Bytes> found;
        for (const auto& [sid, body] : sent)
            if (sid == id) found.push_back(body);
        return found;
    }
    std::vector<std::pair<std::string, std::uint32_t>> Chat() const {
        std::vector<std::pair<std::string, std::uint32_t>> lines;
        for (const scenes::ChatLine& line : scene.ChatLines())
            lines.emplace_back(ToUtf8(line.text), line.argb);
        return lines;
    }
    bool HasChat(const std::string& text, std::uint32_t argb) const {
        for (const auto& [t, c] : Chat())
            if (t == text && c == argb) return true;
        return false;
    }
    // The chat lines that arrived since `before` lines.
    std::vector<std::pair<std::string, std::uint32_t>> ChatSince(std::size_t before) const {
        auto lines = Chat();
        return {lines.begin() + static_cast<long>(std::min(before, lines.size())), lines.end()};
    }
    // Shows what the handlers asked for (boxes go up on the main thread).
    void Flush() { scene.Render(nullptr, false); }
    net::ItemEntry* Own(std::uint64_t serial, std::uint32_t itemId, std::uint32_t type) {
        net::ItemEntry* e = host.session->AllocItemEntry();
        e->serial = serial;
        e->itemId = itemId;
        e->type = type;
        EXPECT_TRUE(host.session->own.AddItem(serial, e));
        return e;
    }

    platform::VirtualClock clock{100000};
    BoxHost host;
    SceneRoomGame scene;
    std::mutex sentMutex;
    std::vector<std::pair<std::uint16_t, Bytes>> sent;
};

// ---- Joining ---------------------------------------------------------------------------------------

TEST_F(RoomJoinTest, JoinQuestionNamesTheFeeOfEachGameTypeAndOnlyYesSendsTheJoin) {
    struct Case {
        std::uint8_t type;
        const char* second;
    };
    for (const Case c : {Case{4, ""}, Case{2, "You should pay the fee before entering into the room."},
                         Case{5, "You should pay the fee before entering into the room."},
                         Case{6, "You should pay the bet amount again to enter."}}) {
        SCOPED_TRACE(c.type);
        Open(c.type);
        scene.AskToJoin();
        ASSERT_TRUE(host.box.IsVisible());
        EXPECT_EQ(ToUtf8(host.box.Caption()), "Question");
        EXPECT_EQ(ToUtf8(host.box.Line(0)), "Do you want to participate in the game?");
        EXPECT_EQ(ToUtf8(host.box.Line(1)), c.second);
        EXPECT_EQ(host.box.ResultCode(), 1065u);
        EXPECT_TRUE(SentWith(2019).empty()) << "nothing goes before the answer";
        scene.OnMessage(1065, 2053, 0);
        EXPECT_TRUE(SentWith(2019).empty()) << "no keeps the player watching";
        scene.OnMessage(1065, 2052, 0);
        ASSERT_EQ(SentWith(2019).size(), 1u);
        EXPECT_EQ(SentWith(2019)[0], Bytes{0});
        host.box.Show(false);
    }
}

TEST_F(RoomJoinTest, JoinAfterTheFirstTurnOrWithoutTheGoldShowsWhyAndSendsNothing) {
    Open(4);
    Enter(0, u"Me");
    Enter(1, u"Rival");
    StartGame(2);
    Deliver(2056, [](net::Packet& p) {
        p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(1).WriteU8(1).WriteU32(5);
        p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
        p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0xFF);
    });
    scene.AskToJoin();
    ASSERT_FALSE(host.errors.empty());
    EXPECT_EQ(ToUtf8(host.errors.back()), "Participation is only allowed when it is the first turn.");
    EXPECT_FALSE(host.box.IsVisible());

    // A type-6 room asks for its seed money: a player with less gets the gold notice, not the question.
    Open(6, 5000);
    host.session->own.money = 100;
    scene.AskToJoin();
    EXPECT_TRUE(scene.GoldDialogShown());
    EXPECT_FALSE(host.box.IsVisible());
    EXPECT_TRUE(SentWith(2019).empty());
}

TEST_F(RoomJoinTest, TheJoinButtonShowsOnlyToAWatcherWhoCanPayDuringAFeeOrBetGame) {
    struct Case {
        std::uint8_t type;
        std::int32_t seed;
        std::int64_t money;
        bool start;
        bool shown;
    };
    for (const Case& c : {Case{2, 1000, 100000, true, true}, Case{5, 1000, 100000, true, true},
                          Case{6, 1000, 100000, true, true}, Case{4, 0, 100000, true, false},
                          Case{2, 1000, 100000, false, false}, Case{2, 1000, 500, true, false}}) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " money " << c.money);
        host.session->own.money = c.money;
        host.session->ownPlaying = 0;
        Open(c.type, c.seed, 2, 0);
        Enter(0, u"A", 1);
        Enter(1, u"B", 2);
        Enter(2, u"Me");
        if (c.start) StartGame(2);
        Flush();
        EXPECT_EQ(scene.JoinButtonShown(), c.shown);
        if (!c.shown) continue;
        // Once the own player plays the button goes.
        Deliver(2020, [](net::Packet& p) {
            p.WriteU8(2).WriteU64(1).WriteU8(3).WriteU32(0).WriteU16(0).WriteU32(0);
        });
        Flush();
        EXPECT_FALSE(scene.JoinButtonShown());
    }
}

TEST_F(RoomJoinTest, JoiningTheGameChargesTheFeeOrTheBetAndGrowsThePot) {
    struct Case {
        std::uint8_t type;
        std::int32_t seed;
        std::uint8_t membership;
        std::uint32_t amount;
        std::vector<std::string> lines;
        std::int64_t money;
        std::int32_t pot;
    };
    const Case cases[] = {
        {2, 1500, 0, 0, {"3,000 gold has been removed for game fee"}, 97000, 0},
        {5,
         1500,
         0,
         200,
         {"3,000 gold has been removed for game fee", "Penalty 200 gold have been charged."},
         96800,
         200},
        {2, 1500, 2, 0, {"멤버십 : 게임비 3,000원 면제되었습니다."}, 100000, 0},
        {6, 2500, 0, 0, {"Betting gold 2,500 has been removed."}, 97500, 2500},
        {4, 0, 0, 0, {}, 100000, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << int(c.type) << " membership " << int(c.membership));
        host.session->own.money = 100000;
        host.session->clubMembership = c.membership;
        Open(c.type, c.seed, 0, 1);
        Enter(0, u"Me");
        Enter(1, u"Rival");
        const std::int32_t potBefore = scene.BettingValue();
        const std::size_t before = Chat().size();
        Deliver(2020, [&](net::Packet& p) {
            p.WriteU8(0).WriteU64(90000).WriteU8(2).WriteU32(c.amount).WriteU16(3).WriteU32(9);
        });
        std::vector<std::string> lines;
        for (const auto& [text, colour] : ChatSince(before)) {
            EXPECT_EQ(colour, kGreen) << text;
            lines.push_back(text);
        }
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(host.session->own.money, c.money);
        EXPECT_EQ(host.session->ownPlaying, 2);
        EXPECT_EQ(scene.SeatCopy(0).record.game.playing, 2);
        EXPECT_EQ(scene.BettingValue() - potBefore, c.pot);

        // Another player joining is told by name.
        Deliver(2020, [&](net::Packet& p) {
            p.WriteU8(1).WriteU64(90000).WriteU8(1).WriteU32(0).WriteU16(0).WriteU32(0);
        });
        EXPECT_TRUE(HasChat("Rival has joined the game.", kGreen));
        EXPECT_EQ(scene.SeatCopy(1).record.money, 90000);
    }
    host.session->clubMembership = 0;
}

TEST_F(RoomJoinTest, AnAllInOfOneOfTwoTeamsEndsTheGameAndGivesTheTableToTheMaster) {
    Open(4, 0, 1, 0);
    Enter(0, u"Master", 1);
    Enter(1, u"Me", 2);
    StartGame(2, 1, 6000);
    ASSERT_TRUE(scene.World()->OwnTurn());
    EXPECT_EQ(scene.BettingValue(), 6000) << "the game starts with the server's pot";
    Deliver(2048, [](net::Packet& p) { p.WriteU8(2); });
    EXPECT_TRUE(HasChat("Me 님이 올인 되었습니다.", kRed));
    EXPECT_EQ(host.session->own.money, 0) << "the own player went all in";
    EXPECT_FALSE(scene.GameRunning());
    EXPECT_EQ(scene.CurrentShooter(), 0) << "the master has the table";
    EXPECT_FALSE(scene.World()->OwnTurn());
    EXPECT_EQ(scene.World()->GetPlayState(), table::PlayState::Waiting);
    const auto sounds = scene.PlayedSounds();
    ASSERT_GE(sounds.size(), 2u);
    EXPECT_EQ(sounds[sounds.size() - 2], 23);
    EXPECT_EQ(sounds.back(), 43);
}

TEST_F(RoomJoinTest, AnAllInWithThreeTeamsLeftEmptiesThatTeamAndAnUnknownTeamChangesNothing) {
    Open(4);
    Enter(0, u"Me", 1);
    Enter(1, u"B", 2);
    Enter(2, u"C", 3);
    StartGame(3);
    const std::size_t before = Chat().size();
    Deliver(2048, [](net::Packet& p) { p.WriteU8(7); });  // an empty team
    Deliver(2048, [](net::Packet& p) { p.WriteU8(200); });
    Deliver(2048, [](net::Packet&) {});
    EXPECT_EQ(Chat().size(), before);
    Deliver(2048, [](net::Packet& p) { p.WriteU8(3); });
    EXPECT_TRUE(HasChat("C 님이 올인 되었습니다.", kRed));
    EXPECT_TRUE(scene.GameRunning());
    EXPECT_EQ(scene.SeatCopy(2).record.game.playing, 0);
    EXPECT_EQ(scene.SeatCopy(2).record.money, 0);
    EXPECT_EQ(scene.SeatCopy(1).record.game.playing, 2);
}

TEST_F(RoomJoinTest, GameResultsLeavingTwoTeamsWithoutAResultLetThemPlayOnElseTheGameEnds) {
    Open(2);
    Enter(0, u"Me", 1);
    Enter(1, u"B", 2);
    Enter(2, u"C", 3);
    StartGame(3, 0);
    const auto finished = [](net::Packet& p, std::uint8_t slot, std::uint8_t result, std::uint64_t money) {
        p.WriteU8(slot).WriteU8(result).WriteU32(0).WriteU32(0).WriteU64(money).WriteU8(0).WriteU8(0);
    };
    Deliver(2046, [&](net::Packet& p) {
        p.WriteU8(3).WriteU8(1);
        finished(p, 1, 3, 90000);
        p.WriteU8(2).WriteU8(0).WriteU8(3).WriteU8(0).WriteU8(0);
    });
    EXPECT_TRUE(scene.GameRunning()) << "two teams are still to be decided";
    EXPECT_EQ(host.session->own.money, 90000);
    EXPECT_EQ(scene.SeatCopy(0).record.game.playing, 0) << "the team with its result watches";
    EXPECT_EQ(scene.SeatCopy(1).record.game.playing, 1) << "the others close up";
    EXPECT_EQ(scene.SeatCopy(2).record.game.playing, 2);
    EXPECT_NE(scene.CurrentShooter(), 0) << "the turn moves on to a team still playing";
    EXPECT_FALSE(scene.World()->OwnTurn());

    Deliver(2046, [&](net::Packet& p) {
        p.WriteU8(2).WriteU8(1);
        finished(p, 1, 1, 5000);
        finished(p, 2, 2, 7000);
        p.WriteU8(0);
    });
    EXPECT_FALSE(scene.GameRunning());
    EXPECT_EQ(scene.SeatCopy(1).record.game.playing, 0);
    EXPECT_EQ(scene.SeatCopy(1).record.money, 5000);
    EXPECT_FALSE(scene.StartPossible()) << "every seat watches, yet the last game's teams stood";
}

// ---- Entering and leaving --------------------------------------------------------------------------

TEST_F(RoomJoinTest, EnteringAndLeavingPlayersAreToldWithTheirMarksAndTheLeavingKind) {
    Open(4);
    Enter(1, u"Plain");
    EXPECT_TRUE(HasChat("Plain entered room.", kGreen));
    EXPECT_EQ(scene.PlayedSounds().back(), 33);
    Enter(2, u"Quitter", 0, 0, 1, 3);
    EXPECT_TRUE(HasChat("Quitter entered room. (a total of 3 withdrawals)", kGreen));
    Enter(3, u"Many", 0, 0, 0, 11);
    EXPECT_TRUE(HasChat("Many entered room. (a total of 11 withdrawals)", kGreen));
    Enter(4, u"Loud", 0, 4);
    EXPECT_TRUE(HasChat("Loud entered room.", kGreen));
    EXPECT_TRUE(HasChat("Loud is banned from chatting.", kGrey));
    EXPECT_EQ(scene.SeatCopy(2).record.withdrawals, 3u);
    EXPECT_EQ(scene.SeatCopy(1).record.signInCounter, 400u);
    EXPECT_TRUE(scene.SeatCopy(1).occupied);
    Enter(6, u"Player", 2);
    EXPECT_EQ(scene.SeatCopy(6).record.game.playing, 2) << "the team the server names is kept";

    struct Case {
        std::uint8_t seat, reason, kind;
        const char* line;
    };
    for (const Case c :
         {Case{1, 0, 3, "Plain has been disconnected."}, Case{2, 2, 3, "Quitter has been disconnected."},
          Case{3, 2, 0, "Many 님은 접속종료 처리되었습니다."}, Case{4, 1, 0, "Loud has left room."}}) {
        Deliver(2015,
                [&](net::Packet& p) { p.WriteU8(2).WriteU8(c.seat).WriteU8(c.reason).WriteU8(c.kind); });
        EXPECT_TRUE(HasChat(c.line, kGreen)) << c.line;
        EXPECT_FALSE(scene.SeatCopy(c.seat).occupied);
    }
    // Seats out of range and short messages are dropped.
    const std::size_t before = Chat().size();
    Deliver(2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(8).WriteU8(0).WriteU8(0); });
    Deliver(2014,
            [](net::Packet& p) { p.WriteU8(1).WriteU8(9).WriteU64(1).WriteU8(0).WriteString(u"Ghost"); });
    Deliver(2014,
            [](net::Packet& p) { p.WriteU8(1).WriteU8(5).WriteU64(1).WriteU8(0).WriteString(u"Short"); });
    EXPECT_EQ(Chat().size(), before);
    EXPECT_FALSE(scene.SeatCopy(5).occupied);
}

TEST_F(RoomJoinTest, TheMemberListKeepsTheTeamSlotOfEveryPlayingMember) {
    Open(4);
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(2);
        for (std::uint8_t seat = 0; seat < 2; ++seat) {
            p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(seat ? u"B" : u"A").WriteU32(0);
            p.WriteU16(1);
            p.WriteU32(0).WriteU16(20).WriteU64(5000).WriteU8(0).WriteU8(0).WriteU16(0).WriteU8(0).WriteU32(
                0);
            p.WriteU8(0).WriteU16(3000).WriteU8(0).WriteU8(seat + 1).WriteU8(0).WriteU8(0).WriteU8(0);
            p.WriteU32(0);
            p.WriteU8(0);
        }
    });
    EXPECT_EQ(scene.SeatCopy(0).record.game.playing, 1);
    EXPECT_EQ(scene.SeatCopy(1).record.game.playing, 2);
}

TEST_F(RoomJoinTest, TheShooterLeavingMidGamePassesTheTurnOn) {
    Open(4, 0, 1, 0);
    Enter(0, u"Gone", 1);
    Enter(1, u"Me", 2);
    StartGame(2, 0);
    Deliver(2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(0).WriteU8(0).WriteU8(0); });
    EXPECT_EQ(scene.CurrentShooter(), 1);
    EXPECT_TRUE(scene.World()->OwnTurn());
}

// ---- Room options ----------------------------------------------------------------------------------

TEST_F(RoomJoinTest, EachChangedRoomOptionWritesItsLineInWhite) {
    struct Options {
        std::uint8_t notice = 0, master = 0, maxPlayers = 8, rule = 0, inning = 40, bits = 0;
        std::int32_t seed = 0;
        std::int16_t low = 0, high = 0;
    };
    struct Case {
        std::uint8_t type;
        Options o;
        std::vector<std::string> lines;
    };
    const auto with = [](auto f) {
        Options o;
        f(o);
        return o;
    };
    const Case cases[] = {
        {4, Options{}, {}},
        {4, with([](Options& o) { o.master = 1; }), {"◆ The room master has changed to Rival."}},
        {4, with([](Options& o) { o.rule = 2; }), {"◆ Game option changed - 3Cushion 20pts"}},
        {0,
         with([](Options& o) { o.rule = 1; }),
         {"◆ Game option changed - Indv. : 3C-1pts   Team match : 3C-2pts"}},
        {10, with([](Options& o) { o.rule = 1; }), {}},
        {6, with([](Options& o) { o.seed = 12345; }), {"◆ Betting amount - 12,345"}},
        {4, with([](Options& o) { o.inning = 25; }), {"◆ Inning time changed - 25sec"}},
        {4, with([](Options& o) { o.bits = 0x10; }), {"◆ Record option - no record on win/loss"}},
        {2, with([](Options& o) { o.bits = 0x10; }), {}},
        {0, with([](Options& o) { o.bits = 0x08; }), {"◆ Changed to a half game (half of handicap score)"}},
        {4, with([](Options& o) { o.bits = 0x08; }), {}},
        {4, with([](Options& o) { o.high = 30; }), {"◆ Requirement - below handi 30"}},
        {4, with([](Options& o) { o.low = 12; }), {"◆ Requirement - over handi 12"}},
        {4, with([](Options& o) { o.low = 12, o.high = 30; }), {"◆ Requirement - handi 12 ~ 30."}},
    };
    const auto send = [&](const Options& o) {
        Deliver(2004, [&](net::Packet& p) {
            p.WriteU8(o.notice).WriteU8(o.master).WriteU16(0).WriteU16(0).WriteU8(o.maxPlayers);
            p.WriteString(u"room");
            p.WriteU8(o.rule).WriteU8(0).WriteU8(o.inning).WriteU8(o.bits).WriteU8(0);
            p.WriteU32(static_cast<std::uint32_t>(o.seed)).WriteU8(0);
            p.WriteU16(static_cast<std::uint16_t>(o.low)).WriteU16(static_cast<std::uint16_t>(o.high));
        });
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.empty() ? std::string("none") : c.lines[0]);
        Open(c.type);
        Enter(0, u"Me");
        Enter(1, u"Rival");
        const std::size_t before = Chat().size();
        send(c.o);
        std::vector<std::string> lines;
        for (const auto& [text, colour] : ChatSince(before)) {
            EXPECT_EQ(colour, kWhite) << text;
            lines.push_back(text);
        }
        EXPECT_EQ(lines, c.lines);
    }
    // Back from a range to none, and from a bet to a friendly game.
    Open(6);
    send(with([](Options& o) { o.seed = 100, o.low = 3; }));
    const std::size_t before = Chat().size();
    send(Options{});
    std::vector<std::string> lines;
    for (const auto& [text, colour] : ChatSince(before)) lines.push_back(text);
    EXPECT_EQ(lines, (std::vector<std::string>{"◆ It has changed to a friendly game.",
                                               "◆ Requirement - no requirement."}));
}

TEST_F(RoomJoinTest, RoomOptionsKeepTheInningTimeUnsignedAndStopAPlayerShortOfTheNewBet) {
    Open(6, 0);
    Enter(0, u"Me", 1);
    host.session->own.money = 400;
    Deliver(2004, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU16(0).WriteU16(0).WriteU8(8).WriteString(u"high stakes");
        p.WriteU8(0).WriteU8(0).WriteU8(200).WriteU8(0).WriteU8(9).WriteU32(1000).WriteU8(1).WriteString(
            u"pw");
        p.WriteU16(0).WriteU16(0);
    });
    EXPECT_EQ(scene.TurnLimitSeconds(), 200) << "an inning time above 127 is no negative limit";
    EXPECT_EQ(scene.RoomCopy().seedMoney, 1000);
    EXPECT_EQ(ToUtf8(scene.RoomCopy().password), "pw");
    EXPECT_EQ(host.session->GetRoom().option3, 9);
    ASSERT_EQ(SentWith(2012).size(), 1u) << "400 gold cannot cover a bet of 1,000";
    EXPECT_EQ(SentWith(2012)[0], Bytes{0});
    Flush();
    ASSERT_FALSE(host.notices.empty());
    EXPECT_EQ(ToUtf8(host.notices.back()), "Change of table/ball is allowed once during the game.");
    // A master seat out of range drops the message.
    Deliver(2004, [](net::Packet& p) {
        p.WriteU8(0).WriteU8(8).WriteU16(0).WriteU16(0).WriteU8(8).WriteString(u"x");
        p.WriteU8(0).WriteU8(0).WriteU8(10).WriteU8(0).WriteU8(0).WriteU32(0).WriteU8(0).WriteU16(0).WriteU16(
            0);
    });
    EXPECT_EQ(scene.TurnLimitSeconds(), 200);
}

// ---- Purchases and item use ------------------------------------------------------------------------

TEST_F(RoomJoinTest, PurchaseRepliesShowTheirErrorBoxOrListTheNewItemOnce) {
    Open(4);
    struct Case {
        std::uint8_t result;
        const char* line;
    };
    for (const Case c :
         {Case{1, "Error has occurred in the purchase process."}, Case{2, "Not enough money."},
          Case{4, "The relevant user does not exist."}, Case{5, "Item is not on sale."}, Case{6, "DB error."},
          Case{7, "Item pool is full."}, Case{3, nullptr}, Case{8, nullptr}, Case{255, nullptr}}) {
        host.errors.clear();
        Deliver(510, [&](net::Packet& p) { p.WriteU8(1).WriteU8(c.result); });
        Flush();
        if (c.line) {
            ASSERT_EQ(host.errors.size(), 1u) << int(c.result);
            EXPECT_EQ(ToUtf8(host.errors[0]), c.line);
        } else {
            EXPECT_TRUE(host.errors.empty()) << int(c.result);
        }
    }
    const int freeBefore = host.session->FreeItemEntries();
    const auto buy = [&](std::uint32_t bonus) {
        Deliver(510, [&](net::Packet& p) {
            p.WriteU8(1).WriteU8(0).WriteU32(777).WriteU64(88000).WriteU32(0).WriteU32(bonus);
            p.WriteU64(5001).WriteU32(4001).WriteU8(0).WriteU8(1).WriteU32(30).WriteU32(25);
        });
        Flush();
    };
    buy(0);
    ASSERT_EQ(ToUtf8(host.notices.back()), "Successfully purchased.");
    net::ItemEntry* entry = host.session->own.FindItem(5001);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->itemId, 4001u);
    EXPECT_EQ(entry->initialValue, 30u);
    EXPECT_EQ(entry->remainingValue, 25u);
    EXPECT_EQ(entry->copyValue, 30u) << "the last reported count starts at the maximum";
    EXPECT_EQ(entry->newMark, 1);
    EXPECT_EQ(host.session->own.money, 88000);
    EXPECT_EQ(host.session->own.secondMoney, 777u);
    // The same serial again updates the entry instead of listing it twice.
    buy(1500);
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore - 1);
    EXPECT_EQ(host.session->own.ItemCount(), 1);
    EXPECT_EQ(ToUtf8(host.notices.back()), "Successfully purchased.");

    // A cue keeps the counts the reply carries; a personal cue reads none and takes the catalogue's parts.
    ASSERT_NE(net::GetItemTable().Find(3000), nullptr);
    ASSERT_EQ(net::GetItemTable().Find(3000)->type, 1u);
    Deliver(510, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(0).WriteU64(88000).WriteU32(0).WriteU32(0);
        p.WriteU64(5002).WriteU32(3000).WriteU8(0).WriteU8(0).WriteU32(30).WriteU32(30);
    });
    ASSERT_NE(host.session->own.FindItem(5002), nullptr);
    EXPECT_EQ(host.session->own.FindItem(5002)->remainingValue, 30) << "the cue's days are kept";
    Deliver(510, [](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(0).WriteU64(87000).WriteU32(0).WriteU32(0);
        p.WriteU64(5003).WriteU32(3000).WriteU8(1).WriteU8(0);
    });
    ASSERT_NE(host.session->own.FindItem(5003), nullptr);
    EXPECT_EQ(host.session->own.money, 87000);

    // A gift only tells; a short success changes nothing.
    Deliver(510,
            [](net::Packet& p) { p.WriteU8(2).WriteU8(0).WriteU32(1).WriteU64(5).WriteU32(0).WriteU32(0); });
    Flush();
    EXPECT_EQ(ToUtf8(host.notices.back()), "The item was given to friend.");
    EXPECT_EQ(host.session->own.money, 5);
    Deliver(510, [](net::Packet& p) { p.WriteU8(1).WriteU8(0).WriteU32(1).WriteU64(1); });
    EXPECT_EQ(host.session->own.money, 5);
}

TEST_F(RoomJoinTest, APurchaseFromTheRoomSendsTheRequestAndItsReplyClosesTheWindow) {
    Open(4);
    host.session->own.level = 99;
    host.session->own.money = 100000000;
    host.session->own.cash = 100000000;
    const net::ItemRecord* item = nullptr;
    for (const net::ItemRecord& r : net::GetItemTable().Records())
        if (!item && r.type == 5 && r.prices[0] > 0) item = &r;
    ASSERT_NE(item, nullptr);
    scene.OnMessage(1098, 1, 999999);
    EXPECT_FALSE(scene.Purchase()->IsVisible()) << "an unknown item opens nothing";
    scene.OnMessage(1098, 1, static_cast<std::intptr_t>(item->itemId));
    ASSERT_TRUE(scene.Purchase()->IsVisible());
    gui::Button* buy = scene.Purchase()->BuyButton();
    scene.Purchase()->OnCommand({buy, buy->Id(), 0, gui::CommandCode::Event});
    ASSERT_TRUE(host.Posted(1103));
    scene.OnMessage(1103, 0, 0);
    const auto requests = SentWith(507);
    ASSERT_EQ(requests.size(), 1u);
    ASSERT_GE(requests[0].size(), 5u);
    EXPECT_EQ(requests[0][0] | requests[0][1] << 8 | requests[0][2] << 16, static_cast<int>(item->itemId));
    Deliver(510, [](net::Packet& p) { p.WriteU8(1).WriteU8(2); });
    Flush();
    EXPECT_TRUE(scene.Purchase()->IsVisible()) << "a refusal keeps the window";
    Deliver(510, [&](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(0).WriteU64(5).WriteU32(0).WriteU32(0);
        p.WriteU64(5100).WriteU32(item->itemId).WriteU8(0).WriteU8(0).WriteU32(1).WriteU32(1);
    });
    Flush();
    EXPECT_FALSE(scene.Purchase()->IsVisible());
}

TEST_F(RoomJoinTest, ItemUseMakesACueTheOwnCueAndTellsTheServerOrSelectsAChalk) {
    Open(4);
    Own(6001, 3004, 1);
    Own(6002, 5002, 5);
    Own(6003, 4150, 4);
    Deliver(513, [](net::Packet& p) {
        p.WriteU8(0).WriteU64(6001).WriteU32(0).WriteU8(1).WriteU8(0).WriteString(u"Blue");
    });
    ASSERT_EQ(SentWith(544).size(), 1u);
    const Bytes body = SentWith(544)[0];
    ASSERT_EQ(body.size(), 12u);
    EXPECT_EQ(body[0] | body[1] << 8, 6001);
    EXPECT_EQ(body[8] | body[9] << 8, 3004);
    EXPECT_EQ(host.session->own.equipment[4].cueSerial, 6001u);
    EXPECT_EQ(host.session->own.FindItem(6001)->state, 1);
    bool cueLine = false;
    for (const auto& [text, colour] : Chat())
        cueLine = cueLine || (text.rfind("Cue is chaned to ", 0) == 0 && colour == kYellow);
    EXPECT_TRUE(cueLine);

    Deliver(513, [](net::Packet& p) {
        p.WriteU8(0).WriteU64(6002).WriteU32(0).WriteU8(1).WriteU8(0).WriteString(u"");
    });
    EXPECT_EQ(host.session->own.currentItemSerial, 6002u);
    EXPECT_FALSE(scene.World()->laserGuide);
    Deliver(513, [](net::Packet& p) {
        p.WriteU8(0).WriteU64(6003).WriteU32(0).WriteU8(1).WriteU8(0).WriteString(u"");
    });
    EXPECT_TRUE(scene.World()->laserGuide);
    Flush();
    EXPECT_EQ(ToUtf8(host.notices.back()), "Successfully processed.");

    Deliver(513, [](net::Packet& p) { p.WriteU8(3); });
    Flush();
    EXPECT_EQ(ToUtf8(host.errors.back()), "Failed to use the item.");
    // A serial the record does not hold changes nothing.
    Deliver(513, [](net::Packet& p) {
        p.WriteU8(0).WriteU64(9999).WriteU32(0).WriteU8(1).WriteU8(0).WriteString(u"x");
    });
    EXPECT_EQ(SentWith(544).size(), 1u);
}

TEST_F(RoomJoinTest, ItemCountsAndValuesReachTheEntryAndACountOfZeroReturnsItToThePool) {
    Open(4);
    const int freeBefore = host.session->FreeItemEntries();
    Own(7001, 4010, 4);
    host.session->own.SelectItem(7001);
    host.session->own.equipment[3].cueSerial = 7001;
    Deliver(547, [](net::Packet& p) { p.WriteU64(7001).WriteU64(42).WriteU64(2000000); });
    EXPECT_EQ(host.session->own.FindItem(7001)->upgradeValue, 42u);
    EXPECT_EQ(host.session->own.FindItem(7001)->secondValue, 1000000);
    Deliver(547, [](net::Packet& p) { p.WriteU64(7001).WriteU64(1).WriteI64(-5); });
    EXPECT_EQ(host.session->own.FindItem(7001)->secondValue, -5);

    Deliver(2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(7001).WriteU16(3); });
    EXPECT_EQ(host.session->own.FindItem(7001)->remainingValue, 3u);
    Deliver(2045, [](net::Packet& p) { p.WriteU8(1).WriteU64(7001).WriteU16(0); });
    ASSERT_NE(host.session->own.FindItem(7001), nullptr) << "only result 0 counts";
    Deliver(2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(7001).WriteU16(0); });
    EXPECT_EQ(host.session->own.FindItem(7001), nullptr);
    EXPECT_EQ(host.session->own.currentItemSerial, 0u);
    EXPECT_EQ(host.session->own.equipment[3].cueSerial, 0u) << "no slot keeps the freed entry";
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore);
    Deliver(2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(7001).WriteU16(0); });
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore) << "no double free";
}

TEST_F(RoomJoinTest, EachTurnShowsTheShootersCueAndAnotherSeatsChangeIsToldOnlyOnItsTurn) {
    Open(4);
    Enter(0, u"Me", 1);
    Enter(1, u"Rival", 2);
    StartGame(2, 0);
    const table::CueObject* own = scene.World()->Shooter();
    ASSERT_NE(own, nullptr);
    const auto changeRivalsCue = [this] {
        Deliver(545, [](net::Packet& p) {
            p.WriteU8(1).WriteU32(0x10000 + 3004).WriteU8(1);
            for (int i = 0; i < 5; ++i) p.WriteU16(1);
        });
    };
    const auto turnTo = [this](std::uint8_t next) {
        Deliver(2056, [next](net::Packet& p) {
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(next).WriteU8(next).WriteU32(5);
            p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
            p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0xFF);
        });
    };
    const auto told = [this] { return HasChat("Cue is changed to Club cue II", kYellow); };
    changeRivalsCue();
    EXPECT_EQ(scene.SeatCopy(1).record.seat.cueItem, 3004);
    EXPECT_EQ(scene.World()->Shooter(), own) << "the own turn keeps the own cue";
    EXPECT_FALSE(told());
    turnTo(1);
    ASSERT_NE(scene.World()->Shooter(), nullptr);
    EXPECT_EQ(scene.World()->Shooter()->item, 3004) << "the rival's turn shows the rival's cue";
    changeRivalsCue();
    EXPECT_TRUE(told());
    const std::size_t before = Chat().size();
    Deliver(545, [](net::Packet& p) { p.WriteU8(8).WriteU32(3004).WriteU8(0); });
    EXPECT_EQ(Chat().size(), before) << "no seat 8";
    turnTo(0);
    EXPECT_EQ(scene.World()->Shooter(), own);

    // Back in the room: the last visit's cues went with its world; the member list gives them again.
    Open(4);
    for (int seat = 0; seat < 8; ++seat) EXPECT_EQ(scene.SeatCue(seat), nullptr) << "seat " << seat;
    Deliver(2011, [](net::Packet& p) {
        p.WriteU8(2);
        for (std::uint8_t seat = 0; seat < 2; ++seat) {
            p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(seat ? u"Rival" : u"Me").WriteU32(0);
            p.WriteU16(1).WriteU32(0).WriteU16(20).WriteU64(5000).WriteU8(0).WriteU8(0).WriteU16(0);
            p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU16(seat ? 3004 : 3000).WriteU8(seat);
            for (int i = 0; i < 5 * seat; ++i) p.WriteU16(1);
            p.WriteU8(seat + 1).WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU8(0);
        }
    });
    ASSERT_NE(scene.SeatCue(1), nullptr);
    StartGame(2, 0);
    turnTo(1);
    EXPECT_EQ(scene.World()->Shooter(), scene.SeatCue(1));
    EXPECT_EQ(scene.SeatCue(1)->item, 3004);
}

// ---- Points, progress and jackpots -----------------------------------------------------------------

TEST_F(RoomJoinTest, ProgressMessagesWriteTheirLinesAndKeepTheRecords) {
    Open(4);
    Enter(0, u"Me");
    Enter(1, u"Rival");
    struct Case {
        std::uint16_t id;
        std::function<void(net::Packet&)> fill;
        std::vector<std::pair<std::string, std::uint32_t>> lines;
    };
    const Case cases[] = {
        {2067,
         [](net::Packet& p) { p.WriteU8(0).WriteU16(12); },
         {{"Me has renewed the highest singe-cue hits to 12 ", kLavender}}},
        {2068,
         [](net::Packet& p) { p.WriteU8(1).WriteU16(25); },
         {{"Rival's handi hass increased to 25", kLavender}}},
        {2068,
         [](net::Packet& p) { p.WriteU8(1).WriteU16(20); },
         {{"Rival's hadni has decreased to 20", kLavender}}},
        {2068, [](net::Packet& p) { p.WriteU8(1).WriteU16(20); }, {}},
        {2069,
         [](net::Packet& p) { p.WriteU8(1).WriteU16(10).WriteU32(5); },
         {{"Rival's level has raised to 10.", kLavender}}},
        {2069,
         [](net::Packet& p) { p.WriteU8(0).WriteU16(10).WriteU32(5); },
         {{"Me's level has raised to 10.", kLavender},
          {"Target line may be used when the level is over 10 respectively", kYellow}}},
        {2085,
         [](net::Packet& p) { p.WriteString(u"Me").WriteU8(2).WriteU32(1234567); },
         {{"★ Gain Me's jackpot 1,234,567 won", kGreen},
          {"(The higher the betting amount, the more the jackpot gaining amount)", kGreen}}},
        {2085,
         [](net::Packet& p) { p.WriteString(u"Me").WriteU8(3).WriteU32(5000); },
         {{"★ Gain Me's jackpot 5,000 won", kGreen},
          {"★ 잭팟 아이템 1회 사용 (3배 적용)", kGreen},
          {"(The higher the betting amount, the more the jackpot gaining amount)", kGreen}}},
        {2085,
         [](net::Packet& p) { p.WriteString(u"Rival").WriteU8(3).WriteU32(5000); },
         {{"★ Gain Rival's jackpot 5,000 won", kGreen},
          {"(The higher the betting amount, the more the jackpot gaining amount)", kGreen}}},
        {2086,
         [](net::Packet& p) { p.WriteString(u"Far").WriteU32(2500000).WriteU8(3).WriteU16(17); },
         {{"★ Far 님 잭팟 2,500,000 획득! (3채널 17번방)", kMagenta}}},
        {240,
         [](net::Packet& p) { p.WriteString(u"Server going down at %s"); },
         {{"Server going down at %s", kRed}}},
        // A kind behind the text: a change done, a hint; an unknown kind is an error.
        {240, [](net::Packet& p) { p.WriteString(u"Short rack.").WriteU8(1); }, {{"Short rack.", kGreen}}},
        {240, [](net::Packet& p) { p.WriteString(u"Use /rack.").WriteU8(2); }, {{"Use /rack.", kYellow}}},
        {240, [](net::Packet& p) { p.WriteString(u"No.").WriteU8(9); }, {{"No.", kRed}}},
        {2067, [](net::Packet& p) { p.WriteU8(9).WriteU16(12); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const std::size_t before = Chat().size();
        Deliver(c.id, c.fill);
        EXPECT_EQ(ChatSince(before), c.lines);
    }
    EXPECT_EQ(host.session->own.highRun[4], 12);
    EXPECT_EQ(scene.SeatCopy(1).record.handicap[4], 20);
    EXPECT_EQ(scene.SeatCopy(1).record.handicapChanged, 1);
    EXPECT_EQ(host.session->own.level, 10);
    EXPECT_EQ(scene.PlayedSounds().back(), 41);
}

TEST_F(RoomJoinTest, PointsDuringAGameReachTheTeamsAndTheMoneyOfTheFirstMembers) {
    Open(4);
    Enter(0, u"Me", 1);
    Enter(1, u"Rival", 2);
    StartGame(2);
    Deliver(2055, [](net::Packet& p) {
        p.WriteU8(4).WriteU64(99999).WriteU32(0).WriteU8(2).WriteU8(1);
        p.WriteU32(11).WriteU16(0x1203).WriteU16(0).WriteU64(4321);
        p.WriteU32(22).WriteU16(0).WriteU16(0).WriteU64(1234);
    });
    EXPECT_EQ(scene.Jackpot(), 99999u);
    EXPECT_EQ(host.session->own.money, 4321);
    EXPECT_EQ(scene.SeatCopy(1).record.money, 1234);
    // Kind 3 carries the stakes and per-member points; a team count out of range drops the message.
    Deliver(2055, [](net::Packet& p) {
        p.WriteU8(3).WriteU64(5).WriteU32(0).WriteU8(2).WriteU8(1).WriteU32(100).WriteU32(200);
        p.WriteU32(11).WriteU16(0).WriteU16(0).WriteU32(7);
        p.WriteU32(22).WriteU16(0).WriteU16(0).WriteU32(9);
    });
    EXPECT_EQ(scene.RoomCopy().stake1, 100);
    EXPECT_EQ(scene.SeatCopy(1).record.game.points, 9u);
    Deliver(2055, [](net::Packet& p) { p.WriteU8(4).WriteU64(1).WriteU32(0).WriteU8(5).WriteU8(4); });
    EXPECT_EQ(scene.Jackpot(), 5u);
    // A short team block changes no money.
    Deliver(2055,
            [](net::Packet& p) { p.WriteU8(4).WriteU64(5).WriteU32(0).WriteU8(2).WriteU8(1).WriteU32(1); });
    EXPECT_EQ(host.session->own.money, 4321);
}

TEST_F(RoomJoinTest, EveryCutShortMessageIsDroppedWithoutAnyChange) {
    Open(2, 1000);
    Enter(0, u"Me", 1);
    Enter(1, u"Rival", 2);
    StartGame(2);
    Own(8001, 3004, 1);
    const std::vector<std::pair<std::uint16_t, std::function<void(net::Packet&)>>> whole = {
        {2014,
         [](net::Packet& p) {
             p.WriteU8(3).WriteU8(2).WriteU64(9).WriteU8(0).WriteString(u"New").WriteU32(1).WriteString(
                 u"Clan");
             p.WriteU16(5).WriteU32(400).WriteU64(50000).WriteU8(0).WriteU16(0).WriteU8(0).WriteU16(0);
             p.WriteU32(0);
             p.WriteU16(3000).WriteU8(1);
             for (int i = 0; i < 5; ++i) p.WriteU16(1);
             p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU8(0).WriteU64(1);
         }},
        {2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(1).WriteU8(0).WriteU8(0); }},
        {2020,
         [](net::Packet& p) { p.WriteU8(0).WriteU64(1).WriteU8(1).WriteU32(5).WriteU16(0).WriteU32(0); }},
        {2004,
         [](net::Packet& p) {
             p.WriteU8(1).WriteU8(1).WriteU16(0).WriteU16(0).WriteU8(8).WriteString(u"t").WriteU8(1).WriteU8(
                 0);
             p.WriteU8(20).WriteU8(0x18).WriteU8(0).WriteU32(500).WriteU8(1).WriteString(u"pw").WriteU16(1);
             p.WriteU16(2);
         }},
        {510,
         [](net::Packet& p) {
             p.WriteU8(1).WriteU8(0).WriteU32(1).WriteU64(2).WriteU32(0).WriteU32(0);
             p.WriteU64(8002).WriteU32(4001).WriteU8(0).WriteU8(0).WriteU32(3).WriteU32(3);
         }},
        {513,
         [](net::Packet& p) {
             p.WriteU8(0).WriteU64(8001).WriteU32(0).WriteU8(1).WriteU8(0).WriteString(u"n");
         }},
        {545,
         [](net::Packet& p) {
             p.WriteU8(1).WriteU32(3004).WriteU8(1).WriteU16(1).WriteU16(1).WriteU16(1).WriteU16(1).WriteU16(
                 1);
         }},
        {547, [](net::Packet& p) { p.WriteU64(8001).WriteU64(1).WriteU64(2); }},
        {2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(8001).WriteU16(0); }},
        {2067, [](net::Packet& p) { p.WriteU8(0).WriteU16(9); }},
        {2068, [](net::Packet& p) { p.WriteU8(0).WriteU16(9); }},
        {2069, [](net::Packet& p) { p.WriteU8(0).WriteU16(9).WriteU32(9); }},
        {2085, [](net::Packet& p) { p.WriteString(u"Me").WriteU8(3).WriteU32(9); }},
        {2086, [](net::Packet& p) { p.WriteString(u"Me").WriteU32(9).WriteU8(1).WriteU16(2); }},
    };
    for (const auto& [id, fill] : whole) {
        net::Packet full;
        full.Init(id);
        fill(full);
        full.Finish();
        const std::size_t size = full.Size() - 4;
        for (std::size_t cut = 0; cut < size; ++cut) {
            SCOPED_TRACE(testing::Message() << id << " cut to " << cut);
            const std::size_t lines = Chat().size();
            const std::int64_t money = host.session->own.money;
            const int items = host.session->own.ItemCount();
            const net::RoomInfo room = scene.RoomCopy();
            Deliver(id, [&](net::Packet& p) { p.WriteBytes(full.Data() + 4, cut); });
            Flush();
            EXPECT_EQ(Chat().size(), lines);
            EXPECT_EQ(host.session->own.money, money);
            EXPECT_EQ(host.session->own.ItemCount(), items);
            EXPECT_EQ(scene.RoomCopy().seedMoney, room.seedMoney);
            EXPECT_EQ(scene.RoomCopy().masterSlot, room.masterSlot);
            EXPECT_FALSE(scene.SeatCopy(2).occupied);
            EXPECT_TRUE(scene.SeatCopy(1).occupied);
            EXPECT_EQ(scene.SeatCopy(1).record.seat.cueItem, 3000);
            EXPECT_EQ(host.session->own.FindItem(8001)->state, 0);
            EXPECT_TRUE(host.errors.empty());
            EXPECT_TRUE(host.notices.empty());
            EXPECT_TRUE(sent.empty());
        }
    }
}

// ---- Own statistics and counters -------------------------------------------------------------------

// ---- Item panels, friend requests, the wait box and the player list ---------------------------------

TEST_F(RoomJoinTest, TheTabsOpenOneItemPanelAtATimeAndASecondPressSlidesItOut) {
    Open(3);
    const auto press = [&](std::uint32_t id) {
        gui::CommandEvent event;
        event.id = id;
        EXPECT_TRUE(scene.OnCommand(event)) << id;
    };
    scenes::hud::PlayerInfoPanel* cues = scene.CuePanel();
    scenes::hud::BuyOrGiftDialog* shop = scene.ShopPanel();
    ASSERT_TRUE(cues && shop);
    press(19);
    EXPECT_TRUE(cues->IsVisible());
    EXPECT_EQ(cues->Slide().state, scenes::hud::PanelSlide::kIn);
    press(18);
    EXPECT_EQ(cues->Slide().state, scenes::hud::PanelSlide::kOut) << "the cue panel makes way";
    EXPECT_TRUE(shop->IsVisible());
    EXPECT_EQ(shop->Slide().state, scenes::hud::PanelSlide::kIn);
    press(18);
    EXPECT_EQ(shop->Slide().state, scenes::hud::PanelSlide::kOut) << "a second press closes it";
    press(19);
    EXPECT_EQ(cues->Slide().state, scenes::hud::PanelSlide::kIn) << "a closing panel opens again";
}

TEST_F(RoomJoinTest, AFriendRequestBarShowsWhileRequestsWaitOpensTheQuestionAndTheChatKeysReachTheMessenger) {
    Open(4);
    scene.OnMessage(1063, 0, 0);
    EXPECT_FALSE(scene.FriendBar()->IsVisible()) << "no pending request, no bar";
    // A request that arrives while the player is in the room shows at the next frame.
    host.session->friendRequests.push_back({7, 1, 0, u"CueMaster"});
    scene.Render(nullptr, false);
    ASSERT_TRUE(scene.FriendBar()->IsVisible());
    EXPECT_EQ(ToUtf8(scene.FriendBar()->Caption()), "Friends request from CueMaster");
    host.session->friendRequests.push_back({8, 1, 0, u"Banker"});
    gui::CommandEvent click;
    click.id = 15;
    EXPECT_TRUE(scene.OnCommand(click));
    EXPECT_FALSE(scene.FriendBar()->IsVisible());
    EXPECT_TRUE(host.messenger.QuestionBox()->IsVisible());
    EXPECT_EQ(host.session->friendRequests.size(), 1u);
    scene.Render(nullptr, false);
    EXPECT_FALSE(scene.FriendBar()->IsVisible()) << "the bar waits while the messenger asks";
    // The modal question goes with its answer; the next request waits behind it.
    host.messenger.QuestionBox()->Show(false);
    scene.Render(nullptr, false);
    EXPECT_EQ(ToUtf8(scene.FriendBar()->Caption()), "Friends request from Banker");
    EXPECT_TRUE(scene.OnCommand(click));
    host.messenger.QuestionBox()->Show(false);
    EXPECT_TRUE(host.session->friendRequests.empty());
    // A request that came while the player was elsewhere shows on entering the room.
    host.session->friendRequests.push_back({9, 1, 0, u"Potter"});
    Open(4);
    EXPECT_TRUE(scene.FriendBar()->IsVisible());
    host.session->friendRequests.clear();

    // Typing in the chat line: F4 still opens the own info, Tab moves into the shown messenger only.
    auto* edit = static_cast<gui::EditBox*>(scene.FindById(50));
    ASSERT_NE(edit, nullptr);
    scene.Show(true);
    edit->SetFocus(true);
    gui::WidgetRouter::Route(scene, platform::kWmKeyDown, platform::kVkF4, 0);
    EXPECT_TRUE(host.Posted(1047));
    scene.OnMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    EXPECT_TRUE(edit->HasFocus()) << "a hidden messenger takes no typing";
    host.messenger.Show(true);
    scene.OnMessage(platform::kWmKeyDown, platform::kVkTab, 0);
    EXPECT_FALSE(edit->HasFocus());
    ASSERT_NE(gui::TextInputManager::GetFocusedEdit(), nullptr);
    EXPECT_TRUE(gui::WidgetRouter::IsWithin(gui::TextInputManager::GetFocusedEdit(), &host.messenger));
    // A click in the room takes the typing out of the messenger's chat too.
    scene.OnMessage(platform::kWmLButtonDown, 0, 0);
    EXPECT_EQ(gui::TextInputManager::GetFocusedEdit(), nullptr);
    gui::TextInputManager::SetFocus(nullptr);
}

TEST_F(RoomJoinTest, ItemRepliesTakeDownTheWaitBoxAndTheItemKeysFollowTheNewItem) {
    Open(4);
    scene.InProgress()->Open();
    Deliver(513, [](net::Packet& p) { p.WriteU8(1); });
    Flush();
    EXPECT_FALSE(scene.InProgress()->IsVisible()) << "a failed use ends the wait too";
    scene.InProgress()->Open();
    ASSERT_EQ(scene.World()->ItemKeyMode(), 0);
    Deliver(510, [&](net::Packet& p) {
        p.WriteU8(1).WriteU8(0).WriteU32(0).WriteU64(90000).WriteU32(0).WriteU32(0);
        p.WriteU64(6001).WriteU32(4146).WriteU8(0).WriteU8(1).WriteU32(5).WriteU32(5);
    });
    Flush();
    EXPECT_FALSE(scene.InProgress()->IsVisible());
    EXPECT_EQ(scene.World()->ItemKeyMode(), 1) << "the bought item's key works at once";
}

TEST_F(RoomJoinTest, PlayersPotStakesAndPointsReachThePlayerListAtTheNextFrame) {
    Open(6, 2500);
    Flush();
    scenes::hud::PlayerMenu* list = scene.PlayerList();
    ASSERT_NE(list, nullptr);
    const int before = list->RowCount();
    Enter(0, u"Me", 1);
    Enter(1, u"Rival", 2);
    Flush();
    EXPECT_EQ(list->RowCount(), before + 2) << "entering players are listed";
    Deliver(2015, [](net::Packet& p) { p.WriteU8(1).WriteU8(1).WriteU8(0).WriteU8(0); });
    Flush();
    EXPECT_EQ(list->RowCount(), before + 1) << "a leaving player is no longer listed";
    Enter(1, u"Rival", 2);
    StartGame(2);
    Deliver(2020, [](net::Packet& p) {
        p.WriteU8(1).WriteU64(90000).WriteU8(2).WriteU32(0).WriteU16(0).WriteU32(0);
    });
    Flush();
    EXPECT_EQ(ToUtf8(list->PotLabel()->Text()), "2,500") << "the pot grew by the bet";
    Deliver(2055, [](net::Packet& p) {
        p.WriteU8(3).WriteU64(5).WriteU32(0).WriteU8(2).WriteU8(1).WriteU32(12).WriteU32(34500);
        p.WriteU32(11).WriteU16(0).WriteU16(0).WriteU32(7);
        p.WriteU32(22).WriteU16(0).WriteU16(0).WriteU32(0);
    });
    Flush();
    EXPECT_EQ(ToUtf8(list->HeaderLabel()->Text()), "34,500");
    EXPECT_EQ(scene.StatusPanel()->Amount()->Value(), 5) << "the status panel shows the jackpot";
    int popups = 0;
    for (int row = 0; row < list->RowCount(); ++row) {
        if (!list->RowAt(row).scorePopup->IsVisible()) continue;
        ++popups;
        EXPECT_EQ(list->RowRecord(row)->nickname, u"Me");
        EXPECT_EQ(ToUtf8(list->RowAt(row).scorePopupLabel->Text()), "7");
    }
    EXPECT_EQ(popups, 1) << "only points won float";
    Deliver(2069, [](net::Packet& p) { p.WriteU8(1).WriteU16(12).WriteU32(0); });
    Flush();
    bool shown = false;
    for (int row = 0; row < list->RowCount(); ++row)
        shown = shown || ToUtf8(list->RowAt(row).name->Text()) == "Rival(12)";
    EXPECT_TRUE(shown) << "the list shows the new level";
}

TEST(OwnStatistics, TheStatisticsOfOneGameTypeLandInOrderAndAShortMessageChangesNothing) {
    net::Packet p;
    p.Init(2070);
    p.WriteU32(900).WriteU16(7).WriteU64(123456).WriteU8(5).WriteU16(33);
    p.WriteU32(1).WriteU32(2).WriteU32(3).WriteU32(4).WriteU16(50).WriteU16(60);
    p.WriteU32(5).WriteU32(6).WriteU32(7).WriteU32(8).WriteU8(9).WriteU32(10).WriteU8(11);
    p.Finish();
    p.Rewind();
    net::PlayerRecord record;
    ASSERT_TRUE(net::ReadOwnStatistics(p, record));
    EXPECT_EQ(record.experience, 900u);
    EXPECT_EQ(record.money, 123456);
    EXPECT_EQ(record.handicap[5], 33);
    EXPECT_EQ(record.typeStatistics[5].values, (std::array<std::uint32_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(record.typeStatistics[5].small, (std::array<std::uint16_t, 2>{50, 60}));
    EXPECT_EQ(record.statisticsTail2, 10u);
    EXPECT_EQ(record.statisticsTail3, 11);

    for (const std::uint8_t type : {std::uint8_t{17}, std::uint8_t{5}}) {
        net::Packet bad;
        bad.Init(2070);
        bad.WriteU32(1).WriteU16(0).WriteU64(1).WriteU8(type).WriteU16(1);
        if (type == 17)
            for (int i = 0; i < 8; ++i) bad.WriteU32(0);
        bad.Finish();
        bad.Rewind();
        net::PlayerRecord untouched = record;
        EXPECT_FALSE(net::ReadOwnStatistics(bad, untouched));
        EXPECT_EQ(untouched.experience, 900u);
        EXPECT_EQ(untouched.money, 123456);
    }
}

TEST(OwnStatistics, CounterSelectorsFillTheirCounterAndTheFirst) {
    struct Case {
        std::uint8_t selector;
        std::vector<std::uint32_t> values;
        int counter;          // set to values[0]
        std::uint32_t first;  // counter 1 afterwards
    };
    for (const Case& c : {Case{5, {55}, 5, 0}, Case{10, {77}, 1, 77}, Case{15, {55, 77}, 5, 77},
                          Case{1, {11}, 1, 11}, Case{21, {3, 4}, 1, 4}}) {
        SCOPED_TRACE(int(c.selector));
        net::Packet p;
        p.Init(2071);
        p.WriteU8(c.selector);
        for (std::uint32_t v : c.values) p.WriteU32(v);
        p.Finish();
        p.Rewind();
        net::PlayerRecord record;
        ASSERT_TRUE(net::ReadOwnCounter(p, record));
        if (c.selector % 10 != 0) {
            EXPECT_EQ(record.counters[c.counter], c.selector >= 10 && c.counter == 1 ? c.first : c.values[0]);
        }
        EXPECT_EQ(record.counters[1], c.first);
    }
    net::Packet shortOne;
    shortOne.Init(2071);
    shortOne.WriteU8(15).WriteU32(1);
    shortOne.Finish();
    shortOne.Rewind();
    net::PlayerRecord record;
    EXPECT_FALSE(net::ReadOwnCounter(shortOne, record));
    EXPECT_EQ(record.counters[5], 0u);
}

}  // namespace
