#include "platform/sys/Quit.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>

#include "tests/common/ChildProcess.h"

namespace {

bool Readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) == 1;
}

// A client's pump: waits on the quit descriptor, closes its "window" and ends with 0.
const testsupport::ChildMode kPump("quit-pump", [] {
    if (!platform::InstallQuitHandlers()) return 2;
    bool windowClosed = false;
    platform::SetQuitCallback([&] { windowClosed = true; });
    testsupport::Report("READY");
    while (!windowClosed) {
        pollfd p{platform::QuitFd(), POLLIN, 0};
        if (poll(&p, 1, 20000) == 0) return 3;
        platform::PollQuitRequest();
    }
    testsupport::Report("CLOSED");
    return 0;
});

}  // namespace

TEST(Quit, SignalsArriveThroughTheFdAndCloseTheWindowOncePerPoll) {
    ASSERT_TRUE(platform::InstallQuitHandlers());
    ASSERT_TRUE(platform::InstallQuitHandlers());  // a second install is harmless
    platform::ClearQuitRequest();
    int calls = 0;
    platform::SetQuitCallback([&] { ++calls; });

    EXPECT_FALSE(platform::PollQuitRequest());
    EXPECT_FALSE(Readable(platform::QuitFd(), 0));

    raise(SIGTERM);
    raise(SIGTERM);
    EXPECT_TRUE(platform::QuitRequested());
    EXPECT_TRUE(Readable(platform::QuitFd(), 0));
    EXPECT_TRUE(platform::PollQuitRequest());
    EXPECT_EQ(calls, 1) << "two signals before one poll close the window once";
    EXPECT_FALSE(Readable(platform::QuitFd(), 0)) << "the pipe is drained";
    EXPECT_FALSE(platform::PollQuitRequest());

    raise(SIGINT);
    EXPECT_TRUE(platform::PollQuitRequest());
    EXPECT_EQ(calls, 2);

    platform::SetQuitCallback(nullptr);
    platform::ClearQuitRequest();
    EXPECT_FALSE(platform::QuitRequested());
}

TEST(Quit, SigtermMakesARunningClientCloseItsWindowAndExitWithZero) {
    for (int signal : {SIGTERM, SIGINT}) {
        testsupport::ChildProcess client("quit-pump");
        ASSERT_EQ(client.ReadLine(), "READY");
        kill(client.Pid(), signal);
        EXPECT_EQ(client.ReadLine(), "CLOSED");
        EXPECT_EQ(client.Wait(), 0) << "signal " << signal;
    }
}
