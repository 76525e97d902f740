#include "platform/sys/Journal.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/common/TempDir.h"

using testsupport::ReadFile;
using testsupport::TempDir;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

class JournalTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(platform::Journal::Open(path_)); }
    void TearDown() override { platform::Journal::Open(""); }
    TempDir dir_;
    std::string path_ = dir_.File("journal.txt");
};

}  // namespace

TEST_F(JournalTest, HelpersWriteTheContractedLineFormats) {
    platform::JournalScene(4);
    platform::JournalBox("Marvenlot", {"Loading error-1", "Reinstall"});
    platform::JournalBoxText("Notice", "first\r\rsecond\r\nthird\n");
    platform::JournalChat(0xFF00A0FFu, "hello 안녕");
    platform::JournalChat(0x1u, "x");
    platform::JournalSound(12);
    EXPECT_EQ(ReadFile(path_),
              "SCENE 4\n"
              "BOX Marvenlot|Loading error-1|Reinstall\n"
              "BOX Notice|first|second|third\n"
              "CHAT 0xFF00A0FF hello 안녕\n"
              "CHAT 0x00000001 x\n"
              "SOUND 12\n");
}

TEST_F(JournalTest, ALineWithLineBreaksStaysOneLineAndIsOnDiskAtOnce) {
    platform::Journal::Write("BOX a\nb\rc");
    EXPECT_EQ(ReadFile(path_), "BOX a b c\n");
}

TEST_F(JournalTest, LinesFromManyThreadsAreNeverInterleaved) {
    constexpr int kThreads = 6;
    constexpr int kLines = 300;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < kLines; ++i)
                platform::JournalChat(0xFF000000u + static_cast<unsigned>(t), std::string(50, 'a' + t));
        });
    for (auto& thread : threads) thread.join();

    const auto lines = Lines(ReadFile(path_));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(kThreads * kLines));
    for (const auto& line : lines) {
        ASSERT_EQ(line.size(), 16u + 50u) << line;
        const char tag = static_cast<char>('a' + (line[14] - '0'));
        EXPECT_EQ(line.substr(16), std::string(50, tag));
    }
}

TEST(Journal, WritesNothingWhenNoFileIsConfigured) {
    ASSERT_TRUE(platform::Journal::Open(""));
    EXPECT_FALSE(platform::Journal::Enabled());
    platform::JournalScene(1);  // must not crash or create anything
}

TEST(Journal, AnUnopenableFileIsReportedAndLeavesTheJournalOff) {
    TempDir dir;
    EXPECT_FALSE(platform::Journal::Open(dir.File("no/such/folder/journal")));
    EXPECT_FALSE(platform::Journal::Enabled());
    platform::JournalScene(1);
    platform::Journal::Open("");
}
