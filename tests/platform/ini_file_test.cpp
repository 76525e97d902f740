#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <cmath>
#include <filesystem>
#include <optional>
#include <set>
#include <utility>

#include "platform/sys/IniFile.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

using platform::GetPrivateProfileInt;
using platform::GetPrivateProfileString;
using platform::IniFile;
using platform::ParseProfileInt;
using platform::WritePrivateProfileString;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;
using namespace std::chrono_literals;

namespace {

// A client killed while it saves: the file-size limit ends the process with SIGXFSZ in the middle of
// writing the temporary file, after its creation and before the rename.
const testsupport::ChildMode kKilledSave("ini-save-killed", [] {
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    signal(SIGXFSZ, SIG_DFL);
    IniFile ini;
    ini.SetString("A", "long", std::string(4096, 'v'));
    rlimit small{};
    getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 64;
    setrlimit(RLIMIT_FSIZE, &small);
    ini.Save(std::getenv("INI_TEST_PATH"));
    return 0;
});

}  // namespace

TEST(ParseProfileInt, ReadsNumbersTheWayTheProfileReaderDoes) {
    // clang-format off
    const std::pair<const char*, int> cases[] = {
        {"1280", 1280},  {" 1", 1},      {"  -3", -3},         {"+7", 7},            {"42A", 42},
        {"A42", 0},      {"abc", 0},     {"", 0},              {"-", 0},             {"--1", 0},
        {"0x42", 0x42},  {"0X1a", 0x1A}, {"0x", 0},            {"0xG", 0},           {"0b102", 2},
        {"0o19", 1},     {"08", 8},      {"1 2", 1},           {"-0x10", -16},       {"4294967297", 1},
        {"-4294967297", -1},             {"2147483648", INT_MIN}};
    // clang-format on
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParseProfileInt(text), expected) << '"' << text << '"';
}

// The options store takes only a value that is wholly one number, read as the number it is: in any of
// the profile reader's bases, never wrapped, and never the digits before other text.
TEST(ParseProfileValue, ReadsOnlyWholeNumbersAsTheNumberTheyAre) {
    // clang-format off
    const std::pair<const char*, double> numbers[] = {
        {" 1280 ", 1280.0}, {" 1", 1.0},    {"  -3", -3.0},  {"+7", 7.0},           {"-0x10", -16.0},
        {"0x42", 66.0},     {"0X1a", 26.0}, {"0b101", 5.0},  {"0o17", 15.0},        {"08", 8.0},
        {".5", 0.5},        {"2.", 2.0},    {"-1E-1", -0.1}, {"-1e400", -HUGE_VAL},
        {"2147483648", 2147483648.0}, {"4294967297", 4294967297.0}, {"-4294967297", -4294967297.0}};
    // clang-format on
    for (const auto& [text, value] : numbers) EXPECT_EQ(platform::ParseProfileValue(text), value) << text;
    for (const char* text : {"42A", "A42", "abc", "-", "--1", "0xG", "0b102", "0o19", "0x", "1 2", "1e", "e5",
                             ".", "+-1", "inf", "nan", "0x1p3", ""})
        EXPECT_FALSE(platform::ParseProfileValue(text)) << '"' << text << '"';
}

TEST(IniFile, MissingFileSectionKeyOrEmptyValueGiveTheDefault) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    EXPECT_EQ(GetPrivateProfileInt("Video", "width", 77, path), 77);
    EXPECT_EQ(GetPrivateProfileString("Video", "width", "d", path), "d");

    ASSERT_TRUE(WriteFile(path, "[Video]\r\nwidth=\r\nheight= 768\r\nnovalue\r\n"));
    EXPECT_EQ(GetPrivateProfileInt("Audio", "width", 5, path), 5);
    EXPECT_EQ(GetPrivateProfileInt("Video", "bpp", 6, path), 6);
    EXPECT_EQ(GetPrivateProfileInt("Video", "width", 7, path), 7);
    EXPECT_EQ(GetPrivateProfileInt("Video", "novalue", 8, path), 8);
    EXPECT_EQ(GetPrivateProfileInt("Video", "height", 0, path), 768);
}

TEST(IniFile, NamesMatchWithoutCaseAndValuesLoseBlanksAndQuotes) {
    IniFile ini;
    ini.Parse("\xEF\xBB\xBF[Video]\n  FullScreen =  1  \n[ control ]\nName=\"  a b \"\nkey='x'\n");
    EXPECT_EQ(ini.GetInt("video", "fullscreen", 0), 1);
    EXPECT_EQ(ini.GetInt("VIDEO", "FULLSCREEN", 0), 1);
    EXPECT_EQ(ini.GetString("Control", "name", ""), "  a b ");
    EXPECT_EQ(ini.GetString("Control", "KEY", ""), "x");
}

