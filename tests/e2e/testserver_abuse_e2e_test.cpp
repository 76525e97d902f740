// The test server under abusive clients: floods of empty frames and chat, a client that never reads or
// never answers a shot, connections opened and closed in a loop, balls off the table, settings and lists
// past what a client takes. Each must leave the server's memory, descriptors, tables, games and other
// clients' traffic as they were. The clients here are raw sockets speaking the server's codec.
#include <dirent.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/Packet.h"
#include "table/GameTypes.h"
#include "table/TableMessages.h"
#include "tests/common/Patience.h"
#include "tests/e2e/RoomScriptSupport.h"
#include "tests/e2e/ScriptedClient.h"
#include "tests/e2e/server/GameJudge.h"
#include "tests/e2e/server/RoomCodes.h"
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
    // Opens a room of the game type (the first room of a server is number 1) or enters one; true when
    // the server opened it.
    bool CreateRoom(std::uint8_t gameType, const std::u16string& title = u"room", std::uint8_t players = 2,
                    std::uint8_t turnSeconds = 30) {
        Writer w;
        w.u16(0).u8(0).u8(gameType).u8(0).u8(players).u8(0).u8(0).u8(0).u8(turnSeconds).u8(0);
        w.str(title).u32(0);
        w.u16(0).u16(0).str(u"");
        const auto result =
            Send(kCreateRoom, w) ? Await(kJoinRoomResult, std::chrono::seconds(10)) : std::nullopt;
        return result && !result->empty() && result->front() == 0;
    }
    bool JoinRoom(std::uint16_t number) {
        Writer w;
        w.u16(number).str(u"");
        return Send(kJoinRoom, w) && WaitFor(kJoinRoomResult, std::chrono::seconds(10));
    }
    // Reads frames until one of this id arrives (its body) or the time is up; `skipped` keeps the last
    // body of each id read on the way.
    std::optional<Bytes> Await(std::uint16_t id, std::chrono::milliseconds limit,
                               std::map<std::uint16_t, Bytes>* skipped = nullptr) {
        const auto end = std::chrono::steady_clock::now() + testsupport::Patient(limit);
        while (std::chrono::steady_clock::now() < end) {
            while (buffer_.size() >= 4) {
                const std::size_t length = buffer_[0] | (buffer_[1] << 8);
                if (length < 4 || buffer_.size() < length) break;
                longest = std::max(longest, length);
                const auto from = buffer_.begin();
                const std::uint16_t got = static_cast<std::uint16_t>(buffer_[2] | (buffer_[3] << 8));
                Bytes body(from + 4, from + static_cast<long>(length));
                buffer_.erase(from, from + static_cast<long>(length));
                if (got == id) return body;
                if (skipped) (*skipped)[got] = std::move(body);
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
    std::size_t longest = 0;  // the longest frame read by Await

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
    return testsupport::WaitUntil(done, limit);
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

namespace {

constexpr std::uint16_t kRoomOptions = 2003, kRoomOptionsChanged = 2004, kPlayChoice = 2012, kReady = 2026,
                        kReadyChanged = 2027, kStart = 2028, kGameStart = 2029, kTableStateRequest = 2049,
                        kTableState = 2050, kNewTurn = 2051, kShot = 2052, kShotResult = 2053,
                        kTurnResult = 2056, kTimeOver = 2062, kPlacement = 2063, kPlaced = 2064,
                        kNotice = 240;
constexpr auto kWait = std::chrono::seconds(30);

struct RunningRoom {
    std::uint32_t gameMs, turnMs, rackSeed;
};

// Enters the room the client joined (2007): the ms the game and its turn have run and the seed the table
// was last racked with, from the room state (2001; behind the jackpot, the class, 4 x u16 and two flags
// the rack seed, then the lock, the track mode, the age).
RunningRoom EnterRunningRoom(RawClient& c) {
    Bytes state = c.Send(room::kEnterDone, Writer().u8(0))
                      ? c.Await(room::kRoomState, kWait).value_or(Bytes())
                      : Bytes();
    state.resize(std::max<std::size_t>(state.size(), 37));
    RunningRoom entered{};
    std::memcpy(&entered.rackSeed, state.data() + 19, 4);
    std::memcpy(&entered.gameMs, state.data() + 29, 4);
    std::memcpy(&entered.turnMs, state.data() + 33, 4);
    return entered;
}

// The balls of the game type at rest in a row on the table, as a client reports them (2050).
Bytes RestingState(int gameType) {
    const int count = table::GameTypeOf(gameType).ballCount;
    Writer w;
    w.u16(0).u16(0).u8(static_cast<std::uint8_t>(count));
    for (int ball = 0; ball < count; ++ball)
        w.u32(std::bit_cast<std::uint32_t>(-60.0f + 7.0f * static_cast<float>(ball))).u32(0).u32(0x40400000);
    for (int ball = 0; ball < count; ++ball) w.u32(0).u32(0).u32(0).u32(0x3F800000);  // z = 3 cm, no turn
    if (gameType >= room::kFirstPocketType) w.raw(Bytes(static_cast<std::size_t>(count), 0));
    return w.u16(0).u16(0).bytes();
}

// Players in team slots 1, 2, ... of room 1 (turns of `turnSeconds`, 0 none), which the first opens and
// starts.
void StartGame(const std::vector<RawClient*>& players, std::uint8_t gameType, std::uint8_t turnSeconds = 30) {
    ASSERT_TRUE(players[0]->CreateRoom(gameType, u"room", static_cast<std::uint8_t>(players.size() + 1),
                                       turnSeconds));
    for (std::size_t i = 0; i < players.size(); ++i)
        ASSERT_TRUE((i == 0 || players[i]->JoinRoom(1)) &&
                    players[i]->Send(kPlayChoice, Writer().u8(static_cast<std::uint8_t>(i + 1))) &&
                    (i == 0 || (players[i]->Send(kReady, Writer().u8(1)) &&
                                players[0]->WaitFor(kReadyChanged, kWait))));
    ASSERT_TRUE(players[0]->Send(kStart, Writer()));
    for (RawClient* p : players) ASSERT_TRUE(p->WaitFor(kGameStart, kWait));
}

Bytes ShotBody() {
    net::Packet p;
    table::WriteShotMessage(p, table::ShotMessage{});
    p.Finish();
    return Bytes(p.Data() + 4, p.Data() + p.Size());
}

// The shooter strikes; each of `answering` answers with its state and a shot that scores nothing, or
// three cushions (a carom game's point).
void Shoot(RawClient& shooter, const std::vector<std::pair<RawClient*, Bytes>>& answering, int gameType,
           bool scores = false) {
    Writer result;
    result.u16(scores ? 4 : gameType >= room::kFirstPocketType ? 2 : 1);
    if (gameType >= room::kFirstPocketType) result.u8(1).u8(0).u8(1).u8(1);
    ASSERT_TRUE(shooter.Send(kShot, Writer().raw(ShotBody())));
    for (const auto& [c, state] : answering)
        ASSERT_TRUE(c->WaitFor(kTableStateRequest, kWait) && c->Send(kShotResult, result) &&
                    c->Send(kTableState, Writer().raw(state)));
}

// The master's room settings (2003): game type, point rule and title, the rest as the room has them.
Writer RoomSettings(std::uint8_t gameType, std::uint8_t pointRule, const std::u16string& title = u"room") {
    Writer w;
    w.str(title).u16(0).u16(0).u8(2).str(u"").u8(gameType).u8(pointRule).u8(30).u8(0).u8(0);
    return w.u16(0).u16(0);
}

}  // namespace

// A ball set down by hand, or a shooter's table state, where a client refuses a ball (x = 500 cm, 1e30,
// z = 1e20, 18 cm above the bed or 20 cm below it, no number) is no table: the others never see it, the
// next turn is built from another player's state, and with none the clients keep their own tables. A
// turn that runs out before any table (the first) asks the clients for theirs and passes with one.
TEST(TestServerAbuse, BallsAndTableStatesOffTheTableAreRefusedAndTheRoomKeepsItsTable) {
    const auto spot = [](Writer w, const BallSpot& at) {
        return w.u32(std::bit_cast<std::uint32_t>(at.x))
            .u32(std::bit_cast<std::uint32_t>(at.y))
            .u32(std::bit_cast<std::uint32_t>(at.z));
    };
    for (const int gameType : {room::kEightBallGame, room::kThreeCushionGame}) {
        SCOPED_TRACE(gameType);
        TestGameServer server(Lobby());
        ASSERT_TRUE(server.Start());
        RawClient master(server.Port()), other(server.Port());
        ASSERT_TRUE(master.EnterLobby(u"master") && other.EnterLobby(u"other"));
        ASSERT_NO_FATAL_FAILURE(StartGame({&master, &other}, static_cast<std::uint8_t>(gameType)));
        const Bytes state = RestingState(gameType);
        Bytes lifted = state, sunk = state;
        TableState::SetSpot(lifted, 1, {0.0f, 0.0f, 1e20f});
        TableState::SetSpot(sunk, 0, {0.0f, 0.0f, -1e6f});
        ASSERT_TRUE(master.Send(kTimeOver, Writer().u8(0)) && master.WaitFor(kTableStateRequest, kWait) &&
                    other.WaitFor(kTableStateRequest, kWait) &&
                    master.Send(kTableState, Writer().raw(lifted)) &&
                    other.Send(kTableState, Writer().raw(state)));
        for (RawClient* c : {&master, &other}) {
            const Bytes first = c->Await(kNewTurn, kWait).value_or(Bytes(2));
            EXPECT_EQ(Bytes(first.begin() + 2, first.end()), state) << "the first turn passed with no table";
        }
        ASSERT_TRUE(other.Send(kTimeOver, Writer().u8(0)) && master.WaitFor(kNewTurn, kWait) &&
                    other.WaitFor(kNewTurn, kWait));
        ASSERT_NO_FATAL_FAILURE(Shoot(master, {{&master, lifted}, {&other, state}}, gameType));
        std::map<std::uint16_t, Bytes> turnResult;
        const Bytes turn = other.Await(kNewTurn, kWait, &turnResult).value_or(Bytes(2));
        EXPECT_EQ(Bytes(turn.begin() + 2, turn.end()), state) << "the new turn is not the other's table";

        const BallSpot spots[] = {{500, 0, 3}, {1e30f, 0, 3}, {0, 0, 1e20f}, {0, NAN, 3},
                                  {0, 0, 18},  {0, 0, -20},   {-50, 10, 3}};
        for (const BallSpot& at : spots)
            ASSERT_TRUE(other.Send(kPlacement, spot(Writer().u8(0).u8(0), at).u8(255)));
        const Bytes taken = spot(Writer().u8(0), {-50, 10, 3}).bytes();
        EXPECT_EQ(master.Await(kPlaced, kWait), taken)
            << "the first placement the others hear of is on the table";
        // One who enters now gets the turn's table at once, the placement in it.
        RawClient watcher(server.Port());
        ASSERT_TRUE(watcher.EnterLobby(u"watcher") && watcher.JoinRoom(1));
        Bytes rackSeed = turnResult[kTurnResult];
        rackSeed.resize(11);
        EXPECT_EQ(EnterRunningRoom(watcher).rackSeed, rackSeed[7] | rackSeed[8] << 8 | rackSeed[9] << 16 |
                                                          static_cast<std::uint32_t>(rackSeed[10]) << 24)
            << "the entrant does not rack a cleared table as the players did";
        const auto entered = watcher.Await(kNewTurn, kWait);
        ASSERT_TRUE(entered && entered->size() >= 19u) << "the watcher waits for the next turn's table";
        EXPECT_TRUE(std::equal(taken.begin() + 1, taken.end(), entered->begin() + 7));
        // Those who do not shoot, the watcher and the master, place no ball: the table keeps the spot.
        for (RawClient* c : {&watcher, &master})
            ASSERT_TRUE(c->Send(kPlacement, spot(Writer().u8(0).u8(0), {-40, 10, 3}).u8(255)) &&
                        c->Send(kRoomListRequest, Writer()) && c->WaitFor(kRoomList, kWait));
        // The turn runs out: its new turn (shooter, cue ball, table, ball set, count, balls) keeps the spot.
        ASSERT_TRUE(other.Send(kTimeOver, Writer().u8(0)) && master.WaitFor(kTurnResult, kWait));
        const auto timedOut = master.Await(kNewTurn, kWait);
        ASSERT_TRUE(timedOut && timedOut->size() >= 19u);
        EXPECT_TRUE(std::equal(taken.begin() + 1, taken.end(), timedOut->begin() + 7));
        // Every state of the next shot has a ball a kilometre below the table: the turn passes with no table.
        ASSERT_NO_FATAL_FAILURE(Shoot(master, {{&master, sunk}, {&other, sunk}}, gameType));
        ASSERT_TRUE(other.WaitFor(kTurnResult, kWait) && other.Send(kRoomListRequest, Writer()));
        std::map<std::uint16_t, Bytes> between;
        ASSERT_TRUE(other.Await(kRoomList, kWait, &between));
        EXPECT_FALSE(between.count(kNewTurn)) << "a table no client takes was passed on";
        server.Stop();
    }
}

// The turn comes once the players have answered the shot: a watcher who never answers holds up nobody, a
// player who leaves is counted out at once, and a silent player is waited for only so long. A shooter who
// never shoots, or sends a shot no client reads (not passed on), loses his turn to the server's clock;
// one who withdraws passes it at once. The master ends no other player's turn, and a newcomer takes no
// seat that left the running game.
TEST(TestServerAbuse, ASilentOrDepartingMemberHoldsNoShotAndNoTurn) {
    const Bytes state = RestingState(room::kThreeCushionGame);
    for (const bool departs : {true, false}) {
        SCOPED_TRACE(departs ? "departs, no turn time" : "silent, 2 s turns");
        ServerOptions options = Lobby();
        options.answerWaitMs = departs ? 600000 : 50;  // only the departure can let the turn go on
        options.turnGraceMs = 500;
        options.turnCapMs = 2500;
        const auto turn = std::chrono::milliseconds(departs ? options.turnCapMs : 2000 + options.turnGraceMs);
        TestGameServer server(options);
        ASSERT_TRUE(server.Start());
        RawClient a(server.Port()), b(server.Port()), c(server.Port()), watcher(server.Port());
        ASSERT_TRUE(a.EnterLobby(u"a") && b.EnterLobby(u"b") && c.EnterLobby(u"c") &&
                    watcher.EnterLobby(u"w"));
        ASSERT_NO_FATAL_FAILURE(StartGame({&a, &b, &c}, room::kThreeCushionGame, departs ? 0 : 2));
        ASSERT_TRUE(watcher.JoinRoom(1));
        // The watcher enters the first turn, before the room has a table: the players who do not shoot
        // are asked for theirs, and the first that comes is his at once; the turn has run as the game.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto [gameMs, turnMs, rackSeed] = EnterRunningRoom(watcher);
        EXPECT_TRUE(turnMs == gameMs && turnMs >= 20) << turnMs << " ms of " << gameMs;
        ASSERT_TRUE(c.WaitFor(kTableStateRequest, kWait) && b.WaitFor(kTableStateRequest, kWait) &&
                    b.Send(kTableState, Writer().raw(state)));
        const Bytes entered = watcher.Await(kNewTurn, kWait).value_or(Bytes(2));
        EXPECT_EQ(Bytes(entered.begin() + 2, entered.end()), state) << "the watcher has no table";
        // Three teams play; c and the watcher never answer, and c may close his client.
        ASSERT_NO_FATAL_FAILURE(Shoot(a, {{&a, state}, {&b, state}}, room::kThreeCushionGame));
        ASSERT_TRUE(c.WaitFor(kTableStateRequest, kWait));
        if (departs) c.Close();
        const auto passed = a.Await(kTurnResult, kWait);
        ASSERT_TRUE(passed && passed->size() > 5) << (departs ? "departed" : "silent") << " player held it";
        ASSERT_EQ((*passed)[5], 1) << "b's turn";
        const auto turnBegan = std::chrono::steady_clock::now();
        if (departs) {
            // One who enters the running game does not take the seat c left, so its results name c.
            RawClient late(server.Port());
            ASSERT_TRUE(late.EnterLobby(u"late") && late.JoinRoom(1));
            EnterRunningRoom(late);
            EXPECT_EQ(a.Await(room::kPlayerEntered, kWait).value_or(Bytes(2))[1], 4) << "he took c's seat";
        }

        // b sends a shot cut to 30 bytes, then nothing.
        const Bytes shot = ShotBody();
        ASSERT_TRUE(b.Send(kShot, Writer().raw(Bytes(shot.begin(), shot.begin() + 30))));
        std::map<std::uint16_t, Bytes> between;
        const auto timedOut = a.Await(kTurnResult, kWait, &between);
        const auto waited = std::chrono::steady_clock::now() - turnBegan;
        ASSERT_TRUE(timedOut && timedOut->size() > 14) << "the shooter who never shot holds the game";
        EXPECT_GE(waited, turn - std::chrono::milliseconds(200)) << "the turn ended before its time";
        EXPECT_EQ((*timedOut)[13] | ((*timedOut)[14] << 8), 0xFFFD) << "not ended as a time-out (-3)";
        EXPECT_EQ((*timedOut)[5], departs ? 0 : 2) << "the next player's turn";
        EXPECT_FALSE(between.count(kShot) || between.count(kTableStateRequest)) << "the short shot went out";
        EXPECT_TRUE(a.WaitFor(kNewTurn, kWait)) << "no new turn on the last shot's table";

        // c's turn: the master's time-out, late (its client slept through the end of its own turn),
        // ends nothing. c withdraws (or is gone), and his turn passes at once: a's shot goes out.
        if (!departs) {
            std::map<std::uint16_t, Bytes> late;
            ASSERT_TRUE(a.Send(kTimeOver, Writer().u8(0)) && a.Send(kRoomListRequest, Writer()) &&
                        a.Await(kRoomList, kWait, &late));
            EXPECT_FALSE(late.count(kTurnResult)) << "the master's time-out ended c's turn";
            ASSERT_TRUE(c.Send(room::kGameEndRequest, Writer().u8(1)) &&
                        a.WaitFor(room::kWithdrawnLost, kWait) && a.Send(kShot, Writer().raw(ShotBody())));
            std::map<std::uint16_t, Bytes> passing;
            EXPECT_TRUE(a.Await(kShot, kWait, &passing)) << "the withdrawn shooter's turn held the game";
            EXPECT_FALSE(passing.count(kTurnResult)) << "his turn ended as a time-out";
        }
        // Then b withdraws: the game's end lists every team it started with, the first to leave with his
        // loss as well.
        ASSERT_TRUE(b.Send(room::kGameEndRequest, Writer().u8(1)));
        const Bytes ended = a.Await(room::kGameEnd, kWait).value_or(Bytes());
        Reader r(ended);
        r.str(), r.u8(), r.u16(), r.u16();
        std::vector<std::array<int, 3>> teams(r.u8());  // slot, result, seat
        r.u8();
        for (auto& [slot, result, seat] : teams) {
            slot = r.u8(), result = r.u8(), seat = r.u8();
            r.u32(), r.u32(), r.u8();
        }
        EXPECT_TRUE(r.ok && r.left() == 0);
        EXPECT_EQ(teams, (std::vector<std::array<int, 3>>{
                             {3, room::kTeamLost, 2}, {1, room::kTeamWon, 0}, {2, room::kTeamLost, 1}}));
        server.Stop();
    }
}

// A client that hangs on its own turn (stopped, its socket open) loses the turn to the server's clock, as
// its time-out would; once it runs again, its player reads in the chat that his turn ran out.
TEST(TestServerAbuse, AShooterWhoseClientHangsLosesHisTurnAndIsToldWhenItWakes) {
    ServerOptions options = Lobby();
    options.turnGraceMs = 500;
    TestGameServer server(options);
    ASSERT_TRUE(server.Start());
    RawClient master(server.Port());
    ASSERT_TRUE(master.EnterLobby(u"master") && master.CreateRoom(room::kThreeCushionGame, u"room", 2, 3));
    const std::string timedOut = "CHAT 0xFFFFFF00 Your turn has run out of time.";
    using namespace roomscript;
    testsupport::ScriptedClient bob(testsupport::TempPath("abuse_hang"),
                                    SignIn("Bob") + "wait-journal ROOMS 1\n" + Click(kFirstRoomRow) +
                                        Click(kJoinButton) + "wait-journal ENTERED 5\n" + Click(kTeamTwo) +
                                        Click(kReadyStart) + "wait-journal " + timedOut + "\nquit\n");
    ASSERT_TRUE(bob.Start({"launcher", "bob", "secret"}, server.Port()));
    // The master plays team 1 and starts once Bob is ready; his first turn runs out, and Bob's begins.
    ASSERT_TRUE(master.WaitFor(room::kPlayerEntered, kWait) && master.Send(kPlayChoice, Writer().u8(1)));
    ASSERT_TRUE(master.WaitFor(kReadyChanged, kWait) && master.Send(kStart, Writer()) &&
                master.WaitFor(kGameStart, kWait))
        << bob.Journal();
    ASSERT_TRUE(master.Send(kTimeOver, Writer().u8(0)));
    ASSERT_TRUE(bob.WaitFor("TURN 1 1")) << bob.Journal();
    bob.Signal(SIGSTOP);
    std::optional<Bytes> turn;
    while ((turn = master.Await(kTurnResult, kWait)) && turn->size() > 5 && (*turn)[5] != 0) {
    }
    bob.Signal(SIGCONT);
    ASSERT_TRUE(turn && turn->size() > 14) << bob.Journal();
    EXPECT_EQ((*turn)[13] | ((*turn)[14] << 8), 0xFFFD) << "Bob's turn did not end as a time-out (-3)";
    EXPECT_TRUE(server.Received(1, kTimeOver).empty()) << "Bob's own clock ended his turn, not the server's";
    EXPECT_EQ(bob.Wait(std::chrono::seconds(60)), std::optional<int>(0)) << bob.Journal();
    EXPECT_EQ(Lines(bob.Journal(), timedOut).size(), 1u) << bob.Journal();
    server.Stop();
}

// A carom room's game ends at the target its point rule shows, and the room list shows it playing while
// it runs; settings (2003) that a new room could not have, another game than the room's, or a rule the
// game lacks are refused with a notice.
TEST(TestServerAbuse, ARoomPlaysTheGameAndTargetItShows) {
    TestGameServer server(Lobby());
    ASSERT_TRUE(server.Start());
    RawClient master(server.Port()), other(server.Port());
    ASSERT_TRUE(master.EnterLobby(u"master") && other.EnterLobby(u"other"));
    ASSERT_TRUE(other.CreateRoom(room::kEightBallGame) && other.Send(kRoomOptions, RoomSettings(10, 1)));
    EXPECT_TRUE(other.WaitFor(kNotice, kWait)) << "8-ball took a point rule";
    ASSERT_TRUE(master.CreateRoom(room::kThreeCushionGame));
    for (const auto& [type, title] : {std::pair<std::uint8_t, std::u16string>{10, u"room"},
                                      {17, u"room"},
                                      {4, std::u16string(2000, u'T')}})
        ASSERT_TRUE(master.Send(kRoomOptions, RoomSettings(type, 0, title)) && master.WaitFor(kNotice, kWait))
            << "no word of the refusal of game " << int{type};
    ASSERT_TRUE(master.Send(kRoomOptions, RoomSettings(room::kThreeCushionGame, 1)) &&  // 15 points
                master.WaitFor(kRoomOptionsChanged, kWait));
    ASSERT_TRUE(other.JoinRoom(2));
    // "/rack" alone is answered with the usage, as a hint, and goes to nobody as chat.
    ASSERT_TRUE(master.Send(room::kChatSend, Writer().u8(0).str(u"/rack")));
    const auto usage = master.Await(kNotice, kWait);
    ASSERT_TRUE(usage.has_value());
    EXPECT_EQ(usage->back(), room::kNoticeHint);
    EXPECT_FALSE(other.WaitFor(room::kChatLine, std::chrono::milliseconds(300))) << "relayed as chat";
    // The state of the room list's only room (u16 count, u16 number, u8 state).
    const auto listedState = [&] {
        const auto list =
            other.Send(kRoomListRequest, Writer()) ? other.Await(kRoomList, kWait) : std::nullopt;
        return list && list->size() > 4 ? (*list)[4] : 0;
    };
    EXPECT_EQ(listedState(), 1);
    ASSERT_TRUE(master.Send(kPlayChoice, Writer().u8(1)) && other.Send(kPlayChoice, Writer().u8(2)) &&
                other.Send(kReady, Writer().u8(1)) && master.WaitFor(kReadyChanged, kWait) &&
                master.Send(kStart, Writer()) && other.WaitFor(kGameStart, kWait));
    EXPECT_EQ(listedState(), 2) << "a running game listed as waiting";
    const Bytes resting = RestingState(room::kThreeCushionGame);
    const int target = room::CaromTarget(room::kThreeCushionGame, 1, kHandicap);
    for (int points = 1; points <= target; ++points) {
        ASSERT_NO_FATAL_FAILURE(
            Shoot(master, {{&master, resting}, {&other, resting}}, room::kThreeCushionGame, true));
        ASSERT_TRUE(points == target || other.WaitFor(kNewTurn, kWait)) << "the game ended at " << points;
    }
    const auto results = other.Await(room::kGameResults, kWait);
    ASSERT_TRUE(results && results->size() >= 8);
    EXPECT_EQ((*results)[3], room::kTeamWon) << "the master's team";
    EXPECT_EQ((*results)[4], target) << "its points";
    EXPECT_EQ(listedState(), 1);
    server.Stop();
}

// Every message the server sends fits the client's 4,096-byte frame: lists (110 players with 12-character
// nicknames, 100 gifts, the invite list, 70 rooms) are cut to it, each player's with himself in it; rooms
// that would not fit are refused, and so is a line that would outgrow a frame with its speaker's name.
TEST(TestServerAbuse, ListsRoomsAndLinesLongerThanAFrameAreCutOrRefused) {
    constexpr std::uint16_t kChannelChatLine = 165, kUserList = 180, kItemList = 187,
                            kInviteListRequest = 2042, kInviteList = 2043;
    constexpr int kPlayers = 110, kRooms = 70;
    TestGameServer server(Lobby());
    ASSERT_TRUE(server.Start());
    LedgerItem gift;
    gift.itemId = 3001;
    gift.type = gift.usage = 1;
    gift.expiry = u"2099-01-01 00:00";
    for (gift.serial = 5000; gift.serial < 5100; ++gift.serial) server.GiveItem(u"player1000xx", gift);
    std::vector<std::unique_ptr<RawClient>> clients;
    const auto name = [](int i) {  // 12 characters
        const std::string n = "player" + std::to_string(1000 + i) + "xx";
        return std::u16string(n.begin(), n.end());
    };
    for (int i = 0; i < kPlayers; ++i) {
        clients.push_back(std::make_unique<RawClient>(server.Port()));
        ASSERT_TRUE(clients.back()->EnterLobby(name(i)));
    }
    // Once every player is in, the last, last in every order, enters the channel again.
    std::map<std::uint16_t, Bytes> first;  // what the first player read on his way in
    for (int i = 0; i < kPlayers; ++i) ASSERT_TRUE(clients[i]->Await(kUserList, kWait, i ? nullptr : &first));
    RawClient& newcomer = *clients.back();
    ASSERT_TRUE(newcomer.Send(kChooseChannel, Writer().u16(1)));
    const Bytes users = newcomer.Await(kUserList, kWait).value_or(Bytes{});
    const auto count = [](const Bytes& list) { return list.size() < 2 ? 0 : list[0] | (list[1] << 8); };
    const auto holds = [](const Bytes& list, const Writer& w) {
        return std::search(list.begin(), list.end(), w.bytes().begin(), w.bytes().end()) != list.end();
    };
    EXPECT_TRUE(count(users) > 80 && count(users) < kPlayers) << count(users);
    EXPECT_TRUE(holds(users, Writer().str(name(kPlayers - 1)))) << "a player not on his own list";
    const Bytes& items = first[kItemList];
    EXPECT_TRUE(items.size() > 1 && items[0] > 40 && items[0] < 101) << items.size();
    EXPECT_TRUE(holds(items, Writer().u64(100).u32(3000))) << "the cue every account plays with is left out";

    // Rooms: none that no client takes, and 70 with 20-character titles, which no list takes whole.
    EXPECT_FALSE(newcomer.CreateRoom(17));
    EXPECT_FALSE(newcomer.CreateRoom(4, std::u16string(room::kMaxTitle + 1, u'T')));
    ASSERT_TRUE(clients[0]->CreateRoom(4, std::u16string(20, u'r')));
    // The room's master may invite the other 109, of whom a frame takes about 90.
    ASSERT_TRUE(clients[0]->Send(kInviteListRequest, Writer().u8(0)));
    const auto invite = clients[0]->Await(kInviteList, kWait);
    EXPECT_TRUE(invite && count(*invite) > 80 && count(*invite) < kPlayers - 1);
    for (int i = 1; i < kRooms; ++i) ASSERT_TRUE(clients[i]->CreateRoom(4, std::u16string(20, u'r')));
    ASSERT_TRUE(newcomer.Send(kRoomListRequest, Writer()));
    const Bytes rooms = newcomer.Await(kRoomList, kWait).value_or(Bytes(6));
    EXPECT_TRUE(count(rooms) > 50 && count(rooms) < kRooms) << count(rooms);
    EXPECT_EQ(rooms[5], room::kThreeCushionGame) << "room 1's game type";

    // A channel line as long as a frame takes: with the speaker's name in front it does not fit.
    ASSERT_TRUE(newcomer.Send(kLobbyChat, Writer().str(std::u16string((kMaxBody - 4) / 2, u'x'))) &&
                newcomer.Send(kLobbyChat, Writer().str(u"short")));
    const auto line = newcomer.Await(kChannelChatLine, kWait);
    EXPECT_TRUE(line && line->size() < 100) << "the line longer than a frame was sent";
    for (const auto& c : clients) EXPECT_LE(c->longest, kMaxFrame);
    server.Stop();
}
