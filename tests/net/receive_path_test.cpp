#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <future>
#include <vector>

#include "net/ClSocket.h"
#include "net/FrameCipher.h"
#include "net/Packet.h"
#include "net/PacketPool.h"
#include "tests/net/support/RecordingSink.h"

using namespace net;

namespace {

// Hands every frame to a recording sink and returns the packet to the pool.
class SinkListener : public ConnectionListener {
public:
    explicit SinkListener(PacketPool& pool) : pool_(pool) {}
    void OnConnected(bool ok) override { connected += ok ? 1 : 0; }
    void OnPacketReceived(Packet* packet) override {
        sink.OnPacket(*packet);
        pool_.Free(packet);
    }
    void OnDisconnected() override {}
    RecordingSink sink;
    int connected = 0;

private:
    PacketPool& pool_;
};

std::vector<std::uint8_t> Frame(std::uint16_t id, std::vector<std::uint8_t> body) {
    Packet p;
    p.Init(id);
    p.WriteBytes(body.data(), body.size());
    p.Finish();
    return {p.Data(), p.Data() + p.Size()};
}

void Append(std::vector<std::uint8_t>& stream, const std::vector<std::uint8_t>& frame) {
    stream.insert(stream.end(), frame.begin(), frame.end());
}

}  // namespace

// Bytes read from the socket may hold more than the ring has room for, and the frames after Hello are
// enciphered: every frame must still arrive whole, deciphered and in order, whatever the read sizes.
TEST(ReceivePath, FramesAfterHelloArriveWholeDecipheredAndInOrderAcrossAnyReadSize) {
    const std::uint64_t seed = 0x5EED;
    for (const bool cipherOn : {false, true}) {
        for (const std::size_t readSize : {std::size_t{1}, std::size_t{1000}, std::size_t{20000}}) {
            SCOPED_TRACE(testing::Message() << "cipher " << cipherOn << ", reads of " << readSize);
            std::vector<std::uint8_t> stream;
            Append(stream, Frame(Id(MessageId::Hello), {cipherOn ? std::uint8_t{1} : std::uint8_t{0}, 0xED,
                                                        0x5E, 0, 0, 0, 0, 0, 0}));
            FrameCipher sender;
            if (cipherOn) {
                ASSERT_TRUE(sender.SetKey(FrameCipher::DeriveKey(seed)));
            }
            std::vector<std::vector<std::uint8_t>> bodies;
            for (std::size_t i = 0; i < 7; ++i) {
                bodies.emplace_back(i * 600 + 1, static_cast<std::uint8_t>(i + 1));
                std::vector<std::uint8_t> frame = Frame(2000 + static_cast<std::uint16_t>(i), bodies.back());
                sender.EncryptFrame(frame.data(), frame.size());
                Append(stream, frame);
            }

            PacketPool pool(4);
            SinkListener listener(pool);
            ClSocket socket(pool, listener);
            for (std::size_t at = 0; at < stream.size(); at += readSize)
                ASSERT_TRUE(socket.ReceiveBytes(stream.data() + at, std::min(readSize, stream.size() - at)));

            EXPECT_EQ(listener.connected, 1);
            EXPECT_EQ(socket.EncryptionOn(), cipherOn);
            ASSERT_EQ(listener.sink.Count(), bodies.size());
            for (std::size_t i = 0; i < bodies.size(); ++i) {
                EXPECT_EQ(listener.sink.At(i).id, 2000 + i);
                EXPECT_EQ(listener.sink.At(i).body, bodies[i]);
            }
        }
    }
}

// A first frame that is no Hello, or a frame length out of range, ends the connection.
TEST(ReceivePath, ConnectionDropsOnAMissingHelloOrABadFrameLength) {
    PacketPool pool(4);
    SinkListener listener(pool);
    {
        ClSocket socket(pool, listener);
        const auto notHello = Frame(Id(MessageId::SignInResult), {0});
        EXPECT_FALSE(socket.ReceiveBytes(notHello.data(), notHello.size()));
    }
    ClSocket socket(pool, listener);
    const auto hello = Frame(Id(MessageId::Hello), std::vector<std::uint8_t>(9, 0));
    ASSERT_TRUE(socket.ReceiveBytes(hello.data(), hello.size()));
    const std::uint8_t tooLong[] = {0xFF, 0xFF, 0x01, 0x00};
    EXPECT_FALSE(socket.ReceiveBytes(tooLong, sizeof tooLong));
    EXPECT_EQ(socket.InvalidFrames(), 1);
    EXPECT_EQ(listener.connected, 1);
    EXPECT_EQ(listener.sink.Count(), 0u);
}

// A server whose queue of waiting connections is full leaves a connect unanswered: closing the
// connection (the main thread does, under the scene's locks) ends the attempt at once instead of
// waiting out its time-out.
TEST(ReceivePath, DisconnectEndsAConnectAttemptThatNobodyAnswers) {
    const int full = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t length = sizeof address;
    ASSERT_TRUE(::bind(full, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(full, 0) == 0 &&
                ::getsockname(full, reinterpret_cast<sockaddr*>(&address), &length) == 0);
    platform::TcpSocket first;  // takes the queue's one place
    ASSERT_TRUE(first.Connect("127.0.0.1", ntohs(address.sin_port), 2000));
    PacketPool pool(4);
    SinkListener listener(pool);
    ClSocket socket(pool, listener);
    socket.SetConnectTimeout(3'600'000);
    ASSERT_TRUE(socket.Connect("127.0.0.1", ntohs(address.sin_port)));
    auto closed = std::async(std::launch::async, [&socket] { socket.Disconnect(); });
    const bool endedAtOnce = closed.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    ::close(full);  // refuses the attempt's next try, so a close that still waits ends
    closed.wait();
    EXPECT_TRUE(endedAtOnce) << "the close waited for the connect time-out";
    EXPECT_EQ(listener.connected, 0);
}
