// The client program driven by scripted input against the test game server: sign-in with the
// launcher's arguments, the lobby's room list, creating a room, a second client entering it after a
// wrong password, a purchase in the shop, and offline mode reaching the offline table without any
// connection.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::ReadFile;
using testsupport::ScriptedClient;

// The lobby's controls (RoomScriptSupport.h) and the create dialog's password field, on the 1024 x 768
// client area.
using roomscript::Click;
using roomscript::kCreateRoomButton;
using roomscript::kFirstRoomRow;
using roomscript::kJoinButton;
using roomscript::SignIn;
constexpr const char* kCreateDialogPassword = "450 312";
// And the shop's: its lobby button, the first card, the detail panel's and the purchase window's buy
// buttons, the membership button with its window's gift box and name field, and the way back.
constexpr const char* kShopButton = "926 391";
constexpr const char* kFirstShopCard = "84 260";
constexpr const char* kDetailBuyButton = "730 489";
constexpr const char* kPurchaseBuyButton = "580 490";
constexpr const char* kMembershipButton = "370 733";
constexpr const char* kMembershipGiftBox = "407 436";
constexpr const char* kMembershipName = "567 439";
constexpr const char* kShopExitButton = "1005 19";

fs::path Folder(const std::string& name) {
    return testsupport::TempPath("front_e2e_" + name);
}

TEST(FrontEndRun, TwoClientsCreateListAndEnterARoomAndAWrongPasswordLosesNothing) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());

    // Alice stays in her room until Bob has entered it.
    const std::string creatorScript = SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) +
                                      "wait-journal DIALOG Create room\nmove " + kCreateDialogPassword +
                                      "\ndown left\nup left\ntext pw1\nkey Return\nwait-journal SCENE 5\n"
                                      "wait-journal CHAT 0xFF00FF00 Bob entered room.\nquit\n";
    ScriptedClient creator(Folder("creator"), creatorScript);
    ASSERT_TRUE(creator.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(creator.WaitFor("SCENE 5")) << creator.Journal() << creator.Log();
    EXPECT_NE(creator.Journal().find("SCENE 4\nROOMS 0\n"), std::string::npos) << creator.Journal();

    // The second client finds the room, is refused with a wrong password, stays in the lobby with the
    // room still listed, and enters with the right one.
    const std::string joinClicks =
        Click(kFirstRoomRow) + Click(kJoinButton) + "wait-journal DIALOG Password\n";
    const std::string joinerScript = SignIn("Bob") + "wait-journal ROOMS 1\n" + joinClicks +
                                     "text wrong\nkey Return\nwait-journal BOX Error\nkey Return\n" +
                                     joinClicks + "text pw1\nkey Return\nwait-journal ENTERED 5\nquit\n";
    ScriptedClient joiner(Folder("joiner"), joinerScript);
    ASSERT_TRUE(joiner.Start({"launcher", "bob", "secret"}, server.Port()));
    EXPECT_EQ(joiner.Wait(60s), std::optional<int>(0)) << joiner.Journal() << joiner.Log();
    EXPECT_EQ(creator.Wait(30s), std::optional<int>(0)) << creator.Journal();
    const std::string journal = joiner.Journal();
    const std::size_t listed = journal.find("ROOMS 1 1\n");
    const std::size_t refused = journal.find("BOX Error|The password is wrong.\n");
    const std::size_t entered = journal.find("SCENE 5\n");
    ASSERT_NE(listed, std::string::npos) << journal;
    ASSERT_NE(refused, std::string::npos) << journal;
    EXPECT_LT(listed, refused);
    EXPECT_LT(refused, entered);
    EXPECT_EQ(journal.find("SCENE 4", refused), std::string::npos) << "the refusal keeps the lobby as it was";
    EXPECT_EQ(server.CountReceived(1, 162), 2) << "one refused and one accepted entry";
    server.Stop();
}

TEST(FrontEndRun, APlayerBuysACueInTheShopAndReturnsToTheLobby) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string script =
        SignIn("Carol") + Click(kShopButton) + "wait-journal ENTERED 10\n" + Click(kFirstShopCard) +
        Click(kDetailBuyButton) + "wait-journal DIALOG \n" + Click(kPurchaseBuyButton) +
        "wait-journal BOX Notice|Successfully purchased.\nkey Return\n" +
        // A gift of a membership: Enter closes the notices and buys from the
        // name, Escape closes the window, which opens again in the shop.
        Click(kMembershipButton) + "wait-journal DIALOG \n" + Click(kMembershipGiftBox) +
        "wait-journal BOX Notice|받는 사람에게\nkey Return\n" + Click(kMembershipName) +
        "text Bob\nkey Return\nwait-journal BOX Notice|플러스 멤버십은\nkey Return\n"
        "key Escape\n" +
        Click(kMembershipButton) + "wait-journal DIALOG \nkey Escape\n" + Click(kShopExitButton) +
        "wait-journal ENTERED 4\nquit\n";
    ScriptedClient client(Folder("shopper"), script);
    ASSERT_TRUE(client.Start({"launcher", "carol", "secret"}, server.Port()));
    ASSERT_TRUE(client.WaitFor("BOX Notice|Successfully purchased.|Check the item in [My Item]."))
        << client.Journal() << client.Log();
    EXPECT_EQ(client.Wait(30s), std::optional<int>(0));
    const std::string journal = client.Journal();
    const std::size_t shop = journal.find("SCENE 10\n");
    ASSERT_NE(shop, std::string::npos) << journal;
    EXPECT_NE(journal.find("SCENE 4\n", shop), std::string::npos) << "To Lobby returns to the lobby";
    EXPECT_LT(journal.find("BOX Notice|플러스 멤버십은 당분간 결제불가능합니다.\n", shop),
              journal.find("SCENE 4\n", shop))
        << "Enter in the membership window left the shop";
    EXPECT_EQ(server.CountReceived(0, 507), 1) << "one purchase";
    EXPECT_EQ(server.CountReceived(0, 1146), 1) << "leaving the shop is told";
    server.Stop();
}

TEST(FrontEndRun, EmptyAccountArgumentsAreRefusedWithTheErrorBox) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    ScriptedClient client(Folder("noargs"), "wait-journal BOX Error\nkey Return\n");
    // A normal start whose login id and password are empty (missing ones are a usage error).
    ASSERT_TRUE(client.Start({"launcher", "", ""}, server.Port()));
    EXPECT_EQ(client.Wait(40s), std::optional<int>(0)) << "OK on the box ends the client";
    EXPECT_NE(client.Journal().find("BOX Error|Sign-in failed.|Check your ID and password."),
              std::string::npos)
        << client.Journal();
    EXPECT_EQ(client.Journal().find("SCENE 4"), std::string::npos);
    server.Stop();
}

TEST(FrontEndRun, OfflineReachesTheOfflineTableWithoutAConnection) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    ScriptedClient client(Folder("offline"), "wait-journal ENTERED 11\nquit\n");
    ASSERT_TRUE(client.Start({"offline"}, server.Port()));
    EXPECT_EQ(client.Wait(40s), std::optional<int>(0));
    EXPECT_EQ(client.Journal().rfind("SCENE 2\nENTERED 2\nSCENE 1\nENTERED 1\nSCENE 11\n", 0), 0u)
        << client.Journal();
    EXPECT_EQ(server.ClientCount(), 0) << "offline mode opened a connection";
    server.Stop();
}

}  // namespace
