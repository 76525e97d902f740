// Two client programs play one game in one room through the test server, each driven by scripted
// input as a person would: sign in, open or enter the room, choose a team, get ready, start, and
// strike in turn. Every client simulates every shot: both must rest on the same hash and send the
// same shot results and table states, byte for byte. The 8-ball run goes on as two players would:
// strikes by Space from the first one after Start, a scratch whose ball-in-hand turn runs out of time,
// a client killed in the game, the player back in the room for the next game, which ends when the 8
// goes down, and a third game after the results.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <sstream>

#include "table/WorldConstants.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/GameJudge.h"
#include "tests/e2e/server/TableState.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ScriptedClient;

using namespace roomscript;

// The test server's answer to "/rack short", as a journal line.
constexpr const char* kShortRack = "CHAT 0xFF00FF00 8-ball, 9-ball and 14-1 games start on a short rack.";
constexpr const char* kGameChoice = "450 348";
constexpr const char* kEightBallRow = "450 502";
constexpr const char* kTurnTimeChoice = "470 420";
constexpr const char* kTwentySecondsRow = "470 464";
// Bob's row in the player list before a game: the menu it opens lies over the right half of Start.
constexpr const char* kBobsRow = "952 650";
constexpr const char* kStartUnderRowMenu = "980 717";
// The lobby messenger's nickname line and "Add friend"; the room's friend request bar and the
// messenger question's Yes.
constexpr const char* kFriendName = "442 454";
constexpr const char* kAddFriend = "593 454";
constexpr const char* kFriendBar = "140 453";
constexpr const char* kQuestionYes = "459 441";

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
        script += "wait-journal SHOT \nwait-journal TURN \n" + Strike(x + 4 * i);
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
    return testsupport::TempPath("room_e2e_" + name);
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
                              chooseGame + "key Return\nwait-journal ENTERED 5\n" + Click(kTeamOne) +
                              "wait-journal CHAT 0xFFFFFF80 Bob : ready\n" + Click(kReadyStart) + started +
                              "wait-journal TURN 0 1\n" + firstMove + Strike(516) +
                              PlayTurns(turns, 500, !firstMove.empty()) +
                              "wait-journal SHOT \nwait 1000\nquit\n";
    const std::string bob = SignIn("Bob") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                            Click(kJoinButton) + "wait-journal ENTERED 5\n" + Click(kTeamTwo) +
                            Click(kReadyStart) + "key Return\nwait 200\ntext ready\nkey Return\n" + started +
                            PlayTurns(turns, 530, !firstMove.empty()) +
                            "wait-journal SHOT \nwait 1000\nquit\n";
    ScriptedClient a(Folder(name + "_alice"), alice);
    EXPECT_TRUE(a.Start({"launcher", "alice", "secret"}, server.Port()));
    EXPECT_TRUE(a.WaitFor("ENTERED 5")) << a.Journal();
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

// Space held for 400 ms: a soft strike on the own turn, nothing on another's.
std::string SpaceStrike() {
    return "keydown Space\nwait 400\nkeyup Space\n";
}

// A mouse sweep of `pixels` to the right over the table turns the aim by a quarter degree a pixel. The
// first sweep of a client's table starts from where the pointer is.
std::string Sweep(int fromX, int pixels) {
    return "move " + std::to_string(fromX) + " 300\nwait 50\nmove " + std::to_string(fromX + pixels) +
           " 300\nwait 300\n";
}

// The direction a SHOT line's shot was struck in, degrees counter-clockwise from +x.
float StruckYaw(const std::string& shotLine) {
    const table::ShotRecord record = testsupport::RecordOf(shotLine);
    const table::ShotWords words = record.Words();
    const auto& cue = record.positions[record.byteBeforeBallCount];
    return std::atan2(words.aimY - cue[1], words.aimX - cue[0]) * 180.0f / std::numbers::pi_v<float>;
}

// After each rest both players press Space; only the one whose turn it is strikes.
std::string SpaceTurns(int turns) {
    std::string script;
    for (int i = 0; i < turns; ++i) script += "wait-journal SHOT \nwait-journal TURN \n" + SpaceStrike();
    return script + "wait-journal SHOT \n";
}

