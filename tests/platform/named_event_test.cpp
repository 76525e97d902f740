#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/sys/NamedEvent.h"
#include "tests/common/TempDir.h"

using platform::NamedEvent;

TEST(NamedEvent, SetCreatesAMarkerWithThePidThatOthersSeeAndResetRemovesIt) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", dir.Path().c_str());
    const NamedEvent event = NamedEvent::Open("Marvenlot Init");
    ASSERT_TRUE(event.Valid());
    EXPECT_EQ(event.Path(), dir.File("Marvenlot Init.event"));
    EXPECT_FALSE(event.IsSet());

    ASSERT_TRUE(event.Set());
    EXPECT_TRUE(NamedEvent::Open("Marvenlot Init").IsSet());
    EXPECT_EQ(testsupport::ReadFile(event.Path()), std::to_string(getpid()) + "\n");
    EXPECT_TRUE(event.Set()) << "setting a set event succeeds";

    EXPECT_TRUE(event.Reset());
    EXPECT_FALSE(event.IsSet());
    EXPECT_TRUE(event.Reset()) << "resetting a reset event succeeds";
}

TEST(NamedEvent, NamesThatWouldLeaveTheRuntimeFolderAreRefused) {
    testsupport::TempDir dir;
    testsupport::ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", dir.Path().c_str());
    for (const char* name : {"", ".", "..", "../escape", "a/b"}) {
        const NamedEvent event = NamedEvent::Open(name);
        EXPECT_FALSE(event.Valid()) << name;
        EXPECT_FALSE(event.Set()) << name;
        EXPECT_FALSE(event.IsSet()) << name;
    }
    EXPECT_FALSE(testsupport::FileExists(dir.File("../escape.event")));
}

TEST(NamedEvent, SetFailsWhenTheRuntimeFolderIsUnusable) {
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFile(dir.File("file"), "x"));
    testsupport::ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", dir.File("file/sub").c_str());
    EXPECT_FALSE(NamedEvent::Open("Marvenlot Init").Set());
}
