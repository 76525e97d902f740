#include "app/lib/SoundSequence.h"

SoundSequence& SoundSequence::Instance() {
    static SoundSequence instance;
    return instance;
}

void SoundSequence::SetOutput(SoundOutput* output) {
    platform::ScopedLock lock(lock_);
    output_ = output;
}

void SoundSequence::Enqueue(std::uint32_t id, std::uint32_t volume) {
    SoundOutput* playNow = nullptr;
    {
        platform::ScopedLock lock(lock_);
        if (queue_.empty()) playNow = output_;
        queue_.emplace_back(id, volume);
    }
    if (playNow) playNow->Play(id, volume);
}

void SoundSequence::Update() {
    std::pair<std::uint32_t, std::uint32_t> first;
    SoundOutput* output = nullptr;
    {
        platform::ScopedLock lock(lock_);
        if (queue_.empty() || !output_) return;
        first = queue_.front();
        output = output_;
    }
    // The sound system is asked outside the lock: it takes locks of its own.
    if (output->IsPlaying(first.first)) return;
    std::pair<std::uint32_t, std::uint32_t> next;
    {
        platform::ScopedLock lock(lock_);
        if (queue_.empty() || queue_.front() != first) return;
        queue_.pop_front();
        if (queue_.empty()) return;
        next = queue_.front();
    }
    output->Play(next.first, next.second);
}

std::size_t SoundSequence::Size() const {
    platform::ScopedLock lock(lock_);
    return queue_.size();
}

void SoundSequence::Clear() {
    platform::ScopedLock lock(lock_);
    queue_.clear();
}