// The shared 8-ball run, one script per client program, step by step (further steps go between them):
// - Alice opens an 8-ball room with 20 s turns. Bob, still in the lobby, asks her to be his friend; the
//   room shows Alice the request bar, she clicks it and accepts, and Bob's friend list names her.
// - Bob enters; both pick a team, Bob readies and writes a line (which gives his keys back to the
//   table). Alice opens the menu on Bob's row, closes it by a click on the title bar, and starts where
//   it lay over Start.
// - Alice's first key after Start is Space, her chat line still holding the focus since she entered:
//   aimed 17.5 degrees off the rack from the head spot, the break sends the cue ball down the rail into
//   the corner pocket (at any power this client charges).
// - Bob has the ball in hand and lets his 20 s run out; Alice's turn starts with the cue ball back on
//   the table, she aims at the rack again and breaks by Space; then both press Space after each rest.
// - Once the next turn shows that Bob's client has played the last shot too (the server collects every
//   client's result first), Alice says goodbye and her client is killed: Bob becomes the room master, closes
//   up the teams and sets the room's rack short (the test server's "/rack short": the cue ball and the 8 on
//   the rail before a corner pocket). Alice signs in again, enters, takes team 2 and readies; Bob starts the
//   second game. Alice's first Space sends the 8 down on the open table: she loses, Bob wins, and both
//   see the results. Both pick a team again, Alice readies and Bob starts the third game.
// - The third game starts as the first did though the second ended on Alice's shot: from above (Tab), her
//   sweep turns the aim from along the table toward the rack, and Space strikes.
struct EightBallRun {
    std::string alice, bob, aliceAgain;
};

EightBallRun EightBallScripts(int spaceTurns) {
    const std::string limit = "journal-limit " + std::to_string(90000 * testsupport::Patience()) + "\n";
    const std::string started = "wait-journal CHAT 0xFF00FF00 The game has started.\n";
    // The results' two sounds: the team panel is back once the second plays.
    const std::string results = "wait-journal SOUND 21\nwait-journal SOUND 56\n";
    EightBallRun run;
    run.alice = limit + SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) +
                Click(kGameChoice) + Click(kEightBallRow) + Click(kTurnTimeChoice) +
                Click(kTwentySecondsRow) + "key Return\nwait-journal ENTERED 5\n" + Click(kTeamOne) +
                "wait-journal BAR Friends request from Bob\nwait 300\n" + Click(kFriendBar) +
                "wait-journal BOX Messenger|Bob wants to be your friend. Accept?\n" + Click(kQuestionYes) +
                "wait-journal CHAT 0xFFFFFF80 Bob : ready\n" + Click(kBobsRow) + "wait-journal DIALOG \n" +
                Click("200 20") + "wait 300\n" + Click(kStartUnderRowMenu) + started +
                "wait-journal TURN 0 1\n" + Sweep(440, 70) + SpaceStrike() +
                "wait-journal SHOT \nwait-journal SOUND 26\nwait-journal TURN 0 1\n" + Sweep(510, -70) +
                SpaceStrike() + SpaceTurns(spaceTurns) +
                "wait-journal TURN \nkey Return\nwait 200\ntext bye\nkey Return\nwait 600000\n";
    run.bob = limit + SignIn("Bob") + "wait-journal ROOMS 1\nkey F8\nwait-journal DIALOG Messenger\n" +
              Click(kFriendName) + "text Alice\n" + Click(kAddFriend) +
              "wait-journal FRIENDS 1 Alice\nkey F8\nwait 300\n" + Click(kFirstRoomRow) + Click(kJoinButton) +
              "wait-journal ENTERED 5\n" + Click(kTeamTwo) + Click(kReadyStart) +
              "key Return\nwait 200\ntext ready\nkey Return\n" + started +
              "wait-journal SHOT \nwait-journal CHAT 0xFFFFFFFF Free ball.\n" + SpaceTurns(spaceTurns) +
              "wait-journal CHAT 0xFF00FF00 Bob is the room master.\nkey Return\nwait 200\ntext /rack short\n"
              "key Return\nwait-journal " +
              kShortRack + "\nwait-journal CHAT 0xFFFFFFFF Alice : ready\n" + Click(kReadyStart) + started +
              results + Click(kTeamOne) + "wait-journal CHAT 0xFFFFFFFF Alice : ready\n" +
              Click(kReadyStart) + started + "wait-journal SHOT \nwait 1000\nquit\n";
    const std::string ready =
        Click(kTeamTwo) + Click(kReadyStart) + "key Return\nwait 200\ntext ready\nkey Return\n";
    run.aliceAgain = limit + "wait-journal SCENE 4\nwait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                     Click(kJoinButton) + "wait-journal ENTERED 5\n" + ready + started +
                     "wait-journal TURN \n" + SpaceStrike() + "wait-journal SHOT \n" + results + ready +
                     started + "wait-journal TURN 0 1\nkey Tab\nwait 500\n" + Sweep(400, 60) + SpaceStrike() +
                     "wait-journal SHOT \nwait 1000\nquit\n";
    return run;
}

