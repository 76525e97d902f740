// Item use from the game room, the counted item an own shot uses up and the camera at a game start,
// without a window or a server.
#include <gtest/gtest.h>

#include <cmath>

#include "net/ItemEntry.h"
#include "scenes/room/hud/ChalkGauge.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "table/TableWorld.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;

constexpr std::uint32_t kConsumedColour = 0xFFFF8080;

class RoomItemUseTest : public RoomSceneTest {
protected:
    // An owned entry; a chalk (4903, counted uses in the item table) when not said otherwise.
    net::ItemEntry& Own(std::uint64_t serial, std::uint32_t itemId = 4903, std::uint32_t type = 5,
                        std::int32_t count = 10) {
        net::ItemEntry* e = host.session->AllocItemEntry();
        e->serial = serial;
        e->itemId = itemId;
        e->type = type;
        e->usageKind = 3;
        e->initialValue = e->remainingValue = count;
        EXPECT_TRUE(host.session->own.AddItem(serial, e));
        return *e;
    }
    // Two players (seats 0 and 1) in teams 1 and 2; types 0 and 3 carry the finishing-shot points.
    void StartGameOfType(std::uint8_t gameType, std::uint8_t shooter) {
        const bool finishing = gameType == 0 || gameType == 3;
        Deliver(2029, [&](net::Packet& p) {
            p.WriteU32(77).WriteU32(0).WriteU8(shooter).WriteU8(shooter).WriteU8(0);
            p.WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(0).WriteU8(2).WriteU8(1);
            for (std::uint8_t seat = 0; seat < 2; ++seat) {
                p.WriteU8(seat + 1).WriteU16(0).WriteU32(0).WriteU16(0).WriteU8(0);
                if (finishing) p.WriteU8(3).WriteU8(1);
                p.WriteU8(0).WriteU8(seat).WriteU64(1000).WriteU16(0);
            }
            p.WriteU32(0);
        });
    }
    // The chalk applied, then the own shot struck.
    void ChalkAndStrike() {
        scene.Chalk()->SetLevel(75);
        scene.OnMessage(1083, 75, 0);
        scene.OnMessage(1111, 120, 1);
    }
};

