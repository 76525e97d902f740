#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "platform/sys/InstanceLock.h"
#include "tests/common/ChildProcess.h"
#include "tests/common/TempDir.h"

using platform::InstanceLock;
using testsupport::ChildProcess;
using testsupport::Report;

namespace {

const char* ResultName(InstanceLock::Result result) {
    switch (result) {
        case InstanceLock::Result::Acquired:
            return "ACQUIRED";
        case InstanceLock::Result::AlreadyRunning:
            return "ALREADY";
        case InstanceLock::Result::Failed:
            return "FAILED";
    }
    return "?";
}

// A second client: learns whether the lock is held and, if so, asks the holder to raise.
const testsupport::ChildMode kTryAndRaise("lock-try-and-raise", [] {
    InstanceLock lock;
    const auto result = lock.Acquire();
    Report(ResultName(result));
    if (result == InstanceLock::Result::AlreadyRunning) Report(lock.RequestRaise() ? "SENT" : "NOT SENT");
    return 0;
});

// A running client: holds the lock until the parent closes its input.
const testsupport::ChildMode kHold("lock-hold", [] {
    InstanceLock lock;
    Report(ResultName(lock.Acquire()));
    testsupport::WaitForParent();
    return 0;
});

bool WaitReadable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

class InstanceLockTest : public ::testing::Test {
protected:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv runtime_{"MARVENLOT_RUNTIME_DIR", dir_.Path().c_str()};
};

}  // namespace

TEST_F(InstanceLockTest, SecondProcessFindsTheLockHeldAndRaisesTheFirstOnce) {
    InstanceLock first;
    ASSERT_EQ(first.Acquire(), InstanceLock::Result::Acquired);
    int raised = 0;
    first.SetRaiseCallback([&] { ++raised; });

    ChildProcess second("lock-try-and-raise");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.ReadLine(), "ALREADY");
    EXPECT_EQ(second.ReadLine(), "SENT");
    EXPECT_EQ(second.Wait(), 0);

    ASSERT_TRUE(WaitReadable(first.RaiseFd(), 10000));
    EXPECT_EQ(first.PollRaiseRequests(), 1);
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(first.PollRaiseRequests(), 0);
    EXPECT_EQ(raised, 1);
}

TEST_F(InstanceLockTest, LockIsFreedWhenTheHolderEndsOrCrashes) {
    {
        ChildProcess holder("lock-hold");
        ASSERT_EQ(holder.ReadLine(), "ACQUIRED");
        InstanceLock probe;
        EXPECT_EQ(probe.Acquire(), InstanceLock::Result::AlreadyRunning);
        holder.CloseInput();
        EXPECT_EQ(holder.Wait(), 0);
        EXPECT_EQ(probe.Acquire(), InstanceLock::Result::Acquired);
    }
    {
        ChildProcess holder("lock-hold");
        ASSERT_EQ(holder.ReadLine(), "ACQUIRED");
        InstanceLock probe;
        EXPECT_EQ(probe.Acquire(), InstanceLock::Result::AlreadyRunning);
        kill(holder.Pid(), SIGKILL);
        EXPECT_EQ(holder.Wait(), -SIGKILL);

        // The crashed holder left its socket file behind; the new holder's channel still works.
        ASSERT_EQ(probe.Acquire(), InstanceLock::Result::Acquired);
        int raised = 0;
        probe.SetRaiseCallback([&] { ++raised; });
        ChildProcess second("lock-try-and-raise");
        EXPECT_EQ(second.ReadLine(), "ALREADY");
        EXPECT_EQ(second.ReadLine(), "SENT");
        ASSERT_TRUE(WaitReadable(probe.RaiseFd(), 10000));
        probe.PollRaiseRequests();
        EXPECT_EQ(raised, 1);
    }
}

TEST_F(InstanceLockTest, ReleaseLetsTheNextClientInAndStopsTheChannel) {
    InstanceLock first;
    ASSERT_EQ(first.Acquire(), InstanceLock::Result::Acquired);
    first.Release();
    EXPECT_FALSE(first.Held());
    EXPECT_EQ(first.RaiseFd(), -1);

    InstanceLock next;
    EXPECT_FALSE(next.RequestRaise()) << "nobody listens after the holder released";
    EXPECT_EQ(next.Acquire(), InstanceLock::Result::Acquired);
}

TEST_F(InstanceLockTest, DatagramsOtherThanRaiseRequestsAreIgnored) {
    InstanceLock holder;
    ASSERT_EQ(holder.Acquire(), InstanceLock::Result::Acquired);
    int raised = 0;
    holder.SetRaiseCallback([&] { ++raised; });

    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = dir_.File("Marvenlot.sock");
    ASSERT_LT(path.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, path.c_str());
    for (const char* junk : {"RAISEX", "", "raise", "HELLO"})
        sendto(fd, junk, std::strlen(junk), 0, reinterpret_cast<sockaddr*>(&address), sizeof address);
    close(fd);

    ASSERT_TRUE(WaitReadable(holder.RaiseFd(), 10000));
    EXPECT_EQ(holder.PollRaiseRequests(), 0);
    EXPECT_EQ(raised, 0);
}

TEST(InstanceLock, RuntimeFolderTooLongForASocketPathStillCarriesRequests) {
    testsupport::TempDir dir;
    const std::string deep = dir.Path() + "/" + std::string(60, 'a') + "/" + std::string(60, 'b');
    testsupport::ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", deep.c_str());
    InstanceLock holder;
    ASSERT_EQ(holder.Acquire(), InstanceLock::Result::Acquired);
    int raised = 0;
    holder.SetRaiseCallback([&] { ++raised; });

    InstanceLock second;
    EXPECT_EQ(second.Acquire(), InstanceLock::Result::AlreadyRunning);
    EXPECT_TRUE(second.RequestRaise());
    ASSERT_TRUE(WaitReadable(holder.RaiseFd(), 10000));
    EXPECT_EQ(holder.PollRaiseRequests(), 1);
    EXPECT_EQ(raised, 1);
}

TEST(InstanceLock, UnusableRuntimeFolderFailsInsteadOfPretendingToBeAlone) {
    testsupport::TempDir dir;
    ASSERT_TRUE(testsupport::WriteFile(dir.File("file"), "x"));
    testsupport::ScopedEnv runtime("MARVENLOT_RUNTIME_DIR", dir.File("file/sub").c_str());
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(), InstanceLock::Result::Failed);
    EXPECT_FALSE(lock.Held());
    EXPECT_FALSE(lock.RequestRaise());
}
