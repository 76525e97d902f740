#pragma once
// Codes and limits of the sound system.

#include <cstddef>
#include <cstdint>

#include "engine/core/Math.h"

// The three channels the options switch and scale: effects ("FX"), music ("BGM") and voice.
enum class SoundCategory : int { Effects = 0, Music = 1, Voice = 2 };
constexpr int kSoundCategoryCount = 3;

// Volumes closer than this count as equal (a float's epsilon, as the options compare them).
constexpr float kSoundVolumeEpsilon = kFloatEpsilon;

// Copies of a static sound that may play at once; more is refused as bad input.
constexpr int kMaxSoundCopies = 16;

// A stream keeps this many buffers of this many milliseconds queued on its source.
constexpr int kStreamBufferCount = 4;
constexpr int kStreamBufferMs = 250;
// The sound worker looks for completed stream buffers this often (a quarter of one buffer).
constexpr std::uint32_t kSoundWorkerPeriodMs = 20;

// Upper bound of the PCM one sound may decode to (about 6 minutes of 44.1 kHz stereo), so that a
// damaged or hostile file cannot exhaust memory.
constexpr std::size_t kMaxDecodedSoundBytes = 64u * 1024u * 1024u;
