// Two client programs play one game in one room through the test server, each driven by scripted
// input as a person would: sign in, open or enter the room, choose a team, get ready, start, and
// strike in turn. Every client simulates every shot: both must rest on the same hash and send the
// same shot results and table states, byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ScriptedClient;

using namespace roomscript;

constexpr const char* kGameChoice = "450 348";
constexpr const char* kEightBallRow = "450 480";

// A soft shot: aim a little to the side, draw the mouse back and let go. On the other player's turn
// the table ignores it.
std::string Strike(int x) {
    const std::string at = std::to_string(x);
    return "move " + at + " 300\ndown left\nwait 50\nmove " + at + " 360\nwait 50\nup left\n";
}

// After each rest both players try a shot; only the one whose turn it is strikes. With the ball in
// hand the first drag sets the cue ball down and the second strikes; otherwise the first strikes and
// the second comes while the balls run, and the table ignores it.
std::string PlayTurns(int turns, int x, bool twice) {
    std::string script;
    for (int i = 0; i < turns; ++i) {
        script += "wait-journal SHOT \nwait 1500\n" + Strike(x + 4 * i);
        if (twice) script += "wait 300\n" + Strike(x + 4 * i);
    }
    return script;
}

std::vector<std::string> ShotLines(const std::string& journal) {
    std::vector<std::string> lines;
    std::istringstream in(journal);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("SHOT ", 0) == 0) lines.push_back(line);
    return lines;
}

fs::path Folder(const std::string& name) {
    return fs::temp_directory_path() / ("room_e2e_" + std::to_string(::getpid()) + "_" + name);
}

struct GameRun {
    std::string aliceJournal, bobJournal, logs;
    std::vector<testserver::Bytes> aliceResults, bobResults, aliceStates, bobStates;
};

// Alice opens the room (choosing the game with `chooseGame` in the room dialog), Bob enters it; both
// play `turns` rounds of strikes.
GameRun PlayGame(const std::string& name, const std::string& chooseGame, const std::string& firstMove,
                 int turns) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.verbose = std::getenv("ROOM_E2E_VERBOSE") != nullptr;
    testserver::TestGameServer server(options);
    EXPECT_TRUE(server.Start());
    const std::string started = "wait-journal CHAT 0xFF00FF00 The game has started.\n";
    const std::string alice = SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) +
                              chooseGame + "key Return\nwait-journal SCENE 5\nwait 500\n" + Click(kTeamOne) +
                              "wait-journal CHAT 0xFFFFFF80 Bob : ready\n" + Click(kReadyStart) + started +
                              "wait 1500\n" + firstMove + Strike(516) +
                              PlayTurns(turns, 500, !firstMove.empty()) +
                              "wait-journal SHOT \nwait 1000\nquit\n";
    const std::string bob = SignIn("Bob") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                            Click(kJoinButton) + "wait-journal SCENE 5\nwait 800\n" + Click(kTeamTwo) +
                            Click(kReadyStart) + "key Return\nwait 200\ntext ready\nkey Return\n" + started +
                            PlayTurns(turns, 530, !firstMove.empty()) +
                            "wait-journal SHOT \nwait 1000\nquit\n";
    ScriptedClient a(Folder(name + "_alice"), alice);
    EXPECT_TRUE(a.Start({"launcher", "alice", "secret"}, server.Port()));
    EXPECT_TRUE(a.WaitFor("SCENE 5")) << a.Journal();
    ScriptedClient b(Folder(name + "_bob"), bob);
    EXPECT_TRUE(b.Start({"launcher", "bob", "secret"}, server.Port()));
    EXPECT_EQ(a.Wait(240s), std::optional<int>(0)) << a.Journal();
    EXPECT_EQ(b.Wait(60s), std::optional<int>(0)) << b.Journal();
    GameRun run{a.Journal(),
                b.Journal(),
                a.Log() + "\n----\n" + b.Log(),
                server.Received(0, 2053),
                server.Received(1, 2053),
                server.Received(0, 2050),
                server.Received(1, 2050)};
    server.Stop();
    return run;
}

std::string Hex(const std::vector<testserver::Bytes>& bodies) {
    std::string text;
    char digits[4];
    for (const auto& body : bodies) {
        for (std::uint8_t b : body) {
            std::snprintf(digits, sizeof digits, "%02X", b);
            text += digits;
        }
        text += '\n';
    }
    return text;
}

void ExpectSameShots(const GameRun& run, const std::string& gameType, std::size_t balls) {
    const auto alice = ShotLines(run.aliceJournal), bob = ShotLines(run.bobJournal);
    ASSERT_GE(alice.size(), 3u) << run.aliceJournal << "\n----\n"
                                << run.bobJournal << run.logs << "\nshot results:\n"
                                << Hex(run.aliceResults);
    ASSERT_EQ(alice.size(), bob.size()) << run.aliceJournal << "\n----\n" << run.bobJournal;
    for (std::size_t i = 0; i < alice.size(); ++i) {
        EXPECT_EQ(alice[i], bob[i]) << "shot " << i;
        EXPECT_EQ(alice[i].rfind("SHOT " + gameType + " ", 0), 0u) << alice[i];
    }
    ASSERT_EQ(run.aliceResults.size(), alice.size()) << "one 2053 per shot";
    ASSERT_EQ(run.aliceResults, run.bobResults) << "the shot results differ";
    ASSERT_EQ(run.aliceStates.size(), alice.size()) << "one 2050 per shot";
    ASSERT_EQ(run.aliceStates, run.bobStates) << "the table states differ";
    // Table, ball set, count, 12 + 16 bytes a ball (pocket games one more), turn table and ball set.
    const std::size_t perBall = balls > 3 ? 29 : 28;
    for (const auto& state : run.aliceStates) {
        ASSERT_EQ(state.size(), 4 + 1 + balls * perBall + 4);
        EXPECT_EQ(state[4], balls);
    }
}

TEST(RoomGameRun, TwoClientsPlayThreeCushionTurnsOnIdenticalShotsResultsAndTableStates) {
    const GameRun run = PlayGame("carom", "", "", 4);
    ExpectSameShots(run, "4", 3);
    EXPECT_NE(run.bobJournal.find("CHAT 0xFFFFFF00 The game has not started yet."), std::string::npos);
}

TEST(RoomGameRun, TwoClientsPlayEightBallFromTheBallInHandBreakOnIdenticalShotsResultsAndTableStates) {
    // The breaker sets the cue ball down by hand first; the others learn where before the shot.
    const GameRun run =
        PlayGame("pocket", Click(kGameChoice) + Click(kEightBallRow),
                 "move 512 420\ndown left\nwait 50\nmove 500 430\nwait 50\nup left\nwait 300\n", 3);
    ExpectSameShots(run, "10", 16);
}

}  // namespace
