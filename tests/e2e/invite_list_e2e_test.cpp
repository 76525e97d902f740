// The invite list of a game room against the scripted test server over loopback: the list request
// the room sends, the server's list decoded into rows, and the invitation of the players ticked,
// each read back with the server's own codec.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "gui/Button.h"
#include "gui/TextLabel.h"
#include "net/GameSession.h"
#include "net/Packet.h"
#include "platform/window/WindowCodes.h"
#include "scenes/room/SceneRoomGame.h"
#include "scenes/room/hud/InviteList.h"
#include "tests/common/Patience.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/scenes/support/FakeSceneHost.h"

namespace {

using testserver::Bytes;
using testserver::Reader;
using testserver::Writer;

gui::CommandEvent Click(std::uint32_t id, std::int32_t value = 0) {
    gui::CommandEvent e;
    e.id = id;
    e.value = value;
    return e;
}

class InviteListE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start());
        server.Ignore(static_cast<std::uint16_t>(net::MessageId::KeepAlive));
        host.session->GetRoom().gameType = 4;
        host.session->GetRoom().maxPlayers = 4;
        scene.SetHost(&host);
        scene.Load3D(nullptr, nullptr);
        gate.SetCurrent(&scene);
        net::GameSession& session = *host.session;
        session.SetSceneGate(&gate);
        session.StartDispatchThread();
        ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
        ASSERT_TRUE(session.WaitConnected(5000));
        ASSERT_TRUE(server.WaitForClients(1, 5000));
        scene.Enter();
        ASSERT_TRUE(NextWithId(2007)) << "the room says it has entered";
    }
    void TearDown() override {
        host.session->StopDispatchThread();
        host.session->Disconnect();
        gate.SetCurrent(nullptr);
        server.Stop();
    }
    std::optional<testserver::Frame> NextWithId(std::uint16_t id) {
        for (int i = 0; i < 20; ++i) {
            auto f = server.Next(0, 5000);
            if (!f) return std::nullopt;
            if (f->id == id) return f;
        }
        return std::nullopt;
    }
    // The server's list of `count` players, keyed 700 on, the third with a name longer than a row holds.
    void SendList(int count) {
        Writer w;
        w.u16(static_cast<std::uint16_t>(count));
        for (int i = 0; i < count; ++i) {
            const std::u16string name =
                i == 2 ? u"\uc7ad\ud31f-abcdefghijklmnop" : u"player" + std::u16string(1, u'0' + i);
            w.u32(700 + i)
                .u64(0x1122334400000000ull + i)
                .u16(static_cast<std::uint16_t>(10 + i))
                .str(name)
                .u16(static_cast<std::uint16_t>(i * 3));
        }
        ASSERT_TRUE(server.Send(0, 2043, w.bytes()));
        ASSERT_TRUE(WaitForCandidates(static_cast<std::size_t>(count)));
        scene.InviteList()->Tick(0);
    }
    // `name` (player id `id`) enters seat `seat`; the room then holds `count` players.
    void PlayerEnters(std::uint8_t count, std::uint8_t seat, std::uint64_t id, const std::u16string& name) {
        Writer w;
        w.u8(count).u8(seat).u64(id).u8(0).str(name).u32(0).u16(1).u32(0).u64(5000).u8(0).u16(0).u8(0).u16(0);
        w.u32(0).u16(3000).u8(0).u8(0).u8(0).u8(0).u8(0).u32(0).u8(0);
        ASSERT_TRUE(server.Send(0, 2014, w.bytes()));
    }
    // A left click at the widget's middle, through the room's widgets as the window hands it over.
    void ClickOn(const gui::Widget& w) {
        const std::intptr_t at = ((w.ScreenY() + w.Height() / 2) << 16) | (w.ScreenX() + w.Width() / 2);
        for (std::uint32_t message :
             {platform::kWmMouseMove, platform::kWmLButtonDown, platform::kWmLButtonUp})
            scene.RouteMessage(message, 0, at);
    }
    bool WaitForCandidates(std::size_t n) {
        return testsupport::WaitUntil([&] { return scene.InviteList()->Candidates().size() == n; });
    }

    testserver::TestGameServer server;
    FakeSceneHost host;
    scenes::SceneRoomGame scene;
    net::BasicSceneGate gate;
};

TEST_F(InviteListE2e, RequestReplyAndInvitationKeepTheirByteLayouts) {
    scenes::hud::InviteListDialog& dialog = *scene.InviteList();
    dialog.Show(true);
    const auto request = NextWithId(2042);
    ASSERT_TRUE(request);
    EXPECT_EQ(request->body, Bytes{0});

    SendList(10);
    const auto rows = dialog.Candidates();
    EXPECT_EQ(rows[0].nickname, u"player0");
    EXPECT_EQ(rows[2].nickname, u"\uc7ad\ud31f-abcdefghij");
    EXPECT_EQ(rows[2].level, 12);
    EXPECT_EQ(rows[2].count, 6);
    EXPECT_EQ(rows[9].key, 709u);
    EXPECT_EQ(rows[9].playerId, 0x1122334400000009ull);
    EXPECT_EQ(dialog.Row(6)->Name()->Text(), u"player6");

    // The first, third and tenth are invited in one message.
    dialog.OnCommand(Click(100, 1));
    dialog.OnCommand(Click(102, 1));
    dialog.OnCommand(Click(10, 4));
    dialog.OnCommand(Click(106, 1));
    dialog.OnCommand(Click(2050));
    const auto invitation = NextWithId(2044);
    ASSERT_TRUE(invitation);
    Reader r(invitation->body);
    ASSERT_EQ(r.u8(), 3);
    EXPECT_EQ(r.u64(), 0x1122334400000000ull);
    EXPECT_EQ(r.u64(), 0x1122334400000002ull);
    EXPECT_EQ(r.u64(), 0x1122334400000009ull);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.left(), 0u) << "the count matches the ids that follow";
}

TEST_F(InviteListE2e, ARowTicksWhereverItIsClickedAndTheListFollowsThePlayersOfTheRoom) {
    scenes::hud::InviteListDialog& dialog = *scene.InviteList();
    scene.Show(true);
    dialog.Show(true);
    ASSERT_TRUE(NextWithId(2042));
    SendList(5);
    // The level icon beside the box, the name and the count tick the row as the box does.
    for (const gui::Widget* w : {static_cast<const gui::Widget*>(dialog.Row(1)->LevelIcon()),
                                 static_cast<const gui::Widget*>(dialog.Row(3)->Name()),
                                 static_cast<const gui::Widget*>(dialog.Row(4)->Count())})
        ClickOn(*w);
    std::vector<bool> ticked;
    for (const auto& c : dialog.Candidates()) ticked.push_back(c.selected && c.available);
    EXPECT_EQ(ticked, (std::vector<bool>{false, true, false, true, true}));

    // player1 comes into the room: his row goes at once, and the list is asked for anew.
    PlayerEnters(2, 1, 0x1122334400000001ull, u"player1");
    ASSERT_TRUE(WaitForCandidates(4));
    dialog.Tick(0);
    EXPECT_EQ(dialog.Row(1)->Name()->Text(), u"\uc7ad\ud31f-abcdefghij");
    EXPECT_TRUE(NextWithId(2042)) << "an open list asks again when the room changes";
    // The room fills up: nobody more can come, and the list closes.
    PlayerEnters(4, 2, 0x1122334400000003ull, u"player3");
    testsupport::WaitUntil([&] {
        dialog.Tick(0);
        return !dialog.IsVisible();
    });
    EXPECT_FALSE(dialog.IsVisible());
}

}  // namespace