TEST(IniFile, FirstSectionAndFirstKeyWinAndKeysDoNotLeakAcrossSections) {
    IniFile ini;
    ini.Parse("top=1\n[A]\nk=1\nk=2\n[B]\nj=3\n[A]\nk=4\nj=5\n");
    EXPECT_EQ(ini.GetInt("A", "k", 0), 1);
    EXPECT_EQ(ini.GetInt("A", "j", -1), -1);
    EXPECT_EQ(ini.GetInt("B", "k", -1), -1);
    EXPECT_EQ(ini.GetInt("", "top", -1), -1);
}

TEST(IniFile, ValueIsWrittenVerbatimWithTheBlankAfterTheEqualsSign) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    ASSERT_TRUE(WritePrivateProfileString("Video", "fullscreen", " 1", path));
    ASSERT_TRUE(WritePrivateProfileString("Game", "traceall", " 0", path));
    ASSERT_TRUE(WritePrivateProfileString("Video", "width", " 1280", path));
    EXPECT_EQ(ReadFile(path), "[Video]\r\nfullscreen= 1\r\nwidth= 1280\r\n[Game]\r\ntraceall= 0\r\n");
    EXPECT_EQ(GetPrivateProfileInt("Video", "fullscreen", 0, path), 1);
    EXPECT_EQ(GetPrivateProfileInt("video", "WIDTH", 0, path), 1280);
}

TEST(IniFile, UpdateInPlaceKeepsCommentsUnknownLinesAndLineOrder) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    const std::string original =
        "; written by hand\n"
        "[Video]\n"
        "  Width = 800\n"
        "custom=keep me\n"
        "\n"
        "[Other]\n"
        "x=1\n";
    ASSERT_TRUE(WriteFile(path, original));
    ASSERT_TRUE(WritePrivateProfileString("video", "width", " 1024", path));
    ASSERT_TRUE(WritePrivateProfileString("Video", "height", " 768", path));
    EXPECT_EQ(ReadFile(path),
              "; written by hand\n"
              "[Video]\n"
              "  Width= 1024\n"
              "custom=keep me\n"
              "height= 768\n"
              "\n"
              "[Other]\n"
              "x=1\n");
}

TEST(IniFile, FileWithoutFinalNewlineGetsOneWhenAKeyIsAppended) {
    IniFile ini;
    ini.Parse("[A]\nx=1");
    EXPECT_EQ(ini.Text(), "[A]\nx=1");
    ASSERT_TRUE(ini.SetString("A", "y", "2"));
    EXPECT_EQ(ini.Text(), "[A]\nx=1\ny=2\n");
}

// Carriage returns at a line's end belong to its break wherever they are: the file is written back
// byte for byte, a value set reads back after a save, and a second save changes nothing.
TEST(IniFile, CarriageReturnsNeitherSplitSectionsNorVanishOnSave) {
    struct Case {
        const char* original;
        const char* afterSet;
    };
    const Case cases[] = {
        {"x\n[Video\r\r\r\n", "x\n[Video\r\r\r\nwidth= 1280\n"},
        {"[Video]\r\r\nwidth=5\r\r\n", "[Video]\r\r\nwidth= 1280\r\r\n"},
        {"[A]\r\nx=1", "[A]\r\nx=1\r\n[Video]\r\nwidth= 1280\r\n"},
        {"[A]\nx=1\r", "[A]\nx=1\r\n[Video]\nwidth= 1280\n"},
        {"[Video]\r\nx=1", "[Video]\r\nx=1\r\nwidth= 1280\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.original);
        IniFile ini;
        ini.Parse(c.original);
        EXPECT_EQ(ini.Text(), c.original);
        ASSERT_TRUE(ini.SetString("Video", "width", " 1280"));
        EXPECT_EQ(ini.GetInt("Video", "width", 0), 1280);
        EXPECT_EQ(ini.Text(), c.afterSet);
        IniFile again;
        again.Parse(ini.Text());
        EXPECT_EQ(again.GetInt("Video", "width", 0), 1280);
        ASSERT_TRUE(again.SetString("Video", "width", " 1280"));
        EXPECT_EQ(again.Text(), c.afterSet);
    }
}

TEST(IniFile, RefusesNamesAndValuesThatWouldInjectLines) {
    IniFile ini;
    EXPECT_FALSE(ini.SetString("Video", "width", " 1\n[Evil]\nx=1"));
    EXPECT_FALSE(ini.SetString("Video", "a=b", "1"));
    EXPECT_FALSE(ini.SetString("Vi]deo", "a", "1"));
    EXPECT_FALSE(ini.SetString("", "a", "1"));
    EXPECT_FALSE(ini.SetString("Video", " ", "1"));
    EXPECT_EQ(ini.Text(), "");
}

TEST(IniFileSave, ReplacesTheFileAtomicallyAndKeepsItsMode) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    ASSERT_TRUE(WriteFile(path, "[A]\nx=1\n"));
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);

    ASSERT_TRUE(WritePrivateProfileString("A", "x", "2", path));
    struct stat after {};
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_NE(before.st_ino, after.st_ino) << "saved by rewriting in place, not by rename";
    EXPECT_EQ(after.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadFile(path), "[A]\nx=2\n");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFileSave, WritesThroughASymbolicLinkAndKeepsTheLink) {
    TempDir dir;
    const std::string real = dir.File("real.ini");
    const std::string link = dir.File("config.ini");
    ASSERT_TRUE(WriteFile(real, "[A]\nx=1\n"));
    ASSERT_EQ(symlink(real.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("A", "x", "3", link));
    struct stat st {};
    ASSERT_EQ(lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadFile(real), "[A]\nx=3\n");
}

TEST(IniFileSave, FailedWritesAreReportedAndLeaveTheOldFile) {
    TempDir dir;
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", dir.File("missing/config.ini")));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", dir.Path()));  // a folder, not a file

    // A full disk: the file-size limit makes the temporary file's write fail half way.
    const std::string path = dir.File("config.ini");
    const std::string original = "[A]\nx=1\n";
    ASSERT_TRUE(WriteFile(path, original));
    IniFile ini;
    ASSERT_TRUE(ini.Load(path));
    ASSERT_TRUE(ini.SetString("A", "long", std::string(4096, 'v')));

    struct sigaction ignore {
    }, old{};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &old);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved_ok = ini.Save(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &old, nullptr);

    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(ReadFile(path), original);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(IniFileSave, UnreadableFileIsNeverOverwrittenWithOnlyTheNewKey) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    ASSERT_EQ(mkdir(path.c_str(), 0700), 0);  // exists but cannot be read as a file
    IniFile ini;
    EXPECT_FALSE(ini.Load(path));
    EXPECT_FALSE(WritePrivateProfileString("A", "x", "1", path));
    EXPECT_EQ(GetPrivateProfileInt("A", "x", 9, path), 9);
}

