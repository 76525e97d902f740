// The test server under abusive clients: a flood of empty frames, a signed-in client that never reads,
// and connections opened and closed in a loop. Each must leave the server's memory, descriptors and
// other clients' traffic as they were. The clients here are raw sockets speaking the server's codec.
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "tests/e2e/server/TestGameServer.h"

using namespace testserver;

namespace {

constexpr std::uint16_t kSignIn = 151, kCreateNick = 153, kChooseChannel = 157, kRoomListRequest = 159,
                        kRoomList = 160, kLobbyChat = 164;

// A blocking loopback client with an optional small receive buffer (set before connecting, so the
// window it offers stays small).
class RawClient {
public:
    explicit RawClient(std::uint16_t port, int receiveBuffer = 0) {
        fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (receiveBuffer > 0) ::setsockopt(fd_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    }
    ~RawClient() { Close(); }
    bool Connected() const { return connected_; }
    void Close() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }
    bool SendBytes(const Bytes& bytes) {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + at, bytes.size() - at, MSG_NOSIGNAL);
            if (n <= 0) return false;
            at += static_cast<std::size_t>(n);
        }
        return true;
    }
    bool Send(std::uint16_t id, const Writer& w) { return SendBytes(EncodeFrame(id, w.bytes())); }
    // Signs in, takes a nickname and enters channel 1.
    bool EnterLobby(const std::u16string& name) {
        Writer signIn, nick, channel;
        signIn.str(name).str(u"pw");
        nick.str(name);
        channel.u16(1);
        return Send(kSignIn, signIn) && Send(kCreateNick, nick) && Send(kChooseChannel, channel);
    }
    // Reads frames until one of this id arrives or the time is up.
    bool WaitFor(std::uint16_t id, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        Bytes buffer;
        while (std::chrono::steady_clock::now() < end) {
            timeval tv{0, 100000};
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            std::uint8_t chunk[4096];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n == 0) return false;
            if (n < 0) continue;
            buffer.insert(buffer.end(), chunk, chunk + n);
            while (buffer.size() >= 4) {
                const std::size_t length = buffer[0] | (buffer[1] << 8);
                if (length < 4 || buffer.size() < length) break;
                if ((buffer[2] | (buffer[3] << 8)) == id) return true;
                buffer.erase(buffer.begin(), buffer.begin() + static_cast<long>(length));
            }
        }
        return false;
    }
    // Reads everything until the connection ends, counting the frames.
    void Drain(std::atomic<int>* frames = nullptr) {
        std::uint8_t chunk[4096];
        std::size_t pending = 0;  // bytes of the frame being read still to come
        std::size_t header = 0;   // bytes of its length read so far
        std::size_t length = 0;
        for (ssize_t n; (n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0;) {
            for (ssize_t i = 0; i < n;) {
                if (pending == 0) {
                    length = header == 0 ? chunk[i] : length | (chunk[i] << 8);
                    ++i;
                    if (++header < 2) continue;
                    header = 0;
                    pending = length - 2;
                    continue;
                }
                const std::size_t take = std::min<std::size_t>(pending, static_cast<std::size_t>(n - i));
                i += static_cast<ssize_t>(take);
                pending -= take;
                if (pending == 0 && frames) ++*frames;
            }
        }
    }
    void ShutdownReading() { ::shutdown(fd_, SHUT_RDWR); }

private:
    int fd_ = -1;
    bool connected_ = false;
};

int CountEntries(const char* folder) {
    int count = 0;
    if (DIR* dir = ::opendir(folder)) {
        while (::readdir(dir)) ++count;
        ::closedir(dir);
    }
    return count;
}

template <typename Predicate>
bool Eventually(Predicate done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

ServerOptions Lobby() {
    ServerOptions options;
    options.lobby = true;
    return options;
}

}  // namespace

TEST(TestServerAbuse, AFloodOfEmptyFramesKeepsOnlyTheNewestAndTheServerStillAnswers) {
    for (const std::size_t limit : {std::size_t{0}, std::size_t{1000}}) {
        ServerOptions options = Lobby();
        options.frameLimit = limit;
        TestGameServer server(options);
        ASSERT_TRUE(server.Start());
        RawClient flooder(server.Port());
        ASSERT_TRUE(flooder.Connected());
        const Bytes empty = EncodeFrame(0, {});
        Bytes block;
        for (int i = 0; i < 10000; ++i) block.insert(block.end(), empty.begin(), empty.end());
        for (int i = 0; i < 20; ++i) ASSERT_TRUE(flooder.SendBytes(block));  // 200,000 frames

        RawClient other(server.Port());
        ASSERT_TRUE(other.EnterLobby(u"other"));
        ASSERT_TRUE(other.Send(kRoomListRequest, Writer()));
        EXPECT_TRUE(other.WaitFor(kRoomList, std::chrono::seconds(10))) << "limit " << limit;
        // The flood has been read by now (its frames went before the room list request in time).
        EXPECT_LE(server.KeptFrames(), 2 * limit + 2 * 8) << "limit " << limit;
        server.Stop();
    }
}

