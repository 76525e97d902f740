#pragma once
// A loaded sound: a static sound (one PCM buffer played by several sources, so that it can
// overlap itself) or a streamed one (Ogg Vorbis decoded a few buffers ahead of the player).
// Not thread-safe by itself: the SoundManager's lock guards every call.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/sound/OggDecoder.h"
#include "engine/sound/SoundConstants.h"
#include "platform/audio/AudioDevice.h"

class Sound {
public:
    Sound(platform::AudioDevice& device, int id, SoundCategory category)
        : device_(device), id_(id), category_(category) {}
    virtual ~Sound() = default;
    Sound(const Sound&) = delete;
    Sound& operator=(const Sound&) = delete;

    int Id() const { return id_; }
    SoundCategory Category() const { return category_; }

    // Starts the sound at volume x categoryGain (the category's volume, 0 when it is off).
    virtual bool Play(float volume, bool looping, float categoryGain) = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() = 0;
    // Re-applies the category's gain to what plays, keeping each play's own volume.
    virtual void ApplyGain(float categoryGain) = 0;
    // Streams: refills the buffers that have completed; returns how many were refilled.
    virtual int Refill() { return 0; }

protected:
    platform::AudioDevice& device_;

private:
    const int id_;
    const SoundCategory category_;
};

class StaticSound final : public Sound {
public:
    // Null when the device refuses the buffer or the first source.
    static std::unique_ptr<StaticSound> Create(platform::AudioDevice& device, int id, SoundCategory category,
                                               const PcmSound& pcm, int copies);
    // Use Create: a sound made directly holds no device objects.
    StaticSound(platform::AudioDevice& device, int id, SoundCategory category)
        : Sound(device, id, category) {}
    ~StaticSound() override;

    bool Play(float volume, bool looping, float categoryGain) override;
    void Stop() override;
    bool IsPlaying() override;
    void ApplyGain(float categoryGain) override;

    int Copies() const { return static_cast<int>(voices_.size()); }

private:
    struct Voice {
        platform::AudioSource source = platform::kNoAudioObject;
        float volume = 1.0f;
        std::uint64_t startedAt = 0;  // play order; the oldest voice is taken when all are busy
    };

    platform::AudioBuffer buffer_ = platform::kNoAudioObject;
    std::vector<Voice> voices_;
    std::uint64_t plays_ = 0;
};

class StreamSound final : public Sound {
public:
    // Null when the bytes are no playable Ogg Vorbis stream or the device refuses its objects.
    static std::unique_ptr<StreamSound> Create(platform::AudioDevice& device, int id, SoundCategory category,
                                               std::vector<std::uint8_t> bytes);
    // Use Create: a sound made directly holds no device objects.
    StreamSound(platform::AudioDevice& device, int id, SoundCategory category)
        : Sound(device, id, category) {}
    ~StreamSound() override;

    bool Play(float volume, bool looping, float categoryGain) override;
    void Stop() override;
    bool IsPlaying() override;
    void ApplyGain(float categoryGain) override;
    int Refill() override;

private:
    // Decodes the next chunk into `buffer` and queues it; false at the end of a stream that does
    // not loop.
    bool FillAndQueue(platform::AudioBuffer buffer);
    // Moves completed buffers back to idle_, then decodes into idle buffers and queues them.
    void ReclaimQueued();
    int FillIdle();

    OggDecoder decoder_;
    platform::AudioSource source_ = platform::kNoAudioObject;
    std::vector<platform::AudioBuffer> buffers_;
    std::vector<platform::AudioBuffer> idle_;  // neither attached nor queued
    std::vector<std::uint8_t> chunk_;
    float volume_ = 1.0f;
    bool looping_ = false;
    bool active_ = false;    // playing or meant to play on
    bool finished_ = false;  // every sample of a non-looping play is queued
};
