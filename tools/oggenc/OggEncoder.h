#pragma once
// An Ogg Vorbis encoder for sounds made by code: the resource generator's music and the sound
// tests' streams.

#include <cstdint>
#include <vector>

// Encodes interleaved samples in [-1, 1] at the given variable-bit-rate quality (-0.1 to 1.0).
// Empty when the encoder refuses the format.
std::vector<std::uint8_t> EncodeOggVorbis(const std::vector<float>& samples, int channels, int sampleRate,
                                          float quality);
