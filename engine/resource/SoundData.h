#pragma once
// Plain SOUND record: a whole sound file image (RIFF WAV PCM or Ogg Vorbis), handed to the sound manager.

#include <cstdint>
#include <vector>

enum class SoundFormat : uint8_t {
    Wav = 1,
    OggVorbis = 2,
};

struct SoundData {
    SoundFormat format = SoundFormat::Wav;
    uint8_t streamed = 0;  // meant for LoadStream (music) rather than LoadStatic
    std::vector<uint8_t> bytes;
    bool operator==(const SoundData&) const = default;
};
