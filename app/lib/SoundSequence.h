#pragma once
// Sounds played one after another: the next starts when the one before it has ended. Scenes
// enqueue from the update and the dispatch threads; the update thread advances the queue.

#include <cstdint>
#include <deque>
#include <utility>

#include "platform/sys/CriticalSection.h"

// What the queue needs of the sound system.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    virtual void Play(std::uint32_t id, std::uint32_t volume) = 0;
    virtual bool IsPlaying(std::uint32_t id) = 0;
};

class SoundSequence {
public:
    // The process-wide queue (created on first use).
    static SoundSequence& Instance();

    // The sound system the queue plays on; nullptr while there is none (sounds are then dropped).
    void SetOutput(SoundOutput* output);

    // An empty queue plays the sound at once; the pair is appended either way.
    void Enqueue(std::uint32_t id, std::uint32_t volume);
    // When the first sound has ended, removes it and starts the next one.
    void Update();
    std::size_t Size() const;
    void Clear();

private:
    mutable platform::CriticalSection lock_;
    std::deque<std::pair<std::uint32_t, std::uint32_t>> queue_;
    SoundOutput* output_ = nullptr;
};
