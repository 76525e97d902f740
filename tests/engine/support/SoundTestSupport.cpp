#include "tests/engine/support/SoundTestSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numbers>

#include "tools/oggenc/OggEncoder.h"

namespace soundtest {

namespace {

// Points OpenAL Soft at its file writer before anything opens a device. The configuration and the
// output are files in memory, named through /proc/self/fd: nothing is left on disk when the process
// ends, however it ends (a death test's child aborts; a killed test never runs its exit steps).
struct WaveOutputSetup {
    std::string wavPath;

    WaveOutputSetup() {
        const int conf = memfd_create("marvenlot-sound-test-openal.conf", MFD_CLOEXEC);
        const int wav = memfd_create("marvenlot-sound-test-output.wav", MFD_CLOEXEC);
        if (conf < 0 || wav < 0) return;
        wavPath = FdPath(wav);
        std::ofstream(FdPath(conf)) << "[general]\nchannels = mono\nsample-type = int16\nfrequency = "
                                    << kOutputRate << "\n[wave]\nfile = " << wavPath << "\n";
        setenv("ALSOFT_CONF", FdPath(conf).c_str(), 1);
        setenv("ALSOFT_DRIVERS", "wave", 1);
    }
    static std::string FdPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }
};

WaveOutputSetup& Setup() {
    static WaveOutputSetup setup;
    return setup;
}

// Runs at static initialisation, before any test touches OpenAL.
const bool kConfigured = !Setup().wavPath.empty();

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
    const int frames = sampleRate * ms / 1000;
    std::vector<float> samples;
    samples.reserve(static_cast<std::size_t>(std::max(frames, 0) * std::max(channels, 0)));
    for (int i = 0; i < frames; ++i) {
        const double phase = 2.0 * std::numbers::pi * frequency * i / sampleRate;
        for (int c = 0; c < channels; ++c) samples.push_back(0.5f * static_cast<float>(std::sin(phase)));
    }
    return EncodeOggVorbis(samples, channels, sampleRate, 0.4f);
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
