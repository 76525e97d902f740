#pragma once
// Helpers of the sound tests: Ogg Vorbis tones made with the encoder, and the OpenAL Soft "wave"
// output, which mixes into a WAV file instead of a sound card so that a test can read back what
// was played.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/sound/WavCodec.h"

namespace soundtest {

// A sine tone of `ms` milliseconds encoded as Ogg Vorbis.
std::vector<std::uint8_t> EncodeToneOgg(float frequency, int ms, int sampleRate = 22050, int channels = 1);

// The file OpenAL Soft writes to in this process (the output is set up before main runs:
// mono, 16-bit, kOutputRate). It lives in memory and is valid in this process only.
const std::string& WaveOutputPath();
constexpr int kOutputRate = 22050;
// Reads the written file; call after the OpenAL device has been closed.
bool ReadWaveOutput(PcmSound& out);

// What a mono 16-bit recording holds.
struct ToneStats {
    int loudFrames = 0;    // frames from the first to the last sample above the threshold
    int peak = 0;          // largest absolute sample
    double frequency = 0;  // from the zero crossings between the first and the last loud sample
};
ToneStats Analyse(const PcmSound& pcm, int threshold = 200);
inline double LoudMs(const ToneStats& stats, int rate = kOutputRate) {
    return stats.loudFrames * 1000.0 / rate;
}

}  // namespace soundtest
