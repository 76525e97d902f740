#include "net/Packet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "net/PacketPool.h"

using namespace net;

namespace {
std::vector<std::uint8_t> Bytes(const Packet& p) {
    return {p.Data(), p.Data() + p.Size()};
}
}  // namespace

TEST(Packet, WritesLittleEndianFieldsBehindTheHeader) {
    Packet p;
    p.Init(0x1234);
    p.WriteU8(0xAB).WriteU16(0x0102).WriteU32(0x03040506).WriteU64(0x0708090A0B0C0D0Eull);
    p.Finish();
    const std::vector<std::uint8_t> expected = {19,   0,    0x34, 0x12, 0xAB, 0x02, 0x01, 0x06, 0x05, 0x04,
                                                0x03, 0x0E, 0x0D, 0x0C, 0x0B, 0x0A, 0x09, 0x08, 0x07};
    EXPECT_EQ(Bytes(p), expected);
}

TEST(Packet, StringIsByteLengthTextAndTerminator) {
    Packet p;
    p.Init(7);
    p.WriteString(u"a\uac00");
    p.Finish();
    const std::vector<std::uint8_t> expected = {12, 0, 7, 0, 4, 0, 'a', 0, 0x00, 0xac, 0, 0};
    EXPECT_EQ(Bytes(p), expected);
}

TEST(Packet, ReadsBackWhatWasWritten) {
    Packet w;
    w.Init(2052);
    w.WriteU8(200)
        .WriteU16(65000)
        .WriteU32(4000000000u)
        .WriteU64(~0ull)
        .WriteString(u"\uD55C\uAE00 text")
        .WriteF32(1.5f)
        .WriteI32(-7);
    w.Finish();
    Packet r;
    ASSERT_TRUE(r.SetFrames(w.Data(), w.Size()));
    EXPECT_EQ(r.GetId(), 2052);
    EXPECT_EQ(r.U8(), 200);
    EXPECT_EQ(r.U16(), 65000);
    EXPECT_EQ(r.U32(), 4000000000u);
    EXPECT_EQ(r.U64(), ~0ull);
    EXPECT_EQ(r.Str(), u"\uD55C\uAE00 text");
    float f;
    std::int32_t i;
    r.ReadF32(f).ReadI32(i);
    EXPECT_EQ(f, 1.5f);
    EXPECT_EQ(i, -7);
    EXPECT_TRUE(r.AtEnd());
    EXPECT_FALSE(r.IsBad());
}

TEST(Packet, ShortMessageReadsZerosMarksBadAndCountsOnce) {
    Packet w;
    w.Init(5);
    w.WriteU16(9);
    w.Finish();
    Packet r;
    ASSERT_TRUE(r.SetFrames(w.Data(), w.Size()));
    const auto before = Packet::ReadErrorCount();
    std::uint32_t v = 123;
    r.ReadU32(v);
    EXPECT_EQ(v, 0u);
    EXPECT_TRUE(r.IsBad());
    EXPECT_EQ(r.U16(), 0) << "once short, the rest of the message reads as zeros";
    EXPECT_EQ(r.Str(), u"");
    EXPECT_EQ(Packet::ReadErrorCount(), before + 1);
}

TEST(Packet, MalformedStringLengthsReadAsEmpty) {
    struct Case {
        const char* name;
        std::uint16_t length;
        std::size_t bodyBytes;
    };
    const Case cases[] = {{"above the limit", 3068, 3070}, {"odd", 3, 8}, {"past the end", 20, 4}};
    for (const Case& c : cases) {
        Packet w;
        w.Init(9);
        w.WriteU16(c.length);
        std::vector<std::uint8_t> body(c.bodyBytes, 'x');
        w.WriteBytes(body.data(), body.size());
        w.Finish();
        Packet r;
        ASSERT_TRUE(r.SetFrames(w.Data(), w.Size())) << c.name;
        EXPECT_EQ(r.Str(), u"") << c.name;
        EXPECT_TRUE(r.IsBad()) << c.name;
    }
}

TEST(Packet, LongestStringIsAccepted) {
    Packet w;
    w.Init(9);
    w.WriteString(WString(kMaxStringBytes / 2, u'z'));
    w.Finish();
    Packet r;
    ASSERT_TRUE(r.SetFrames(w.Data(), w.Size()));
    EXPECT_EQ(r.Str().size(), kMaxStringBytes / 2);
    EXPECT_FALSE(r.IsBad());
}

