// Whole-client runs of the offline table and the replay viewer, driven by scripted input as a person
// would play, and checked through the journal.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::ReadFile;

class TableRun : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::TempPath(std::string("table_e2e_") +
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
        "wait-journal TURN 0 1\n" + testsupport::ScratchIntoTheCornerPocket() +
        "wait-journal SHOT 10 \nwait-journal TURN 0 1\n" + Strike(508) +
        "wait-journal SHOT 10 \nwait-journal TURN 0 1\n" + kThreeCushion + "wait-journal TURN 0 1\n" +
        Strike(516) + "wait-journal SHOT 4 \nwait-journal TURN 0 1\n" + kEightBall +
        "wait-journal SOUND 27\nwait-journal TURN 0 1\n" + testsupport::CarryBall(512, 384, 430, 430) +
        Strike(520) + "wait-journal SHOT 10 \nwait-journal TURN 0 1\nkey U\n" + Strike(520) +
        "wait-journal SHOT 10 \nwait 300\nquit\n";
    EXPECT_EQ(Run({"offline"}, script, 150s), std::optional<int>(0));
    const auto shots = JournalLines("SHOT");
    ASSERT_EQ(shots.size(), 5u) << ReadFile(folder_ / "journal.txt");
    // The second shot needs the cue back after the first came to rest; the third is on the
    // 3-cushion table chosen in the room setting, the fourth and fifth on the new 8-ball rack.
    const char* types[] = {"10", "10", "4", "10", "10"};
    for (std::size_t i = 0; i < shots.size(); ++i) {
        ASSERT_EQ(shots[i].size(), 5u);
        EXPECT_EQ(shots[i][1], types[i]) << "shot " << i;
    }
    const auto cue = [&](std::size_t i) { return testsupport::RecordOf(shots[i][4]).positions[0]; };
    const auto moved = [&](std::size_t a, std::size_t b) {
        return std::hypot(cue(a)[0] - cue(b)[0], cue(a)[1] - cue(b)[1]);
    };
    EXPECT_EQ(moved(1, 0), 0.0f) << "the pocketed cue ball is back on the head spot";
    EXPECT_GT(moved(3, 0), 10.0f) << "the cue ball carried off the head spot";
    EXPECT_EQ(cue(4), cue(3)) << "U sets the moved ball up again";
    EXPECT_FALSE(JournalLines("SOUND").empty());
    EXPECT_EQ(ReadFile(folder_ / "StartLog.log").find("no journal line"), std::string::npos)
        << ReadFile(folder_ / "StartLog.log");
}

