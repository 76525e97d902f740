// What a person sees of the game room during a two-player game: the table, the player list with
// both teams, the game clock and the turn countdown, drawn through OpenGL on the generated packages
// and compared with a reference image (UPDATE_GOLDEN=1 rewrites it).
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <tuple>

#include "gui/Button.h"
#include "gui/NumberDisplay.h"
#include "gui/TextLabel.h"
#include "gui/UiResourceSet.h"
#include "net/ItemEntry.h"
#include "net/Packet.h"
#include "platform/sys/Clock.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/EffectPanel.h"
#include "scenes/room/hud/GameMenuWidgets.h"
#include "scenes/room/hud/InviteList.h"
#include "scenes/room/hud/PlayerMenu.h"
#include "scenes/room/hud/ResultWidgets.h"
#include "scenes/room/hud/StartReadyButton.h"
#include "tests/common/GlTestSupport.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/ScreenReference.h"
#include "tests/scenes/support/TableSceneHost.h"

namespace {

// The smallest client area the window allows.
constexpr int kWidth = 1024, kHeight = 768;

void Deliver(scenes::SceneRoomGame& scene, std::uint16_t id, const std::function<void(net::Packet&)>& fill) {
    DeliverPacket(scene, id, fill);
}

// A three-cushion room whose seat 0 holds the room; the game runs (room state 2, else 1) when `running`.
void DeliverRoomState(scenes::SceneRoomGame& scene, bool running, std::uint8_t ownSeat = 0) {
    Deliver(scene, 2001, [running, ownSeat](net::Packet& p) {
        p.WriteU64(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7).WriteU8(0);
        p.WriteU8(running ? 2 : 1);
        p.WriteU32(0).WriteU8(0).WriteU8(0).WriteU32(10000).WriteU32(0).WriteU32(0);
        p.WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(2).WriteU8(0).WriteU8(ownSeat).WriteU8(0);
        p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0).WriteU32(0);
    });
}

// Alice (player 1) in seat 0 and Bob (player 2) in seat 1, on two teams.
void DeliverTwoMembers(scenes::SceneRoomGame& scene) {
    Deliver(scene, 2011, [](net::Packet& p) {
        p.WriteU8(2);
        for (std::uint8_t seat = 0; seat < 2; ++seat) {
            p.WriteU8(seat).WriteU64(seat + 1u).WriteU8(0).WriteString(seat == 0 ? u"Alice" : u"Bob");
            p.WriteU32(0).WriteU16(12).WriteU32(0).WriteU16(20).WriteU64(25000).WriteU8(0).WriteU8(0);
            p.WriteU16(0).WriteU8(0).WriteU32(0).WriteU8(0).WriteU16(3000).WriteU8(0);
            p.WriteU8(seat + 1).WriteU8(0).WriteU8(1).WriteU8(0).WriteU32(0).WriteU8(0);
        }
    });
}

// The own seat 0 is the master of the room with a 40 s turn; seat 1 plays the other team; `shooter`
// starts. `groups` gives the teams their 8-ball groups (solids, stripes).
void SeatTwoPlayers(scenes::SceneRoomGame& scene, std::uint8_t shooter = 0, bool groups = false) {
    DeliverRoomState(scene, false);
    DeliverTwoMembers(scene);
    Deliver(scene, 2029, [shooter, groups](net::Packet& p) {
        p.WriteU32(77).WriteU32(0).WriteU8(shooter).WriteU8(shooter).WriteU8(0);
        p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(1);
        for (std::uint8_t seat = 0; seat < 2; ++seat) {
            const std::uint8_t status = groups ? static_cast<std::uint8_t>(2 + seat) : 0;
            p.WriteU8(seat + 1).WriteU16(0).WriteU32(0).WriteU16(0).WriteU8(0).WriteU8(status).WriteU8(seat);
            p.WriteU64(25000).WriteU16(0);
        }
        p.WriteU32(0);
    });
}

}  // namespace

