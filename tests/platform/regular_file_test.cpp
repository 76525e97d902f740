// Every file the client reads or writes at start refuses what is not a regular file at once: a FIFO
// would block the open (or the read) for good, a folder or device would be read as garbage.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include "platform/input/InputScriptPlayer.h"
#include "platform/sys/IniFile.h"
#include "platform/sys/InstanceLock.h"
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
    const auto ini = [](bool save) {
        return [save](const std::string& path, std::string& reason) {
            IniFile file;
            int error = 0;
            const bool done = save ? file.Save(path, &error) : file.Load(path, &error);
            reason = FileErrorText(error);
            return !done;
        };
    };
    return {
        {"IniFile::Load", ini(false)},
        {"IniFile::Save", ini(true)},
        {"LoadInputScript",
         [](const std::string& path, std::string& reason) {
             return LoadInputScript(path, [&](const std::string& line) { reason = line; }) == nullptr;
         }},
        {"InstanceLock",
         [&dir](const std::string&, std::string& reason) {
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

TEST(RegularFile, ReadsStopAtTheirLimitAndNameTheirFailure) {
    TempDir dir;
    std::string text;
    int error = 0;
    // The files of /proc tell a size of 0 and still have their text.
    ASSERT_TRUE(ReadRegularFile("/proc/self/status", text, error));
    EXPECT_NE(text.find("Name:"), std::string::npos);
    EXPECT_FALSE(ReadRegularFile("/proc/self/status", text, error, 4));
    EXPECT_EQ(error, EFBIG);
    EXPECT_FALSE(ReadRegularFile(dir.File("none"), text, error));
    EXPECT_EQ(FileErrorText(error), "No such file or directory");
}

}  // namespace
