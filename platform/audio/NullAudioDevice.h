#pragma once
// The device of a machine without sound. It accepts every call and plays nothing, but keeps
// time through platform::GetClock(): a source counts as playing for as long as its PCM would
// last, and queued buffers complete one after another as that time passes. So code above it
// (sequences of sounds, stream refills) behaves as on a sound card, and tests drive it with a
// VirtualClock. Nothing ever blocks.

#include <cstdint>
#include <deque>
#include <map>
#include <vector>

#include "platform/audio/AudioDevice.h"
#include "platform/sys/CriticalSection.h"

namespace platform {

class NullAudioDevice final : public AudioDevice {
public:
    const char* BackendName() const override { return "null"; }

    AudioBuffer CreateBuffer() override;
    bool FillBuffer(AudioBuffer buffer, const PcmFormat& format, const void* data,
                    std::size_t bytes) override;
    void DestroyBuffer(AudioBuffer buffer) override;
    AudioSource CreateSource() override;
    void DestroySource(AudioSource source) override;
    bool AttachBuffer(AudioSource source, AudioBuffer buffer) override;
    void SetVolume(AudioSource source, float gain) override;
    void SetLooping(AudioSource source, bool looping) override;
    void Play(AudioSource source) override;
    void Stop(AudioSource source) override;
    bool IsPlaying(AudioSource source) override;
    bool QueueBuffer(AudioSource source, AudioBuffer buffer) override;
    int ProcessedCount(AudioSource source) override;
    AudioBuffer UnqueueProcessed(AudioSource source) override;

    // Inspection for tests: the gains of the sources playing now, in handle order.
    std::vector<float> PlayingVolumes();
    int BufferCount();
    int SourceCount();

private:
    struct Source {
        AudioBuffer attached = kNoAudioObject;
        std::deque<AudioBuffer> queue;
        float gain = 1.0f;
        bool looping = false;
        bool playing = false;
        std::uint64_t startUs = 0;  // when the attached buffer or the queue's head began
    };

    // Number of queued buffers that have finished by now; stops a source whose queue ran dry.
    int ProcessedLocked(Source& source);
    bool IsPlayingLocked(Source& source);
    std::uint64_t BufferUs(AudioBuffer buffer) const;

    CriticalSection lock_;
    std::map<AudioBuffer, std::uint64_t> buffers_;  // buffer -> duration in microseconds
    std::map<AudioSource, Source> sources_;
    std::uint32_t nextHandle_ = 1;
};

}  // namespace platform
