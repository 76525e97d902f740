// The game room's item strip and cue panel: what choosing an item does (the level and activation steps,
// cues, chalks, effect items), the use request and its answer, and the strip following the own items.
#include <gtest/gtest.h>

#include <utility>

#include "gui/Button.h"
#include "gui/NoticeBox.h"
#include "net/ItemEntry.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "tests/scenes/support/RoomSceneFixture.h"

namespace {

using namespace room_test;

class RoomItemStripTest : public RoomSceneTest {
protected:
    void SetUp() override {
        host.noticeBox = &box;
        RoomSceneTest::SetUp();
    }
    net::ItemEntry& Own(std::uint64_t serial, std::uint32_t itemId, net::ItemType type,
                        std::uint8_t usage = 3, std::uint8_t state = 1) {
        net::ItemEntry* e = host.session->AllocItemEntry();
        e->serial = serial;
        e->itemId = itemId;
        e->type = static_cast<std::uint32_t>(type);
        e->usageKind = usage;
        e->state = state;
        e->initialValue = e->remainingValue = 7;
        EXPECT_TRUE(host.session->own.AddItem(serial, e));
        return *e;
    }
    // A click on a strip slot (150 + k) or a cue card (100 + k); what it posts goes to the room.
    void Choose(gui::Widget& panel, std::uint32_t id) {
        if (&panel == scene.CuePanel()) {
            scene.CuePanel()->SetSelectionSlot(4);
            scene.CuePanel()->Show(true);
        }
        gui::CommandEvent click;
        click.id = id;
        ASSERT_TRUE(panel.OnCommand(click));
        DeliverPosted();
    }
    void DeliverPosted() {
        for (const PostedMessage& m : std::exchange(host.posted, {})) scene.OnMessage(m.code, m.a, m.b);
    }
    void Refill() {
        scene.OnMessage(1069, 0, 0);
        scene.Render(nullptr, false);
    }
    gui::NoticeBox box;
};

TEST_F(RoomItemStripTest, ALimitedTimeItemAsksFirstIsUsedThroughTheServerAndItsAnswerReachesTheStrip) {
    net::ItemEntry& effect = Own(700, 4510, net::ItemType::Effect, 1, 0);
    Refill();
    Choose(*scene.ItemStrip(), 150);
    ASSERT_TRUE(box.IsVisible());
    EXPECT_EQ(box.ResultCode(), 1087u);
    EXPECT_TRUE(SentWith(512).empty()) << "nothing goes before the answer";
    box.Press(0);  // "Yes"
    DeliverPosted();
    ASSERT_EQ(SentWith(512).size(), 1u);
    EXPECT_EQ(SentWith(512)[0].body, (Bytes{0x9E, 0x11, 0, 0, 6, 0xBC, 2, 0, 0, 0, 0, 0, 0}));

    Deliver(513, [](net::Packet& p) {
        p.WriteU8(0).WriteU64(700).WriteU32(4510).WriteU8(1).WriteU8(0).WriteString(u"2030-01-01");
    });
    scene.Render(nullptr, false);
    EXPECT_EQ(effect.state, 1);
    // In use now: a choice switches the effect on, and the own strike ends it.
    Choose(*scene.ItemStrip(), 150);
    EXPECT_TRUE(HasChat("Use item : All skills +15", kYellow));
    EXPECT_EQ(host.session->GetItemEffectFlag(0), 1);
    scene.OnMessage(1111, 120, 0);
    EXPECT_EQ(host.session->GetItemEffectFlag(0), 0) << "an effect lasts one shot";
    EXPECT_EQ(SentWith(512).size(), 1u);
}

TEST_F(RoomItemStripTest, AChalkBecomesTheChalkOnceAndOneUsedUpLeavesTheStripAndTheChoice) {
    Own(30, 4903, net::ItemType::Chalk);
    Refill();
    Choose(*scene.ItemStrip(), 150);
    EXPECT_EQ(host.session->own.currentItemSerial, 30u);
    EXPECT_TRUE(HasChat("Chalk is changed to Master chalk", kYellow));
    const std::size_t lines = scene.ChatLines().size();
    Choose(*scene.ItemStrip(), 150);
    EXPECT_EQ(scene.ChatLines().size(), lines) << "the chalk in use is not changed again";

    Deliver(2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(30).WriteU16(0); });
    scene.Render(nullptr, false);
    EXPECT_EQ(scene.ItemStrip()->QualifyingCount(), 0);
    scene.OnMessage(1087, 2052, 0);
    EXPECT_TRUE(SentWith(512).empty()) << "no use request names an entry back in the pool";
}

TEST_F(RoomItemStripTest, ACueOfTheCuePanelNeedsItsLevelAndBecomesTheOwnCueOnce) {
    EXPECT_FALSE(scene.CueTab()->IsVisible()) << "no cue, no cue panel";
    Own(41, 3043, net::ItemType::Cue, 1);  // level 10
    Refill();
    EXPECT_TRUE(scene.CueTab()->IsVisible());
    Choose(*scene.CuePanel(), 100);
    EXPECT_EQ(host.notices.back(), u"This item allowed to use level 10");
    host.session->own.level = 10;
    Choose(*scene.CuePanel(), 100);
    ASSERT_EQ(SentWith(544).size(), 1u);
    EXPECT_EQ(SentWith(544)[0].body, (Bytes{41, 0, 0, 0, 0, 0, 0, 0, 0xE3, 0x0B, 0, 0}));
    Choose(*scene.CuePanel(), 100);
    EXPECT_EQ(SentWith(544).size(), 1u) << "the cue in use is not chosen again";
}

TEST_F(RoomItemStripTest, ALeaveRefusedWithResultOneOpensTheSharedErrorBoxThatCanBeClosed) {
    Deliver(2009, [](net::Packet& p) { p.WriteU8(1); });
    scene.Render(nullptr, false);
    ASSERT_TRUE(box.IsVisible());
    EXPECT_EQ(box.Caption(), u"error");
    EXPECT_EQ(box.Line(0), u"this message will not show");
    EXPECT_NE(box.LayoutButton(0), nullptr);
    EXPECT_FALSE(scene.ChangeRequested());
}

}  // namespace
