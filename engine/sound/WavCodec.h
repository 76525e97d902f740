#pragma once
// RIFF WAVE files of PCM: reading the sounds of the resources and writing short generated tones.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/AudioDevice.h"

struct PcmSound {
    platform::PcmFormat format;
    std::vector<std::uint8_t> samples;  // whole frames, interleaved

    std::uint64_t DurationMs() const { return format.DurationUs(samples.size()) / 1000; }
};

// Reads a RIFF WAVE file of 8- or 16-bit PCM, mono or stereo (plain or extensible header).
// A data chunk cut short by the end of the file keeps what is there. On failure returns false and
// says why in *error.
bool ParseWav(std::span<const std::uint8_t> bytes, PcmSound& out, std::string* error = nullptr);

// A canonical 44-byte-header WAVE file of the given PCM.
std::vector<std::uint8_t> WriteWav(const platform::PcmFormat& format, std::span<const std::uint8_t> samples);

// A mono 16-bit sine tone as a WAVE file, with 5 ms fades so that it starts and ends without a
// click; for generated resources and tests.
std::vector<std::uint8_t> GenerateToneWav(float frequency, int ms, int sampleRate = 22050,
                                          float amplitude = 0.5f);
