#include "engine/sound/SoundManager.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "engine/core/Log.h"
#include "engine/sound/OggDecoder.h"
#include "engine/sound/Sound.h"
#include "engine/sound/WavCodec.h"
#include "platform/Drivers.h"
#include "platform/sys/Journal.h"
#include "platform/sys/RegularFile.h"

using platform::ScopedLock;

namespace {

int Index(SoundCategory category) {
    return static_cast<int>(category);
}
bool Valid(SoundCategory category) {
    return Index(category) >= 0 && Index(category) < kSoundCategoryCount;
}

bool ReadSoundFile(int id, const std::string& path, std::vector<std::uint8_t>& bytes) {
    int error = 0;
    if (platform::ReadRegularFile(path, bytes, error)) return true;
    LogWrite(u"SOUND %d : cannot read %s (%s)\n", id, FromUtf8(path),
             FromUtf8(platform::FileErrorText(error)));
    return false;
}

bool LooksLikeOgg(std::span<const std::uint8_t> bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0;
}

}  // namespace

SoundManager::SoundManager() = default;

SoundManager::~SoundManager() {
    Shutdown();
}

bool SoundManager::CategoryFromIndex(int index, SoundCategory& category) {
    if (index < 0 || index >= kSoundCategoryCount) return false;
    category = static_cast<SoundCategory>(index);
    return true;
}

bool SoundManager::Initialize() {
    std::string unopened;
    std::unique_ptr<platform::AudioDevice> device = platform::OpenAudioDevice(&unopened);
    if (!unopened.empty()) {
        // One line of the client's own where the sound libraries, kept quiet, would write a dozen.
        std::fprintf(stderr, "marvenlot: %s; the game goes on without sound\n", unopened.c_str());
        LogWrite(u"WARNING : %s; the game goes on without sound\n", FromUtf8(unopened));
    }
    return Initialize(std::move(device));
}

bool SoundManager::Initialize(std::unique_ptr<platform::AudioDevice> device) {
    if (!device) return false;
    Shutdown();
    {
        ScopedLock lock(lock_);
        device_ = std::move(device);
        LogWrite(u"Sound device : %s\n", FromUtf8(device_->BackendName()));
    }
    stopping_ = false;
    worker_.Start("SoundWorker", [this] { WorkerLoop(); });
    return true;
}

void SoundManager::Shutdown() {
    stopping_ = true;
    wake_.Set();
    worker_.Join();
    ScopedLock lock(lock_);
    sounds_.clear();  // every sound frees its sources and buffers before the device closes
    device_.reset();
}

bool SoundManager::IsInitialized() const {
    ScopedLock lock(lock_);
    return device_ != nullptr;
}

std::string SoundManager::BackendName() const {
    ScopedLock lock(lock_);
    return device_ ? device_->BackendName() : "";
}

void SoundManager::WorkerLoop() {
    while (!stopping_) {
        wake_.WaitFor(kSoundWorkerPeriodMs);
        if (stopping_) break;
        RefillStreams();
    }
}

float SoundManager::GainLocked(SoundCategory category) const {
    const CategoryState& state = categories_[Index(category)];
    return state.enabled ? state.volume : 0.0f;
}

bool SoundManager::RegisterLocked(std::unique_ptr<Sound> sound) {
    if (!sound) return false;
    const int id = sound->Id();
    sounds_[id] = std::move(sound);
    return true;
}

bool SoundManager::LoadStatic(int id, std::span<const std::uint8_t> bytes, SoundCategory category,
                              int copies) {
    if (!Valid(category) || copies < 1 || copies > kMaxSoundCopies) {
        LogWrite(u"SOUND %d : bad category or copy count %d\n", id, copies);
        return false;
    }
    // Decode outside the lock: a long Ogg takes a while and others may be playing meanwhile.
    PcmSound pcm;
    std::string error;
    const bool decoded = LooksLikeOgg(bytes) ? DecodeOgg(bytes, pcm, &error) : ParseWav(bytes, pcm, &error);
    if (!decoded) {
        LogWrite(u"SOUND %d : %s\n", id, FromUtf8(error));
        return false;
    }
    ScopedLock lock(lock_);
    if (!device_) return false;
    sounds_.erase(id);
    return RegisterLocked(StaticSound::Create(*device_, id, category, pcm, copies));
}

