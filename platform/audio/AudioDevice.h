#pragma once
// The sound card as the engine's sound system sees it: static buffers of PCM, sources that play
// them, and sources fed from a queue of buffers that the caller refills as they complete.
// Two backends, chosen at start: "openal" (OpenAL Soft) and "null" (no sound card).

#include <cstddef>
#include <cstdint>
#include <memory>

namespace platform {

// Interleaved little-endian PCM: 8-bit unsigned or 16-bit signed, mono or stereo.
struct PcmFormat {
    int channels = 1;
    int bitsPerSample = 16;
    int sampleRate = 22050;

    int BytesPerFrame() const { return channels * bitsPerSample / 8; }
    bool IsSupported() const {
        return (channels == 1 || channels == 2) && (bitsPerSample == 8 || bitsPerSample == 16) &&
               sampleRate >= kMinSampleRate && sampleRate <= kMaxSampleRate;
    }
    // Microseconds that `bytes` of this format play for.
    std::uint64_t DurationUs(std::size_t bytes) const;

    static constexpr int kMinSampleRate = 1000;
    static constexpr int kMaxSampleRate = 192000;
};

// Handles of the device's objects; 0 is never a valid handle.
using AudioBuffer = std::uint32_t;
using AudioSource = std::uint32_t;
constexpr std::uint32_t kNoAudioObject = 0;

class AudioDevice {
public:
    virtual ~AudioDevice() = default;

    // "openal" or "null".
    virtual const char* BackendName() const = 0;

    // Buffers hold PCM; a buffer may be refilled while no source has it attached or queued.
    virtual AudioBuffer CreateBuffer() = 0;
    virtual bool FillBuffer(AudioBuffer buffer, const PcmFormat& format, const void* data,
                            std::size_t bytes) = 0;
    virtual void DestroyBuffer(AudioBuffer buffer) = 0;

    virtual AudioSource CreateSource() = 0;
    virtual void DestroySource(AudioSource source) = 0;

    // Static playback: the source plays one buffer (kNoAudioObject detaches it).
    virtual bool AttachBuffer(AudioSource source, AudioBuffer buffer) = 0;
    virtual void SetVolume(AudioSource source, float gain) = 0;  // 0..1
    virtual void SetLooping(AudioSource source, bool looping) = 0;
    // Starts from the beginning, also when the source is already playing.
    virtual void Play(AudioSource source) = 0;
    // Stops; every queued buffer then counts as processed.
    virtual void Stop(AudioSource source) = 0;
    virtual bool IsPlaying(AudioSource source) = 0;

    // Streamed playback: buffers play in the order they were queued. A source whose queue runs
    // dry stops by itself and must be started again after more buffers are queued.
    virtual bool QueueBuffer(AudioSource source, AudioBuffer buffer) = 0;
    // Number of queued buffers that have finished playing.
    virtual int ProcessedCount(AudioSource source) = 0;
    // Removes the oldest processed buffer from the queue; kNoAudioObject when none has finished.
    virtual AudioBuffer UnqueueProcessed(AudioSource source) = 0;
};

// Opens the default OpenAL output; null when no device opens.
std::unique_ptr<AudioDevice> CreateOpenAlDevice();
// Keeps the sound libraries' own messages (OpenAL Soft's log, ALSA's errors) off stderr, unless
// ALSOFT_LOGLEVEL asks for them: the client says in one line of its own when no output opens.
// Writes the environment, so it runs before any other thread starts.
void QuietSoundLibraries();
// The device of a machine without sound; see NullAudioDevice.h.
std::unique_ptr<AudioDevice> CreateNullAudioDevice();

}  // namespace platform