TEST(RoomGameRun, TwoClientsPlayEightBallThroughAScratchATimeOutADropARejoinAndAnEarlyEightOnIdenticalShots) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.verbose = std::getenv("ROOM_E2E_VERBOSE") != nullptr;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const EightBallRun scripts = EightBallScripts(2);
    ScriptedClient a(Folder("eight_alice"), scripts.alice);
    ASSERT_TRUE(a.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(a.WaitFor("ENTERED 5")) << a.Journal();
    ScriptedClient b(Folder("eight_bob"), scripts.bob);
    ASSERT_TRUE(b.Start({"launcher", "bob", "secret"}, server.Port()));
    // Alice's client dies in the game once her goodbye is read.
    ASSERT_TRUE(b.WaitFor("Alice : bye", 150s)) << a.Journal() << "\n----\n" << b.Journal();
    const std::string aliceFirst = a.Journal();
    a.Terminate();
    ASSERT_TRUE(a.Wait(30s).has_value());
    ScriptedClient again(Folder("eight_alice_again"), scripts.aliceAgain);
    ASSERT_TRUE(b.WaitFor("CHAT 0xFF00FF00 Alice has been disconnected.")) << b.Journal();
    ASSERT_TRUE(again.Start({"launcher", "alice", "secret"}, server.Port()));
    EXPECT_EQ(again.Wait(120s), std::optional<int>(0)) << again.Journal() << "\n----\n" << b.Journal();
    EXPECT_EQ(b.Wait(60s), std::optional<int>(0)) << b.Journal();

    // The friend request reached Alice in the room and her answer reached Bob.
    EXPECT_NE(aliceFirst.find("FRIENDS 1 Bob"), std::string::npos) << aliceFirst;
    EXPECT_NE(b.Journal().find("FRIENDS 1 Alice"), std::string::npos) << b.Journal();
    // The scratch gave Bob the ball in hand; his turn ran out and Alice's strike after it was played.
    const std::string bob = b.Journal();
    const auto freeBall =
        bob.find("CHAT 0xFFFFFFFF Free ball. Click the cueball to place it anywhere you want.");
    ASSERT_NE(freeBall, std::string::npos) << "the first Space after Start struck the break\n" << aliceFirst;
    EXPECT_EQ(Lines(aliceFirst, "SHOT ").size(), 4u) << aliceFirst;
    // A strike straight from the ball in hand sends no placement behind its shot.
    EXPECT_EQ(b.Log().find("room message 2064 dropped"), std::string::npos) << b.Log();
    // The second game started after the drop, the rejoin and Bob's Start as the new master.
    const auto master = bob.find("CHAT 0xFF00FF00 Bob is the room master.");
    const auto back = bob.find("CHAT 0xFF00FF00 Alice entered room.");
    ASSERT_NE(master, std::string::npos) << bob;
    ASSERT_NE(back, std::string::npos) << bob;
    EXPECT_LT(master, back);
    EXPECT_NE(bob.find("CHAT 0xFF00FF00 The game has started.", back), std::string::npos) << bob;
    EXPECT_NE(bob.find(kShortRack), std::string::npos) << "the rack's confirmation is no room event\n" << bob;
    // Alice's first shot of the second game sent the 8 down: the game ended, both saw the results and
    // Bob started a third game once both had picked a team again.
    const std::string aliceAgain = again.Journal();
    const auto againShots = Lines(aliceAgain, "SHOT ");
    ASSERT_EQ(againShots.size(), 2u) << aliceAgain;
    const auto eight = aliceAgain.find(againShots[0]);
    ASSERT_NE(eight, std::string::npos) << aliceAgain;
    EXPECT_NE(aliceAgain.find("SOUND 21\n", eight), std::string::npos) << "no results\n" << aliceAgain;
    const auto bobEight = bob.rfind(againShots[0]);
    const auto bobResults = bob.find("SOUND 21\n", bobEight);
    ASSERT_NE(bobResults, std::string::npos) << "no results\n" << bob;
    // The shot that ended the game passed the table to nobody: Bob heard no "your turn" under the results.
    EXPECT_EQ(bob.substr(bobEight, bobResults - bobEight).find("SOUND 26\n"), std::string::npos) << bob;
    EXPECT_EQ(Lines(aliceAgain, "CHAT 0xFF00FF00 The game has started.").size(), 2u) << aliceAgain;
    EXPECT_EQ(Lines(bob, "CHAT 0xFF00FF00 The game has started.").size(), 3u) << bob;
    const auto lastResults = server.Received(2, 2053);
    ASSERT_EQ(lastResults.size(), 2u);
    EXPECT_TRUE(testserver::ReadShotResult(lastResults.front(), 10).Pocketed(8)) << Hex(lastResults);
    // The third game's aim started along the table and followed the 60-pixel sweep in the top view.
    EXPECT_NEAR(StruckYaw(againShots[1]), 60 * table::kAimDegreesPerPixel, 0.01f) << againShots[1];

    // Alice's two clients together saw the shots Bob saw, and all sent the same results and states.
    GameRun run{aliceFirst + again.Journal(),
                bob,
                a.Log() + "\n----\n" + again.Log() + "\n----\n" + b.Log(),
                server.Received(0, 2053),
                server.Received(1, 2053),
                server.Received(0, 2050),
                server.Received(1, 2050)};
    for (const auto& body : server.Received(2, 2053)) run.aliceResults.push_back(body);
    for (const auto& body : server.Received(2, 2050)) run.aliceStates.push_back(body);
    server.Stop();
    // A client new in the room names the room's table and ball set 0 for the turn until a turn result
    // names them; Bob's still name the last game's (the same table): the second game's states are
    // compared without that pair.
    for (auto* states : {&run.aliceStates, &run.bobStates})
        for (std::size_t i = Lines(aliceFirst, "SHOT ").size(); i < states->size(); ++i)
            if ((*states)[i].size() >= 4) std::fill((*states)[i].end() - 4, (*states)[i].end(), 0);
    ExpectSameShots(run, "10", 16);
}

