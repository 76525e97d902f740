#include <gtest/gtest.h>

#include <vector>

#include "net/FrameCipher.h"
#include "net/FrameCutter.h"

using namespace net;

namespace {
std::vector<std::uint8_t> Frame(std::uint16_t id, std::size_t body, std::uint8_t fill) {
    std::vector<std::uint8_t> f(kFrameHeaderSize + body, fill);
    const std::size_t n = f.size();
    f[0] = static_cast<std::uint8_t>(n);
    f[1] = static_cast<std::uint8_t>(n >> 8);
    f[2] = static_cast<std::uint8_t>(id);
    f[3] = static_cast<std::uint8_t>(id >> 8);
    return f;
}

// Feeds the stream to the cutter in pieces of `step` bytes and returns the frames cut.
std::vector<std::vector<std::uint8_t>> Cut(const std::vector<std::uint8_t>& stream, std::size_t step,
                                           bool* invalid = nullptr, int* badLength = nullptr) {
    FrameCutter cutter;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<std::uint8_t> out(kMaxFrameSize);
    std::size_t at = 0;
    while (at < stream.size()) {
        const std::size_t n = std::min({step, stream.size() - at, cutter.FreeSpace()});
        EXPECT_EQ(cutter.Push(&stream[at], n), n);
        at += n;
        for (;;) {
            std::size_t size = 0;
            int bad = 0;
            const auto r = cutter.Next(out.data(), size, bad);
            if (r == FrameCutter::Result::NeedMore) break;
            if (r == FrameCutter::Result::InvalidSize) {
                if (invalid) *invalid = true;
                if (badLength) *badLength = bad;
                return frames;
            }
            frames.emplace_back(out.begin(), out.begin() + size);
        }
    }
    return frames;
}
}  // namespace

TEST(FrameCutter, CutsWholeFramesWhateverTheReadSizes) {
    std::vector<std::uint8_t> stream;
    std::vector<std::vector<std::uint8_t>> sent;
    for (int i = 0; i < 40; ++i) {
        sent.push_back(
            Frame(static_cast<std::uint16_t>(2000 + i), (i * 97) % 700, static_cast<std::uint8_t>(i)));
        stream.insert(stream.end(), sent.back().begin(), sent.back().end());
    }
    sent.push_back(Frame(1, kMaxFrameSize - kFrameHeaderSize, 0xEE));  // the largest frame, wrapping the ring
    stream.insert(stream.end(), sent.back().begin(), sent.back().end());
    for (std::size_t step : {1u, 3u, 7u, 100u, 1500u, 4096u})
        EXPECT_EQ(Cut(stream, step), sent) << "step " << step;
}

TEST(FrameCutter, RejectsLengthsOutsideFourTo4096) {
    for (int length : {0, 2, 3, 4097, 5000, 65535}) {
        std::vector<std::uint8_t> stream = Frame(1, 4, 0);
        stream.push_back(static_cast<std::uint8_t>(length));
        stream.push_back(static_cast<std::uint8_t>(length >> 8));
        stream.insert(stream.end(), 10, 0);
        bool invalid = false;
        int bad = 0;
        const auto frames = Cut(stream, 64, &invalid, &bad);
        EXPECT_TRUE(invalid) << length;
        EXPECT_EQ(bad, length);
        EXPECT_EQ(frames.size(), 1u) << "the good frame before the bad length is delivered";
    }
}

TEST(FrameCipher, RoundTripsAndKeepsTheLengthClear) {
    FrameCipher send, receive;
    const DesKey key = FrameCipher::DeriveKey(42);
    ASSERT_TRUE(send.SetKey(key));
    ASSERT_TRUE(receive.SetKey(key));
    for (int i = 0; i < 3; ++i) {
        std::vector<std::uint8_t> frame = Frame(2052, 37, 0x5A);
        const auto plain = frame;
        send.EncryptFrame(frame.data(), frame.size());
        EXPECT_EQ(frame[0], plain[0]);
        EXPECT_EQ(frame[1], plain[1]);
        EXPECT_NE(frame, plain);
        receive.DecryptFrame(frame.data(), frame.size());
        EXPECT_EQ(frame, plain);
    }
}

TEST(FrameCipher, EqualFramesEncipherDifferently) {
    FrameCipher c;
    ASSERT_TRUE(c.SetKey(FrameCipher::DeriveKey(7)));
    auto a = Frame(202, 8, 0), b = Frame(202, 8, 0);
    c.EncryptFrame(a.data(), a.size());
    c.EncryptFrame(b.data(), b.size());
    EXPECT_NE(a, b);
}

TEST(FrameCipher, WeakKeysAreRefused) {
    FrameCipher c;
    const DesKey weak = {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01};
    EXPECT_FALSE(c.SetKey(weak));
    EXPECT_FALSE(c.Enabled());
    const DesKey badParity = {0, 0, 0, 0, 0, 0, 0, 1};
    EXPECT_FALSE(c.SetKey(badParity));
    for (std::uint64_t seed = 0; seed < 200; ++seed)
        EXPECT_TRUE(c.SetKey(FrameCipher::DeriveKey(seed))) << seed;
}
