#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/crash/CrashDump.h"
#include "platform/crash/CrashHook.h"
#include "tests/common/TempDir.h"

namespace {

using testsupport::ReadFile;

// Runs `crash` in a child process with the hook installed; returns the child's wait status.
template <class F>
int CrashInChild(const std::string& dumpPath, const std::string& stderrPath, F crash) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::freopen(stderrPath.c_str(), "w", stderr);
        platform::CrashHookSettings settings;
        settings.dumpPath = dumpPath;
        if (!platform::InstallCrashHook(settings)) _exit(90);
        crash();
        _exit(91);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

class CrashHookTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = testsupport::TempPath(std::string("crash_hook_") +
                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }

    std::filesystem::path dir_;
};

}  // namespace

TEST(CrashNames, TableNamesKnownCodesAndUnknownOnesAsUnknown) {
    EXPECT_STREQ(platform::ExceptionName(0xC0000005), "ACCESS_VIOLATION");
    EXPECT_STREQ(platform::ExceptionName(0xC00000FD), "STACK_OVERFLOW");
    EXPECT_STREQ(platform::ExceptionName(0x80000003), "BREAKPOINT");
    EXPECT_STREQ(platform::ExceptionName(0xE06D7363), "UNKNOWN");
    EXPECT_EQ(platform::CrashReportLine(0xC0000005, 0x401A2B), "Exception: ACCESS_VIOLATION at 0x00401A2B");
}

TEST(CrashNames, SignalsMapToTheNeighbouringWindowsCodes) {
    EXPECT_EQ(platform::ExceptionCodeForSignal(SIGSEGV, SEGV_MAPERR, 0x10, 0x7fff0000), 0xC0000005u);
    EXPECT_EQ(platform::ExceptionCodeForSignal(SIGSEGV, SEGV_ACCERR, 0x7fff0000 - 8, 0x7fff0000),
              0xC00000FDu);
    EXPECT_EQ(platform::ExceptionCodeForSignal(SIGFPE, FPE_INTDIV, 0, 0), 0xC0000094u);
    EXPECT_EQ(platform::ExceptionCodeForSignal(SIGILL, ILL_ILLOPC, 0, 0), 0xC000001Du);
    EXPECT_EQ(platform::ExceptionCodeForSignal(SIGBUS, BUS_ADRALN, 0, 0), 0x80000002u);
    EXPECT_STREQ(platform::ExceptionName(platform::ExceptionCodeForSignal(SIGABRT, SI_TKILL, 0, 0)),
                 "UNKNOWN");
}

TEST_F(CrashHookTest, FatalSignalWritesADumpThatReadsBackAndReportsOnce) {
    const std::string dump = Path("ErrorDump.dmp");
    // A longer file from an earlier crash must not leave its tail behind.
    std::ofstream(dump, std::ios::binary) << std::string(1 << 20, 'x');
    const int status = CrashInChild(dump, Path("stderr.txt"), [] { raise(SIGSEGV); });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), SIGSEGV);

    const std::string err = ReadFile(Path("stderr.txt"));
    EXPECT_NE(err.find("Marvenlot: Exception: ACCESS_VIOLATION at 0x"), std::string::npos) << err;
    EXPECT_EQ(err.find("Exception:"), err.rfind("Exception:")) << "reported twice: " << err;

    const auto parsed = platform::ParseCrashDump(ReadFile(dump));
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->signal, static_cast<std::uint32_t>(SIGSEGV));
    EXPECT_EQ(parsed->exceptionCode, 0xC0000005u);
    EXPECT_EQ(parsed->registers.size(), platform::CrashDumpRegisterNames().size());
    EXPECT_FALSE(parsed->stack.empty());
    EXPECT_NE(parsed->modules.find("r-xp"), std::string::npos);
    EXPECT_LT(ReadFile(dump).size(), 1u << 20);
}

TEST_F(CrashHookTest, IntegerDivisionByZeroIsNamedAsSuch) {
    const int status = CrashInChild(Path("d.dmp"), Path("stderr.txt"), [] {
        // In assembly, so the sanitizers' own division check cannot report it first.
        int value = 7;
        int zero = 0;
        asm volatile("cltd\n\tidivl %[divisor]" : "+a"(value) : [divisor] "r"(zero) : "edx", "cc");
    });
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_NE(ReadFile(Path("stderr.txt")).find("INT_DIVIDE_BY_ZERO"), std::string::npos);
}

TEST(CrashDump, TruncatedOrForeignFilesAreRefused) {
    EXPECT_FALSE(platform::ParseCrashDump("").has_value());
    EXPECT_FALSE(platform::ParseCrashDump("MDMP\x93\xa7").has_value());
    EXPECT_FALSE(platform::ParseCrashDump(std::string("MVDUMP01") + std::string(20, '\0')).has_value());
}

TEST(CrashHookSettings, PathTooLongToKeepWholeIsRefusedInsteadOfCut) {
    const std::string longPath = "/tmp/" + std::string(5000, 'd') + "/ErrorDump.dmp";
    for (int field = 0; field < 3; ++field) {
        platform::CrashHookSettings settings;
        if (field == 0) settings.dumpPath = longPath;
        if (field == 1) settings.reporterPath = longPath;
        if (field == 2) settings.reporterArgs = {"--folder", longPath};
        EXPECT_FALSE(platform::InstallCrashHook(settings)) << "field " << field;
    }
}
