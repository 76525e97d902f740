#pragma once
// The engine's sound manager: sounds registered by id in three categories (effects, music, voice),
// each switched on or off and scaled by its own volume. Static sounds are WAV or Ogg Vorbis decoded
// whole; streams are Ogg Vorbis decoded as they play, refilled by the sound worker thread.
//
// Called from the main, update and dispatch threads; one lock guards the sounds, and the worker
// takes it for each refill. Nothing here blocks on the device or shows a box: a missing sound or
// an absent device makes Play return false.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "engine/core/EngineInterfaces.h"
#include "engine/sound/SoundConstants.h"
#include "platform/audio/AudioDevice.h"
#include "platform/sys/CriticalSection.h"
#include "platform/sys/Event.h"
#include "platform/sys/Thread.h"

class Sound;

class SoundManager final : public SoundManagerBase {
public:
    SoundManager();
    ~SoundManager() override;
    SoundManager(const SoundManager&) = delete;
    SoundManager& operator=(const SoundManager&) = delete;

    // Opens the device MARVENLOT_AUDIO chooses (see platform/Drivers.h) and starts the worker.
    bool Initialize() override;
    // Takes the given device; false for none.
    bool Initialize(std::unique_ptr<platform::AudioDevice> device);
    // Stops the worker, frees every sound and closes the device.
    void Shutdown();
    bool IsInitialized() const;
    // "openal", "null", or "" before Initialize.
    std::string BackendName() const;

    // Registers a static sound (RIFF WAVE PCM or Ogg Vorbis, told apart by their magic) that up to
    // `copies` plays at once. A sound already under the id is replaced. False on bad data, a bad
    // category or copy count, or no device.
    bool LoadStatic(int id, std::span<const std::uint8_t> bytes,
                    SoundCategory category = SoundCategory::Effects, int copies = 1);
    // Registers a stream of Ogg Vorbis (music). The bytes are kept and decoded as it plays.
    bool LoadStream(int id, std::vector<std::uint8_t> bytes, SoundCategory category = SoundCategory::Music);
    bool LoadStaticFile(int id, const std::string& path, SoundCategory category = SoundCategory::Effects,
                        int copies = 1);
    bool LoadStreamFile(int id, const std::string& path, SoundCategory category = SoundCategory::Music);
    // Frees a sound; false when none is registered under the id.
    bool Unload(int id);
    bool IsLoaded(int id) const;

    // Plays the sound at `volume` (0..1) times its category's volume. `reserved` is accepted for the
    // callers' sake and unused (every caller passes 0). False when the manager has no device, the
    // category is off or no sound is registered under the id.
    bool Play(int id, float volume, int reserved = 0, bool looping = false);
    bool PlayDefault(int id, bool looping = false) { return Play(id, 1.0f, 0, looping); }
    // Stops every copy of the sound.
    void Stop(int id);
    bool IsPlaying(int id);
    // Refreshes every sound: streams refill completed buffers and recover from a run-dry queue.
    // The update thread calls it every tenth tick.
    void Update();

    // Switching a category off silences what it plays and makes Play refuse its sounds; switching
    // it on brings looping sounds back at their volume.
    void SetCategoryEnabled(SoundCategory category, bool on);
    bool IsCategoryEnabled(SoundCategory category) const;
    // Stores a volume 0..1 (values outside are clamped, NaN ignored) and applies it when it differs
    // from the stored one.
    void SetCategoryVolume(SoundCategory category, float volume);
    float CategoryVolume(SoundCategory category) const;
    // Applies the category's volume (0 when off) to every sound of the category.
    void ApplyCategoryVolume(SoundCategory category);

    // Every successful Play writes "SOUND <id>" to the journal and then calls this observer with the
    // id, outside the manager's lock (sound recorders of tests).
    void SetPlayObserver(std::function<void(int id)> observer);

    // Refills every stream's completed buffers; what the worker thread runs. Returns the number of
    // buffers refilled.
    int RefillStreams();

    // The category of a channel number 0..2; false for any other number.
    static bool CategoryFromIndex(int index, SoundCategory& category);

private:
    struct CategoryState {
        bool enabled = true;
        float volume = 1.0f;
    };

    float GainLocked(SoundCategory category) const;
    bool RegisterLocked(std::unique_ptr<Sound> sound);
    void WorkerLoop();

    mutable platform::CriticalSection lock_;
    std::unique_ptr<platform::AudioDevice> device_;
    std::map<int, std::unique_ptr<Sound>> sounds_;
    std::array<CategoryState, kSoundCategoryCount> categories_{};
    std::function<void(int)> playObserver_;

    platform::Thread worker_;
    platform::Event wake_;
    std::atomic<bool> stopping_{false};
};