// A later start removes what a killed save left and nothing else: no file of another name, no folder
// or link of that name, no temporary file young enough to be another client's save under way.
TEST(IniFileSave, ALaterStartRemovesWhatAKilledSaveLeftAndNothingElse) {
    TempDir dir;
    const std::string path = dir.File("config.ini");
    ASSERT_TRUE(WriteFile(path, "[A]\nx=1\n"));
    {
        testsupport::ScopedEnv target("INI_TEST_PATH", path.c_str());
        testsupport::ChildProcess child("ini-save-killed");
        EXPECT_EQ(child.Wait(std::chrono::seconds(20)), std::optional<int>(-SIGXFSZ));
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        if (entry.path().filename() != "config.ini") left.push_back(entry.path().filename());
    ASSERT_EQ(left.size(), 1u) << "the killed save left no temporary file";
    EXPECT_TRUE(left[0].starts_with("config.ini.saving-")) << left[0];
    EXPECT_EQ(ReadFile(path), "[A]\nx=1\n");

    ASSERT_EQ(mkdir(dir.File("config.ini.saving-Dir123").c_str(), 0700), 0);
    ASSERT_EQ(symlink(path.c_str(), dir.File("config.ini.saving-Lnk123").c_str()), 0);
    for (const char* name :
         {"config.ini.saving-Old123", "config.ini.backup", "config.ini.Ab3dE9", "config.ini.saving-Ab3dE9x",
          "config.ini.saving-Ab-dE9", "other.ini.saving-Ab3dE9"})
        ASSERT_TRUE(WriteFile(dir.File(name), "k"));
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        std::filesystem::last_write_time(entry.path(), std::filesystem::file_time_type::clock::now() - 1h);
    ASSERT_TRUE(WriteFile(dir.File("config.ini.saving-New123"), "a save under way"));
    const std::vector<std::string> removed = platform::RemoveStaleSaves(path);
    EXPECT_EQ(std::set<std::string>(removed.begin(), removed.end()),
              (std::set<std::string>{left[0], "config.ini.saving-Old123"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 9) << "more was removed";
    EXPECT_EQ(platform::RemoveStaleSaves(path, 0), std::vector<std::string>{"config.ini.saving-New123"});

    // Behind a symbolic link the leftovers lie beside the file it points to.
    const std::string link = dir.File("linked.ini");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteFile(dir.File("config.ini.saving-Xy7Q2a"), "stale"));
    ASSERT_TRUE(WriteFile(dir.File("linked.ini.saving-Xy7Q2a"), "no save of the link's own name"));
    EXPECT_EQ(platform::RemoveStaleSaves(link, 0), std::vector<std::string>{"config.ini.saving-Xy7Q2a"});
}
