// The client program's room HUD against a scripted room: a click on another player's row in the
// player list and "View Info" ask the server for that player's profile (210).
#include <gtest/gtest.h>

#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using testserver::Bytes;
using testserver::Writer;
using testsupport::ScriptedClient;

constexpr int kMs = 30000;

std::string ClickAt(int x, int y) {
    return "move " + std::to_string(x) + " " + std::to_string(y) + "\ndown left\nup left\nwait 300\n";
}

}  // namespace

TEST(RoomHudRun, ViewInfoOnAnotherPlayersRowAsksForHisProfileByIdAndNickname) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.roomFlow = false;
    testserver::TestGameServer server(options);
    server.Ignore(202);
    server.Ignore(261);
    ASSERT_TRUE(server.Start());

    // Two watchers listed at the lower right: rows of 47 pixels from y = 768 - 2 x 47 - 168 + 64.
    const int rowX = 1024 - 160 + 40, rivalRowY = 768 - 2 * 47 - 168 + 64 + 47 + 20;
    const std::string script =
        "wait-journal DIALOG Create Nick\ntext Alice\nkey Return\nwait-journal SCENE 4\nwait-journal ROOMS "
        "0\n" +
        ClickAt(80, 478) + "wait-journal DIALOG Create room\nkey Return\nwait-journal ENTERED 5\n" +
        ClickAt(rowX, rivalRowY) + ClickAt(rowX + 30, rivalRowY + 10) + "wait 1000\nquit\n";
    ScriptedClient client(testsupport::TempPath("room_hud"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();

    Writer room;
    room.u64(0).u8(0).u16(0).u16(0).u16(0).u16(1).u8(0).u8(1).u32(0).u8(0).u8(0);
    room.u32(10000).u32(0).u32(0).u8(0).u8(0).u8(2).u8(2).u8(0).u8(0).u8(0);
    room.str(u"Alice's room").u8(0).u8(0).u8(0).u32(0).u32(0);
    Writer members;
    members.u8(2);
    for (std::uint8_t seat = 0; seat < 2; ++seat) {
        members.u8(seat)
            .u64(seat + 1u)
            .u8(0)
            .str(seat == 0 ? u"Alice" : u"Rival")
            .u32(0)
            .u16(1)
            .u32(0)
            .u16(20);
        members.u64(5000).u8(0).u8(0).u16(0).u8(0).u32(0).u8(0).u16(3000).u8(0).u8(0).u8(0).u8(0).u8(0);
        members.u32(0).u8(0);
    }
    Writer chat;
    chat.u8(0).u8(1).str(u"Rival").str(u"look");
    ASSERT_TRUE(server.SendFrames(0, {{2001, room.bytes()}, {2011, members.bytes()}, {2006, chat.bytes()}}));

    const auto asked = server.Expect(0, 210, kMs);
    ASSERT_TRUE(asked) << client.Journal() << client.Log();
    Writer expected;
    expected.u8(255).u64(2).str(u"Rival");
    EXPECT_EQ(asked->body, expected.bytes());
    EXPECT_EQ(client.Wait(std::chrono::seconds(60)), std::optional<int>(0)) << client.Journal();
    server.Stop();
}
