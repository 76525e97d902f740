#pragma once
// Ogg Vorbis decoding from memory through vorbisfile: whole sounds for static buffers, and the
// chunk-by-chunk reader behind streamed music.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/sound/WavCodec.h"

class OggDecoder {
public:
    OggDecoder();
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // Takes the whole file; false (with a reason in *error) when it is no Vorbis stream of one or
    // two channels.
    bool Open(std::vector<std::uint8_t> bytes, std::string* error = nullptr);
    bool IsOpen() const;
    // 16-bit PCM of the stream's channels and rate.
    const platform::PcmFormat& Format() const { return format_; }

    // Decodes up to out.size() bytes (whole frames); returns the bytes written, 0 at the end of the
    // stream or on a decoding error (which ends the stream).
    std::size_t Read(std::span<std::uint8_t> out);
    // Back to the first sample.
    bool Rewind();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    platform::PcmFormat format_;
};

// Decodes a whole Ogg Vorbis file to 16-bit PCM (bounded by kMaxDecodedSoundBytes).
bool DecodeOgg(std::span<const std::uint8_t> bytes, PcmSound& out, std::string* error = nullptr);
