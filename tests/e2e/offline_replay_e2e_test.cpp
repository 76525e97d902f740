// Whole-client runs of the offline table and the replay viewer, driven by scripted input as a person
// would play, and checked through the journal.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::ReadFile;

class TableRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ =
            fs::temp_directory_path() / ("table_e2e_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "run");
        fs::create_directory_symlink(MARVENLOT_DATA_DIR, folder_ / "data");
    }
    void TearDown() override {
        std::error_code error;
        fs::remove_all(folder_, error);
    }
    // Runs the client with a script to its end; the exit code.
    std::optional<int> Run(const std::vector<std::string>& args, const std::string& script,
                           std::chrono::seconds limit) {
        { std::ofstream(folder_ / "input.txt") << script; }
        ChildProcess client;
        client.SetStderrFile((folder_ / "stderr.txt").string());
        EXPECT_TRUE(client.Start(
            MARVENLOT_CLIENT_PATH, args,
            {"MARVENLOT_VIDEO=null", "MARVENLOT_AUDIO=null", "MARVENLOT_HEADLESS=1",
             "MARVENLOT_HOME=" + folder_.string(), "MARVENLOT_RUNTIME_DIR=" + (folder_ / "run").string(),
             "MARVENLOT_JOURNAL=" + (folder_ / "journal.txt").string(),
             "MARVENLOT_INPUT=" + (folder_ / "input.txt").string()},
            folder_.string()));
        return client.Wait(limit);
    }
    std::vector<std::vector<std::string>> JournalLines(const std::string& kind) const {
        std::vector<std::vector<std::string>> lines;
        std::istringstream in(ReadFile(folder_ / "journal.txt"));
        for (std::string line; std::getline(in, line);) {
            std::istringstream words(line);
            std::vector<std::string> fields;
            for (std::string w; words >> w;) fields.push_back(w);
            if (!fields.empty() && fields[0] == kind) lines.push_back(fields);
        }
        return lines;
    }

    fs::path folder_;
};

// A soft shot: aim a little to the side, draw the mouse back 60 pixels and let go.
std::string Strike(int x) {
    const std::string at = std::to_string(x);
    return "move " + at + " 300\ndown left\nwait 50\nmove " + at + " 360\nwait 50\nup left\n";
}
// "Room setting" (top right), the game type's check box in the centred dialog, OK.
std::string ChooseGameType(int x, int y) {
    return "move 840 20\ndown left\nup left\nwait 300\nmove " + std::to_string(x) + " " + std::to_string(y) +
           "\ndown left\nup left\nmove 450 520\ndown left\nup left\n";
}
const std::string kThreeCushion = ChooseGameType(566, 318);
const std::string kEightBall = ChooseGameType(416, 374);

TEST_F(TableRun, OfflineTablePlaysShotsByMouseAndRoomSettingRacksANewEightBallTable) {
    const std::string script =
        "wait-journal SCENE 11\nwait 1500\n" + Strike(516) + "wait-journal SHOT 10 \nwait 500\n" +
        Strike(508) + "wait-journal SHOT 10 \nwait 500\n" + kThreeCushion + "wait 1000\n" + Strike(516) +
        "wait-journal SHOT 4 \nwait 500\n" + kEightBall + "wait-journal SOUND 27\nwait 1000\n" + Strike(520) +
        "wait-journal SHOT 10 \nwait 300\nquit\n";
    EXPECT_EQ(Run({"offline"}, script, 150s), std::optional<int>(0));
    const auto shots = JournalLines("SHOT");
    ASSERT_EQ(shots.size(), 4u) << ReadFile(folder_ / "journal.txt");
    // The second shot needs the cue back after the first came to rest; the third is on the
    // 3-cushion table chosen in the room setting, the fourth on the new 8-ball rack.
    const char* types[] = {"10", "10", "4", "10"};
    for (std::size_t i = 0; i < shots.size(); ++i) {
        ASSERT_EQ(shots[i].size(), 5u);
        EXPECT_EQ(shots[i][1], types[i]) << "shot " << i;
    }
    EXPECT_FALSE(JournalLines("SOUND").empty());
    EXPECT_EQ(ReadFile(folder_ / "StartLog.log").find("no journal line"), std::string::npos)
        << ReadFile(folder_ / "StartLog.log");
}

TEST_F(TableRun, ReplayViewerPlaysAShotLineRecordAtEverySpeedToTheShotsRestAndNeverWritesConfig) {
    ASSERT_EQ(Run({"offline"},
                  "wait-journal SCENE 11\nwait 1500\n" + Strike(516) + "wait-journal SHOT\nquit\n", 60s),
              std::optional<int>(0));
    const auto shots = JournalLines("SHOT");
    ASSERT_EQ(shots.size(), 1u);
    const std::string record = shots[0][4];
    const std::string hash = shots[0][3];
    fs::remove(folder_ / "journal.txt");
    fs::remove(folder_ / "config.ini");

    const std::string script =
        "wait-journal REPLAY 1 \nwait-journal REPLAY 2 \nwait-journal REPLAY 3 \nwait-journal REPLAY 4 "
        "\nquit\n";
    EXPECT_EQ(Run({"replay", "a", "b", record}, script, 200s), std::optional<int>(0));
    const auto replays = JournalLines("REPLAY");
    ASSERT_GE(replays.size(), 4u) << ReadFile(folder_ / "journal.txt");
    const char* speeds[] = {"100", "50", "25", "100"};
    for (std::size_t i = 0; i < 4; ++i) {
        ASSERT_EQ(replays[i].size(), 4u);
        EXPECT_EQ(replays[i][1], std::to_string(i + 1));
        EXPECT_EQ(replays[i][2], speeds[i]);
        EXPECT_EQ(replays[i][3], hash) << "playback " << i + 1 << " ended elsewhere than the shot";
    }
    EXPECT_FALSE(fs::exists(folder_ / "config.ini"));
}

TEST_F(TableRun, MalformedReplayRecordsEndWithTheLoadingErrorAndNeverCrash) {
    const std::string longText(10000, 'F');
    for (const std::string& hex : {std::string("0A0B"), std::string("ZZ"), std::string("0"), longText,
                                   std::string("00000000140001001F") + std::string(600, '0')}) {
        fs::remove(folder_ / "journal.txt");
        EXPECT_EQ(Run({"replay", "a", "b", hex}, "", 20s), std::optional<int>(0)) << hex.substr(0, 40);
        EXPECT_TRUE(JournalLines("REPLAY").empty());
        EXPECT_FALSE(fs::exists(folder_ / "config.ini"));
    }
}

}  // namespace