// A third client enters Alice's two-player 8-ball room, whose places Alice and Bob hold: he watches
// only. Carol views her own info (at once) and Alice's (the server's answer); Alice, on a short rack,
// sends the 8 down with her first shot, and Carol sees that shot and the game's end as the players do.
// Once both players have left, the room closes and Carol is back in the lobby.
TEST(RoomGameRun, AThirdClientWatchesATwoPlayerEightBallGameToItsEndAndViewsOwnAndOthersInfo) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const std::string started = "wait-journal CHAT 0xFF00FF00 The game has started.\n";
    const std::string results = "wait-journal SOUND 21\nwait-journal SOUND 56\n";
    const std::string quit = "wait 1000\nquit\n";
    const std::string say = "key Return\nwait 200\ntext ";
    const std::string alice =
        SignIn("Alice") + "wait-journal ROOMS 0\n" + Click(kCreateRoomButton) + Click(kGameChoice) +
        Click(kEightBallRow) + "key Return\nwait-journal ENTERED 5\n" + say + "/rack short\nkey Return\n" +
        "wait-journal " + kShortRack + "\n" + Click(kTeamOne) +
        "wait-journal CHAT 0xFFFFFF80 Bob : ready\nwait-journal CHAT 0xFF80FFFF Carol : watching\n" +
        Click(kReadyStart) + started + "wait-journal TURN 0 1\n" + SpaceStrike() + "wait-journal SHOT \n" +
        results + quit;
    const std::string bob = SignIn("Bob") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                            Click(kJoinButton) + "wait-journal ENTERED 5\n" + Click(kTeamTwo) +
                            Click(kReadyStart) + say + "ready\nkey Return\n" + started + results + quit;
    // The list's rows before a game: Alice, Bob, then Carol, who watches; a row's menu opens where it
    // was clicked, "View Info" first. The info window's close button is at its top right.
    const auto viewInfo = [](int row) {
        const int y = 768 - 3 * 47 - 168 + 64 + 47 * row + 20;
        return "move 904 " + std::to_string(y) + "\ndown left\nup left\nwait 300\nmove 934 " +
               std::to_string(y + 10) + "\ndown left\nup left\nwait-journal DIALOG User Info\nwait 300\n" +
               Click("674 248");
    };
    const std::string carol =
        SignIn("Carol") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) + Click(kJoinButton) +
        "wait-journal ENTERED 5\n" + viewInfo(2) + viewInfo(0) + say + "watching\nkey Return\n" +
        "wait-journal SHOT \n" + results +
        "wait-journal BOX Notice|The room is closed.\nkey Return\nwait-journal SCENE 4\n" + quit;
    ScriptedClient a(Folder("watched_alice"), alice);
    ASSERT_TRUE(a.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(a.WaitFor("ENTERED 5")) << a.Journal();
    ScriptedClient b(Folder("watched_bob"), bob);
    ASSERT_TRUE(b.Start({"launcher", "bob", "secret"}, server.Port()));
    ASSERT_TRUE(b.WaitFor("Bob : ready")) << b.Journal();
    ScriptedClient c(Folder("watched_carol"), carol);
    ASSERT_TRUE(c.Start({"launcher", "carol", "secret"}, server.Port()));
    EXPECT_EQ(c.Wait(120s), std::optional<int>(0)) << c.Journal() << c.Log();
    EXPECT_EQ(a.Wait(60s), std::optional<int>(0)) << a.Journal();
    EXPECT_EQ(b.Wait(60s), std::optional<int>(0)) << b.Journal();

    const std::string watcher = c.Journal();
    EXPECT_NE(watcher.find("CHAT 0xFFFFFF00 The game has not started yet."), std::string::npos) << watcher;
    EXPECT_EQ(Lines(watcher, "DIALOG User Info").size(), 2u) << watcher;
    const auto closed = watcher.find("BOX Notice|The room is closed. Moving to the lobby.");
    ASSERT_NE(closed, std::string::npos) << watcher;
    EXPECT_NE(watcher.find("SCENE 4", closed), std::string::npos) << watcher;
    // The lobby's first list on the way back leaves out the room that closed.
    const auto rooms = watcher.find("ROOMS ", closed);
    ASSERT_NE(rooms, std::string::npos) << watcher;
    EXPECT_EQ(watcher.substr(rooms, watcher.find('\n', rooms) - rooms), "ROOMS 0") << watcher;
    testserver::Writer asked;
    asked.u8(255).u64(1).str(u"Alice");
    EXPECT_EQ(server.Received(2, 210), std::vector<testserver::Bytes>{asked.bytes()})
        << "the own row asks nothing";
    EXPECT_TRUE(server.Received(2, 2053).empty()) << "one who watches only sends no shot result";
    const auto shots = ShotLines(watcher);
    ASSERT_EQ(shots.size(), 1u) << watcher;
    EXPECT_EQ(ShotLines(a.Journal()), shots);
    EXPECT_EQ(ShotLines(b.Journal()), shots);
    EXPECT_TRUE(testserver::ReadShotResult(server.Received(0, 2053).at(0), 10).Pocketed(8));
    server.Stop();
}