bool SoundManager::LoadStream(int id, std::vector<std::uint8_t> bytes, SoundCategory category) {
    if (!Valid(category)) return false;
    ScopedLock lock(lock_);
    if (!device_) return false;
    sounds_.erase(id);
    return RegisterLocked(StreamSound::Create(*device_, id, category, std::move(bytes)));
}

bool SoundManager::LoadStaticFile(int id, const std::string& path, SoundCategory category, int copies) {
    std::vector<std::uint8_t> bytes;
    if (!ReadSoundFile(id, path, bytes)) return false;
    return LoadStatic(id, bytes, category, copies);
}

bool SoundManager::LoadStreamFile(int id, const std::string& path, SoundCategory category) {
    std::vector<std::uint8_t> bytes;
    if (!ReadSoundFile(id, path, bytes)) return false;
    return LoadStream(id, std::move(bytes), category);
}

bool SoundManager::Unload(int id) {
    ScopedLock lock(lock_);
    return sounds_.erase(id) > 0;
}

bool SoundManager::IsLoaded(int id) const {
    ScopedLock lock(lock_);
    return sounds_.count(id) > 0;
}

bool SoundManager::Play(int id, float volume, int /*reserved*/, bool looping) {
    std::function<void(int)> observer;
    {
        ScopedLock lock(lock_);
        if (!device_) return false;
        auto it = sounds_.find(id);
        if (it == sounds_.end()) return false;
        const SoundCategory category = it->second->Category();
        if (!categories_[Index(category)].enabled) return false;
        if (std::isnan(volume)) volume = 1.0f;
        if (!it->second->Play(std::clamp(volume, 0.0f, 1.0f), looping, GainLocked(category))) return false;
        observer = playObserver_;
    }
    platform::JournalSound(id);
    if (observer) observer(id);
    return true;
}

void SoundManager::Stop(int id) {
    ScopedLock lock(lock_);
    auto it = sounds_.find(id);
    if (it != sounds_.end()) it->second->Stop();
}

bool SoundManager::IsPlaying(int id) {
    ScopedLock lock(lock_);
    auto it = sounds_.find(id);
    return it != sounds_.end() && it->second->IsPlaying();
}

void SoundManager::Update() {
    RefillStreams();
}

int SoundManager::RefillStreams() {
    ScopedLock lock(lock_);
    int refilled = 0;
    for (auto& [id, sound] : sounds_) refilled += sound->Refill();
    return refilled;
}

void SoundManager::SetCategoryEnabled(SoundCategory category, bool on) {
    if (!Valid(category)) return;
    ScopedLock lock(lock_);
    categories_[Index(category)].enabled = on;
    ApplyCategoryVolume(category);
}

bool SoundManager::IsCategoryEnabled(SoundCategory category) const {
    if (!Valid(category)) return false;
    ScopedLock lock(lock_);
    return categories_[Index(category)].enabled;
}

void SoundManager::SetCategoryVolume(SoundCategory category, float volume) {
    if (!Valid(category) || std::isnan(volume)) return;
    volume = std::clamp(volume, 0.0f, 1.0f);
    ScopedLock lock(lock_);
    CategoryState& state = categories_[Index(category)];
    if (std::fabs(state.volume - volume) < kSoundVolumeEpsilon) return;
    state.volume = volume;
    ApplyCategoryVolume(category);
}

float SoundManager::CategoryVolume(SoundCategory category) const {
    if (!Valid(category)) return 0.0f;
    ScopedLock lock(lock_);
    return categories_[Index(category)].volume;
}

void SoundManager::ApplyCategoryVolume(SoundCategory category) {
    if (!Valid(category)) return;
    ScopedLock lock(lock_);
    const float gain = GainLocked(category);
    for (auto& [id, sound] : sounds_) {
        if (sound->Category() == category) sound->ApplyGain(gain);
    }
}

void SoundManager::SetPlayObserver(std::function<void(int id)> observer) {
    ScopedLock lock(lock_);
    playObserver_ = std::move(observer);
}
