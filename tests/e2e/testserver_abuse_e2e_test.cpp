// The test server under abusive clients: a flood of empty frames, a signed-in client that never reads,
// connections opened and closed in a loop, chat floods and balls set down off the table. Each must leave
// the server's memory, descriptors, tables and other clients' traffic as they were. The clients here are
// raw sockets speaking the server's codec.
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "tests/e2e/server/TableState.h"
#include "tests/e2e/server/TestGameServer.h"

using namespace testserver;

namespace {

constexpr std::uint16_t kSignIn = 151, kCreateNick = 153, kChooseChannel = 157, kChooseChannelResult = 158,
                        kRoomListRequest = 159, kRoomList = 160, kCreateRoom = 161, kJoinRoom = 162,
                        kJoinRoomResult = 163, kLobbyChat = 164;

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
    // Opens a room of the game type (the first room of a server is number 1) or enters one.
    bool CreateRoom(std::uint8_t gameType) {
        Writer w;
        w.u16(0).u8(0).u8(gameType).u8(0).u8(2).u8(0).u8(0).u8(0).u8(30).u8(0).str(u"room").u32(0);
        w.u16(0).u16(0).str(u"");
        return Send(kCreateRoom, w) && WaitFor(kJoinRoomResult, std::chrono::seconds(10));
    }
    bool JoinRoom(std::uint16_t number) {
        Writer w;
        w.u16(number).str(u"");
        return Send(kJoinRoom, w) && WaitFor(kJoinRoomResult, std::chrono::seconds(10));
    }
    // Reads frames until one of this id arrives (its body) or the time is up.
    std::optional<Bytes> Await(std::uint16_t id, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            while (buffer_.size() >= 4) {
                const std::size_t length = buffer_[0] | (buffer_[1] << 8);
                if (length < 4 || buffer_.size() < length) break;
                const auto from = buffer_.begin();
                const bool found = (buffer_[2] | (buffer_[3] << 8)) == id;
                Bytes body(from + 4, from + static_cast<long>(length));
                buffer_.erase(from, from + static_cast<long>(length));
                if (found) return body;
            }
            timeval tv{0, 100000};
            ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
            std::uint8_t chunk[4096];
            const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
            if (n == 0) return std::nullopt;
            if (n > 0) buffer_.insert(buffer_.end(), chunk, chunk + n);
        }
        return std::nullopt;
    }
    bool WaitFor(std::uint16_t id, std::chrono::milliseconds limit) { return Await(id, limit).has_value(); }
    // Reads everything until the connection ends, counting the frames (of one id, 0 any), with a pause
    // after each read of a reader slower than the server.
    void Drain(std::atomic<int>* frames = nullptr, std::uint16_t id = 0,
               std::chrono::microseconds pause = std::chrono::microseconds(0)) {
        timeval none{0, 0};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &none, sizeof none);
        std::uint8_t chunk[4096];
        for (ssize_t n; (n = ::recv(fd_, chunk, sizeof chunk, 0)) > 0;) {
            buffer_.insert(buffer_.end(), chunk, chunk + n);
            std::size_t at = 0;
            while (buffer_.size() - at >= 4) {
                const std::size_t length = buffer_[at] | (buffer_[at + 1] << 8);
                if (buffer_.size() - at < length) break;
                if (frames && (id == 0 || (buffer_[at + 2] | (buffer_[at + 3] << 8)) == id)) ++*frames;
                at += std::max<std::size_t>(length, 4);
            }
            buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<long>(at));
            if (pause.count() > 0) std::this_thread::sleep_for(pause);
        }
    }
    void ShutdownReading() { ::shutdown(fd_, SHUT_RDWR); }

private:
    int fd_ = -1;
    bool connected_ = false;
    Bytes buffer_;  // received bytes not yet taken as frames
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
    ServerOptions options = Lobby();
    options.relayPerSecond = 0;  // the talker fills the queue at once
    options.stallMs = 2000;
    TestGameServer server(options);
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

