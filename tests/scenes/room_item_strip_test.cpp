// The game room's item strip and cue panel without a window or a server: what choosing an item in them
// does (the level and activation steps, cues, chalks, effect items), the use request and its answer,
// and the strip and the cue tab following the own items.
#include <gtest/gtest.h>

#include <utility>

#include "gui/Button.h"
#include "gui/CommonDialogs.h"
#include "gui/NoticeBox.h"
#include "gui/TextLabel.h"
#include "net/ItemEntry.h"
#include "platform/sys/Clock.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/ItemWidgets.h"
#include "scenes/room/hud/PlayerPanel.h"
#include "scenes/room/hud/SlidingPanels.h"
#include "tests/scenes/support/DeliverPacket.h"
#include "tests/scenes/support/FakeSceneHost.h"
#include "tests/scenes/support/SentFrames.h"

namespace {

using scenes::SceneRoomGame;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kYellow = 0xFFFFFF00;

class BoxHost : public FakeSceneHost {
public:
    gui::NoticeBox* GetNoticeBox() override { return &box; }
    gui::NoticeBox box;
};

class RoomItemStripTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::SetClock(&clock);
        host.session->GetRoom().gameType = 4;
        host.session->own.level = 3;
        scene.SetHost(&host);
        scene.SetSendTap([this](const net::Packet& p) {
            ForEachSentFrame(
                p, [this](std::uint16_t id, Bytes body) { sent.emplace_back(id, std::move(body)); });
        });
        scene.Load3D(nullptr, nullptr);
    }
    void TearDown() override { platform::SetClock(nullptr); }

    net::ItemEntry& Own(std::uint64_t serial, std::uint32_t itemId, net::ItemType type, std::uint8_t usage,
                        std::int32_t count, std::uint8_t state = 1) {
        net::ItemEntry* e = host.session->AllocItemEntry();
        e->serial = serial;
        e->itemId = itemId;
        e->type = static_cast<std::uint32_t>(type);
        e->usageKind = usage;
        e->state = state;
        e->initialValue = e->remainingValue = count;
        EXPECT_TRUE(host.session->own.AddItem(serial, e));
        return *e;
    }
    // The room on entry: the own seat 0 is the master, no game runs.
    void EnterRoom() {
        scene.Enter();
        EXPECT_EQ(DeliverPacket(scene, 2001,
                                [](net::Packet& p) {
                                    p.WriteU64(0).WriteU8(0).WriteU16(0).WriteU16(0).WriteU16(0).WriteU16(7);
                                    p.WriteU8(0).WriteU8(1).WriteU32(0).WriteU8(0).WriteU8(0);
                                    p.WriteU32(10000).WriteU32(0).WriteU32(0).WriteU8(0).WriteU8(0);
                                    p.WriteU8(2).WriteU8(2).WriteU8(0).WriteU8(0).WriteU8(0);
                                    p.WriteString(u"room").WriteU8(0).WriteU8(0).WriteU8(0).WriteU32(0);
                                    p.WriteU32(0);
                                }),
                  0);
        scene.Render(nullptr, false);
    }
    // A click on the strip's slot k: the strip posts its choice, the room takes it as the shell would.
    void ChooseInStrip(int k) {
        gui::CommandEvent click;
        click.id = 150 + static_cast<std::uint32_t>(k);
        ASSERT_TRUE(scene.ItemStrip()->OnCommand(click));
        Deliver();
    }
    void ChooseInCuePanel(int card) {
        scene.CuePanel()->SetSelectionSlot(4);
        scene.CuePanel()->Show(true);
        gui::CommandEvent click;
        click.id = 100 + static_cast<std::uint32_t>(card);
        ASSERT_TRUE(scene.CuePanel()->OnCommand(click));
        Deliver();
    }
    // What the widgets posted goes to the room, as the shell's queue would hand it on.
    void Deliver() {
        const std::vector<PostedMessage> posted = std::exchange(host.posted, {});
        for (const PostedMessage& m : posted) scene.OnMessage(m.code, m.a, m.b);
    }
    std::vector<Bytes> SentWith(std::uint16_t id) const {
        std::vector<Bytes> found;
        for (const auto& [sid, body] : sent)
            if (sid == id) found.push_back(body);
        return found;
    }
    bool HasChat(const std::string& text, std::uint32_t argb) const {
        for (const scenes::ChatLine& line : scene.ChatLines())
            if (line.argb == argb && ToUtf8(line.text) == text) return true;
        return false;
    }

    platform::VirtualClock clock{100000};
    BoxHost host;
    SceneRoomGame scene;
    std::vector<std::pair<std::uint16_t, Bytes>> sent;
};