// The test server's judgement of a shot from the shooter's result: carom points toward the handicap,
// the game ball of 8-ball and 9-ball, fouls and scratches.
TEST(RoomGameJudge, TheGameBallAndTheHandicapEndGamesAndFoulsNeverScore) {
    using testserver::GameEnd;
    // A pocket game's result: code, first ball touched, the balls down, the balls touched.
    const auto pocket = [](std::uint16_t code, Bytes down, Bytes touched) {
        Writer w;
        w.u16(code).u8(touched.empty() ? 0xFF : touched.front()).u8(static_cast<std::uint8_t>(down.size()));
        w.raw(down).u8(static_cast<std::uint8_t>(touched.size())).raw(touched);
        return w.bytes();
    };
    const auto carom = [](std::uint16_t code) {
        return Bytes{static_cast<std::uint8_t>(code), static_cast<std::uint8_t>(code >> 8)};
    };
    struct Case {
        const char* what;
        int gameType;
        Bytes result;
        std::uint8_t status;  // 8-ball: the shooter's team's status before the shot
        int teamPoints;
        int points;
        bool stays, freeBall, spotNine;
        GameEnd end;
    };
    const Case cases[] = {
        {"8 by a team on it", 10, pocket(1005, {8}, {8}), 4, 0, 1, true, false, false, GameEnd::ShooterWins},
        {"8 on the open table", 10, pocket(1005, {8}, {8}), 0, 0, 0, false, false, false,
         GameEnd::ShooterLoses},
        {"8 with the group's last ball", 10, pocket(1006, {3, 8}, {3}), 2, 0, 0, false, false, false,
         GameEnd::ShooterLoses},
        {"8 and the cue ball", 10, pocket(1, {8, 0}, {8}), 4, 0, 0, false, true, false,
         GameEnd::ShooterLoses},
        {"8 on a foul", 10, pocket(0xFFFF, {8}, {8}), 4, 0, 0, false, false, false, GameEnd::ShooterLoses},
        {"two of a group", 10, pocket(6, {3, 11}, {3}), 2, 0, 2, true, false, false, GameEnd::None},
        {"a scratch", 10, pocket(1, {0}, {3}), 2, 0, 0, false, true, false, GameEnd::None},
        {"9 on a clean shot", 12, pocket(1005, {9}, {1}), 0, 0, 1, true, false, false, GameEnd::ShooterWins},
        {"9 and the cue ball", 12, pocket(1, {9, 0}, {1}), 0, 0, 0, false, true, true, GameEnd::None},
        {"a short pocket result", 10, carom(5), 4, 0, 0, false, false, false, GameEnd::None},
        {"three cushions to the handicap", 4, carom(4), 0, 19, 1, true, false, false, GameEnd::ShooterWins},
        {"two cushions", 4, carom(3), 0, 19, 0, false, false, false, GameEnd::None},
        {"a bank shot for two", 3, carom(1004), 0, 18, 2, true, false, false, GameEnd::ShooterWins},
        {"both reds", 0, carom(1), 0, 0, 1, true, false, false, GameEnd::None},
        {"a carom foul", 0, carom(0xFFFE), 0, 19, 0, false, false, false, GameEnd::None},
    };
    for (const Case& c : cases) {
        const auto v = testserver::JudgeShot(c.gameType, testserver::ReadShotResult(c.result, c.gameType),
                                             c.status, c.teamPoints, testserver::kHandicap);
        EXPECT_EQ(v.points, c.points) << c.what;
        EXPECT_EQ(v.stays, c.stays) << c.what;
        EXPECT_EQ(v.freeBall, c.freeBall) << c.what;
        EXPECT_EQ(v.spotNine, c.spotNine) << c.what;
        EXPECT_EQ(v.end, c.end) << c.what;
    }
}

