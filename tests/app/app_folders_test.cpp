#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "app/lib/AppFolders.h"
#include "tests/common/TempDir.h"

namespace {

namespace fs = std::filesystem;

// A fake install prefix, a fake build tree and a bare folder, each with a program folder.
class AppFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = dir_.Path();
        for (const char* folder : {"prefix/bin", "prefix/share/marvenlot/data", "tree/app", "tree/data",
                                   "bare/bin", "cwd/data", "home"})
            fs::create_directories(root_ / folder);
    }
    FolderInputs Inputs(const char* exe) const {
        FolderInputs in;
        in.executableDir = (root_ / exe).string();
        in.currentDir = (root_ / "cwd").string();
        in.userHome = (root_ / "home").string();
        return in;
    }
    std::string At(const char* path) const { return (root_ / path).string(); }

    testsupport::TempDir dir_;
    fs::path root_;
};

TEST_F(AppFoldersTest, PackagesFollowTheProgramAndItsFilesGoWhereItsLayoutSays) {
    struct Case {
        const char* what;
        FolderInputs in;
        AppFolders expected;
    };
    FolderInputs xdg = Inputs("prefix/bin");
    xdg.xdgConfigHome = At("xdg-config");
    xdg.xdgStateHome = At("xdg-state");
    FolderInputs relativeXdg = Inputs("prefix/bin");
    relativeXdg.xdgConfigHome = "relative/config";
    relativeXdg.xdgStateHome = "relative/state";
    FolderInputs trailing = Inputs("tree/app");
    trailing.executableDir += "/";
    FolderInputs dotted = Inputs("tree/app");
    dotted.executableDir = At("tree/data/../app");
    FolderInputs homeOverride = Inputs("prefix/bin");
    homeOverride.marvenlotHome = At("portable");
    FolderInputs homeless = Inputs("prefix/bin");
    homeless.userHome.clear();
    FolderInputs unknownExe = Inputs("bare/bin");
    unknownExe.executableDir.clear();

    const Case cases[] = {
        {"installed, default XDG folders",
         Inputs("prefix/bin"),
         {At("prefix/share/marvenlot/data"), At("home/.config/marvenlot"),
          At("home/.local/state/marvenlot")}},
        {"installed, XDG variables",
         xdg,
         {At("prefix/share/marvenlot/data"), At("xdg-config/marvenlot"), At("xdg-state/marvenlot")}},
        {"installed, relative XDG variables are ignored",
         relativeXdg,
         {At("prefix/share/marvenlot/data"), At("home/.config/marvenlot"),
          At("home/.local/state/marvenlot")}},
        {"build tree", Inputs("tree/app"), {At("tree/data"), At("tree"), At("tree")}},
        {"build tree, trailing separator", trailing, {At("tree/data"), At("tree"), At("tree")}},
        {"build tree, dotted path", dotted, {At("tree/data"), At("tree"), At("tree")}},
        {"override beats the install", homeOverride, {At("portable/data"), At("portable"), At("portable")}},
        {"installed without any home: the current folder", homeless, {At("cwd/data"), At("cwd"), At("cwd")}},
        {"unknown layout: the current folder", Inputs("bare/bin"), {At("cwd/data"), At("cwd"), At("cwd")}},
        {"program path unknown: the current folder", unknownExe, {At("cwd/data"), At("cwd"), At("cwd")}},
    };
    for (const Case& c : cases) {
        const AppFolders got = ResolveAppFolders(c.in);
        EXPECT_EQ(got.packages, c.expected.packages) << c.what;
        EXPECT_EQ(got.config, c.expected.config) << c.what;
        EXPECT_EQ(got.state, c.expected.state) << c.what;
    }
}

TEST_F(AppFoldersTest, MissingConfigAndStateFoldersAreMadePrivateAndAFileInTheWayFails) {
    const AppFolders folders{At("unused"), At("home/.config/marvenlot"), At("home/.local/state/marvenlot")};
    ASSERT_TRUE(CreateAppFolders(folders));
    for (const std::string& folder : {folders.config, folders.state}) {
        struct stat st {};
        ASSERT_EQ(stat(folder.c_str(), &st), 0) << folder;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
    }
    EXPECT_TRUE(CreateAppFolders(folders)) << "existing folders are fine";

    ASSERT_TRUE(testsupport::WriteFile(At("home/blocked"), "x"));
    EXPECT_FALSE(CreateAppFolders({At("unused"), At("home/blocked/marvenlot"), At("home/state")}));
}

}  // namespace
