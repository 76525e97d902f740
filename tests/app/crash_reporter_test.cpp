#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/lib/CrashReport.h"
#include "platform/crash/CrashHook.h"
#include "tests/common/TempDir.h"
#include "tests/engine/support/TestHttpServer.h"

namespace {

using testsupport::ReadFile;
using testsupport::RunAndCapture;
using testsupport::WriteFile;

// A temporary working folder with the report host pointed at a loopback server, headless.
class CrashReporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server_.Started());
        dir_ = testsupport::TempPath(std::string("crash_reporter_") +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(dir_);
        setenv("MARVENLOT_HEADLESS", "1", 1);
        setenv("MARVENLOT_REPORT_HOST", ("127.0.0.1:" + std::to_string(server_.Port())).c_str(), 1);
    }
    void TearDown() override {
        std::filesystem::current_path(oldDir_);
        std::filesystem::remove_all(dir_);
        unsetenv("MARVENLOT_REPORT_HOST");
    }

    TestHttpServer server_{200, "ok"};
    std::filesystem::path dir_;
    std::filesystem::path oldDir_;
};

const std::string kHead = "--7d72321d130552\r\n";

}  // namespace

// The bytes the report server relies on: no line break after a file's last byte, and an empty dump
// holds nothing between its blank line and the next boundary.
TEST_F(CrashReporterTest, UploadPostsLogAndEmptyDumpByteExactWithItsHeaders) {
    WriteFile("StartLog.log", "abc");
    WriteFile("ErrorDump.dmp", "");
    ASSERT_TRUE(UploadCrashReport(true, true));

    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& got = requests[0];
    EXPECT_EQ(got.RequestLine(), "POST /file/up_file_pro.asp HTTP/1.1");
    EXPECT_EQ(got.Header("User-Agent"), "ErrorReport");
    EXPECT_EQ(got.Header("Accept"), "*/*");
    EXPECT_EQ(got.Header("Content-Transfer-Encoding"), "binary");
    EXPECT_EQ(got.Header("Content-Type"), "multipart/form-data; boundary=7d72321d130552");
    EXPECT_EQ(got.body, kHead +
                            "Content-Disposition: form-data; name=\"file1\"; filename=\"StartLog.log\"\r\n"
                            "Content-Type: */*\r\n\r\nabc" +
                            kHead +
                            "Content-Disposition: form-data; name=\"file2\"; filename=\"ErrorDump.dmp\"\r\n"
                            "Content-Type: */*\r\n\r\n" +
                            kHead + "Content-Disposition: form-data; name=\"submit\"\r\n\r\nsubmit\r\n" +
                            "--7d72321d130552--\r\n");
}

TEST_F(CrashReporterTest, MissingLogOrDumpSendsNothingAndFails) {
    WriteFile("ErrorDump.dmp", "dump");
    EXPECT_FALSE(UploadCrashReport(true, true));
    WriteFile("StartLog.log", "log");
    std::filesystem::remove("ErrorDump.dmp");
    EXPECT_FALSE(UploadCrashReport(true, true));
    EXPECT_TRUE(server_.Requests().empty());
}

TEST_F(CrashReporterTest, UnreachableHostFailsQuietly) {
    WriteFile("StartLog.log", "log");
    WriteFile("ErrorDump.dmp", "dump");
    setenv("MARVENLOT_REPORT_HOST", "127.0.0.1:1", 1);
    EXPECT_FALSE(UploadCrashReport(true, true));
    setenv("MARVENLOT_REPORT_HOST", "bad host name", 1);
    EXPECT_FALSE(UploadCrashReport(true, true));
}

TEST(CrashReporterArguments, BadArgumentsAreRefusedWithoutUploading) {
    const char* none[] = {"marvenlot-crashreport"};
    EXPECT_EQ(RunCrashReporter(1, none), 2);
    const char* noMode[] = {"marvenlot-crashreport", "--line", "Exception: X at 0x0"};
    EXPECT_EQ(RunCrashReporter(3, noMode), 2);
    const char* dangling[] = {"marvenlot-crashreport", "--app", "--line"};
    EXPECT_EQ(RunCrashReporter(3, dangling), 2);
    const char* unknown[] = {"marvenlot-crashreport", "--line", "x", "--app", "--upload-elsewhere"};
    EXPECT_EQ(RunCrashReporter(5, unknown), 2);
}

