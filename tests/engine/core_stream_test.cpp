#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "engine/core/FileStream.h"
#include "engine/core/MemoryStream.h"
#include "tests/engine/support/CoreTestUtil.h"

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

std::vector<std::uint8_t> TextLikeBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>("billiards "[i % 10]);
    return bytes;
}

}  // namespace

TEST(FileStream, WideKoreanPathRoundTripWithSeekTellAndShortReadAtTheEnd) {
    ScratchDir dir;
    const WString path = FromUtf8(dir.File("로그 파일.bin"));
    const auto bytes = RandomBytes(3000, 1);
    {
        FileStream out(path, FileStream::Mode::Write);
        ASSERT_TRUE(out.IsOpen());
        EXPECT_EQ(out.Write(bytes.data(), bytes.size()), bytes.size());
        EXPECT_EQ(out.Tell(), 3000);
    }
    FileStream in;
    ASSERT_TRUE(in.Open(path, FileStream::Mode::Read));
    EXPECT_EQ(in.Size(), 3000);
    EXPECT_EQ(in.Tell(), 0);  // Size does not move the position
    ASSERT_TRUE(in.Seek(-10, SeekOrigin::End));
    std::uint8_t tail[32] = {};
    EXPECT_EQ(in.Read(tail, sizeof tail), 10u);
    EXPECT_TRUE(std::equal(tail, tail + 10, bytes.end() - 10));
    EXPECT_EQ(in.Read(tail, sizeof tail), 0u);
    ASSERT_TRUE(in.Seek(100, SeekOrigin::Begin));
    ASSERT_TRUE(in.Seek(5, SeekOrigin::Current));
    EXPECT_EQ(in.Tell(), 105);
    std::uint8_t one = 0;
    ASSERT_TRUE(in.ReadAll(&one, 1));
    EXPECT_EQ(one, bytes[105]);
    EXPECT_FALSE(in.Seek(-1, SeekOrigin::Begin));
    // A read-only file refuses writes.
    EXPECT_EQ(in.Write(&one, 1), 0u);
}

TEST(FileStream, MissingFileAndClosedStreamReportFailureInsteadOfCrashing) {
    ScratchDir dir;
    FileStream stream;
    EXPECT_FALSE(stream.Open(FromUtf8(dir.File("missing.dmp")), FileStream::Mode::Read));
    EXPECT_FALSE(stream.Open(FromUtf8(dir.File("missing.dmp")), FileStream::Mode::ReadWrite));
    std::uint8_t buffer[4];
    EXPECT_EQ(stream.Read(buffer, 4), 0u);
    EXPECT_EQ(stream.Write(buffer, 4), 0u);
    EXPECT_EQ(stream.Tell(), -1);
    EXPECT_EQ(stream.Size(), -1);
    EXPECT_FALSE(stream.Seek(0, SeekOrigin::Begin));
}

TEST(FileStream, AppendAndReadWriteKeepExistingContent) {
    ScratchDir dir;
    const WString path = FromUtf8(dir.File("a.bin"));
    {
        FileStream s(path, FileStream::Mode::Append);
        s.Write("abc", 3);
    }
    {
        FileStream s(path, FileStream::Mode::Append);
        s.Write("def", 3);
    }
    {
        FileStream s(path, FileStream::Mode::ReadWrite);
        ASSERT_TRUE(s.Seek(1, SeekOrigin::Begin));
        s.Write("X", 1);
    }
    EXPECT_EQ(ReadWholeFile(dir.File("a.bin")), "aXcdef");
}

TEST(MemoryStream, GrowsOnWriteOverwritesAfterSeekAndRefusesPositionsOutsideTheData) {
    MemoryStream stream;
    EXPECT_EQ(stream.Write("hello world", 11), 11u);
    EXPECT_EQ(stream.GetSize(), 11u);
    ASSERT_TRUE(stream.Seek(6, SeekOrigin::Begin));
    stream.Write("there!", 6);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.GetBuffer()), stream.GetSize()),
              "hello there!");
    EXPECT_FALSE(stream.Seek(1, SeekOrigin::End));
    EXPECT_FALSE(stream.Seek(-13, SeekOrigin::End));
    EXPECT_FALSE(stream.Seek(INT64_MIN, SeekOrigin::Current));
    EXPECT_FALSE(stream.Seek(INT64_MAX, SeekOrigin::Current));
    EXPECT_EQ(stream.Tell(), 12);
    ASSERT_TRUE(stream.Seek(-6, SeekOrigin::Current));
    char word[16] = {};
    EXPECT_EQ(stream.Read(word, sizeof word), 6u);
    EXPECT_STREQ(word, "there!");
    EXPECT_EQ(stream.Read(word, 1), 0u);
}

TEST(MemoryStream, CompressionRoundTripsWholeBuffers) {
    for (const auto& original : {std::vector<std::uint8_t>{}, TextLikeBytes(100000), RandomBytes(65536, 2)}) {
        MemoryStream stream(original);
        ASSERT_TRUE(stream.Compress());
        EXPECT_EQ(stream.Tell(), 0);
        if (original.size() == 100000) {
            EXPECT_LT(stream.GetSize(), 2000u);
        }
        ASSERT_TRUE(stream.Decompress(original.size()));
        EXPECT_EQ(stream.Data(), original);
        // Unknown size works too.
        std::vector<std::uint8_t> packed, unpacked;
        ASSERT_TRUE(CompressBuffer(original, packed));
        ASSERT_TRUE(DecompressBuffer(packed, unpacked));
        EXPECT_EQ(unpacked, original);
    }
}

TEST(MemoryStream, CorruptTruncatedOrOversizedInputFailsAndLeavesTheContent) {
    const auto original = TextLikeBytes(20000);
    std::vector<std::uint8_t> packed, out;
    ASSERT_TRUE(CompressBuffer(original, packed));

    // Every truncation fails.
    for (std::size_t length = 0; length < packed.size(); ++length)
        EXPECT_FALSE(DecompressBuffer({packed.data(), length}, out)) << length;
    EXPECT_TRUE(out.empty());

    // Bytes after the end of the stream.
    auto trailing = packed;
    trailing.push_back(0);
    EXPECT_FALSE(DecompressBuffer(trailing, out));

    // The stated size must match.
    EXPECT_FALSE(DecompressBuffer(packed, out, original.size() - 1));
    EXPECT_FALSE(DecompressBuffer(packed, out, original.size() + 1));

    // A limit on unknown sizes stops data that inflates without bound.
    EXPECT_FALSE(DecompressBuffer(packed, out, 0, original.size() - 1));
    EXPECT_TRUE(DecompressBuffer(packed, out, 0, original.size()));

    // Flipped bytes: never a crash; a success must at least have the right size.
    std::mt19937 random(3);
    for (int trial = 0; trial < 500; ++trial) {
        auto damaged = packed;
        damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1 + random() % 255);
        if (DecompressBuffer(damaged, out, original.size())) {
            EXPECT_EQ(out.size(), original.size());
        }
    }

    MemoryStream garbage(RandomBytes(300, 4));
    const auto before = garbage.Data();
    ASSERT_TRUE(garbage.Seek(5, SeekOrigin::Begin));
    EXPECT_FALSE(garbage.Decompress());
    EXPECT_EQ(garbage.Data(), before);
    EXPECT_EQ(garbage.Tell(), 5);
}