TEST(TestServerAbuse, AClientThatNeverReadsIsDroppedAndHoldsUpNobodyElse) {
    TestGameServer server(Lobby());
    ASSERT_TRUE(server.Start());

    RawClient stuck(server.Port(), 4096);  // signs in and never reads a byte
    ASSERT_TRUE(stuck.EnterLobby(u"stuck"));
    ASSERT_TRUE(server.WaitForClients(1, 5000));
    RawClient talker(server.Port());
    ASSERT_TRUE(talker.EnterLobby(u"talker"));
    ASSERT_TRUE(server.WaitForClients(2, 5000));
    std::atomic<int> echoed{0};
    std::thread drain([&] { talker.Drain(&echoed); });

    // Every line goes to the stuck client too, far past what the kernel's buffers and the queue take
    // (16 MB). The talker reads its own lines as they come back and never lets more than a few hundred
    // wait, as a client that reads does.
    Writer line;
    line.str(std::u16string(400, u'x'));
    bool sent = true;
    const int before = echoed.load();
    for (int i = 0; i < 20000 && sent; ++i) {
        sent = talker.Send(kLobbyChat, line);
        if (i % 200 == 199) sent = sent && Eventually([&] { return echoed.load() - before >= i - 200; });
    }
    EXPECT_TRUE(sent) << "the talker, who reads, was dropped";

    RawClient newcomer(server.Port());
    EXPECT_TRUE(newcomer.EnterLobby(u"newcomer"));
    EXPECT_TRUE(newcomer.Send(kRoomListRequest, Writer()));
    EXPECT_TRUE(newcomer.WaitFor(kRoomList, std::chrono::seconds(10)));
    std::thread drainNewcomer([&] { newcomer.Drain(); });
    EXPECT_TRUE(server.WaitClosed(0, 10000)) << "the client that never reads stays connected";
    EXPECT_FALSE(server.WaitClosed(1, 100)) << "a client that reads was dropped";
    EXPECT_FALSE(server.WaitClosed(2, 100)) << "a client that reads was dropped";

    server.Stop();
    drain.join();
    drainNewcomer.join();
}

// Each connection ever made once left its record (about 2.6 KB) behind: 75,000 connects and closes took
// the program from 5 MB to 200 MB. Now only the newest closed ones (and those closed in the last two
// seconds) are kept, and a forgotten index reads as a closed connection.
TEST(TestServerAbuse, ConnectionsOpenedAndClosedInALoopLeaveNoDescriptorThreadOrRecordBehind) {
    TestGameServer server(Lobby());
    ASSERT_TRUE(server.Start());
    {  // one connection first, so that anything made once per server is counted in the baseline
        RawClient warm(server.Port());
        ASSERT_TRUE(warm.EnterLobby(u"warm"));
    }
    ASSERT_TRUE(Eventually([&] { return server.OpenConnections() == 0; }));
    const int descriptors = CountEntries("/proc/self/fd");
    const int threads = CountEntries("/proc/self/task");

    constexpr int kPairs = 3000;
    for (int i = 0; i < kPairs; ++i) {
        RawClient c(server.Port());
        ASSERT_TRUE(c.Connected());
        if (i % 10 == 0) c.EnterLobby(u"cycle" + std::u16string(1, static_cast<char16_t>(u'a' + i % 26)));
    }
    // Connections the client side has already closed may still wait in the listen backlog: each is
    // accepted (and counted) before the records can settle.
    EXPECT_TRUE(Eventually([&] { return server.ClientCount() == kPairs + 1; }, std::chrono::seconds(60)))
        << server.ClientCount() << " connections accepted; the indices count every connection";
    EXPECT_TRUE(Eventually([&] { return server.OpenConnections() == 0; })) << server.OpenConnections();
    EXPECT_TRUE(Eventually([&] { return server.ConnectionRecords() <= TestGameServer::kKeptClosed; }))
        << server.ConnectionRecords() << " records kept after " << kPairs << " connections";
    EXPECT_TRUE(server.WaitClosed(0, 0)) << "a forgotten connection reads as closed";
    EXPECT_TRUE(server.Received(0, kSignIn).empty());

    EXPECT_TRUE(Eventually([&] { return CountEntries("/proc/self/fd") <= descriptors; }))
        << CountEntries("/proc/self/fd") << " descriptors, " << descriptors << " before";
    EXPECT_TRUE(Eventually([&] { return CountEntries("/proc/self/task") <= threads; }))
        << CountEntries("/proc/self/task") << " threads, " << threads << " before";
    server.Stop();
}