// The whole road: a process with the hook installed is killed with SIGSEGV; it writes the dump,
// the reporter process prints the report line and posts the log and the dump, and the reading
// tool decodes the dump.
TEST_F(CrashReporterTest, KilledProcessDumpsReportsAndUploadsOnce) {
    const std::string log = "00:00:01 Start\r\n";
    WriteFile("StartLog.log", log);
    WriteFile("ErrorDump.dmp", std::string(1 << 20, 'x'));  // an older, longer dump

    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen("stderr.txt", "w", stderr);
        platform::CrashHookSettings settings;
        settings.reporterPath = MARVENLOT_BINARY_DIR "/app/marvenlot-crashreport";
        if (!platform::InstallCrashHook(settings)) _exit(90);
        platform::SetCrashReportAppPresent(true);
        const char byte = 1;
        if (write(ready[1], &byte, 1) != 1) _exit(91);
        for (;;) pause();
    }
    close(ready[1]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    kill(pid, SIGSEGV);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    const std::string err = ReadFile("stderr.txt");
    EXPECT_NE(err.find("Crash Report: Exception: ACCESS_VIOLATION at 0x"), std::string::npos) << err;
    EXPECT_EQ(err.find("Exception:"), err.rfind("Exception:")) << err;

    const std::string dump = ReadFile("ErrorDump.dmp");
    ASSERT_GT(dump.size(), 0u);
    ASSERT_LT(dump.size(), 1u << 20) << "the older dump's tail was kept";

    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].RequestLine(), "POST /file/up_file_pro.asp HTTP/1.1");
    EXPECT_EQ(requests[0].Header("Content-Type"), "multipart/form-data; boundary=7d72321d130552");
    EXPECT_EQ(requests[0].body, BuildCrashUploadBody(log, dump));
    EXPECT_EQ(requests[0].body.substr(0, kHead.size()), kHead);

    const std::string decoded =
        RunAndCapture(MARVENLOT_BINARY_DIR "/tools/dumpread/marvenlot-dumpread ErrorDump.dmp");
    EXPECT_NE(decoded.find("signal 11"), std::string::npos) << decoded;
    EXPECT_NE(decoded.find("exception 0xC0000005 ACCESS_VIOLATION"), std::string::npos) << decoded;
    EXPECT_NE(decoded.find("modules"), std::string::npos) << decoded;
}

// Without the application object only the plain box shows; nothing is uploaded.
TEST_F(CrashReporterTest, WithoutTheApplicationOnlyThePlainBoxShows) {
    WriteFile("StartLog.log", "log");
    WriteFile("ErrorDump.dmp", "dump");
    const std::string output = RunAndCapture(MARVENLOT_BINARY_DIR
                                             "/app/marvenlot-crashreport --line 'Exception: BREAKPOINT at "
                                             "0x00401000' --no-app 2>&1");
    EXPECT_NE(output.find("Marvenlot: Exception: BREAKPOINT at 0x00401000"), std::string::npos) << output;
    EXPECT_TRUE(server_.Requests().empty());
}

// The dump reader takes any path from the command line: a folder, a file that fails to read or a
// missing file gives one clear line and exit 2, never an uncaught exception.
TEST_F(CrashReporterTest, DumpReaderRefusesFoldersAndUnreadablePathsWithExitTwo) {
    struct Case {
        const char* path;
        const char* reason;
    };
    for (const Case& c : {Case{".", "is a folder"}, Case{"/proc/self/mem", "Input/output error"},
                          Case{"missing.dmp", "No such file"}}) {
        SCOPED_TRACE(c.path);
        const int status = std::system((MARVENLOT_BINARY_DIR "/tools/dumpread/marvenlot-dumpread " +
                                        std::string(c.path) + " >out.txt 2>err.txt")
                                           .c_str());
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 2);
        const std::string err = ReadFile("err.txt");
        EXPECT_EQ(err.rfind("dumpread: cannot read " + std::string(c.path) + ": ", 0), 0u) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
    }
}
