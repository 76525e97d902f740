#include "tests/engine/support/SoundTestSupport.h"

#include <unistd.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

namespace soundtest {

namespace {

// Points OpenAL Soft at its file writer before anything opens a device; removes the files at exit.
struct WaveOutputSetup {
    std::filesystem::path dir;
    std::string wavPath;

    WaveOutputSetup() {
        dir = std::filesystem::temp_directory_path() / ("marvenlot-sound-test-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir);
        wavPath = (dir / "output.wav").string();
        const std::string confPath = (dir / "openal.conf").string();
        std::ofstream conf(confPath);
        conf << "[general]\nchannels = mono\nsample-type = int16\nfrequency = " << kOutputRate
             << "\n[wave]\nfile = " << wavPath << "\n";
        conf.close();
        setenv("ALSOFT_CONF", confPath.c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);
    }
    ~WaveOutputSetup() {
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }
};

WaveOutputSetup& Setup() {
    static WaveOutputSetup setup;
    return setup;
}

// Runs at static initialisation, before any test touches OpenAL.
const bool kConfigured = (Setup(), true);

}  // namespace

const std::string& WaveOutputPath() {
    return Setup().wavPath;
}

bool ReadWaveOutput(PcmSound& out) {
    std::ifstream file(WaveOutputPath(), std::ios::binary);
    std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    return kConfigured && ParseWav(bytes, out);
}

std::vector<std::uint8_t> EncodeToneOgg(float frequency, int ms, int sampleRate, int channels) {
    vorbis_info info;
    vorbis_info_init(&info);
    std::vector<std::uint8_t> out;
    if (vorbis_encode_init_vbr(&info, channels, sampleRate, 0.4f) != 0) {
        vorbis_info_clear(&info);
        return out;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_dsp_state dsp;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block block;
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 1);

    auto append = [&out](const ogg_page& page) {
        out.insert(out.end(), page.header, page.header + page.header_len);
        out.insert(out.end(), page.body, page.body + page.body_len);
    };
    ogg_packet header, headerComment, headerCode;
    vorbis_analysis_headerout(&dsp, &comment, &header, &headerComment, &headerCode);
    ogg_stream_packetin(&stream, &header);
    ogg_stream_packetin(&stream, &headerComment);
    ogg_stream_packetin(&stream, &headerCode);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page)) append(page);

    const int frames = sampleRate * ms / 1000;
    constexpr int kBlock = 1024;
    for (int done = 0;;) {
        const int count = std::min(kBlock, frames - done);
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&dsp, count);
            for (int i = 0; i < count; ++i) {
                const double phase = 2.0 * std::numbers::pi * frequency * (done + i) / sampleRate;
                for (int c = 0; c < channels; ++c) buffer[c][i] = 0.5f * static_cast<float>(std::sin(phase));
            }
            done += count;
        }
        vorbis_analysis_wrote(&dsp, std::max(count, 0));  // 0 marks the end of the input
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page)) append(page);
            }
        }
        if (count <= 0) break;
    }
    while (ogg_stream_flush(&stream, &page)) append(page);
    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

ToneStats Analyse(const PcmSound& pcm, int threshold) {
    ToneStats stats;
    if (pcm.format.bitsPerSample != 16 || pcm.format.channels != 1) return stats;
    const std::size_t count = pcm.samples.size() / 2;
    auto sample = [&](std::size_t i) {
        return static_cast<int>(static_cast<std::int16_t>(pcm.samples[2 * i] | pcm.samples[2 * i + 1] << 8));
    };
    std::size_t first = count, last = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int value = std::abs(sample(i));
        stats.peak = std::max(stats.peak, value);
        if (value > threshold) {
            first = std::min(first, i);
            last = i;
        }
    }
    if (first >= count) return stats;
    stats.loudFrames = static_cast<int>(last - first + 1);
    int crossings = 0;
    for (std::size_t i = first + 1; i <= last; ++i) {
        if ((sample(i - 1) < 0) != (sample(i) < 0)) ++crossings;
    }
    stats.frequency = crossings / 2.0 / (stats.loudFrames / double(pcm.format.sampleRate));
    return stats;
}

}  // namespace soundtest
