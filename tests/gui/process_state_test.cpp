// What a case changes for the whole process is put back before the next one (tests/common/TestMain.cpp).
// Two cases run one after the other in a child run of this binary: the first changes the toolkit's
// screen size, the log's repeat limiter and hooks and the clock, the second finds them as a new process
// has them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/core/Log.h"
#include "gui/Widget.h"
#include "platform/sys/Clock.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

namespace {

constexpr char16_t kFormat[] = u"WARNING : case line %d\n";

bool InChildRun() {
    return std::getenv("MARVENLOT_TEST_STATE_CHILD") != nullptr;
}

}  // namespace

TEST(ProcessStateChild, AChangesWhatTheProcessShares) {
    if (!InChildRun()) GTEST_SKIP() << "runs only in the child run of ProcessState";
    gui::GetGuiState().screenWidth = 1920;
    gui::GetGuiState().screenHeight = 1080;
    static platform::VirtualClock clock(50'000);
    platform::SetClock(&clock);
    GetLog().SetLimit(1, 60'000);
    for (int n = 0; n < 3; ++n) LogWrite(kFormat, n);  // one written, two counted
    ASSERT_EQ(GetLog().LeftOut(kFormat), 2u);
    SetLogBreakHandler([](std::string_view, int) {});
}

TEST(ProcessStateChild, BFindsItAsANewProcessHasIt) {
    if (!InChildRun()) GTEST_SKIP() << "runs only in the child run of ProcessState";
    EXPECT_EQ(gui::GetGuiState().screenWidth, 1024);
    EXPECT_EQ(gui::GetGuiState().screenHeight, 768);
    EXPECT_GT(platform::NowMs(), 50'000u) << "the case before left its clock installed";
    EXPECT_EQ(GetLog().LeftOut(kFormat), 0u);
    std::vector<std::string> lines;
    GetLog().SetObserver([&](const std::string& line) { lines.push_back(line.substr(9)); });
    for (int n = 0; n < LogSystem::kLimitBurst; ++n) LogWrite(kFormat, n);
    GetLog().Flush();
    GetLog().SetObserver(nullptr);
    EXPECT_EQ(lines.size(), static_cast<std::size_t>(LogSystem::kLimitBurst))
        << "the limits or the lines left out of the case before: " << lines.back();
}

TEST(ProcessState, ACaseFindsWhatTheCaseBeforeChangedPutBack) {
    const testsupport::TempDir dir;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    testsupport::ChildProcess child;
    ASSERT_TRUE(child.Start(
        "/bin/sh", {"-c", "exec '" + self + "' --gtest_filter='ProcessStateChild.*' >child.txt 2>&1"},
        {"MARVENLOT_TEST_STATE_CHILD=1"}, dir.Path()));
    EXPECT_EQ(child.Wait(), 0) << testsupport::ReadFile(dir.File("child.txt"));
}
