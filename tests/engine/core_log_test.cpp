#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/Log.h"
#include "platform/sys/Clock.h"
#include "tests/engine/support/CoreTestUtil.h"

namespace {

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

WString Wide(const std::string& text) {
    return FromUtf8(text);
}

bool AllDigits(const std::string& text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// "HH:MM:SS " with a valid time of day.
bool HasTimePrefix(const std::string& line) {
    if (line.size() < 9 || line[2] != ':' || line[5] != ':' || line[8] != ' ') return false;
    const std::string h = line.substr(0, 2), m = line.substr(3, 2), s = line.substr(6, 2);
    return AllDigits(h) && AllDigits(m) && AllDigits(s) && std::stoi(h) < 24 && std::stoi(m) < 60 &&
           std::stoi(s) < 60;
}

}  // namespace

TEST(LogSystem, LinesFromManyThreadsKeepCallOrderAndTimePrefix) {
    ScratchDir dir;
    LogSystem log;
    log.SetFolder(Wide(dir.Path().string()));
    // A small pool, so that callers often wait for the writer to free records.
    ASSERT_TRUE(log.Start(u"Order", 4, true));
    log.SetLimit(0, 0);
    std::mutex seenMutex;
    std::vector<std::string> seen;
    log.SetObserver([&](const std::string& line) {
        std::lock_guard lock(seenMutex);
        seen.push_back(line);
    });

    constexpr int kThreads = 4;
    constexpr int kLines = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int n = 0; n < kLines; ++n) log.Write(u"thread %d line %d\n", t, n);
        });
    for (auto& thread : threads) thread.join();
    log.Flush();

    const auto lines = SplitLines(ReadWholeFile(log.FilePath()));
    ASSERT_EQ(lines.size(), static_cast<size_t>(kThreads * kLines));
    std::vector<int> next(kThreads, 0);
    for (size_t i = 0; i < lines.size(); ++i) {
        ASSERT_TRUE(HasTimePrefix(lines[i])) << lines[i];
        int thread = -1, number = -1;
        char rest = 0;
        ASSERT_EQ(std::sscanf(lines[i].c_str() + 9, "thread %d line %d%c", &thread, &number, &rest), 2)
            << lines[i];
        ASSERT_TRUE(thread >= 0 && thread < kThreads) << lines[i];
        ASSERT_EQ(number, next[thread]++) << "line " << i;
        // The file holds the lines in the very order the calls took effect.
        ASSERT_EQ(lines[i] + "\n", seen[i]);
    }
    log.SetObserver(nullptr);
    log.Stop();
}

TEST(LogSystem, FileIsCreatedOnlyByTheFirstLineSoAnIdleStartKeepsTheOldLog) {
    ScratchDir dir;
    const std::string path = dir.File("StartLog.log");
    {
        std::ofstream old(path, std::ios::binary);
        old << "running client's log\n";
    }
    {
        LogSystem second;
        second.SetFolder(Wide(dir.Path().string()));
        ASSERT_TRUE(second.Start(u"StartLog", 100, true));
        second.Flush();
        second.Stop();
    }
    EXPECT_EQ(ReadWholeFile(path), "running client's log\n");

    LogSystem log;
    log.SetFolder(Wide(dir.Path().string()));
    ASSERT_TRUE(log.Start(u"StartLog", 100, true));
    EXPECT_EQ(log.FilePath(), path);
    log.Write(u"Init done...\n");
    log.Stop();
    const std::string text = ReadWholeFile(path);
    EXPECT_EQ(text.find("running client"), std::string::npos);
    EXPECT_EQ(text.substr(8), " Init done...\n");
}

TEST(LogSystem, StopWritesEveryQueuedLineAndLaterLinesReachOnlyTheObserver) {
    ScratchDir dir;
    LogSystem log;
    log.SetFolder(Wide(dir.Path().string()));
    ASSERT_TRUE(log.Start(u"Stop", 8, true));
    log.SetLimit(0, 0);
    for (int n = 0; n < 1000; ++n) log.Write(u"%d\n", n);
    log.Stop();
    EXPECT_FALSE(log.IsStarted());
    int observed = 0;
    log.SetObserver([&](const std::string&) { ++observed; });
    log.Write(u"after stop\n");
    log.Flush();  // returns at once on a stopped log
    EXPECT_EQ(observed, 1);
    const auto lines = SplitLines(ReadWholeFile(dir.File("Stop.log")));
    ASSERT_EQ(lines.size(), 1000u);
    EXPECT_EQ(lines.back().substr(9), "999");
}

TEST(LogSystem, DailyFilesAreAppendedAndCarryTheDate) {
    ScratchDir dir;
    for (int run = 0; run < 2; ++run) {
        LogSystem log;
        log.SetFolder(Wide(dir.Path().string()));
        ASSERT_TRUE(log.Start(u"Daily", 100, false));
        log.Write(u"run %d\n", run);
        log.Stop();
    }
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].size() == 18 && names[0].rfind("Daily_20", 0) == 0 &&
                AllDigits(names[0].substr(6, 8)) && names[0].substr(14) == ".log")
        << names[0];
    const auto lines = SplitLines(ReadWholeFile(dir.File(names[0])));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(9), "run 0");
    EXPECT_EQ(lines[1].substr(9), "run 1");
}