TEST_F(TableRun, ReplayViewerPlaysAShotLineRecordAtEverySpeedToTheShotsRestAndNeverWritesConfig) {
    ASSERT_EQ(Run({"offline"}, "wait-journal TURN 0 1\n" + Strike(516) + "wait-journal SHOT\nquit\n", 60s),
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

TEST_F(TableRun, MalformedReplayRecordsAreRefusedOnTheCommandLineBeforeAnyWindowOpens) {
    const std::string longText(10000, 'F');
    for (const std::string& hex : {std::string("0A0B"), std::string("ZZ"), std::string("0"), longText,
                                   std::string("00000000140001001F") + std::string(600, '0')}) {
        fs::remove(folder_ / "journal.txt");
        EXPECT_EQ(Run({"replay", "a", "b", hex}, "", 20s), std::optional<int>(2)) << hex.substr(0, 40);
        EXPECT_NE(ReadFile(folder_ / "stderr.txt").find("marvenlot: the shot record cannot be read: "),
                  std::string::npos)
            << ReadFile(folder_ / "stderr.txt");
        EXPECT_FALSE(fs::exists(folder_ / "journal.txt")) << "no scene and no box";
        EXPECT_FALSE(fs::exists(folder_ / "config.ini"));
    }
}

// The table's settings key opens the options dialog over the table, filled from config.ini; a check
// box and a volume chosen with the mouse and OK are saved, and the settings not touched keep their
// values (the dialog once opened unfilled there, and OK wrote its defaults over them).
TEST_F(TableRun, TheTablesSettingsKeyOpensTheOptionsAndOkSavesTheChangedSettingsOnly) {
    {
        std::ofstream(folder_ / "config.ini")
            << "[Audio]\r\nFXVolume= 55\r\n[Control]\r\nshotsensitive= 300\r\n";
    }
    // The dialog is centred in the 1024 x 768 screen at (232, 149): "Show ball paths" at (386, 289),
    // the music volume list at (614, 207), open with 10 to 100 in rows of 22 pixels below it; Enter
    // is OK.
    const std::string script =
        "wait-journal TURN 0 1\nkey F3\nwait 500\n"
        "move 400 300\ndown left\nup left\nwait 200\n"
        "move 650 218\ndown left\nup left\nwait 200\nmove 650 328\ndown left\nup left\nwait 200\n"
        "key Return\nwait 500\nquit\n";
    EXPECT_EQ(Run({"offline"}, script, 60s), std::optional<int>(0));
    const std::string config = ReadFile(folder_ / "config.ini");
    EXPECT_NE(config.find("traceall= 1"), std::string::npos) << config;
    EXPECT_NE(config.find("BGMVolume= 50"), std::string::npos) << config;
    EXPECT_NE(config.find("FXVolume= 55"), std::string::npos) << "the settings not touched stay";
    EXPECT_NE(config.find("shotsensitive= 300"), std::string::npos) << config;
}

// A three-cushion record (three balls at rest, cue ball 0 struck toward (40, 10)) of the model, with
// the power and contact factor given; its other words are those of a plain shot. The game type byte
// and the cue ball's x can be set to what does not fit the three balls.
std::string CaromRecord(std::uint32_t model, float power, float contactFactor, float tipSide,
                        std::uint8_t gameType = 4, float cueX = -50.0f) {
    std::string hex;
    auto bytes = [&](std::uint64_t value, int count) {
        char two[3];
        for (int i = 0; i < count; ++i) {
            std::snprintf(two, sizeof two, "%02X",
                          i < 8 ? static_cast<unsigned>((value >> (8 * i)) & 0xFF) : 0u);
            hex += two;
        }
    };
    auto f32 = [&](float value) {
        std::uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        bytes(bits, 4);
    };
    bytes(0, 4);         // client build
    bytes(model, 4);     // physics model
    bytes(gameType, 1);  // three-cushion unless asked otherwise
    bytes(0, 2 + 2);     // table and cue items: the game type's own
    bytes(0, 10 + 5);    // cue parts and their levels
    bytes(0, 2 + 2);     // ball set, a word
    bytes(0, 1);         // cue ball
    bytes(3, 1);         // ball count
    bytes(0, 1);
    for (float x : {cueX, 40.0f, 20.0f}) {
        f32(x);
        f32(x == 40.0f ? 10.0f : -7.0f);
        f32(3.075f);
    }
    for (int i = 0; i < 3; ++i)
        for (float q : {0.0f, 0.0f, 0.0f, 1.0f}) f32(q);
    // Maximum power, power, contactFactor, aim, the offset pairs, elevation, limitFactor; then chalk and
    // the two offset reductions (stiffnessFactor is not written).
    for (float w : {1.0f, power, contactFactor, 40.0f, 10.0f, tipSide, 0.0f, tipSide, 0.0f, 0.0f, 1.0f, 0.0f,
                    0.0f, 0.0f})
        f32(w);
    return hex;
}

// A record carrying words no client sends (power 100 on 0x10007, a contact factor of -2.5 on the
// default model, a tip offset far beyond the ball) once struck a shot that never came to rest, and one
// that does not fit its table (a ball where no number is, three balls of four-ball) showed nothing
// until it was ended; now the command line refuses each, saying why, while the sound record plays.
TEST_F(TableRun, ReplayRefusesARecordItCannotPlayAndPlaysTheSoundOne) {
    struct Case {
        std::uint32_t model;
        float power, contactFactor, tipSide;
        std::uint8_t gameType;
        float cueX;
        const char* logged;
    } const cases[] = {
        {0x10007, 100.0f, 0.0f, 0.0f, 4, -50.0f, "power 100 outside 0 to 1"},
        {0x10014, 0.8f, -2.5f, 0.0f, 4, -50.0f, "contactFactor -2.5 outside 0 to 1"},
        {0x10014, 0.8f, 0.0f, 50.0f, 4, -50.0f, "offsetLimit side 50 outside -1 to 1"},
        {0x10014, 0.8f, 0.0f, 0.0f, 4, std::numeric_limits<float>::quiet_NaN(),
         "the position of ball 0 is no number"},
        {0x10014, 0.8f, 0.0f, 0.0f, 0, -50.0f, "it holds 3 balls where its game type 0 has 4"},
    };
    for (const Case& c : cases) {
        fs::remove(folder_ / "journal.txt");
        EXPECT_EQ(Run({"replay", "a", "b",
                       CaromRecord(c.model, c.power, c.contactFactor, c.tipSide, c.gameType, c.cueX)},
                      "", 30s),
                  std::optional<int>(2))
            << c.logged;
        EXPECT_FALSE(fs::exists(folder_ / "journal.txt")) << c.logged;
        EXPECT_NE(ReadFile(folder_ / "stderr.txt")
                      .find(std::string("marvenlot: the shot record cannot be played: ") + c.logged),
                  std::string::npos)
            << ReadFile(folder_ / "stderr.txt");
    }
    fs::remove(folder_ / "journal.txt");
    EXPECT_EQ(Run({"replay", "a", "b", CaromRecord(0x10007, 1.0f, 0.0f, 0.0f)},
                  "wait-journal REPLAY 1 \nquit\n", 90s),
              std::optional<int>(0));
    EXPECT_EQ(JournalLines("REPLAY").size(), 1u) << ReadFile(folder_ / "journal.txt");
}

}  // namespace
