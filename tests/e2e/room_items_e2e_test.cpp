// The client program in a scripted game room: an item of the room's item strip used in a game goes to
// the server (the test server's own answer comes back) and the answer reaches the strip.
#include <gtest/gtest.h>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

// The strip's first slot: the strip's left edge at 84, its top 250 pixels above the bottom (768).
constexpr const char* kFirstSlot = "100 534";

fs::path Folder(const std::string& name) {
    return testsupport::TempPath("room_items_e2e_" + name);
}

TEST(RoomItemsRun, AnItemOfTheStripUsedInAGameIsAskedGoesToTheServerAndItsAnswerSwitchesItOn) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    testserver::LedgerItem effect;  // for a limited time, not yet in use
    effect.serial = 700;
    effect.itemId = 4510;
    effect.type = 6;
    effect.state = 0;
    effect.usage = 1;
    effect.initial = effect.remaining = 7;
    server.GiveItem(u"alice", effect);
    ASSERT_TRUE(StartScripted(server));

    const std::string script = OpenRoom() + "wait-journal TURN 0 1\n" + Click(kFirstSlot) +
                               "wait-journal BOX Notice|This item is for limited time use\nkey Return\n"
                               "wait-journal BOX Notice|Successfully processed.\nkey Return\nwait 300\n" +
                               Click(kFirstSlot) +
                               "wait-journal CHAT 0xFFFFFF00 Use item : \nwait 300\nquit\n";
    ScriptedClient client(Folder("strip"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    ASSERT_TRUE(
        server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}, {2029, GameStart(5, 0, 4)}}));

    EXPECT_EQ(client.Wait(90s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    const auto uses = server.Received(0, 512);
    ASSERT_EQ(uses.size(), 1u) << journal;
    EXPECT_EQ(uses[0], (Bytes{0x9E, 0x11, 0, 0, 6, 0xBC, 2, 0, 0, 0, 0, 0, 0})) << "item, its type, serial";
    EXPECT_NE(journal.find("CHAT 0xFFFFFF00 Use item : All skills +15"), std::string::npos)
        << "the answer made the strip's item active" << journal;
    server.Stop();
}

}  // namespace