// The table states the server builds: the short rack and the 9 spotted again behind a ball on the foot
// spot.
TEST(RoomGameJudge, TheShortRackPocketsAllButTheGameBallsAndTheNineIsSpottedBehindABall) {
    using testserver::TableState;
    Bytes pocketed;
    Bytes state = TableState::ShortRack(12, 1030, 2006, pocketed);
    ASSERT_TRUE(TableState::Fits(state, 12));
    EXPECT_EQ(TableState::BallCount(state), 10);
    EXPECT_EQ(pocketed, (Bytes{2, 3, 4, 5, 6, 7, 8}));
    for (int ball = 0; ball < 10; ++ball)
        EXPECT_EQ(TableState::OutOfPlay(state, ball) != 0,
                  std::count(pocketed.begin(), pocketed.end(), ball) == 1);
    EXPECT_TRUE(TableState::ShortRack(4, 0, 0, pocketed).empty());
    // 14-1: the 15 on the rail, the 1 at the head end.
    ASSERT_TRUE(TableState::Fits(TableState::ShortRack(13, 0, 0, pocketed), 13));
    EXPECT_EQ(pocketed, (Bytes{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));

    // The 1 on the foot spot: the 9 goes behind it, toward the foot rail.
    TableState::SetSpot(state, 1, {63.75f, 0.0f, 2.8575f});
    TableState::SetOutOfPlay(state, 9, 3);
    ASSERT_TRUE(TableState::SpotOnFoot(state, 12, 9));
    EXPECT_EQ(TableState::OutOfPlay(state, 9), 0);
    EXPECT_NEAR(TableState::Spot(state, 9).x, 63.75f + 2 * 2.8575f + 0.1f, 1e-3);
    EXPECT_EQ(TableState::Spot(state, 9).y, 0.0f);
}

}  // namespace
