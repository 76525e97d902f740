// The client's session against the scripted test server over loopback: frames both ways, split and packed
// writes, malformed frames, the cipher, the dispatch thread and the keep-alive on virtual time.

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/core/Log.h"
#include "net/GameSession.h"
#include "platform/sys/Clock.h"
#include "tests/common/Patience.h"
#include "tests/e2e/server/TestGameServer.h"
#include "tests/net/support/RecordingSink.h"

using namespace net;
using testserver::Bytes;
using testserver::Frame;
using testserver::TestGameServer;

namespace {

Bytes Counted(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 31);
    return b;
}

class Loopback : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        testserver::ServerOptions options;
        options.cipher = GetParam();
        server = std::make_unique<TestGameServer>(options);
        ASSERT_TRUE(server->Start());
        server->Ignore(Id(MessageId::KeepAlive));
        gate.SetCurrent(&scene);
        session.SetSceneGate(&gate);
        session.StartDispatchThread();
        ASSERT_TRUE(session.Connect("127.0.0.1", server->Port()));
        ASSERT_TRUE(session.WaitConnected(5000));
        ASSERT_TRUE(server->WaitForClients(1, 5000));
        EXPECT_EQ(session.EncryptionOn(), GetParam());
    }
    void TearDown() override {
        session.StopDispatchThread();
        session.Disconnect();
        server->Stop();
    }

    std::unique_ptr<TestGameServer> server;
    GameSession session;
    BasicSceneGate gate;
    RecordingSink scene;
};

}  // namespace

TEST_P(Loopback, ClientMessagesArriveIntactTwoInOnePacket) {
    PooledPacket p = session.NewPacket(2053);
    p->WriteU16(1002).WriteU8(7);
    p->BeginNextMessage(2050);
    p->WriteU16(1024).WriteU16(2004).WriteString(u"\uacf5 balls");
    ASSERT_TRUE(session.Send(*p));

    const auto first = server->Next(0, 5000);
    const auto second = server->Next(0, 5000);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->id, 2053);
    EXPECT_EQ(first->body, (Bytes{0xEA, 0x03, 7}));
    EXPECT_EQ(second->id, 2050);
    testserver::Reader r(second->body);
    EXPECT_EQ(r.u16(), 1024);
    EXPECT_EQ(r.u16(), 2004);
    EXPECT_EQ(r.str(), u"\uacf5 balls");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.left(), 0u);
}

TEST_P(Loopback, FrameSplitAcrossManyWritesArrivesWhole) {
    const Bytes body = Counted(700, 3);
    ASSERT_TRUE(server->SendSplit(0, 2051, body, 1));
    ASSERT_TRUE(server->SendSplit(0, 2052, Counted(4092, 9), 333));  // the largest frame
    ASSERT_TRUE(scene.WaitFor(2));
    EXPECT_EQ(scene.At(0).id, 2051);
    EXPECT_EQ(scene.At(0).body, body);
    EXPECT_EQ(scene.At(1).id, 2052);
    EXPECT_EQ(scene.At(1).body, Counted(4092, 9));
}

TEST_P(Loopback, ThirtyFramesInOneWriteArriveInOrder) {
    std::vector<Frame> frames;
    for (int i = 0; i < 30; ++i)
        frames.push_back(
            {static_cast<std::uint16_t>(2000 + i), Counted(i * 5, static_cast<std::uint8_t>(i))});
    ASSERT_TRUE(server->SendFrames(0, frames));
    ASSERT_TRUE(scene.WaitFor(30));
    for (std::size_t i = 0; i < 30; ++i) {
        EXPECT_EQ(scene.At(i).id, frames[i].id);
        EXPECT_EQ(scene.At(i).body, frames[i].body);
    }
}

TEST_P(Loopback, MalformedFrameLengthIsLoggedAndClosesTheConnection) {
    for (int length : {2, 5000}) {
        if (length == 5000) {
            // Reconnect for the second case.
            ASSERT_TRUE(session.Connect("127.0.0.1", server->Port()));
            ASSERT_TRUE(session.WaitConnected(5000));
            ASSERT_TRUE(server->WaitForClients(2, 5000));
        }
        const int client = length == 2 ? 0 : 1;
        std::mutex m;
        std::vector<std::string> lines;
        GetLog().SetObserver([&](const std::string& line) {
            std::lock_guard lock(m);
            lines.push_back(line);
        });
        ASSERT_TRUE(server->SendRaw(
            client, {static_cast<std::uint8_t>(length), static_cast<std::uint8_t>(length >> 8), 1, 0}));
        ASSERT_TRUE(server->WaitClosed(client, 5000));
        EXPECT_TRUE(testsupport::WaitUntil([&] { return !session.IsConnected(); }, std::chrono::seconds(1)));
        EXPECT_FALSE(session.SendByteMessage(2008, 0)) << "a send on a dropped connection fails";
        GetLog().SetObserver(nullptr);
        std::lock_guard lock(m);
        bool logged = false;
        for (const auto& line : lines)
            logged = logged ||
                     line.find("ERROR : INVALID PACKET SIZE " + std::to_string(length)) != std::string::npos;
        EXPECT_TRUE(logged) << length;
    }
}