// A three-cushion room on a GL device over the generated packages, on a virtual clock.
class RoomHudGl : public ::testing::Test {
protected:
    void SetUp() override {
        if (!gl.device) GTEST_SKIP() << "no GL context: " << gl.error;
        uiResources.SetRootFolder(FromUtf8(MARVENLOT_BINARY_DIR));
        uiResources.SetDataFolder(u"data");
        sets.InitSets();
        ASSERT_EQ(sets.OpenTree(), 1) << "the generated packages are missing";
        platform::SetClock(&clock);
        host = std::make_unique<TableSceneHost>(*gl.device, kWidth, kHeight);
        host->session.GetRoom().gameType = gameType;
        host->session.GetRoom().inningTime = 40;
        host->session.own.playerId = 1;
        ASSERT_TRUE(host->Enter(room));
    }
    void TearDown() override {
        if (host) host->Leave(room);
        platform::SetClock(nullptr);
        gui::ClearGuiPointers();
    }
    void ExpectMatches(const platform::Image& frame, const std::string& name) {
        ExpectFrameMatchesReference(
            frame, name, std::string(MARVENLOT_SOURCE_DIR) + "/tests/scenes/reference/" + name + ".png");
    }

    std::uint8_t gameType = 4;  // the room's game, set before SetUp runs
    gl_test::GlDevice gl{kWidth, kHeight};
    ResourceManager uiResources;
    gui::UiResourceSet sets{&uiResources, 0};
    platform::VirtualClock clock{5000000};
    std::unique_ptr<TableSceneHost> host;
    scenes::SceneRoomGame room;
};

TEST_F(RoomHudGl, TwoPlayerGameShowsBothTeamsInTheListWithTheClockAndTheCountdown) {
    SeatTwoPlayers(room);
    ASSERT_TRUE(room.GameRunning());
    // 1 min 5.2 s into the game and 33 s into the turn.
    clock.AdvanceMs(65200);
    host->Pump(room, 60);
    const platform::Image frame = host->Frame(room);

    EXPECT_EQ(room.PlayerList()->RowCount(), 2);
    EXPECT_EQ(room.PlayerList()->RowAt(1).name->Text(), u"Bob(12)");
    EXPECT_FALSE(room.StartReady()->IsVisible()) << "no team choice while the game runs";
    EXPECT_TRUE(room.Clock()->IsShownOnScreen());
    EXPECT_EQ(room.Clock()->Minutes()->Digits(), u"01");
    EXPECT_EQ(room.Countdown()->Left(), 0) << "the 40 s turn ran out 25 s ago";
    ExpectMatches(frame, "room_game_hud");
}

