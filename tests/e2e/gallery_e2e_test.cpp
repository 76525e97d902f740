// The client program reaches the shot gallery from the lobby, as a person would, and plays a shot
// served by the gallery stand-in: every playback rests where the shot it was recorded from rested
// (the quarter-speed playback takes long in real time; the scene test covers it).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/gallery/GalleryTestServer.h"
#include "tests/e2e/gallery/RecordedShots.h"
#include "tests/e2e/server/TestGameServer.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Where the controls are on the 1024 x 768 client area: the lobby's "Shot gallery" button and the
// first row of the centred list window.
constexpr const char* kGalleryButton = "760 430";
constexpr const char* kFirstListRow = "400 263";

TEST(GalleryRun, TheLobbyOpensTheGalleryAndItsBestShotReplaysToTheRecordedRestAtNormalAndHalfSpeed) {
    const auto shots = gallery_test::ShotsFromJournal(gallery_test::RecordShotLines());
    ASSERT_FALSE(shots.empty());
    gallery_test::GalleryTestServer gallery(gallery_test::CatalogueHandler(shots));
    ASSERT_TRUE(gallery.Started());
    testserver::ServerOptions options;
    options.lobby = true;
    testserver::TestGameServer server(options);
    ASSERT_TRUE(server.Start());

    const fs::path folder = fs::temp_directory_path() / ("gallery_e2e_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder / "run");
    fs::create_directory_symlink(MARVENLOT_DATA_DIR, folder / "data");
    std::ofstream(folder / "input.txt")
        << "wait-journal SCENE 1\nwait 300\ntext Gina\nkey Return\nwait-journal SCENE 4\nwait 500\nmove "
        << kGalleryButton << "\ndown left\nup left\nwait-journal SCENE 9\nwait 800\nmove " << kFirstListRow
        << "\ndown left\nup left\njournal-limit 150000\nwait-journal REPLAY 2 \nwait 300\nquit\n";
    testsupport::ChildProcess client;
    client.SetStderrFile((folder / "stderr.txt").string());
    ASSERT_TRUE(client.Start(MARVENLOT_CLIENT_PATH, {"launcher", "gina", "secret"},
                             {"MARVENLOT_VIDEO=null", "MARVENLOT_AUDIO=null", "MARVENLOT_HEADLESS=1",
                              "MARVENLOT_RUNTIME_DIR=" + (folder / "run").string(),
                              "MARVENLOT_JOURNAL=" + (folder / "journal.txt").string(),
                              "MARVENLOT_INPUT=" + (folder / "input.txt").string(),
                              "MARVENLOT_SERVER=127.0.0.1:" + std::to_string(server.Port()),
                              "MARVENLOT_GALLERY_HOST=" + gallery.HostSetting()},
                             folder.string()));
    EXPECT_EQ(client.Wait(200s), std::optional<int>(0));
    const std::string journal = testsupport::ReadFile((folder / "journal.txt").string());
    const std::string log = testsupport::ReadFile((folder / "StartLog.log").string());

    // The best shot of the newest date is the one with the most points: the first recorded.
    const auto requests = gallery.Requests();
    ASSERT_GE(requests.size(), 2u) << journal << log;
    EXPECT_EQ(requests[0].body, "Page_list=0");
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
    std::error_code error;
    fs::remove_all(folder, error);
}

}  // namespace
