#include "platform/sys/Shell.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <vector>

#include "platform/sys/Clock.h"
#include "platform/sys/Journal.h"
#include "tests/common/Patience.h"
#include "tests/common/TempDir.h"

using testsupport::ReadFile;
using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

void WriteScript(const std::string& path, const std::string& body) {
    ASSERT_TRUE(testsupport::WriteFile(path, "#!/bin/sh\n" + body));
    ASSERT_EQ(chmod(path.c_str(), 0755), 0);
}

// Waits (bounded) for a file another process writes.
std::string AwaitFile(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
        if (testsupport::FileExists(path)) return ReadFile(path);
        platform::SleepMs(10);
    }
    return {};
}

}  // namespace

TEST(ShellOpen, HeadlessOnlyReportsTheTargetOnStderrAndInTheJournal) {
    TempDir dir;
    ScopedEnv headless("MARVENLOT_HEADLESS", "1");
    ASSERT_TRUE(platform::Journal::Open(dir.File("journal")));
    testing::internal::CaptureStderr();
    EXPECT_TRUE(platform::ShellOpen("http://127.0.0.1/down/down_01.asp"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "open: http://127.0.0.1/down/down_01.asp\n");
    platform::Journal::Open("");
    EXPECT_EQ(ReadFile(dir.File("journal")), "OPEN http://127.0.0.1/down/down_01.asp\n");
}

TEST(ShellOpen, RefusesTargetsThatWouldReadAsOptionsOrBreakTheLine) {
    ScopedEnv headless("MARVENLOT_HEADLESS", "1");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::ShellOpen(""));
    EXPECT_FALSE(platform::ShellOpen("--help"));
    EXPECT_FALSE(platform::ShellOpen("http://x/\nBOX fake"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(ShellOpen, StartsTheOpenerDetachedAndReturnsWhileItStillRuns) {
    TempDir dir;
    const std::string marker = dir.File("opened");
    const std::string gate = dir.File("gate");
    ASSERT_EQ(mkfifo(gate.c_str(), 0600), 0);
    // The opener records its pid and argument, then waits until the test opens the gate.
    WriteScript(dir.File("xdg-open"), "printf '%s %s\\n' \"$$\" \"$1\" > '" + marker + ".tmp'\nmv '" +
                                          marker + ".tmp' '" + marker + "'\nread line < '" + gate + "'\n");
    ScopedEnv headless("MARVENLOT_HEADLESS", nullptr);
    ScopedEnv path("PATH", (dir.Path() + ":/usr/bin:/bin").c_str());

    ASSERT_TRUE(platform::ShellOpen("https://example.invalid/a b"));
    const std::string opened = AwaitFile(marker);
    ASSERT_FALSE(opened.empty()) << "the opener never ran";
    const pid_t opener = std::stoi(opened);
    EXPECT_EQ(opened.substr(opened.find(' ') + 1), "https://example.invalid/a b\n");
    EXPECT_EQ(kill(opener, 0), 0) << "ShellOpen waited for the opener to finish";
    EXPECT_EQ(waitpid(opener, nullptr, WNOHANG), -1) << "the opener is still our child, not detached";
    std::ofstream(gate) << "go\n";
}

TEST(ShellOpen, MissingOpenerIsReportedAsFailure) {
    TempDir dir;
    ScopedEnv headless("MARVENLOT_HEADLESS", nullptr);
    ScopedEnv path("PATH", dir.Path().c_str());
    platform::TakeShellOpenFailures();
    EXPECT_FALSE(platform::ShellOpen("https://example.invalid/"));
    EXPECT_EQ(platform::TakeShellOpenFailures().size(), 1u);
    EXPECT_TRUE(platform::TakeShellOpenFailures().empty()) << "a failure is reported once";
}

// xdg-open without a browser ends with exit code 3 at once: a failure, where an opener that ends well
// is none. The watcher holds none of the client's files (the instance lock among them) while it waits.
TEST(ShellOpen, AnOpenerThatEndsWithAFailureIsReportedWithItsReason) {
    TempDir dir;
    const std::string files = dir.File("watcher-files");
    ScopedEnv headless("MARVENLOT_HEADLESS", nullptr);
    ScopedEnv path("PATH", (dir.Path() + ":/usr/bin:/bin").c_str());
    WriteScript(dir.File("xdg-open"), "case \"$1\" in *fine*) exit 0;; esac\nls /proc/$PPID/fd > '" + files +
                                          ".tmp'\nmv '" + files + ".tmp' '" + files + "'\nexit 3\n");
    const int held = open(dir.File("held").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
    ASSERT_GE(held, 0);
    platform::TakeShellOpenFailures();
    ASSERT_TRUE(platform::ShellOpen("http://127.0.0.1/fine"));
    ASSERT_TRUE(platform::ShellOpen("http://127.0.0.1/client/client_main.asp"));
    std::vector<platform::ShellOpenFailure> failures;
    testsupport::WaitUntil([&] { return !(failures = platform::TakeShellOpenFailures()).empty(); });
    platform::SleepMs(100);
    for (const platform::ShellOpenFailure& late : platform::TakeShellOpenFailures()) failures.push_back(late);
    ASSERT_EQ(failures.size(), 1u) << "only the opener that failed is a failure";
    EXPECT_EQ(failures[0].target, "http://127.0.0.1/client/client_main.asp");
    EXPECT_EQ(failures[0].why, "xdg-open ended with exit code 3 (no program to open it was found)");
    EXPECT_TRUE(failures[0].noBrowser);
    const std::string watcherFiles = AwaitFile(files);
    EXPECT_EQ(("\n" + watcherFiles).find("\n" + std::to_string(held) + "\n"), std::string::npos)
        << "the watcher holds the client's files: " << watcherFiles;
    close(held);
}

TEST(StartLauncher, RunsTheLauncherFromPathOrReportsItMissing) {
    TempDir dir;
    ScopedEnv path("PATH", (dir.Path() + ":/usr/bin:/bin").c_str());
    EXPECT_FALSE(platform::StartLauncher());

    const std::string marker = dir.File("started");
    WriteScript(dir.File("marvenlot-launcher"),
                "pwd > '" + marker + ".tmp'\nmv '" + marker + ".tmp' '" + marker + "'\n");
    EXPECT_TRUE(platform::StartLauncher());
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(AwaitFile(marker), std::string(cwd) + "\n") << "the launcher starts in the current folder";
}

TEST(SpawnDetached, AProgramThatCannotBeExecutedIsAFailure) {
    TempDir dir;
    ASSERT_TRUE(testsupport::WriteFile(dir.File("not-a-program"),
                                       "\x7F"
                                       "ELF garbage"));
    ASSERT_EQ(chmod(dir.File("not-a-program").c_str(), 0755), 0);
    EXPECT_FALSE(platform::SpawnDetached(dir.File("not-a-program"), {}));
    EXPECT_FALSE(platform::SpawnDetached(dir.File("missing"), {}));
}

TEST(DesktopDir, UserDirsEntriesAreReadAsXdgUserDirReadsThem) {
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n", "/home/u/Desktop"},
        {"# comment\nXDG_DOWNLOAD_DIR=\"$HOME/dl\"\n  XDG_DESKTOP_DIR=\"$HOME/바탕 화면\"\r\n",
         "/home/u/바탕 화면"},
        {"XDG_DESKTOP_DIR=\"$HOME/\"\n", "/home/u"},
        {"XDG_DESKTOP_DIR=\"$HOME\"\n", "/home/u"},
        {"XDG_DESKTOP_DIR=\"/srv/desk/\"\n", "/srv/desk"},
        {"XDG_DESKTOP_DIR=\"relative\"\n", ""},
        {"XDG_DESKTOP_DIR=$HOME/Desktop\n", ""},
        {"#XDG_DESKTOP_DIR=\"$HOME/x\"\n", ""},
        {"XDG_DESKTOP_DIR=\"$HOME/a\"\nXDG_DESKTOP_DIR=\"$HOME/b\"\n", "/home/u/b"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::ParseUserDirsDesktop(c.text, "/home/u"), c.expected) << c.text;
}

TEST(DesktopDir, OverrideThenUserDirsThenEnvironmentThenDesktopThenHome) {
    TempDir dir;
    ScopedEnv home("HOME", dir.Path().c_str());
    ScopedEnv config("XDG_CONFIG_HOME", dir.File("cfg").c_str());
    ScopedEnv override_("MARVENLOT_DESKTOP_DIR", nullptr);
    ScopedEnv xdg("XDG_DESKTOP_DIR", nullptr);

    EXPECT_EQ(platform::DesktopDir(), dir.Path());
    ASSERT_EQ(mkdir(dir.File("Desktop").c_str(), 0700), 0);
    EXPECT_EQ(platform::DesktopDir(), dir.File("Desktop"));
    {
        ScopedEnv fromEnv("XDG_DESKTOP_DIR", "/elsewhere");
        EXPECT_EQ(platform::DesktopDir(), "/elsewhere");
    }
    ASSERT_EQ(mkdir(dir.File("cfg").c_str(), 0700), 0);
    ASSERT_TRUE(testsupport::WriteFile(dir.File("cfg/user-dirs.dirs"), "XDG_DESKTOP_DIR=\"$HOME/Shots\"\n"));
    EXPECT_EQ(platform::DesktopDir(), dir.File("Shots"));
    {
        ScopedEnv forced("MARVENLOT_DESKTOP_DIR", "/forced");
        EXPECT_EQ(platform::DesktopDir(), "/forced");
    }
}
