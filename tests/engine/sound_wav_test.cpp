#include <gtest/gtest.h>

#include <cstring>

#include "engine/sound/WavCodec.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(Bytes& b, std::uint32_t v) {
    PutU16(b, static_cast<std::uint16_t>(v));
    PutU16(b, static_cast<std::uint16_t>(v >> 16));
}
void PutChunk(Bytes& b, const char* tag, const Bytes& body, std::uint32_t declared) {
    b.insert(b.end(), tag, tag + 4);
    PutU32(b, declared);
    b.insert(b.end(), body.begin(), body.end());
}
Bytes Fmt(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    Bytes f;
    PutU16(f, tag);
    PutU16(f, channels);
    PutU32(f, rate);
    PutU32(f, rate * channels * bits / 8);
    PutU16(f, static_cast<std::uint16_t>(channels * bits / 8));
    PutU16(f, bits);
    return f;
}
Bytes Riff(const Bytes& chunks) {
    Bytes b{'R', 'I', 'F', 'F'};
    PutU32(b, static_cast<std::uint32_t>(4 + chunks.size()));
    b.insert(b.end(), {'W', 'A', 'V', 'E'});
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}
Bytes Samples(std::size_t n) {
    Bytes s(n);
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<std::uint8_t>(i * 7);
    return s;
}

}  // namespace

TEST(SoundWav, GeneratedToneRoundTripsWithItsLengthAndFormat) {
    const Bytes wav = GenerateToneWav(440.0f, 250, 22050);
    PcmSound pcm;
    std::string error;
    ASSERT_TRUE(ParseWav(wav, pcm, &error)) << error;
    EXPECT_EQ(pcm.format.channels, 1);
    EXPECT_EQ(pcm.format.bitsPerSample, 16);
    EXPECT_EQ(pcm.format.sampleRate, 22050);
    EXPECT_EQ(pcm.samples.size(), 22050u * 250 / 1000 * 2);
    EXPECT_NEAR(static_cast<double>(pcm.DurationMs()), 250.0, 1.0);
    // The fade-in starts at silence; the middle reaches the amplitude.
    EXPECT_EQ(pcm.samples[0], 0);
    int peak = 0;
    for (std::size_t i = 0; i + 1 < pcm.samples.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<std::int16_t>(pcm.samples[i] | pcm.samples[i + 1] << 8)));
    EXPECT_NEAR(peak, 16383, 50);
}

TEST(SoundWav, StereoEightBitWithOddLengthAndUnknownChunksIsRead) {
    const Bytes data = Samples(10);
    Bytes chunks;
    PutChunk(chunks, "fmt ", Fmt(1, 2, 11025, 8), 16);
    PutChunk(chunks, "LIST", Bytes{1, 2, 3, 0}, 3);  // odd size: one pad byte follows
    PutChunk(chunks, "data", data, 10);
    PcmSound pcm;
    ASSERT_TRUE(ParseWav(Riff(chunks), pcm));
    EXPECT_EQ(pcm.format.channels, 2);
    EXPECT_EQ(pcm.format.bitsPerSample, 8);
    EXPECT_EQ(pcm.format.sampleRate, 11025);
    EXPECT_EQ(pcm.samples, data);

    // WriteWav pads an odd data chunk and still reads back the same samples.
    const Bytes odd = Samples(7);
    ASSERT_TRUE(ParseWav(WriteWav(platform::PcmFormat{1, 8, 8000}, odd), pcm));
    EXPECT_EQ(pcm.samples, odd);
}

TEST(SoundWav, ExtensibleHeaderIsReadWhenItsSubFormatIsPcm) {
    auto extensible = [](std::uint16_t subFormat) {
        Bytes f = Fmt(0xFFFE, 1, 22050, 16);
        PutU16(f, 22);
        PutU16(f, 16);
        PutU32(f, 4);
        PutU16(f, subFormat);
        f.insert(f.end(), 14, 0);
        Bytes chunks;
        PutChunk(chunks, "fmt ", f, static_cast<std::uint32_t>(f.size()));
        PutChunk(chunks, "data", Samples(8), 8);
        return Riff(chunks);
    };
    PcmSound pcm;
    EXPECT_TRUE(ParseWav(extensible(1), pcm));
    EXPECT_EQ(pcm.samples.size(), 8u);
    std::string error;
    EXPECT_FALSE(ParseWav(extensible(3), pcm, &error));  // IEEE float
    EXPECT_EQ(error, "not PCM");
}

