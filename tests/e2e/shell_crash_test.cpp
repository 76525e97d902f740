// The crash road of the real client: a running client killed with SIGSEGV writes its dump, the
// reporter prints the report line and posts the start-up log and the dump to the report host, and
// the reading tool decodes the dump.
#include <gtest/gtest.h>
#include <signal.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "app/lib/CrashReport.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/engine/support/TestHttpServer.h"

namespace {

using testsupport::ChildProcess;
using testsupport::ReadFile;
using testsupport::RunAndCapture;
using testsupport::WaitUntil;

namespace fs = std::filesystem;
using namespace std::chrono_literals;

TEST(ShellCrash, KilledClientDumpsReportsAndUploadsLogAndDumpOnce) {
    TestHttpServer server(200, "ok");
    ASSERT_TRUE(server.Started());
    const fs::path folder = testsupport::TempPath("shell_crash");
    fs::remove_all(folder);
    fs::create_directories(folder / "run");
    fs::create_directory_symlink(MARVENLOT_DATA_DIR, folder / "data");
    // An older, longer dump must not leave its tail in the new one.
    { std::ofstream(folder / "ErrorDump.dmp", std::ios::binary) << std::string(1 << 20, 'x'); }

    ChildProcess client;
    client.SetStderrFile((folder / "stderr.txt").string());
    ASSERT_TRUE(client.Start(
        MARVENLOT_CLIENT_PATH, {"offline"},
        {"MARVENLOT_VIDEO=null", "MARVENLOT_AUDIO=null", "MARVENLOT_HEADLESS=1",
         "MARVENLOT_HOME=" + folder.string(), "MARVENLOT_RUNTIME_DIR=" + (folder / "run").string(),
         "MARVENLOT_JOURNAL=" + (folder / "journal.txt").string(),
         "MARVENLOT_REPORT_HOST=127.0.0.1:" + std::to_string(server.Port())},
        folder.string()));
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(folder / "journal.txt").find("SCENE 2") != std::string::npos; }, 10s));
    ASSERT_TRUE(WaitUntil(
        [&] { return ReadFile(folder / "StartLog.log").find("Init done...") != std::string::npos; }, 5s));

    client.Signal(SIGSEGV);
    EXPECT_EQ(client.Wait(10s), std::optional<int>(-SIGSEGV));
    ASSERT_TRUE(WaitUntil([&] { return !server.Requests().empty(); }, 5s));

    const std::string err = ReadFile(folder / "stderr.txt");
    EXPECT_NE(err.find("Crash Report: Exception: ACCESS_VIOLATION at 0x"), std::string::npos) << err;
    EXPECT_EQ(err.find("Exception:"), err.rfind("Exception:")) << err;

    const std::string dump = ReadFile(folder / "ErrorDump.dmp");
    ASSERT_GT(dump.size(), 0u);
    EXPECT_LT(dump.size(), 1u << 20) << "the older dump's tail was kept";
    EXPECT_EQ(dump.substr(0, 8), "MVDUMP01");

    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine(), "POST /file/up_file_pro.asp HTTP/1.1");
    EXPECT_EQ(requests[0].Header("Content-Type"), "multipart/form-data; boundary=7d72321d130552");
    const std::string log = ReadFile(folder / "StartLog.log");
    EXPECT_NE(log.find("Init done..."), std::string::npos);
    EXPECT_EQ(requests[0].body, BuildCrashUploadBody(log, dump));

    const std::string decoded = RunAndCapture(std::string(MARVENLOT_DUMPREAD_PATH) + " '" +
                                              (folder / "ErrorDump.dmp").string() + "'");
    EXPECT_NE(decoded.find("signal 11"), std::string::npos) << decoded;
    EXPECT_NE(decoded.find("exception 0xC0000005 ACCESS_VIOLATION"), std::string::npos) << decoded;
    EXPECT_NE(decoded.find("modules"), std::string::npos) << decoded;

    std::error_code error;
    fs::remove_all(folder, error);
}

}  // namespace
