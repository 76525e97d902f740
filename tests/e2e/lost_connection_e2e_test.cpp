// The client program when the game server goes away: mid-game the room stops and the notice leads
// back to the sign-in, which asks to try again until the server is back and then signs in with the
// account it holds; a server that closes during the sign-in, or whose Hello comes after the client
// gave up, leaves no screen waiting and no connection alive behind the error box.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "platform/net/TcpSocket.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using namespace roomscript;
using testsupport::ScriptedClient;

fs::path Folder(const std::string& name) {
    return testsupport::TempPath("lost_connection_" + name);
}

// A port of the range kept for these runs on which the server could start (0 when none).
std::uint16_t StartOnFixedPort(testserver::TestGameServer& server) {
    const int first = 21800 + ::getpid() % 50;
    for (int port = first; port < 21900; ++port)
        if (server.Start(static_cast<std::uint16_t>(port))) return static_cast<std::uint16_t>(port);
    return 0;
}

TEST(LostConnectionRun, AGameCutOffEndsInTheNoticeAndTheSignInComesBackOnceTheServerIsBack) {
    testserver::TestGameServer server(ScriptedRoomOptions());
    server.Ignore(202);
    server.Ignore(261);
    const std::uint16_t port = StartOnFixedPort(server);
    ASSERT_NE(port, 0);
    const std::string script =
        OpenRoom() + "wait-journal CHAT 0xFF00FF00 The game has started.\n" +
        "wait-journal BOX Notice|The connection to the game server was lost.|Press OK to sign in again.\n"
        "key Return\nwait-journal SCENE 1\n"
        "wait-journal BOX Error|The game server cannot be reached.|Check your network.|Try again?\n"
        "wait-file server-back\nkey Return\nwait-journal SCENE 4\nwait-journal ROOMS 0\nquit\n";
    ScriptedClient client(Folder("game"), script);
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, port));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 2007, kMs)) << client.Journal();
    ASSERT_TRUE(
        server.SendFrames(0, {{2001, RoomState()}, {2011, TwoMembers()}, {2029, GameStart(4242, 0, 4)}}));
    ASSERT_TRUE(client.WaitFor("CHAT 0xFF00FF00 The game has started.")) << client.Journal();
    server.Stop();
    ASSERT_TRUE(client.WaitFor("BOX Error|The game server cannot be reached.")) << client.Journal();
    // The same server (it knows the account) comes back on the same port before the player tries again.
    ASSERT_TRUE(server.Start(port));
    std::ofstream(Folder("game") / "server-back") << "back\n";
    EXPECT_EQ(client.Wait(60s), std::optional<int>(0)) << client.Journal() << client.Log();
    const std::string journal = client.Journal();
    const std::size_t lost = journal.find("BOX Notice|The connection to the game server was lost.");
    ASSERT_NE(lost, std::string::npos) << journal;
    EXPECT_EQ(Lines(journal, "SCENE 4").size(), 2u) << "back in the lobby: " << journal;
    const auto signIns = server.Received(1, 151);
    ASSERT_EQ(signIns.size(), 1u) << "the second connection signs in once";
    testserver::Reader r(signIns[0]);
    EXPECT_EQ(r.str(), u"alice") << "with the account the client holds";
    server.Stop();
}

TEST(LostConnectionRun, ALobbyWhoseServerWentAwayLeadsBackToTheSignInInsteadOfLookingAlive) {
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    ScriptedClient client(Folder("lobby"),
                          "wait-journal DIALOG Create Nick\ntext Alice\nkey Return\nwait-journal SCENE 4\n"
                          "wait-journal BOX Notice|The connection to the game server was lost.\n"
                          "key Return\nwait-journal SCENE 1\nwait-journal BOX Error\nkey Escape\n");
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(client.WaitFor("SCENE 4")) << client.Journal();
    server.Stop();
    EXPECT_EQ(client.Wait(40s), std::optional<int>(0)) << client.Journal();
    const std::string journal = client.Journal();
    const std::size_t lost = journal.find("BOX Notice|The connection to the game server was lost.");
    ASSERT_NE(lost, std::string::npos) << journal;
    EXPECT_NE(journal.find("SCENE 1", lost), std::string::npos) << journal;
    EXPECT_NE(
        journal.find("BOX Error|The game server cannot be reached.|Check your network.|Try again?", lost),
        std::string::npos)
        << journal;
}

TEST(LostConnectionRun, AServerClosingDuringTheSignInIsToldAndNoEndsTheClient) {
    testserver::TestGameServer server;  // answers nothing
    ASSERT_TRUE(server.Start());
    ScriptedClient client(Folder("signin"),
                          "wait-journal BOX Error|The connection to the game server was lost.\n"
                          "key Escape\n");
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, server.Port()));
    ASSERT_TRUE(server.WaitForClients(1, kMs));
    ASSERT_TRUE(server.Expect(0, 151, kMs)) << client.Journal();
    server.Stop();
    EXPECT_EQ(client.Wait(40s), std::optional<int>(0)) << client.Journal();
    EXPECT_NE(client.Journal().find(
                  "BOX Error|The connection to the game server was lost.|Check your network.|Try again?"),
              std::string::npos)
        << client.Journal();
}

TEST(LostConnectionRun, AHelloAfterTheClientGaveUpConnectsNothing) {
    // A listener that accepts and stays silent past the client's connect time-out.
    platform::TcpListener listener;
    ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
    ScriptedClient client(Folder("hello"),
                          "journal-limit 60000\nwait-journal BOX Error|The game server cannot be reached.\n"
                          "wait 5000\nkey Escape\n");
    ASSERT_TRUE(client.Start({"launcher", "alice", "secret"}, listener.Port()));
    platform::TcpSocket socket = listener.Accept(static_cast<std::uint32_t>(kMs));
    ASSERT_TRUE(socket.IsOpen());
    ASSERT_TRUE(client.WaitFor("BOX Error|The game server cannot be reached.", 30s)) << client.Journal();
    testserver::Writer hello;
    hello.u8(0).u64(0x5EED);
    const testserver::Bytes frame = testserver::EncodeFrame(150, hello.bytes());
    socket.SendAll(frame.data(), frame.size());
    // The client closed its side when it gave up: the read ends at once, with nothing sent.
    std::atomic<long> got{1};
    std::thread reader([&] {
        std::uint8_t buffer[64];
        got = socket.Receive(buffer, sizeof buffer);
    });
    testsupport::WaitUntil([&] { return got.load() <= 0; }, 3s);
    if (got.load() > 0) socket.Shutdown();
    reader.join();
    EXPECT_EQ(got.load(), 0) << "no sign-in, no keep-alive: the connection is closed";
    EXPECT_EQ(client.Wait(40s), std::optional<int>(0)) << client.Journal();
    EXPECT_EQ(client.Journal().find("SCENE 4"), std::string::npos);
}

}  // namespace
