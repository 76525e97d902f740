// The client installed by `cmake --install` into a prefix and started from a folder of its own, as
// a user would start it: it finds its packages beside its program and leaves nothing in the current
// folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "platform/video/ImageFile.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"

namespace {

using testsupport::ChildProcess;
using testsupport::ReadFile;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ShellFolders : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = dir_.Path();
        fs::create_directories(root_ / "cwd");
        fs::create_directories(root_ / "run");
        fs::create_directories(root_ / "home");
    }

    // Runs the program offline in the empty folder "cwd" until its first scene (or a box) shows,
    // ends it, and checks that it showed no loading error and wrote nothing in that folder.
    void RunOffline(const fs::path& program) {
        const std::vector<std::string> env = {"MARVENLOT_VIDEO=null",
                                              "MARVENLOT_AUDIO=null",
                                              "MARVENLOT_HEADLESS=1",
                                              "MARVENLOT_HOME=",
                                              "MARVENLOT_RUNTIME_DIR=" + (root_ / "run").string(),
                                              "MARVENLOT_JOURNAL=" + Journal().string(),
                                              "HOME=" + (root_ / "home").string(),
                                              "XDG_CONFIG_HOME=",
                                              "XDG_STATE_HOME="};
        ChildProcess client;
        client.SetStderrFile((root_ / "stderr.txt").string());
        ASSERT_TRUE(client.Start(program.string(), {"offline"}, env, (root_ / "cwd").string()));
        std::string journal;
        testsupport::WaitUntil(
            [&] {
                journal = ReadFile(Journal());
                return journal.find("SCENE 2") != std::string::npos ||
                       journal.find("BOX ") != std::string::npos;
            },
            20s);
        client.Terminate();
        EXPECT_EQ(client.Wait(10s), std::optional<int>(0));
        const std::string err = ReadFile(root_ / "stderr.txt");
        EXPECT_EQ(err.find("Loading error"), std::string::npos) << err;
        EXPECT_NE(ReadFile(Journal()).find("SCENE 2"), std::string::npos) << ReadFile(Journal());
        EXPECT_TRUE(fs::is_empty(root_ / "cwd")) << fs::directory_iterator(root_ / "cwd")->path();
    }
    fs::path Journal() const { return root_ / "journal.txt"; }

    testsupport::TempDir dir_;
    fs::path root_;
};

TEST_F(ShellFolders, InstalledClientKeepsConfigAndLogInTheUsersXdgFolders) {
    const fs::path prefix = root_ / "prefix";
    const std::string install = std::string("'") + MARVENLOT_CMAKE_COMMAND + "' --install '" +
                                MARVENLOT_BUILD_DIR + "' --prefix '" + prefix.string() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(install.c_str()), 0) << install;
    for (const char* installed :
         {"bin/marvenlot", "bin/marvenlot-crashreport", "bin/marvenlot-dumpread", "bin/marvenlot-messagebox",
          "bin/marvenlot-shotsim", "share/marvenlot/data/data.mpk",
          "share/icons/hicolor/scalable/apps/marvenlot.svg"})
        EXPECT_TRUE(fs::exists(prefix / installed)) << installed;
    for (unsigned size : {48u, 64u, 128u, 256u}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        platform::Image icon;
        ASSERT_TRUE(platform::LoadPng(
            (prefix / "share/icons/hicolor" / folder / "apps/marvenlot.png").string(), icon))
            << folder;
        EXPECT_EQ(icon.width, size);
        EXPECT_EQ(icon.height, size);
    }
    // The menu starts the installed program whether or not the prefix's bin is on PATH.
    const std::string entry = ReadFile(prefix / "share/applications/marvenlot.desktop");
    EXPECT_NE(entry.find("\nExec=\"" + (prefix / "bin/marvenlot").string() + "\" offline\n"),
              std::string::npos)
        << entry;

    // The XDG folders default to folders below $HOME (unit tests cover the variables themselves).
    RunOffline(prefix / "bin" / "marvenlot");
    EXPECT_NE(ReadFile(root_ / "home/.local/state/marvenlot/StartLog.log").find("Init done..."),
              std::string::npos);
    EXPECT_TRUE(fs::exists(root_ / "home/.config/marvenlot/config.ini"));
}

}  // namespace
