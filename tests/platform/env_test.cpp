#include "platform/sys/Env.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/common/TempDir.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;

TEST(Env, HeadlessIsAnyValueButEmptyOrZero) {
    const struct {
        const char* value;
        bool headless;
    } cases[] = {{nullptr, false}, {"", false}, {"0", false}, {"1", true}, {"yes", true}};
    for (const auto& c : cases) {
        ScopedEnv env("MARVENLOT_HEADLESS", c.value);
        EXPECT_EQ(platform::IsHeadless(), c.headless) << (c.value ? c.value : "(unset)");
    }
    ScopedEnv unset("MARVENLOT_NO_SUCH_VARIABLE", nullptr);
    EXPECT_EQ(platform::GetEnv("MARVENLOT_NO_SUCH_VARIABLE"), "");
}

TEST(Env, RuntimeDirOverrideIsCreatedPrivately) {
    TempDir dir;
    const std::string wanted = dir.File("a/b");
    ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", wanted.c_str());
    EXPECT_EQ(platform::RuntimeDir(), wanted);
    struct stat st {};
    ASSERT_EQ(stat(wanted.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(Env, RuntimeDirUsesXdgOnlyWhenItIsPrivate) {
    TempDir dir;
    ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", nullptr);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0700), 0);
    {
        ScopedEnv xdg("XDG_RUNTIME_DIR", dir.Path().c_str());
        EXPECT_EQ(platform::RuntimeDir(), dir.Path());
    }
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    ScopedEnv xdg("XDG_RUNTIME_DIR", dir.Path().c_str());
    const std::string fallback = "/tmp/marvenlot-" + std::to_string(getuid());
    const bool existed = testsupport::FileExists(fallback);
    EXPECT_EQ(platform::RuntimeDir(), fallback);
    // The folder this test made goes again (rmdir: only while empty, so a client's files stay).
    if (!existed) rmdir(fallback.c_str());
}

TEST(Env, ExecutableDirIsTheFolderOfTheRunningProgram) {
    const std::string dir = platform::ExecutableDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(testsupport::FileExists(dir + "/test_platform"));
}
