#pragma once
// Short sounds made by code: a RIFF WAV tone and an Ogg Vorbis tone for the music streams.

#include <cstdint>
#include <vector>

// 16-bit mono PCM at `rate` Hz, a sine of `frequency` Hz with a short fade in and out.
std::vector<uint8_t> MakeToneWav(float frequency, uint32_t milliseconds, uint32_t rate = 22050);
// Ogg Vorbis of a two-note chime; empty when the encoder fails.
std::vector<uint8_t> MakeToneOgg(float frequency, uint32_t milliseconds, uint32_t rate = 22050);
