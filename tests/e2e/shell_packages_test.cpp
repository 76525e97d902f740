// The client started on a damaged install: every package it reads is checked at start, and a
// missing or damaged one ends the start with one box naming its file and a failure exit code. On a
// real display that box waits for an answer, and SIGTERM still ends the client and the box.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/common/XvfbDisplay.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::ChildProcess;
using testsupport::ReadFile;

enum class Damage { Truncated, FlippedByte, Missing };

class DamagedInstall : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = dir_.Path();
        fs::create_directories(folder_ / "run");
        fs::create_directories(folder_ / "data");
        for (const auto& entry : fs::directory_iterator(MARVENLOT_DATA_DIR))
            fs::copy_file(entry.path(), folder_ / "data" / entry.path().filename());
    }

    fs::path Package(const std::string& name) const { return folder_ / "data" / (name + ".mpk"); }
    void Spoil(const std::string& name, Damage damage) {
        const fs::path path = Package(name);
        const auto size = fs::file_size(path);
        switch (damage) {
            case Damage::Truncated:
                fs::resize_file(path, size * 3 / 4);
                break;
            case Damage::FlippedByte: {
                std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
                file.seekg(static_cast<std::streamoff>(size / 2));
                const char byte = static_cast<char>(file.get() ^ 0x5A);
                file.seekp(static_cast<std::streamoff>(size / 2));
                file.put(byte);
                break;
            }
            case Damage::Missing:
                fs::remove(path);
                break;
        }
    }
    void Restore(const std::string& name) {
        fs::copy_file(fs::path(MARVENLOT_DATA_DIR) / (name + ".mpk"), Package(name),
                      fs::copy_options::overwrite_existing);
    }
    std::vector<std::string> Env(const std::vector<std::string>& extra) const {
        std::vector<std::string> env{"MARVENLOT_VIDEO=null",
                                     "MARVENLOT_AUDIO=null",
                                     "MARVENLOT_HEADLESS=1",
                                     "MARVENLOT_HOME=" + folder_.string(),
                                     "MARVENLOT_RUNTIME_DIR=" + (folder_ / "run").string(),
                                     "MARVENLOT_JOURNAL=" + Journal().string()};
        env.insert(env.end(), extra.begin(), extra.end());
        return env;
    }
    fs::path Journal() const { return folder_ / "journal.txt"; }
    std::string BoxLine(const std::string& name) const {
        return "BOX Marvenlot|Loading error-1 (file:" + Package(name).string() + " pack:" + name +
               " type:-1)|Reinstall Marvenlot after Remove\n";
    }

    testsupport::TempDir dir_;
    fs::path folder_;
};

// Processes of the box program that show a box of this test's install.
int BoxProcesses(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc")) {
        const std::string cmdline = ReadFile(entry.path() / "cmdline");
        if (cmdline.find("marvenlot-messagebox") != std::string::npos &&
            cmdline.find(folder.string()) != std::string::npos)
            ++count;
    }
    return count;
}

TEST_F(DamagedInstall, EachDamagedOrMissingPackageEndsTheStartWithOneBoxNamingItsFile) {
    const struct {
        const char* name;
        Damage damage;
    } cases[] = {{"Lang", Damage::Truncated},
                 {"UIEn", Damage::FlippedByte},
                 {"Balls", Damage::Missing},
                 {"data", Damage::Truncated}};
    for (const auto& c : cases) {
        Spoil(c.name, c.damage);
        fs::remove(Journal());
        ChildProcess client;
        ASSERT_TRUE(client.Start(MARVENLOT_CLIENT_PATH, {"offline"}, Env({}), folder_.string()));
        EXPECT_EQ(client.Wait(60s), std::optional<int>(1)) << c.name;
        EXPECT_EQ(ReadFile(Journal()), BoxLine(c.name)) << "one box and no scene";
        EXPECT_NE(ReadFile(folder_ / "StartLog.log").find("Exit"), std::string::npos) << "an orderly end";
        Restore(c.name);
    }
}

TEST_F(DamagedInstall, SigtermWhileTheBoxWaitsForAnAnswerEndsTheClientAndTheBox) {
    testsupport::XvfbDisplay display;
    if (!display.Start()) GTEST_SKIP() << "Xvfb is not available";
    Spoil("Lang", Damage::Truncated);
    ChildProcess client;
    client.SetStderrFile((folder_ / "stderr.txt").string());
    // A real window and a real box; the X and GL libraries keep allocations to the end of the process.
    ASSERT_TRUE(client.Start(MARVENLOT_CLIENT_PATH, {"offline"},
                             Env({"MARVENLOT_VIDEO=sdl", "MARVENLOT_HEADLESS=", "SDL_VIDEODRIVER=",
                                  "DISPLAY=" + display.Name(), "LSAN_OPTIONS=detect_leaks=0"}),
                             folder_.string()));
    testsupport::WaitUntil([&] { return BoxProcesses(folder_) > 0; }, 60s, 20ms);
    ASSERT_GT(BoxProcesses(folder_), 0) << ReadFile(folder_ / "stderr.txt");
    EXPECT_EQ(ReadFile(Journal()), BoxLine("Lang"));
    EXPECT_EQ(client.Wait(500ms), std::nullopt) << "the box waits for an answer";

    client.Terminate();
    EXPECT_EQ(client.Wait(20s), std::optional<int>(1));
    EXPECT_EQ(BoxProcesses(folder_), 0);
    EXPECT_EQ(ReadFile(folder_ / "stderr.txt").find("Marvenlot: Loading error"), std::string::npos)
        << "the box was shown on the display, not written to stderr";
    EXPECT_NE(ReadFile(folder_ / "StartLog.log").find("Exit"), std::string::npos);
}

}  // namespace
