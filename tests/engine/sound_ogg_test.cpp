#include <gtest/gtest.h>

#include "engine/sound/OggDecoder.h"
#include "engine/sound/WavCodec.h"
#include "tests/engine/support/SoundTestSupport.h"

TEST(SoundOgg, WholeDecodeGivesTheEncodedToneAndLength) {
    const auto ogg = soundtest::EncodeToneOgg(440.0f, 600, 22050, 1);
    ASSERT_FALSE(ogg.empty());
    PcmSound pcm;
    std::string error;
    ASSERT_TRUE(DecodeOgg(ogg, pcm, &error)) << error;
    EXPECT_EQ(pcm.format.channels, 1);
    EXPECT_EQ(pcm.format.bitsPerSample, 16);
    EXPECT_EQ(pcm.format.sampleRate, 22050);
    EXPECT_NEAR(static_cast<double>(pcm.DurationMs()), 600.0, 5.0);
    const auto stats = soundtest::Analyse(pcm);
    EXPECT_NEAR(stats.frequency, 440.0, 5.0);
    EXPECT_NEAR(stats.peak, 16384, 2500);

    ASSERT_TRUE(DecodeOgg(soundtest::EncodeToneOgg(440.0f, 200, 44100, 2), pcm, &error)) << error;
    EXPECT_EQ(pcm.format.channels, 2);
    EXPECT_EQ(pcm.format.sampleRate, 44100);
    EXPECT_NEAR(static_cast<double>(pcm.DurationMs()), 200.0, 5.0);
}

TEST(SoundOgg, ChunkedReadsMatchTheWholeDecodeAndRewindStartsOver) {
    const auto ogg = soundtest::EncodeToneOgg(300.0f, 400);
    PcmSound whole;
    ASSERT_TRUE(DecodeOgg(ogg, whole));

    OggDecoder decoder;
    ASSERT_TRUE(decoder.Open(ogg));
    for (int pass = 0; pass < 2; ++pass) {
        std::vector<std::uint8_t> joined;
        std::vector<std::uint8_t> chunk(1001);  // not a whole number of frames
        while (std::size_t got = decoder.Read(chunk)) {
            EXPECT_EQ(got % 2, 0u);
            joined.insert(joined.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(got));
        }
        EXPECT_EQ(joined, whole.samples) << "pass " << pass;
        ASSERT_TRUE(decoder.Rewind());
    }
}

TEST(SoundOgg, DamagedOrForeignBytesAreRefusedOrCutShortWithoutHarm) {
    PcmSound pcm;
    std::string error;
    EXPECT_FALSE(DecodeOgg({}, pcm, &error));
    EXPECT_FALSE(DecodeOgg(GenerateToneWav(440.0f, 50), pcm, &error));
    EXPECT_EQ(error, "not an Ogg Vorbis stream");

    const auto ogg = soundtest::EncodeToneOgg(440.0f, 500);
    // Cut anywhere: either refused or decoded up to the cut.
    for (std::size_t n : {std::size_t{4}, std::size_t{60}, ogg.size() / 3, ogg.size() / 2, ogg.size() - 1}) {
        PcmSound cut;
        if (DecodeOgg(std::span(ogg.data(), n), cut)) {
            EXPECT_LT(cut.samples.size(), 22050u * 2);
        }
    }
    // Noise written over the audio pages: decoding skips or stops, never reads out of bounds.
    for (std::size_t offset = ogg.size() / 4; offset < ogg.size(); offset += ogg.size() / 7) {
        auto damaged = ogg;
        for (std::size_t i = offset; i < std::min(damaged.size(), offset + 40); ++i)
            damaged[i] = static_cast<std::uint8_t>(i * 131);
        PcmSound out;
        if (DecodeOgg(damaged, out)) {
            EXPECT_LE(out.samples.size(), 22050u * 2);
        }
    }
    OggDecoder closed;
    std::vector<std::uint8_t> buffer(64);
    EXPECT_EQ(closed.Read(buffer), 0u);
    EXPECT_FALSE(closed.Rewind());
}
