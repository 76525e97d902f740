// Two client programs in one room of the test server: the master learns who enters (2014) and who
// leaves (2015); a player who leaves a running game is asked to withdraw first and the game ends on
// both sides (2038, 2031); a player whose connection closes mid-game ends it too.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

constexpr const char* kStarted = "wait-journal CHAT 0xFF00FF00 The game has started.\n";
// The in-game menu's "Withdraw" (Esc opens the menu, centred).
constexpr const char* kMenuWithdraw = "512 396";

fs::path Folder(const std::string& name) {
    return testsupport::TempPath("room_leave_" + name);
}

struct LeaveRun {
    std::string alice, bob, aliceLog, bobLog;
};

// Alice opens a three-cushion room, Bob enters, both take a team and Alice starts; then Bob's
// `leave` script runs and Alice waits for `aliceWaits`.
LeaveRun PlayThenLeave(const std::string& name, const std::string& leave, const std::string& aliceWaits) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    EXPECT_TRUE(server.Start());
    const std::string alice = SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) +
                              "wait-journal DIALOG Create room\nkey Return\nwait-journal ENTERED 5\n" +
                              Click(kTeamOne) + "wait-journal CHAT 0xFFFFFF80 Bob : ready\n" +
                              Click(kReadyStart) + kStarted + aliceWaits + "wait 500\nquit\n";
    const std::string bob = SignIn("Bob") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                            Click(kJoinButton) + "wait-journal ENTERED 5\n" + Click(kTeamTwo) +
                            Click(kReadyStart) + "key Return\nwait 200\ntext ready\nkey Return\n" + kStarted +
                            "wait-journal TURN 0 0\n" + leave;
    ScriptedClient a(Folder(name + "_alice"), alice);
    EXPECT_TRUE(a.Start({"launcher", "alice", "secret"}, server.Port()));
    EXPECT_TRUE(a.WaitFor("SCENE 5")) << a.Journal();
    ScriptedClient b(Folder(name + "_bob"), bob);
    EXPECT_TRUE(b.Start({"launcher", "bob", "secret"}, server.Port()));
    EXPECT_EQ(b.Wait(90s), std::optional<int>(0)) << b.Journal();
    EXPECT_EQ(a.Wait(60s), std::optional<int>(0)) << a.Journal() << "\n----\n" << b.Journal();
    LeaveRun run{a.Journal(), b.Journal(), a.Log(), b.Log()};
    server.Stop();
    return run;
}

TEST(RoomLeaveRun, MasterSeesWhoEntersAndAPlayerLeavingMidGameWithdrawsAndEndsTheGameOnBothSides) {
    const LeaveRun run =
        PlayThenLeave("withdraw",
                      Click(kToLobby) +
                          "wait-journal BOX Withdraw|Do you want to withdraw from the game?\n"
                          "key Return\nwait-journal SCENE 4\nquit\n",
                      "wait-journal CHAT 0xFF00FF00 Bob has left room.\n");
    // Entering: the master gets the line and the new count; the one who enters gets the list only.
    EXPECT_NE(run.alice.find("CHAT 0xFF00FF00 Bob entered room."), std::string::npos) << run.alice;
    EXPECT_NE(run.aliceLog.find("ROOM : (2/2)"), std::string::npos);
    EXPECT_EQ(run.bob.find("entered room."), std::string::npos) << run.bob;
    // Leaving: the question first, then the withdrawal and the end of the game for both.
    EXPECT_NE(run.bob.find(
                  "BOX Withdraw|Do you want to withdraw from the game?|A withdrawal counts as a lost game."),
              std::string::npos)
        << run.bob;
    for (const std::string* journal : {&run.alice, &run.bob}) {
        EXPECT_NE(journal->find("CHAT 0xFFFF0000 Bob has withdrawn and lost the game."), std::string::npos)
            << *journal;
        EXPECT_NE(journal->find("CHAT 0xFFFF0000 Bob has withdrawn, so the game has ended. (WP -10)"),
                  std::string::npos)
            << *journal;
    }
    const std::size_t ended = run.bob.find("so the game has ended.");
    EXPECT_NE(run.bob.find("SCENE 4", ended), std::string::npos) << "Bob leaves once the game ended";
}

// Bob withdraws from the in-game menu and stays: the game ends, and he takes team 2 again without
// readying. Every player readies again for the next game: Alice's Start is greyed before his Ready, and
// her click on it starts nothing.
TEST(RoomLeaveRun, AfterAWithdrawalTheNextGameStartsOnlyOnceThePlayerReadiesAgain) {
    const std::string ended = "wait-journal CHAT 0xFFFF0000 Bob has withdrawn, so the game has ended.\n";
    const LeaveRun run = PlayThenLeave(
        "stay",
        "key Escape\nwait 500\n" + Click(kMenuWithdraw) + "wait-journal BOX Withdraw|\nkey Return\n" + ended +
            "wait 500\n" + Click(kTeamTwo) + "key Return\nwait 200\ntext two\nkey Return\n" +
            "wait-journal CHAT 0xFFFFFFFF Alice : go\nwait 300\n" + Click(kReadyStart) +
            "key Return\nwait 200\ntext again\nkey Return\n" + kStarted + "wait 500\nquit\n",
        ended + "wait-journal CHAT 0xFFFFFF80 Bob : two\nwait 300\n" + Click(kReadyStart) +
            "wait 1000\nkey Return\nwait 200\ntext go\nkey Return\n" +
            "wait-journal CHAT 0xFFFFFF80 Bob : again\nwait 300\n" + Click(kReadyStart) + kStarted);
    // No refusal: the greyed Start sent nothing for the server to refuse.
    EXPECT_EQ(run.alice.find("to start the game."), std::string::npos) << run.alice;
    EXPECT_EQ(Lines(run.alice, "CHAT 0xFF00FF00 The game has started.").size(), 2u) << run.alice;
    EXPECT_GT(run.alice.rfind("The game has started."), run.alice.find("Bob : again")) << run.alice;
}

TEST(RoomLeaveRun, APlayerWhoseConnectionClosesMidGameEndsTheGameForTheOther) {
    const LeaveRun run =
        PlayThenLeave("disconnect", "quit\n", "wait-journal CHAT 0xFF00FF00 Bob has been disconnected.\n");
    EXPECT_NE(run.alice.find("CHAT 0xFFFF0000 Bob has disconnected, so the game has ended. (WP 0)"),
              std::string::npos)
        << run.alice << "\n----\n"
        << run.bob << "\n----\n"
        << run.aliceLog << "\n----\n"
        << run.bobLog;
}

}  // namespace