TEST_F(RoomItemUseTest, TheYesButtonSendsTheUseOfTheEntryChosenInTheStripOrTheCuePanelAndNoOtherAnswer) {
    Own(40, 4510, 6);
    Own(41, 3043, 1);
    host.session->own.equipment[4].cueSerial = 41;
    scene.OnMessage(1069, 0, 0);  // the item bar follows the new items at the next frame
    scene.Render(nullptr, false);
    scene.OnMessage(1087, 2052, 0);
    EXPECT_TRUE(SentWith(512).empty()) << "nothing chosen yet";

    gui::CommandEvent slot;
    slot.id = 150;
    ASSERT_TRUE(scene.ItemStrip()->OnCommand(slot));
    scene.CuePanel()->SetSelectionSlot(4);
    scene.CuePanel()->Show(true);    // the equipped cue is the panel's choice
    scene.OnMessage(1087, 2053, 0);  // "No"
    EXPECT_TRUE(SentWith(512).empty());
    scene.OnMessage(1087, 2052, 0);
    scene.OnMessage(1087, 2052, 1);
    const auto uses = SentWith(512);
    ASSERT_EQ(uses.size(), 2u);
    // u32 item id, u8 the type of the item's definition, u64 serial.
    EXPECT_EQ(uses[0].body, (Bytes{0x9E, 0x11, 0, 0, 6, 40, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(uses[1].body, (Bytes{0xE3, 0x0B, 0, 0, 1, 41, 0, 0, 0, 0, 0, 0, 0}))
        << "source 1 names the cue panel's choice";

    // An installed choice goes first; nothing chosen there: nothing is sent.
    scene.SetItemSelection([](int) -> const net::ItemEntry* { return nullptr; });
    EXPECT_FALSE(scene.SendItemUse(0));
    EXPECT_EQ(SentWith(512).size(), 2u);
}

TEST_F(RoomItemUseTest, AShotReportsTheCountTheTableKeptOnceAndTheLastUseEmptiesTheInventory) {
    net::ItemEntry& cue = Own(77, 3104, 1);
    cue.personal = 1;
    cue.unit = 3;
    cue.remainingValue = 50000;
    cue.initialValue = 200000;
    host.session->own.equipment[4].cueSerial = 77;
    net::ItemEntry& chalk = Own(30, 4903, 5, 2);
    ASSERT_TRUE(host.session->own.SelectItem(30));
    EnterRoom(0, 0);
    StartGame(0);

    ChalkAndStrike();
    EXPECT_EQ(scene.World()->ConsumableLeft(), 1);
    EXPECT_EQ(chalk.remainingValue, 1);
    auto wear = SentWith(546);
    ASSERT_EQ(wear.size(), 2u);
    EXPECT_EQ(wear[0].packet, wear[1].packet) << "cue wear and the count leave in one packet";
    EXPECT_EQ(wear[1].body, (Bytes{0x27, 0x13, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0}));

    // A shot without chalk uses nothing and reports no count again.
    scene.OnMessage(1111, 120, 0);
    EXPECT_EQ(SentWith(546).size(), 3u) << "only the cue's wear";

    const int freeBefore = host.session->FreeItemEntries();
    ChalkAndStrike();
    wear = SentWith(546);
    ASSERT_EQ(wear.size(), 5u);
    EXPECT_EQ(wear[4].body, (Bytes{0x27, 0x13, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(HasChat("Master chalk item has all been consumed.", kConsumedColour));
    EXPECT_EQ(host.session->own.FindItem(30), nullptr);
    EXPECT_EQ(host.session->own.GetCurrentItem(), nullptr) << "no selection points at a freed entry";
    EXPECT_EQ(host.session->FreeItemEntries(), freeBefore + 1);
    EXPECT_EQ(scene.World()->ConsumableLeft(), -1);
}

TEST_F(RoomItemUseTest, AWatcherOrAPracticeShotReportsNoCountAndACountChangedByTheServerIsTaken) {
    net::ItemEntry& chalk = Own(30, 4903, 5, 5);
    ASSERT_TRUE(host.session->own.SelectItem(30));
    EnterRoom(0, 0);
    ChalkAndStrike();
    EXPECT_TRUE(SentWith(546).empty()) << "no game runs";
    EXPECT_EQ(chalk.remainingValue, 5);

    StartGame(0);
    ChalkAndStrike();
    ASSERT_EQ(SentWith(546).size(), 1u);
    EXPECT_EQ(SentWith(546)[0].body[12], 4);
    // The server sets a new count (a purchase): the next use counts down from it, not from the table's.
    chalk.remainingValue = 20;
    ChalkAndStrike();
    ASSERT_EQ(SentWith(546).size(), 2u);
    EXPECT_EQ(SentWith(546)[1].body[12], 19);
    EXPECT_EQ(chalk.remainingValue, 19);
}

TEST_F(RoomItemUseTest, TheOwnFirstTurnOfTypesThreeAndFiveFacesTheHeadingOthersFaceTheCueLine) {
    const struct {
        std::uint8_t gameType;
        std::uint8_t shooter;
        bool heading;
    } cases[] = {{3, 0, true}, {5, 0, true}, {0, 0, false}, {3, 1, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.gameType) * 10 + c.shooter);
        host.session->GetRoom().gameType = c.gameType;
        scene.Enter();
        ASSERT_TRUE(scene.World()->SetGameType(c.gameType));
        EnterRoom(0, 0);
        StartGameOfType(c.gameType, c.shooter);
        ASSERT_TRUE(scene.GameRunning());
        Run(1000);
        const float yaw = scene.World()->GetCameraRig().GetYawDegrees();
        EXPECT_EQ(std::fabs(yaw - 150.0f) < 0.01f, c.heading) << yaw;
        Deliver(2031, [](net::Packet& p) { p.WriteU8(0); });
    }
}

}  // namespace