TEST(SoundWav, DataCutShortByTheEndOfTheFileKeepsWholeFramesPresent) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", Fmt(1, 2, 22050, 16), 16);
    PutChunk(chunks, "data", Samples(11), 0xFFFFFFFFu);  // streaming writers leave the size open
    PcmSound pcm;
    ASSERT_TRUE(ParseWav(Riff(chunks), pcm));
    EXPECT_EQ(pcm.samples.size(), 8u);  // two whole 4-byte frames
}

TEST(SoundWav, MalformedFilesAreRefusedWithAReason) {
    auto withFmt = [](const Bytes& fmt, std::uint32_t declared, bool data = true) {
        Bytes chunks;
        PutChunk(chunks, "fmt ", fmt, declared);
        if (data) PutChunk(chunks, "data", Samples(16), 16);
        return Riff(chunks);
    };
    Bytes dataFirst;
    PutChunk(dataFirst, "data", Samples(4), 4);
    PutChunk(dataFirst, "fmt ", Fmt(1, 1, 8000, 8), 16);
    Bytes emptyData;
    PutChunk(emptyData, "fmt ", Fmt(1, 2, 8000, 16), 16);
    PutChunk(emptyData, "data", Samples(3), 3);  // less than one frame
    Bytes hugeUnknown;
    PutChunk(hugeUnknown, "fmt ", Fmt(1, 1, 8000, 8), 16);
    PutChunk(hugeUnknown, "junk", Samples(4), 0xFFFFFFF0u);

    const struct {
        const char* name;
        Bytes bytes;
        const char* reason;
    } cases[] = {
        {"empty", {}, "not a RIFF WAVE file"},
        {"riff only", {'R', 'I', 'F', 'F'}, "not a RIFF WAVE file"},
        {"not wave", {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a RIFF WAVE file"},
        {"no chunks", Riff({}), "no format chunk"},
        {"short fmt", withFmt(Bytes(12, 1), 12), "short format chunk"},
        {"fmt beyond end", withFmt(Fmt(1, 1, 8000, 8), 400, false), "short format chunk"},
        {"adpcm", withFmt(Fmt(2, 1, 8000, 4), 16), "not PCM"},
        {"six channels", withFmt(Fmt(1, 6, 8000, 16), 16), "unsupported channels, bits or sample rate"},
        {"24 bit", withFmt(Fmt(1, 1, 8000, 24), 16), "unsupported channels, bits or sample rate"},
        {"rate 0", withFmt(Fmt(1, 1, 0, 16), 16), "unsupported channels, bits or sample rate"},
        {"rate huge", withFmt(Fmt(1, 1, 0xFFFFFFFFu, 16), 16), "unsupported channels, bits or sample rate"},
        {"no data", withFmt(Fmt(1, 1, 8000, 8), 16, false), "no data chunk"},
        {"data first", Riff(dataFirst), "data chunk before format chunk"},
        {"partial frame", Riff(emptyData), "no samples"},
        {"huge unknown chunk", Riff(hugeUnknown), "no data chunk"},
    };
    for (const auto& c : cases) {
        PcmSound pcm;
        std::string error;
        EXPECT_FALSE(ParseWav(c.bytes, pcm, &error)) << c.name;
        EXPECT_EQ(error, c.reason) << c.name;
    }
}

TEST(SoundWav, EveryTruncationOfAValidFileIsHandled) {
    Bytes chunks;
    PutChunk(chunks, "fmt ", Fmt(1, 1, 8000, 16), 16);
    PutChunk(chunks, "LIST", Samples(5), 5);
    chunks.push_back(0);
    PutChunk(chunks, "data", Samples(32), 32);
    const Bytes whole = Riff(chunks);
    for (std::size_t n = 0; n <= whole.size(); ++n) {
        PcmSound pcm;
        const bool ok = ParseWav(std::span(whole.data(), n), pcm);
        if (ok) {
            EXPECT_GT(pcm.samples.size(), 0u);
            EXPECT_EQ(pcm.samples.size() % 2, 0u);
        }
    }
}
