// The client program in a game room, driven by scripted input: leaving through the room's own button
// with the test server's answer, a watcher joining a running fee game and a running bet game (the
// question, the request, the charged fee or bet, the pot and an all-in that ends a two-team game),
// and the replies about the own items (a purchase, a cue used, a count falling to zero).
#include <gtest/gtest.h>

#include <sstream>

#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/RoomJoinMessages.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testserver::Bytes;
using testserver::Writer;
using testsupport::ScriptedClient;

constexpr int kMs = 30000;
constexpr const char* kCreateRoom = "80 478";
constexpr const char* kGameChoice = "450 348";
constexpr const char* kExitCorner = "1006 21";
constexpr const char* kJoin = "859 755";

std::string Click(const char* at) {
    return std::string("move ") + at + "\ndown left\nup left\nwait 300\n";
}

std::string SignIn() {
    return "wait-journal DIALOG Create Nick\ntext Alice\nkey Return\nwait-journal SCENE 4\nwait-journal "
           "ROOMS "
           "0\n";
}

// Creates a room of the game at that index of the room dialog's game list (fee game 1, bet game 5). The
// list opens below its 22-pixel field at 337 and starts at its first entry.
std::string CreateRoom(int index) {
    const std::string at = "450 " + std::to_string(359 + 22 * index + 11);
    return Click(kCreateRoom) + "wait-journal DIALOG Create room\n" + Click(kGameChoice) + Click(at.c_str()) +
           "key Return\nwait-journal SCENE 5\n";
}

fs::path Folder(const std::string& name) {
    return testsupport::TempPath("room_join_e2e_" + name);
}

testserver::ServerOptions Options(bool roomFlow) {
    testserver::ServerOptions options;
    options.lobby = true;
    options.roomFlow = roomFlow;
    return options;
}

// A running game: seats 0 and 1 play in teams 1 and 2, the own seat 2 watches.
Bytes RunningRoomState(std::int32_t seed) {
    Writer w;
    w.u64(0).u8(0).u16(0).u16(0).u16(0).u16(1).u8(0).u8(2).u32(0).u8(0).u8(0);
    w.u32(10000).u32(0).u32(0).u8(0).u8(0).u8(3).u8(4).u8(0).u8(2).u8(0);
    w.str(u"Rival's room").u8(0).u8(0).u8(0).u32(static_cast<std::uint32_t>(seed)).u32(0);
    return w.bytes();
}

void Member(Writer& w, std::uint8_t seat, const std::u16string& name, std::uint8_t team, std::uint8_t type) {
    w.u8(seat).u64(seat + 1u).u8(0).str(name).u32(0).u16(1).u32(0).u16(20).u64(100000).u8(0).u8(0);
    w.u16(0).u8(0).u32(0).u8(0).u16(3000).u8(0).u8(team).u8(0).u8(0).u8(0).u32(0).u8(0);
    if (type == 2 || type == 5) w.u64(100000);
}

Bytes Members(std::uint8_t type) {
    Writer w;
    w.u8(3);
    Member(w, 0, u"Rival", 1, type);
    Member(w, 1, u"Third", 2, type);
    Member(w, 2, u"Alice", 0, type);
    return w.bytes();
}

