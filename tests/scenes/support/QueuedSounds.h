#pragma once
// The process's queue of sounds played one after another, on a null sound device whose sounds end on
// a virtual clock: each sound given lasts the milliseconds given with it, and `played` records the
// sounds as they start.
#include <initializer_list>
#include <memory>
#include <utility>
#include <vector>

#include "engine/sound/SoundManager.h"
#include "engine/sound/SoundSequence.h"
#include "engine/sound/WavCodec.h"
#include "platform/audio/NullAudioDevice.h"
#include "platform/sys/Clock.h"

struct QueuedSounds {
    // Runs on `clock` when one is given (a fixture's, already in use), else on a clock of its own.
    explicit QueuedSounds(std::initializer_list<std::pair<int, int>> lengths,
                          platform::VirtualClock* clock = nullptr)
        : clock_(clock ? clock : &ownClock_) {
        if (!clock) platform::SetClock(&ownClock_);
        manager.Initialize(std::make_unique<platform::NullAudioDevice>());
        for (const auto& [id, ms] : lengths) manager.LoadStatic(id, GenerateToneWav(440.0f, ms));
        manager.SetPlayObserver([this](int id) { played.push_back(id); });
        SoundSequence::Instance().Clear();
        SoundSequence::Instance().SetSoundManager(&manager);
    }
    ~QueuedSounds() {
        SoundSequence::Instance().SetSoundManager(nullptr);
        SoundSequence::Instance().Clear();
        manager.Shutdown();
        if (clock_ == &ownClock_) platform::SetClock(nullptr);
    }
    // Lets `ms` pass, the queue advancing every 50 ms as the update thread advances it.
    void Pass(int ms) {
        for (int t = 0; t < ms; t += 50) {
            clock_->AdvanceMs(50);
            manager.Update();
            SoundSequence::Instance().Update();
        }
    }

    SoundManager manager;
    std::vector<int> played;

private:
    platform::VirtualClock ownClock_;
    platform::VirtualClock* clock_;
};