// A hostile server sends 200,000 tiny malformed messages: one log line each filled the disk. The first
// few are written, the rest counted and summed up in one line.
TEST_P(Loopback, AFloodOfMalformedMessagesWritesAFewLinesAndOneSummary) {
    constexpr int kFrames = 200'000;
    constexpr int kPerWrite = 10'000;
    const std::u16string format = u"ERROR : MALFORMED MESSAGE %d\n";
    const std::uint64_t leftOutBefore = GetLog().LeftOut(format);
    std::mutex m;
    int written = 0;
    std::vector<std::string> summaries;
    GetLog().SetObserver([&](const std::string& line) {
        std::lock_guard lock(m);
        if (line.find("lines like \"ERROR : MALFORMED MESSAGE %d\"") != std::string::npos)
            summaries.push_back(line);
        else if (line.find("ERROR : MALFORMED MESSAGE ") != std::string::npos)
            ++written;
    });
    // A sign-in result without its result byte.
    const std::vector<Frame> frames(kPerWrite, Frame{Id(MessageId::SignInResult), {}});
    for (int sent = 0; sent < kFrames; sent += kPerWrite) ASSERT_TRUE(server->SendFrames(0, frames));
    auto handled = [&] {
        std::lock_guard lock(m);
        return GetLog().LeftOut(format) - leftOutBefore + static_cast<std::uint64_t>(written);
    };
    testsupport::WaitUntil([&] { return handled() >= kFrames; }, std::chrono::seconds(30));
    EXPECT_EQ(handled(), static_cast<std::uint64_t>(kFrames)) << written << " written";
    EXPECT_TRUE(session.IsConnected()) << "malformed messages are refused one by one, never the connection";
    GetLog().Flush();
    GetLog().SetObserver(nullptr);
    std::lock_guard lock(m);
    EXPECT_LE(written, LogSystem::kLimitBurst);
    ASSERT_FALSE(summaries.empty());
    EXPECT_LE(summaries.size(), 2u);
    EXPECT_EQ(scene.Count(), 0u) << "a refused message never reaches the scene";
}

INSTANTIATE_TEST_SUITE_P(Cipher, Loopback, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "On" : "Off"; });

TEST(KeepAlive, Message202AfterFiveSecondsWithoutASendOnVirtualTime) {
    platform::VirtualClock clock(50'000);
    platform::SetClock(&clock);
    TestGameServer server;
    ASSERT_TRUE(server.Start());
    server.SetClock(&clock);
    GameSession session;
    ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
    ASSERT_TRUE(session.WaitConnected(5000));
    ASSERT_TRUE(server.WaitForClients(1, 5000));

    server.Advance(4999);
    EXPECT_FALSE(session.KeepAlive(clock.NowMs()));
    server.Advance(1);
    EXPECT_TRUE(session.KeepAlive(clock.NowMs()));
    const auto ping = server.Expect(0, Id(MessageId::KeepAlive), 5000);
    ASSERT_TRUE(ping);
    EXPECT_TRUE(ping->body.empty());
    EXPECT_FALSE(session.KeepAlive(clock.NowMs())) << "the keep-alive itself counts as a send";

    server.Advance(3000);
    ASSERT_TRUE(session.SendByteMessage(2006, 1));
    server.Advance(4000);
    EXPECT_FALSE(session.KeepAlive(clock.NowMs())) << "any send restarts the 5000 ms";
    server.Advance(1000);
    EXPECT_TRUE(session.KeepAlive(clock.NowMs()));
    ASSERT_TRUE(server.Expect(0, Id(MessageId::KeepAlive), 5000));
    EXPECT_EQ(server.CountReceived(0, Id(MessageId::KeepAlive)), 2);

    session.Disconnect();
    server.Stop();
    platform::SetClock(nullptr);
}

TEST(Connection, RefusedConnectReportsFailureAndDisconnectRightAfterConnectReturns) {
    platform::TcpListener probe;
    ASSERT_TRUE(probe.Listen("127.0.0.1", 0));
    const std::uint16_t closedPort = probe.Port();
    probe.Close();
    GameSession session;
    ASSERT_TRUE(session.Connect("127.0.0.1", closedPort));
    EXPECT_FALSE(session.WaitConnected(5000));
    EXPECT_FALSE(session.IsConnected());

    TestGameServer server;
    ASSERT_TRUE(server.Start());
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(session.Connect("127.0.0.1", server.Port()));
        session.Disconnect();  // must not hang whatever stage the connect thread reached
        EXPECT_FALSE(session.IsConnected());
    }
    server.Stop();
}
