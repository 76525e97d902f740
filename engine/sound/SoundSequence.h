#pragma once
// The queue of sounds played one after another (announcements, warnings): a sound enqueued on an
// empty queue starts at once, and each later one starts when the one before it has ended. The
// update thread advances the queue every tenth tick; scenes enqueue from the update and the
// dispatch threads, so the queue has a lock of its own (taken before the sound manager's).

#include <cstddef>
#include <deque>

#include "platform/sys/CriticalSection.h"

class SoundManager;

class SoundSequence {
public:
    explicit SoundSequence(SoundManager* manager = nullptr) : manager_(manager) {}
    SoundSequence(const SoundSequence&) = delete;
    SoundSequence& operator=(const SoundSequence&) = delete;

    // The process-wide queue, created on first use.
    static SoundSequence& Instance();

    // The manager that plays the queue; the shell connects the engine's one (nullptr detaches).
    void SetSoundManager(SoundManager* manager);

    void Enqueue(int id, float volume);
    // When the first sound has ended, drops it and starts the next one.
    void Update();
    void Clear();
    std::size_t Size() const;

private:
    struct Entry {
        int id;
        float volume;
    };

    void PlayLocked(const Entry& entry);

    mutable platform::CriticalSection lock_;
    SoundManager* manager_;
    std::deque<Entry> queue_;
};