TEST_F(RoomItemStripTest, ALimitedTimeItemAsksFirstIsUsedThroughTheServerAndItsAnswerReachesTheStrip) {
    net::ItemEntry& effect = Own(700, 4510, net::ItemType::Effect, 1, 7, 0);
    EnterRoom();
    ASSERT_EQ(scene.ItemStrip()->QualifyingCount(), 1) << "the strip lists the own items on entry";

    ChooseInStrip(0);
    ASSERT_TRUE(host.box.IsVisible());
    EXPECT_EQ(host.box.ResultCode(), 1087u);
    EXPECT_EQ(host.box.Param(), 6u) << "the answer names the strip (the item's kind)";
    EXPECT_EQ(host.box.Line(3), u"Do you want to use the item?");
    EXPECT_TRUE(SentWith(512).empty()) << "nothing goes before the answer";
    host.box.Press(0);  // "Yes"
    Deliver();
    ASSERT_EQ(SentWith(512).size(), 1u);
    EXPECT_EQ(SentWith(512)[0], (Bytes{0x9E, 0x11, 0, 0, 6, 0xBC, 2, 0, 0, 0, 0, 0, 0}));

    EXPECT_EQ(DeliverPacket(scene, 513,
                            [](net::Packet& p) {
                                p.WriteU8(0).WriteU64(700).WriteU32(4510).WriteU8(1).WriteU8(0);
                                p.WriteString(u"2030-01-01 00:00");
                            }),
              0);
    scene.Render(nullptr, false);
    EXPECT_EQ(effect.state, 1);
    EXPECT_EQ(scene.ItemStrip()->Slot(0)->Item(), &effect);

    // Now in use: a choice switches its effect on, the own strike ends it, and it can be chosen again.
    ChooseInStrip(0);
    EXPECT_TRUE(HasChat("Use item : All skills +15", kYellow));
    EXPECT_EQ(host.session->GetItemEffectFlag(0), 1);
    scene.OnMessage(1111, 120, 0);
    EXPECT_EQ(host.session->GetItemEffectFlag(0), 0) << "an effect lasts one shot";
    EXPECT_EQ(SentWith(512).size(), 1u);
}

TEST_F(RoomItemStripTest, AChalkChosenInTheStripBecomesTheChalkOnceAndAnItemUsedUpLeavesTheStrip) {
    Own(30, 4903, net::ItemType::Chalk, 3, 5);
    Own(31, 4901, net::ItemType::Chalk, 3, 300);
    EnterRoom();
    ASSERT_EQ(scene.ItemStrip()->QualifyingCount(), 2);
    ASSERT_EQ(scene.ItemStrip()->Slot(1)->Item()->serial, 30u) << "the newest entry first";
    ChooseInStrip(1);
    EXPECT_EQ(host.session->own.currentItemSerial, 30u);
    EXPECT_TRUE(HasChat("Chalk is changed to Master chalk", kYellow));
    EXPECT_TRUE(scene.World()->chalkReload);
    const std::size_t lines = scene.ChatLines().size();
    ChooseInStrip(1);
    EXPECT_EQ(scene.ChatLines().size(), lines) << "the chalk in use is not changed again";
    EXPECT_TRUE(SentWith(512).empty()) << "a chalk in use needs no server";

    // The server counts the chalk down to nothing: it leaves the strip, and the choice with it.
    EXPECT_EQ(DeliverPacket(scene, 2045, [](net::Packet& p) { p.WriteU8(0).WriteU64(30).WriteU16(0); }), 0);
    scene.Render(nullptr, false);
    EXPECT_EQ(scene.ItemStrip()->QualifyingCount(), 1);
    EXPECT_EQ(scene.ItemStrip()->SelectedEntry(), nullptr);
    scene.OnMessage(1087, 2052, 0);
    EXPECT_TRUE(SentWith(512).empty()) << "no use request names an entry back in the pool";
}

TEST_F(RoomItemStripTest, ACueChosenInTheCuePanelNeedsItsLevelAndBecomesTheOwnCueOnce) {
    Own(41, 3043, net::ItemType::Cue, 0, 0);  // level 10
    Own(42, 3010, net::ItemType::Cue, 0, 0);
    host.session->own.equipment[4].cueSerial = 42;
    host.session->own.equipment[4].cueId = 3010;
    EnterRoom();
    ASSERT_TRUE(scene.CueTab()->IsVisible()) << "the own cues are within reach";

    ChooseInCuePanel(1);  // 3043: the newest entry is card 0
    EXPECT_EQ(host.notices.back(), u"This item allowed to use level 10");
    EXPECT_TRUE(SentWith(544).empty());

    host.session->own.level = 10;
    ChooseInCuePanel(1);
    ASSERT_EQ(SentWith(544).size(), 1u);
    EXPECT_EQ(SentWith(544)[0], (Bytes{41, 0, 0, 0, 0, 0, 0, 0, 0xE3, 0x0B, 0, 0}));
    EXPECT_TRUE(HasChat("Cue is chaned to Carbon cue III.", kYellow));
    ChooseInCuePanel(1);
    EXPECT_EQ(SentWith(544).size(), 1u) << "the cue in use is not chosen again";
}

TEST_F(RoomItemStripTest, ALeaveRefusedWithResultOneOpensTheSharedErrorQuestionAndKeepsTheRoom) {
    EnterRoom();
    EXPECT_EQ(DeliverPacket(scene, 2009, [](net::Packet& p) { p.WriteU8(1); }), 0);
    EXPECT_FALSE(host.box.IsVisible()) << "the box goes up on the main thread";
    scene.Render(nullptr, false);
    ASSERT_TRUE(host.box.IsVisible());
    EXPECT_EQ(host.box.Caption(), u"error");
    EXPECT_EQ(host.box.Line(0), u"this message will not show");
    EXPECT_EQ(host.box.Layout(), 2) << "the yes/no layout: the box can be closed";
    EXPECT_TRUE(host.notices.empty()) << "not the room's notice box";
    EXPECT_FALSE(scene.ChangeRequested());
}

TEST_F(RoomItemStripTest, TheCueTabShowsOnlyWhileTheOwnRecordHoldsACue) {
    EnterRoom();
    EXPECT_FALSE(scene.CueTab()->IsVisible());
    Own(42, 3010, net::ItemType::Cue, 0, 0);
    scene.OnMessage(1069, 0, 0);
    scene.Render(nullptr, false);
    EXPECT_TRUE(scene.CueTab()->IsVisible());
}

}  // namespace
