// The test processes' temporary folders (tests/common/TempDir.h): one killed leaves its folder, and
// the next test process to make one removes it, so no run of the suite leaves anything for good.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ChildProcess;

// A test process that made a folder and a file in it, and runs until it is killed.
const testsupport::ChildMode kHolder("temp-folder-holder", [] {
    const testsupport::TempDir dir;
    testsupport::WriteFile(dir.File("kept"), "x");
    testsupport::Report(testsupport::ProcessTempFolder().string());
    testsupport::WaitForParent();
    return 0;
});

// A later test process that makes its own folder and ends normally.
const testsupport::ChildMode kLater("temp-folder-later", [] {
    testsupport::Report(testsupport::ProcessTempFolder().string());
    return 0;
});

}  // namespace

TEST(TestTempFolders, AKilledProcessLeavesItsFolderAndTheNextProcessRemovesIt) {
    const fs::path own = testsupport::ProcessTempFolder();
    const fs::path root = own.parent_path();
    EXPECT_EQ(own.filename().string(), testsupport::ProcessFolderName(getpid()));
    const fs::path other = root / "notes";  // not a process's folder: left alone
    fs::create_directory(other);

    ChildProcess holder("temp-folder-holder");
    const fs::path killed = holder.ReadLine();
    ASSERT_EQ(killed.parent_path(), root);
    holder.Signal(SIGKILL);
    ASSERT_EQ(holder.Wait(), -SIGKILL);
    EXPECT_FALSE(fs::is_empty(killed)) << "the killed process removed its folder itself";

    ChildProcess later("temp-folder-later");
    const fs::path laterFolder = later.ReadLine();
    EXPECT_EQ(later.Wait(), 0);
    EXPECT_FALSE(fs::exists(killed)) << "the next process did not remove the killed one's folder";
    EXPECT_FALSE(fs::exists(laterFolder)) << "a process that ends keeps its folder";
    EXPECT_TRUE(fs::exists(own)) << "a running process lost its folder";
    EXPECT_TRUE(fs::exists(other));
    EXPECT_EQ(testsupport::SweepStaleTempFolders(root), 0);
    fs::remove(other);
}