// 50,000 chat lines in well under a second once took the reader's connection ("1048546 bytes not taken")
// and left the flooder's. Now the flooder gets a burst through and is disconnected; with no rate limit,
// a reader slower than the flood is left out of lines instead of being dropped.
TEST(TestServerAbuse, AChatFloodCostsTheFlooderNotTheReader) {
    constexpr std::uint16_t kRoomChat = 2005, kRoomChatLine = 2006, kChannelChatLine = 165, kWhisper = 189,
                            kWhisperLine = 185;
    constexpr int kLines = 50000;
    struct Case {
        const char* what;
        std::uint16_t send, relayed;
        bool limited;
    };
    const Case cases[] = {{"room chat", kRoomChat, kRoomChatLine, true},
                          {"channel chat", kLobbyChat, kChannelChatLine, true},
                          {"whispers", kWhisper, kWhisperLine, true},
                          {"room chat without a limit", kRoomChat, kRoomChatLine, false}};
    for (const Case& c : cases) {
        ServerOptions options = Lobby();
        if (!c.limited) options.relayPerSecond = 0;
        TestGameServer server(options);
        ASSERT_TRUE(server.Start());
        // The reader of the unlimited flood takes 4 KB at a time, 5 ms apart: slower than the flood.
        RawClient reader(server.Port(), c.limited ? 0 : 4096);
        ASSERT_TRUE(reader.EnterLobby(u"reader"));
        ASSERT_TRUE(reader.WaitFor(kChooseChannelResult, std::chrono::seconds(10)));  // in the channel
        RawClient flooder(server.Port());
        ASSERT_TRUE(flooder.EnterLobby(u"flooder"));
        if (c.send == kRoomChat) {
            ASSERT_TRUE(flooder.CreateRoom(4));
            ASSERT_TRUE(reader.JoinRoom(1));
        }
        Bytes flood;
        for (int i = 0; i < kLines; ++i) {
            Writer line;
            if (c.send == kWhisper) line.str(u"reader");
            if (c.send == kRoomChat) line.u8(0);
            line.str(c.limited ? u"line" : std::u16string(300, u'x'));
            const Bytes frame = EncodeFrame(c.send, line.bytes());
            flood.insert(flood.end(), frame.begin(), frame.end());
        }
        std::atomic<int> lines{0};
        std::thread read(
            [&] { reader.Drain(&lines, c.relayed, std::chrono::microseconds(c.limited ? 0 : 5000)); });
        std::thread echo([&] { flooder.Drain(); });
        flooder.SendBytes(flood);  // fails once the flooder is disconnected
        // The server has handled the flood once it has the flooder's later request or the flooder is gone.
        flooder.Send(kRoomListRequest, Writer());
        EXPECT_TRUE(Eventually(
            [&] { return server.CountReceived(1, kRoomListRequest) > 0 || server.WaitClosed(1, 0); },
            std::chrono::seconds(60)))
            << c.what;
        if (c.limited)
            EXPECT_TRUE(server.WaitClosed(1, 0)) << c.what << ": the flooder stayed";
        else
            EXPECT_GT(server.LeftOut(0), 0u) << "the slow reader's queue never filled";
        EXPECT_FALSE(server.WaitClosed(0, c.limited ? 200 : 3000)) << c.what << ": the reader was dropped";
        if (!c.limited) reader.ShutdownReading();  // the slow reader would take seconds for what is left
        server.Stop();
        read.join();
        echo.join();
        if (c.limited) {
            EXPECT_GE(lines.load(), 1) << c.what;
            EXPECT_LE(lines.load(), 1000) << c.what << ": the flood went through";
        }
    }
}

