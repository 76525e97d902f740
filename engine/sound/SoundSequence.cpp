#include "engine/sound/SoundSequence.h"

#include "engine/sound/SoundManager.h"

using platform::ScopedLock;

SoundSequence& SoundSequence::Instance() {
    static SoundSequence sequence;
    return sequence;
}

void SoundSequence::SetSoundManager(SoundManager* manager) {
    ScopedLock lock(lock_);
    manager_ = manager;
}

void SoundSequence::PlayLocked(const Entry& entry) {
    if (manager_) manager_->Play(entry.id, entry.volume, 0, false);
}

void SoundSequence::Enqueue(int id, float volume) {
    ScopedLock lock(lock_);
    queue_.push_back(Entry{id, volume});
    if (queue_.size() == 1) PlayLocked(queue_.front());
}

void SoundSequence::Update() {
    ScopedLock lock(lock_);
    if (queue_.empty() || (manager_ && manager_->IsPlaying(queue_.front().id))) return;
    queue_.pop_front();
    if (!queue_.empty()) PlayLocked(queue_.front());
}

void SoundSequence::Clear() {
    ScopedLock lock(lock_);
    queue_.clear();
}

std::size_t SoundSequence::Size() const {
    ScopedLock lock(lock_);
    return queue_.size();
}