TEST(LogSystem, UnwritableFolderDropsLinesWithoutBlockingCallers) {
    LogSystem log;
    log.SetFolder(u"/nonexistent-folder/for/marvenlot");
    ASSERT_TRUE(log.Start(u"Lost", 2, true));
    for (int n = 0; n < 50; ++n) log.Write(u"%d\n", n);
    log.Flush();
    log.Stop();
}

// A hostile peer sends 200,000 tiny bad frames: one line each would fill the disk.
TEST(LogLimit, AFloodOfOneFormatWritesTheFirstFewThenOneSummaryPerWindow) {
    platform::VirtualClock clock(50'000);
    platform::SetClock(&clock);
    ScratchDir dir;
    LogSystem log;
    log.SetFolder(Wide(dir.Path().string()));
    ASSERT_TRUE(log.Start(u"Flood", 100, true));
    constexpr int kFlood = 200'000;
    for (int n = 0; n < kFlood; ++n) {
        log.Write(u"ERROR : MALFORMED MESSAGE %d\n", n);
        if (n % 50'000 == 0) log.Write(u"Scene %d\n", n);  // another format keeps its own budget
    }
    EXPECT_EQ(log.LeftOut(u"ERROR : MALFORMED MESSAGE %d\n"), std::uint64_t{kFlood - LogSystem::kLimitBurst});
    clock.AdvanceMs(LogSystem::kLimitWindowMs);
    log.Write(u"ERROR : MALFORMED MESSAGE %d\n", -1);
    log.Stop();
    platform::SetClock(nullptr);

    const auto lines = SplitLines(ReadWholeFile(dir.File("Flood.log")));
    std::vector<std::string> bodies;
    for (const auto& line : lines) bodies.push_back(line.substr(9));
    ASSERT_EQ(bodies.size(), static_cast<std::size_t>(LogSystem::kLimitBurst + 4 + 1 + 1)) << bodies.back();
    for (int n = 0; n < LogSystem::kLimitBurst; ++n)
        EXPECT_NE(std::find(bodies.begin(), bodies.end(), "ERROR : MALFORMED MESSAGE " + std::to_string(n)),
                  bodies.end())
            << n;
    EXPECT_EQ(std::count_if(bodies.begin(), bodies.end(),
                            [](const std::string& b) { return b.rfind("Scene ", 0) == 0; }),
              4);
    // The window's count comes before the first line of the next window.
    const std::string summary = "WARNING : " + std::to_string(kFlood - LogSystem::kLimitBurst) +
                                " more lines like \"ERROR : MALFORMED MESSAGE %d\" were left out of the log";
    EXPECT_EQ(bodies[bodies.size() - 2], summary);
    EXPECT_EQ(bodies.back(), "ERROR : MALFORMED MESSAGE -1");
}

TEST(LogLimit, LinesLeftOutAreSummarisedAtStopAndBreakLinesAreNeverLeftOut) {
    platform::VirtualClock clock(50'000);
    platform::SetClock(&clock);
    std::vector<std::string> lines;
    GetLog().SetObserver([&](const std::string& line) { lines.push_back(line.substr(9)); });
    SetLogBreakHandler([](std::string_view, int) {});
    for (int n = 0; n < LogSystem::kLimitBurst + 5; ++n) LogWrite(u"WARNING : refused %d\n", n);
    for (int n = 0; n < LogSystem::kLimitBurst + 5; ++n) LogBreak("Scene.cpp", n);
    GetLog().Flush();
    SetLogBreakHandler(nullptr);
    GetLog().SetObserver(nullptr);
    platform::SetClock(nullptr);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("BREAK", 0) == 0; }),
              LogSystem::kLimitBurst + 5);
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.rfind("WARNING : refused", 0) == 0; }),
              LogSystem::kLimitBurst);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "WARNING : 5 more lines like \"WARNING : refused %d\" were left out of the log\n"),
              lines.end());
}

TEST(LogBreak, WritesTheBreakLineAndCallsTheTestHookInsteadOfAborting) {
    std::vector<std::string> lines;
    GetLog().SetObserver([&](const std::string& line) { lines.push_back(line); });
    std::string hookFile;
    int hookLine = 0;
    SetLogBreakHandler([&](std::string_view file, int line) {
        hookFile = file;
        hookLine = line;
    });
    LogBreak("SceneShop.cpp", 42);
    SetLogBreakHandler(nullptr);
    GetLog().SetObserver(nullptr);
    EXPECT_EQ(hookFile, "SceneShop.cpp");
    EXPECT_EQ(hookLine, 42);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].substr(9), "BREAK : SceneShop.cpp  42\n");
}

TEST(LogBreakDeathTest, WithoutAHookTheProgramStops) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(LOG_BREAK(), "");
}
