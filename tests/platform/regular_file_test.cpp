// Every file the client reads or writes at start refuses what is not a regular file at once: a FIFO
// would block the open (or the read) for good, a folder or device would be read as garbage.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "platform/input/InputScriptPlayer.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/InstanceLock.h"
#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"
#include "tests/common/TempDir.h"

namespace {

using namespace platform;
using testsupport::ScopedEnv;
using testsupport::TempDir;

// Each opener tries `path` and says whether it was refused and with which reason in words.
struct Opener {
    const char* name;
    std::function<bool(const std::string& path, std::string& reason)> refused;
};

std::vector<Opener> Openers(const TempDir& dir) {
    return {
        {"IniFile::Load",
         [](const std::string& path, std::string& reason) {
             IniFile ini;
             int error = 0;
             const bool loaded = ini.Load(path, &error);
             reason = FileErrorText(error);
             return !loaded;
         }},
        {"IniFile::Save",
         [](const std::string& path, std::string& reason) {
             IniFile ini;
             ini.SetString("Video", "width", " 1024");
             int error = 0;
             const bool saved = ini.Save(path, &error);
             reason = FileErrorText(error);
             return !saved;
         }},
        {"ReadRegularFile",
         [](const std::string& path, std::string& reason) {
             std::string text;
             int error = 0;
             const bool read = ReadRegularFile(path, text, error);
             reason = FileErrorText(error);
             return !read;
         }},
        {"OpenRegularFileStream wb",
         [](const std::string& path, std::string& reason) {
             int error = 0;
             std::FILE* file = OpenRegularFileStream(path, "wb", error);
             reason = FileErrorText(error);
             if (file) std::fclose(file);
             return file == nullptr;
         }},
        {"Journal::Open",
         [](const std::string& path, std::string& reason) {
             const bool opened = Journal::Open(path);
             Journal::Open("");
             reason = "not a regular file";
             return !opened;
         }},
        {"LoadInputScript",
         [](const std::string& path, std::string& reason) {
             const auto player = LoadInputScript(path, [&](const std::string& line) { reason = line; });
             return player == nullptr;
         }},
        {"InstanceLock",
         [&dir](const std::string& path, std::string& reason) {
             if (path != dir.File("Marvenlot.lock")) return true;  // only its own file name
             ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", dir.Path().c_str());
             InstanceLock lock("Marvenlot");
             const bool failed = lock.Acquire() == InstanceLock::Result::Failed;
             reason = lock.FailureReason();
             return failed;
         }},
    };
}

TEST(RegularFile, FifosFoldersAndDevicesAreRefusedAtOnceWithTheReason) {
    TempDir dir;
    const std::string path = dir.File("Marvenlot.lock");
    const std::function<bool()> makers[] = {
        [&] { return mkfifo(path.c_str(), 0600) == 0; },
        [&] { return std::filesystem::create_directory(path); },
        [&] {
            std::error_code error;
            std::filesystem::create_symlink("/dev/zero", path, error);
            return !error;
        },
    };
    for (const auto& make : makers) {
        ASSERT_TRUE(make());
        const auto before = std::filesystem::status(path).type();
        for (const Opener& opener : Openers(dir)) {
            std::string reason;
            EXPECT_TRUE(opener.refused(path, reason)) << opener.name;
            EXPECT_NE(reason.find("not a regular file"), std::string::npos) << opener.name << ": " << reason;
            EXPECT_EQ(std::filesystem::status(path).type(), before) << opener.name << " replaced it";
        }
        std::filesystem::remove(path);
    }
}

TEST(RegularFile, RegularFilesAreReadWrittenAndTheirFailuresNamed) {
    TempDir dir;
    const std::string path = dir.File("file.txt");
    int error = 0;
    std::FILE* file = OpenRegularFileStream(path, "wb", error);
    ASSERT_NE(file, nullptr);
    std::fputs("hello", file);
    std::fclose(file);
    std::string text;
    ASSERT_TRUE(ReadRegularFile(path, text, error));
    EXPECT_EQ(text, "hello");
    EXPECT_FALSE(ReadRegularFile(path, text, error, 4));
    EXPECT_EQ(error, EFBIG);
    // The files of /proc tell a size of 0 and still have their text.
    ASSERT_TRUE(ReadRegularFile("/proc/self/status", text, error));
    EXPECT_NE(text.find("Name:"), std::string::npos);
    EXPECT_FALSE(ReadRegularFile(dir.File("none"), text, error));
    EXPECT_EQ(FileErrorText(error), "No such file or directory");
}

}  // namespace
