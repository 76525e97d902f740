#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/lib/DeviceCheckDialog.h"
#include "platform/sys/Journal.h"
#include "tests/common/TempDir.h"

namespace {

using testsupport::ReadFile;

std::filesystem::path TempDir(const char* name) {
    auto dir = testsupport::TempPath(name);
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace

TEST(DeviceCheck, RuntimeAndDriverCodesOfferTheirLinkAndOthersNone) {
    setenv("MARVENLOT_WEB_HOST", "127.0.0.1:8080", 1);
    for (int code : {1, 2}) EXPECT_EQ(DescribeDeviceCheck(code).linkText, "Go to download DirectX 9.0c.");
    for (int code : {3, 8}) {
        const auto content = DescribeDeviceCheck(code);
        EXPECT_EQ(content.linkText, "Go to download the recent graphic driver.");
        EXPECT_EQ(content.linkTarget, "http://127.0.0.1:8080/down/down_01.asp");
    }
    const auto noModes = DescribeDeviceCheck(5);
    EXPECT_TRUE(noModes.linkText.empty());
    EXPECT_TRUE(noModes.linkTarget.empty());
    EXPECT_EQ(ToUtf8(noModes.text), "No available display mode - please check display adapter driver.");
    EXPECT_EQ(ToUtf8(DescribeDeviceCheck(-7).text), "Undefined error.");
    EXPECT_EQ(ToUtf8(DescribeDeviceCheck(3).text),
              "Failed to get device caps - please check display adapter driver");
}

TEST(DeviceCheck, HeadlessDialogShowsTextAndLinkAndAnswersOkWithoutOpeningAnything) {
    setenv("MARVENLOT_HEADLESS", "1", 1);
    setenv("MARVENLOT_WEB_HOST", "127.0.0.1:8080", 1);
    const auto dir = TempDir("device_check_journal");
    ASSERT_TRUE(platform::Journal::Open((dir / "journal.txt").string()));
    EXPECT_EQ(SystemCheckDialog(1), device_check::kEndOk);
    EXPECT_EQ(SystemCheckDialog(5), device_check::kEndOk);
    platform::Journal::Open("");
    const std::string journal = ReadFile(dir / "journal.txt");
    EXPECT_NE(journal.find(
                  "BOX Error - Marvenlot|Failed to query Direct3D9 interface - please install DirectX 9.0c "
                  "version.|Go to download DirectX 9.0c. http://127.0.0.1:8080/down/down_01.asp\n"),
              std::string::npos)
        << journal;
    EXPECT_NE(journal.find(
                  "BOX Error - Marvenlot|No available display mode - please check display adapter driver.\n"),
              std::string::npos)
        << journal;
    EXPECT_EQ(journal.find("OPEN"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// The client with a capability failure injected into its recording device: the dialog's text and
// link on stderr, the reason in the start-up log, and an orderly end with the exit code of a failed
// start.
TEST(DeviceCheck, ClientWithFailingCapsShowsTheDialogAndEndsInOrder) {
    const auto dir = TempDir("device_check_client");
    const std::string command =
        "cd '" + dir.string() + "' && MARVENLOT_HOME=. MARVENLOT_RUNTIME_DIR='" + dir.string() +
        "/run' MARVENLOT_VIDEO=null MARVENLOT_AUDIO=null MARVENLOT_HEADLESS=1 "
        "MARVENLOT_DEVICE_CAPS_RESULT=3 MARVENLOT_WEB_HOST=127.0.0.1:8080 timeout 60 " +
        MARVENLOT_BINARY_DIR "/app/marvenlot offline 2>stderr.txt";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string err = ReadFile(dir / "stderr.txt");
    EXPECT_NE(err.find("Error - Marvenlot: Failed to get device caps - please check display adapter driver\n"
                       "Go to download the recent graphic driver. http://127.0.0.1:8080/down/down_01.asp"),
              std::string::npos)
        << err;
    const std::string log = ReadFile(dir / "StartLog.log");
    EXPECT_NE(log.find("Renderer error: Failed to get device caps"), std::string::npos) << log;
    std::filesystem::remove_all(dir);
}
