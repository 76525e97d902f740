// A hostile server floods the signed-in client's lobby with valid chat lines. The client must keep
// its main loop going (journal lines, the screenshot key) and still end in order on SIGTERM.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ScriptedClient;

constexpr std::uint16_t kLobbyChatLine = 165;
constexpr int kFramesPerWrite = 1000;

// Lines per flood: 50,000 in CI; MARVENLOT_FLOOD_LINES sets a longer run by hand.
int FloodLines() {
    const char* lines = std::getenv("MARVENLOT_FLOOD_LINES");
    const int wanted = lines ? std::atoi(lines) : 0;
    return wanted > 0 ? wanted : 50'000;
}

// Chat lines 0..count-1 of `sender`, sent as fast as the client reads; false once the client is gone.
bool SendFlood(testserver::TestGameServer& server, const std::u16string& sender, int count) {
    for (int at = 0; at < count; at += kFramesPerWrite) {
        std::vector<testserver::Frame> frames;
        for (int n = at; n < std::min(count, at + kFramesPerWrite); ++n) {
            const std::string text = "line " + std::to_string(n);
            testserver::Writer body;
            body.str(sender).str(std::u16string(text.begin(), text.end()));
            frames.push_back({kLobbyChatLine, body.bytes()});
        }
        if (!server.SendFrames(0, frames)) return false;
    }
    return true;
}

bool AnyFileIn(const fs::path& dir) {
    std::error_code error;
    return fs::directory_iterator(dir, error) != fs::directory_iterator();
}

std::string ChatLine(int n) {
    return "CHAT 0xFFFFFFFF Flood: line " + std::to_string(n) + "\n";
}

TEST(LobbyFlood, FiftyThousandChatLinesKeepTheClientRunningAndSigtermEndsItAtOnce) {
    const int kFlood = FloodLines();
    testserver::ServerOptions options;
    options.lobby = true;
    // The flood is queued at once: the server must hold it, not take the client for one that stopped
    // reading while it works through the lines.
    options.sendLimit = std::size_t{1} << 30;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    const fs::path folder = testsupport::TempPath("lobby_flood");
    // The screenshot key is pressed once the flood has begun: the main loop must still take input.
    // The nickname box shows once the sign-in reply is in: no journal line tells when, so the
    // script gives it time (more on a slow machine).
    const std::string nickWait = std::to_string(1000 * testsupport::Patience());
    ScriptedClient client(folder,
                          "wait-journal SCENE 1\nwait " + nickWait + "\ntext Flooder\nkey Return\n" +
                              "wait-journal SCENE 4\nwait-journal CHAT 0xFFFFFFFF Flood: line \nkey F12\n");
    fs::create_directories(folder / "desktop");
    ASSERT_TRUE(client.Start({"launcher", "flooder", "secret"}, server.Port(),
                             {"MARVENLOT_DESKTOP_DIR=" + (folder / "desktop").string()}));
    ASSERT_TRUE(client.WaitFor("SCENE 4\n")) << client.Journal() << client.Log();
    ASSERT_EQ(server.ClientCount(), 1);

    ASSERT_TRUE(SendFlood(server, u"Flood", kFlood));
    EXPECT_TRUE(client.WaitFor(ChatLine(kFlood - 1), 60s + std::chrono::milliseconds(kFlood)))
        << client.Log();
    EXPECT_TRUE(AnyFileIn(folder / "desktop")) << "the screenshot key was not taken during the flood";

    // A second flood, and SIGTERM while it runs.
    std::thread flood([&] { SendFlood(server, u"Again", kFlood); });
    EXPECT_TRUE(client.WaitFor("CHAT 0xFFFFFFFF Again: line ", 30s));
    client.Terminate();
    EXPECT_EQ(client.Wait(3s), std::optional<int>(0)) << "SIGTERM was not honoured at once";
    flood.join();  // its writes fail once the client is gone
    server.Stop();
    const std::string log = client.Log();
    EXPECT_NE(log.find("Exit"), std::string::npos) << log;
    EXPECT_LT(log.size(), 64u * 1024) << "the flood filled the log";
}

}  // namespace
