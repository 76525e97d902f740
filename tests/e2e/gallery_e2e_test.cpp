// The client program reaches the shot gallery from the lobby, as a person would, and plays a shot
// served by the gallery stand-in: every playback rests where the shot it was recorded from rested
// (the quarter-speed playback takes long in real time; the scene test covers it). The gallery fails
// its first answer, and the player's press of "Best" reads the list again.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <sstream>

#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/e2e/gallery/RecordedShots.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Where the controls are on the 1024 x 768 client area: the lobby's "Shot gallery" button, and the
// first row and the "Best" button of the centred list window.
constexpr const char* kGalleryButton = "760 430";
constexpr const char* kFirstListRow = "400 263";
constexpr const char* kBestButton = "310 540";

TEST(GalleryRun, TheLobbyOpensTheGalleryAndItsBestShotReplaysToTheRecordedRestAtNormalAndHalfSpeed) {
    const auto shots = gallery_test::ShotsFromJournal(gallery_test::RecordShotLines());
    ASSERT_FALSE(shots.empty());
    std::atomic<bool> failed{false};
    gallery_test::GalleryTestServer gallery(
        [&failed, catalogue = gallery_test::CatalogueHandler(shots)](const gallery_test::Request& request) {
            if (!failed.exchange(true))
                return gallery_test::Answer{gallery_test::Answer::Kind::Reply, 503, "busy"};
            return catalogue(request);
        });
    ASSERT_TRUE(gallery.Started());
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());

    const std::string script = std::string("wait-journal DIALOG Create Nick\ntext Gina\nkey Return\n") +
                               "wait-journal SCENE 4\nmove " + kGalleryButton +
                               "\ndown left\nup left\nwait-journal ENTERED 9\nmove " + kBestButton +
                               "\ndown left\nup left\nmove " + kFirstListRow +
                               "\ndown left\nup left\njournal-limit 150000\nwait-journal REPLAY 2 \nquit\n";
    // The client keeps to a folder of its own: its log, config and journal are written there.
    testsupport::ScriptedClient client(testsupport::TempPath("gallery_e2e"), script);
    ASSERT_TRUE(client.Start({"launcher", "gina", "secret"}, server.Port(),
                             {"MARVENLOT_GALLERY_HOST=" + gallery.HostSetting()}));
    EXPECT_EQ(client.Wait(200s), std::optional<int>(0));
    const std::string journal = client.Journal();
    const std::string log = client.Log();

    // The best shot of the newest date is the one with the most points: the first recorded.
    const auto requests = gallery.Requests();
    ASSERT_GE(requests.size(), 3u) << journal << log;
    EXPECT_EQ(requests[0].body, "Page_list=0");
    EXPECT_EQ(requests[1].body, "Page_list=0");
    EXPECT_NE(log.find("ERROR : shot gallery request /shot/shot_list_T.asp answered status 503"),
              std::string::npos)
        << log;
    EXPECT_EQ(requests.back().body, "shot_seq=" + std::to_string(shots[0].seq));
    std::istringstream lines(journal);
    int playbacks = 0;
    const int speeds[] = {100, 50, 25};
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string kind, hash;
        int playback = 0, speed = 0;
        if (!(words >> kind >> playback >> speed >> hash) || kind != "REPLAY") continue;
        EXPECT_EQ(speed, speeds[playbacks % 3]) << line;
        EXPECT_EQ(hash, shots[0].restHash) << line;
        ++playbacks;
    }
    EXPECT_GE(playbacks, 2) << journal << log;
    server.Stop();
}

}  // namespace