TEST_F(RoomHudGl, TheTurnComingToTheOwnSeatDrawsTheYourTurnAnimationOverTheTable) {
    // Two own items in the strip, and the cue tab for the own cue.
    const std::tuple<std::uint64_t, std::uint32_t, net::ItemType> items[] = {
        {30, 4903, net::ItemType::Chalk}, {31, 4510, net::ItemType::Effect}, {32, 3010, net::ItemType::Cue}};
    for (const auto& [serial, itemId, type] : items) {
        net::ItemEntry* entry = host->session.AllocItemEntry();
        entry->serial = serial;
        entry->itemId = itemId;
        entry->type = static_cast<std::uint32_t>(type);
        ASSERT_TRUE(host->session.own.AddItem(serial, entry));
    }
    room.OnMessage(1069, 0, 0);
    SeatTwoPlayers(room, 1);
    Deliver(room, 2056, [](net::Packet& p) {
        p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(5);
        p.WriteU16(0).WriteU16(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(0);
        p.WriteU8(0).WriteU32(0).WriteU8(0).WriteU8(0xFF);
    });
    ASSERT_NE(room.Effects(), nullptr);
    EXPECT_TRUE(room.Effects()->HasFrames()) << "the GameAni pictures of the Effect group";
    clock.AdvanceMs(200);  // the third frame
    host->Pump(room, 2);
    const platform::Image frame = host->Frame(room);
    ASSERT_EQ(room.Effects()->Current(clock.NowMs()), scenes::hud::GameAni::YourTurn);
    ExpectMatches(frame, "room_your_turn");
}

TEST_F(RoomHudGl, APlayerJoiningARunningGameSeesTheReceivingNoteClearOfThePlayerList) {
    host->session.own.playerId = 2;  // Bob, seat 1; Alice holds the room
    DeliverRoomState(room, true, 1);
    DeliverTwoMembers(room);
    host->Pump(room, 2);
    const platform::Image frame = host->Frame(room);
    const gui::TextLabel* note = room.ReceivingLabel();
    ASSERT_TRUE(note->IsShownOnScreen()) << "a joining player waits without a word";
    const gui::Widget* list = room.PlayerList();
    const bool apart = note->ScreenX() >= list->ScreenX() + list->Width() ||
                       list->ScreenX() >= note->ScreenX() + note->Width() ||
                       note->ScreenY() >= list->ScreenY() + list->Height() ||
                       list->ScreenY() >= note->ScreenY() + note->Height();
    EXPECT_TRUE(apart) << "the note covers the player list";
    ExpectMatches(frame, "room_receiving");
}

TEST_F(RoomHudGl, TheTurnsLastSecondsFlashAWarningPictureNotAnEmptyFrame) {
    SeatTwoPlayers(room);
    clock.AdvanceMs(34000);  // six seconds left of the 40 s turn
    host->Frame(room);       // the clocks follow the time as the room is drawn
    const gui::ImageWidget* warning = room.Countdown()->Warning();
    // The flash follows every fourth tick of the widget tree.
    for (int i = 0; i < 4 && warning->Alpha() < 1.0f; ++i) host->Pump(room, 1);
    const platform::Image frame = host->Frame(room);
    ASSERT_EQ(room.Countdown()->Left(), 6);
    ASSERT_TRUE(warning->IsShownOnScreen());
    ASSERT_EQ(warning->Alpha(), 1.0f);
    int amber = 0;
    // The countdown stands two pixels above the screen's top edge.
    for (int y = std::max(0, warning->ScreenY()); y < warning->ScreenY() + warning->Height(); ++y) {
        for (int x = std::max(0, warning->ScreenX()); x < warning->ScreenX() + warning->Width(); ++x) {
            const std::uint8_t* p = &frame.rgba[(static_cast<std::size_t>(y) * frame.width + x) * 4];
            amber += p[0] > 200 && p[1] > 120 && p[1] < 210 && p[2] < 90;
        }
    }
    EXPECT_GT(amber, 200) << "the warning drew no picture";
    ExpectMatches(frame, "room_turn_warning");
}

class EightBallHudGl : public RoomHudGl {
protected:
    EightBallHudGl() { gameType = 10; }
};

TEST_F(EightBallHudGl, TheGroupsInTheListTheInviteListsTicksAndFromAboveTheWholeTableBesideTheHud) {
    SeatTwoPlayers(room, 0, true);
    host->Pump(room, 300);
    host->Frame(room);
    room.Groups()->Show(false);  // the group notice goes after three seconds
    // The invite list with the first and third player ticked.
    scenes::hud::InviteListDialog& invite = *room.InviteList();
    invite.Show(true);
    Deliver(room, 2043, [](net::Packet& p) {
        p.WriteU16(3);
        for (std::uint16_t i = 0; i < 3; ++i)
            p.WriteU32(700u + i)
                .WriteU64(i)
                .WriteU16(5)
                .WriteString(u"Guest" + std::u16string(1, u'1' + i))
                .WriteU16(i);
    });
    invite.Tick(0);
    invite.Row(0)->Check()->Click();
    invite.Row(2)->Check()->Click();
    ExpectMatches(host->Frame(room), "room_8ball_behind");
    invite.Show(false);
    room.World()->SetTopView(true);
    host->Pump(room, 300);
    ExpectMatches(host->Frame(room), "room_8ball_top");
}
