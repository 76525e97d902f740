// The listener out of descriptors: a pending connection keeps the listener readable while accept
// fails, so an Accept that returned at once would make its caller's loop spin.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "platform/net/TcpSocket.h"

TEST(TcpListener, OutOfDescriptorsAcceptWaitsItsTimeoutAndAcceptsOnceOneIsFree) {
    platform::TcpListener listener;
    ASSERT_TRUE(listener.Listen("127.0.0.1", 0));
    platform::TcpSocket client;
    ASSERT_TRUE(client.Connect("127.0.0.1", listener.Port(), 2000));

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    // Use up every descriptor below a low limit, so accept has none left.
    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    std::vector<int> spare;
    for (int fd; (fd = ::dup(0)) >= 0;) spare.push_back(fd);

    for (int i = 0; i < 3; ++i) {
        const auto start = std::chrono::steady_clock::now();
        platform::TcpSocket none = listener.Accept(100);
        const auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_FALSE(none.IsOpen());
        EXPECT_GE(waited, std::chrono::milliseconds(90)) << "Accept returned at once out of descriptors";
    }

    for (int fd : spare) ::close(fd);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_TRUE(listener.Accept(1000).IsOpen()) << "the pending connection was lost";
}