// A ball set down by hand at x = 500 cm, x = 1e30 or z = 1e20 is no ball on the table: the others never
// see it and the table of the next turn keeps the ball where it was.
TEST(TestServerAbuse, BallsSetDownOffTheTableAreRefusedAndTheRoomKeepsItsTable) {
    constexpr std::uint16_t kPlayChoice = 2012, kReady = 2026, kStart = 2028, kGameStart = 2029,
                            kTableStateRequest = 2049, kTableState = 2050, kNewTurn = 2051, kShot = 2052,
                            kShotResult = 2053, kTurnResult = 2056, kTimeOver = 2062, kPlacement = 2063,
                            kPlaced = 2064;
    TestGameServer server(Lobby());
    ASSERT_TRUE(server.Start());
    RawClient master(server.Port()), other(server.Port());
    ASSERT_TRUE(master.EnterLobby(u"master") && other.EnterLobby(u"other"));
    ASSERT_TRUE(master.CreateRoom(10));
    ASSERT_TRUE(other.JoinRoom(1));
    Writer one, two, ready;
    one.u8(1);
    two.u8(2);
    ready.u8(1);
    ASSERT_TRUE(master.Send(kPlayChoice, one) && other.Send(kPlayChoice, two) && other.Send(kReady, ready));
    ASSERT_TRUE(other.WaitFor(2027, std::chrono::seconds(10)));
    ASSERT_TRUE(master.Send(kStart, Writer()));
    ASSERT_TRUE(master.WaitFor(kGameStart, std::chrono::seconds(10)) &&
                other.WaitFor(kGameStart, std::chrono::seconds(10)));
    // One shot that pockets nothing, on a table both clients report alike: the turn passes to `other`.
    Bytes pocketed;
    Writer state, result, shot;
    state.raw(TableState::ShortRack(10, 0, 0, pocketed));
    result.u16(2).u8(1).u8(0).u8(1).u8(1);
    shot.raw(Bytes(80, 0));
    ASSERT_TRUE(master.Send(kShot, shot));
    // Each client answers the shot's table state request, as a client does once its balls rest.
    for (RawClient* c : {&master, &other})
        ASSERT_TRUE(c->WaitFor(kTableStateRequest, std::chrono::seconds(10)) &&
                    c->Send(kShotResult, result) && c->Send(kTableState, state));
    ASSERT_TRUE(other.WaitFor(kNewTurn, std::chrono::seconds(10)));
    const auto place = [&](float x, float y, float z) {
        Writer w;
        w.u8(0).u8(0).u32(std::bit_cast<std::uint32_t>(x)).u32(std::bit_cast<std::uint32_t>(y));
        w.u32(std::bit_cast<std::uint32_t>(z)).u8(255);
        return other.Send(kPlacement, w);
    };
    ASSERT_TRUE(place(500.0f, 0.0f, 2.8575f) && place(1e30f, 0.0f, 2.8575f) && place(0.0f, 0.0f, 1e20f) &&
                place(0.0f, NAN, 2.8575f) && place(-50.0f, 10.0f, 2.8575f));
    const auto placed = master.Await(kPlaced, std::chrono::seconds(10));
    ASSERT_TRUE(placed);
    Writer taken;
    taken.u8(0).u32(std::bit_cast<std::uint32_t>(-50.0f)).u32(std::bit_cast<std::uint32_t>(10.0f));
    taken.u32(std::bit_cast<std::uint32_t>(2.8575f));
    EXPECT_EQ(*placed, taken.bytes()) << "the first placement the others hear of is the one on the table";
    // The turn runs out: its new turn is the room's table with the cue ball where it was set down.
    ASSERT_TRUE(other.Send(kTimeOver, Writer().u8(0)));
    ASSERT_TRUE(master.WaitFor(kTurnResult, std::chrono::seconds(10)));
    const auto turn = master.Await(kNewTurn, std::chrono::seconds(10));
    ASSERT_TRUE(turn);
    // 2051: shooter, cue ball, table and ball set, the ball count, then the positions.
    ASSERT_GE(turn->size(), 19u);
    EXPECT_TRUE(std::equal(taken.bytes().begin() + 1, taken.bytes().end(), turn->begin() + 7));
    server.Stop();
}