TEST(Packet, OverlongStringIsCutAtACharacterBoundary) {
    WString text(kMaxStringBytes / 2 - 1, u'a');
    text += u"\U0001F600";  // surrogate pair straddling the limit
    Packet w;
    w.Init(9);
    w.WriteString(text);
    w.Finish();
    Packet r;
    ASSERT_TRUE(r.SetFrames(w.Data(), w.Size()));
    const WString got = r.Str();
    EXPECT_EQ(got, WString(kMaxStringBytes / 2 - 1, u'a'));
}

TEST(Packet, TwoMessagesEachCarryTheirOwnLength) {
    Packet w;
    w.Init(2053);
    w.WriteU16(1001);
    w.BeginNextMessage(2050);
    w.WriteU32(77).WriteU8(3);
    w.Finish();
    ASSERT_EQ(w.Size(), 6u + 9u);
    EXPECT_EQ(w.Data()[0], 6);
    EXPECT_EQ(w.Data()[6], 9);
    EXPECT_EQ(w.MessageCount(), 2u);

    Packet r;
    ASSERT_TRUE(r.SetFrames(w.Data(), w.Size()));
    EXPECT_EQ(r.GetId(), 2053);
    EXPECT_EQ(r.U16(), 1001);
    EXPECT_EQ(r.U8(), 0) << "a read must not run into the next message";
    ASSERT_TRUE(r.NextMessage());
    EXPECT_EQ(r.GetId(), 2050);
    EXPECT_FALSE(r.IsBad()) << "the next message starts clean";
    EXPECT_EQ(r.U32(), 77u);
    EXPECT_EQ(r.U8(), 3);
    EXPECT_FALSE(r.NextMessage());
}

TEST(Packet, WritePastCapacityMarksBadInsteadOfOverflowing) {
    Packet w;
    w.Init(1);
    std::vector<std::uint8_t> big(kPacketCapacity, 1);
    w.WriteBytes(big.data(), big.size());
    EXPECT_TRUE(w.IsBad());
    EXPECT_EQ(w.Size(), kFrameHeaderSize);
}

TEST(Packet, FramesWithBadLengthsAreRefused) {
    const std::uint8_t tooShort[] = {3, 0, 1, 0};
    const std::uint8_t pastEnd[] = {9, 0, 1, 0, 5};
    Packet r;
    EXPECT_FALSE(r.SetFrames(tooShort, sizeof tooShort));
    EXPECT_FALSE(r.SetFrames(pastEnd, sizeof pastEnd));
    EXPECT_EQ(r.U8(), 0);
}

TEST(PacketPool, HandsOutEveryBlockThenGivesUp) {
    PacketPool pool(3);
    Packet* a = pool.Alloc();
    Packet* b = pool.Alloc();
    Packet* c = pool.Alloc();
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(pool.Alloc(), nullptr);
    pool.Free(b);
    EXPECT_EQ(pool.Alloc(), b);
    pool.Free(a);
    pool.Free(b);
    pool.Free(c);
    EXPECT_EQ(pool.FreeCount(), 3);
}

TEST(PacketPool, PooledPacketReturnsItsBlock) {
    PacketPool pool(1);
    {
        PooledPacket p(pool, pool.Alloc());
        ASSERT_TRUE(p);
        EXPECT_EQ(pool.FreeCount(), 0);
    }
    EXPECT_EQ(pool.FreeCount(), 1);
}

// A flood of frames must not take the packets a sender needs: senders often hold the widget lock the
// dispatch thread needs before it can return a packet, so they cannot wait. The receive side leaves
// them a share and waits for the dispatch thread instead of dropping the frame.
TEST(PacketPool, ReceiveSideLeavesTheSendersShareAndWaitsInsteadOfDropping) {
    PacketPool pool(40);
    ASSERT_EQ(pool.SendReserve(), 10);
    const std::atomic<bool> noWait{false};
    std::vector<Packet*> received;
    while (Packet* p = pool.AllocForReceive(noWait)) received.push_back(p);
    EXPECT_EQ(received.size(), 30u);
    std::vector<Packet*> sent;
    while (Packet* p = pool.Alloc()) sent.push_back(p);
    EXPECT_EQ(sent.size(), 10u) << "every packet of the senders' share is there at once";
    for (Packet* p : sent) pool.Free(p);

    std::atomic<bool> keepWaiting{true};
    std::atomic<Packet*> waited{nullptr};
    std::thread receiver([&] { waited = pool.AllocForReceive(keepWaiting); });
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(waited.load(), nullptr) << "the senders' share is not the receive side's";
    pool.Free(received.back());  // the dispatch thread hands a frame on
    receiver.join();
    EXPECT_EQ(waited.load(), received.back());

    std::thread closing([&] { waited = pool.AllocForReceive(keepWaiting); });
    keepWaiting = false;  // the connection closes
    closing.join();
    EXPECT_EQ(waited.load(), nullptr);
}