Bytes GameStart(std::uint8_t type) {
    Writer w;
    w.u32(4242).u32(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(2).u8(1);
    for (std::uint8_t seat = 0; seat < 2; ++seat) {
        w.u8(seat + 1).u16(0).u32(0).u16(0).u8(0);
        if (type == 6) w.u8(0);
        w.u8(0).u8(seat).u64(100000).u16(0);
    }
    w.u32(0);
    return w.bytes();
}

std::size_t Find(const std::string& text, const std::string& what, std::size_t from = 0) {
    return text.find(what, from);
}

TEST(RoomJoinRun, TheRoomsOwnLobbyButtonSendsTheLeaveAndTheAnswerBringsTheLobby) {
    testserver::TestGameServer server(Options(true));
    server.Ignore(202);
    ASSERT_TRUE(server.Start());
    const std::string script = SignIn() + Click(kCreateRoom) + "wait-journal DIALOG Create room\n" +
                               "key Return\nwait-journal ENTERED 5\n" + Click(kExitCorner) +
                               "wait-journal SCENE 4\nquit\n";
    ScriptedClient client(Folder("leave"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();
    const auto leaves = server.Received(0, 2008);
    ASSERT_EQ(leaves.size(), 1u) << client.Journal();
    EXPECT_EQ(leaves[0], Bytes{0});
    const std::string journal = client.Journal();
    const auto room = Find(journal, "SCENE 5\n");
    ASSERT_NE(room, std::string::npos) << journal;
    EXPECT_NE(Find(journal, "SCENE 4\n", room), std::string::npos) << journal;
    server.Stop();
}

struct JoinCase {
    const char* name;
    int row;
    std::uint8_t type;
    const char* question;
    const char* charged;
    std::uint32_t penalty;
    const char* pot;
};

class RoomJoinWatcher : public ::testing::TestWithParam<JoinCase> {};

TEST_P(RoomJoinWatcher, AWatcherJoinsTheRunningGamePaysAndAnAllInEndsTheTwoTeamGame) {
    const JoinCase& c = GetParam();
    constexpr std::int32_t kSeed = 1500;
    testserver::TestGameServer server(Options(false));
    server.Ignore(202);
    server.Ignore(261);
    ASSERT_TRUE(server.Start());
    const std::string script =
        SignIn() + CreateRoom(c.row) +
        "wait-journal CHAT 0xFFFFFF00 The game is running now so only speculation is allowed.\n"
        "wait-journal BUTTON Join\n" +
        Click(kJoin) + "wait-journal BOX Question\nkey Return\n" +
        "wait-journal CHAT 0xFFFF0000 Third 님이 올인 되었습니다.\nwait-journal SOUND 23\nquit\n";
    ScriptedClient client(Folder(c.name), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    ASSERT_TRUE(server.SendFrames(
        0, {{2001, RunningRoomState(kSeed)}, {2011, Members(c.type)}, {2029, GameStart(c.type)}}));

    const auto join = server.Expect(0, 2019, 60000);
    ASSERT_TRUE(join) << client.Journal() << client.Log();
    EXPECT_EQ(join->body, Bytes{0});
    const std::int64_t cost = testserver::join::JoinCost(c.type, kSeed);
    // The own player joins as team 3; then team 3 and team 2 go all in: the first leaves three
    // teams, the second two, which ends the game.
    ASSERT_TRUE(server.SendFrames(0, {{2020, testserver::join::PlayerJoinedGame(
                                                 2, static_cast<std::uint64_t>(100000 - cost), 3, c.penalty)},
                                      {2048, testserver::join::AllIn(3)},
                                      {2048, testserver::join::AllIn(2)}}));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();

    const std::string journal = client.Journal();
    const auto box =
        Find(journal, std::string("BOX Question|Do you want to participate in the game?|") + c.question);
    ASSERT_NE(box, std::string::npos) << journal;
    const auto charged = Find(journal, std::string("CHAT 0xFF00FF00 ") + c.charged, box);
    EXPECT_NE(charged, std::string::npos) << journal;
    EXPECT_NE(Find(client.Log(), c.pot), std::string::npos) << client.Log();
    const auto ownAllIn = Find(journal, "CHAT 0xFFFF0000 Alice 님이 올인 되었습니다.", box);
    const auto lastAllIn = Find(journal, "CHAT 0xFFFF0000 Third 님이 올인 되었습니다.", box);
    ASSERT_NE(ownAllIn, std::string::npos) << journal;
    ASSERT_NE(lastAllIn, std::string::npos) << journal;
    EXPECT_LT(ownAllIn, lastAllIn);
    EXPECT_NE(Find(journal, "SOUND 23\n", lastAllIn), std::string::npos) << journal;
    server.Stop();
}

INSTANTIATE_TEST_SUITE_P(
    FeeAndBet, RoomJoinWatcher,
    ::testing::Values(JoinCase{"fee", 1, 2, "You should pay the fee before entering into the room.",
                               "3,000 gold has been removed for game fee", 500, "ROOM : betting value 500"},
                      JoinCase{"bet", 5, 6, "You should pay the bet amount again to enter.",
                               "Betting gold 1,500 has been removed.", 0, "ROOM : betting value 1500"}),
    [](const ::testing::TestParamInfo<JoinCase>& info) { return std::string(info.param.name); });

TEST(RoomJoinRun, ItemRepliesListAPurchaseSendTheUsedCueAndDropAnItemCountedToZero) {
    testserver::TestGameServer server(Options(false));
    server.Ignore(202);
    server.Ignore(261);
    ASSERT_TRUE(server.Start());
    const std::string script =
        SignIn() + Click(kCreateRoom) +
        "key Return\nwait-journal SCENE 5\nwait-journal BOX Notice|Successfully purchased.\n"
        "key Return\nwait-journal CHAT 0xFFFFFF00 Cue is chaned to\nwait 300\n"
        "key Return\nwait-journal CHAT 0xFFFF0000 counted\nwait 300\nquit\n";
    ScriptedClient client(Folder("items"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal() << client.Log();
    Writer state;
    state.u64(0).u8(0).u16(0).u16(0).u16(0).u16(1).u8(0).u8(1).u32(0).u8(0).u8(0);
    state.u32(10000).u32(0).u32(0).u8(0).u8(0).u8(1).u8(2).u8(0).u8(0).u8(0);
    state.str(u"Alice's room").u8(0).u8(0).u8(0).u32(0).u32(0);
    ASSERT_TRUE(server.SendFrames(0, {{2001, state.bytes()}}));

    // A cue of five days bought in the room, with bonus gold.
    constexpr std::uint64_t kBoughtSerial = 9001;
    ASSERT_TRUE(server.Send(0, 510, testserver::join::Purchased(88000, kBoughtSerial, 3000, 5, 1500)));
    ASSERT_TRUE(client.WaitFor("BOX Notice|Successfully purchased.")) << client.Journal();
    // The own cue used: the client makes it its cue and tells the server.
    ASSERT_TRUE(server.Send(0, 513, testserver::join::ItemUsed(100, 3000, u"")));
    const auto cue = server.Expect(0, 544, kMs);
    ASSERT_TRUE(cue) << client.Journal();
    Writer expected;
    expected.u64(100).u32(3000);
    EXPECT_EQ(cue->body, expected.bytes());
    // The bought cue runs out; later replies about it find nothing: using it sends no second 544.
    Writer notice, values;
    notice.str(u"counted");
    values.u64(kBoughtSerial).u64(1).u64(2);
    ASSERT_TRUE(server.SendFrames(0, {{2045, testserver::join::ItemCount(kBoughtSerial, 0)},
                                      {2045, testserver::join::ItemCount(kBoughtSerial, 0)},
                                      {547, values.bytes()},
                                      {513, testserver::join::ItemUsed(kBoughtSerial, 3000, u"")},
                                      {240, notice.bytes()}}));
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    EXPECT_NE(Find(journal, "BOX Notice|Successfully purchased.|Gold 1,500 is charged for bonus."),
              std::string::npos)
        << journal;
    EXPECT_NE(Find(journal, "CHAT 0xFFFFFF00 Cue is chaned to "), std::string::npos) << journal;
    EXPECT_EQ(server.CountReceived(0, 544), 1) << "the used-up cue is no longer the client's";
    server.Stop();
}

}  // namespace
