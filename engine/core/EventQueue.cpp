#include "engine/core/EventQueue.h"

#include <new>

#include "engine/core/Log.h"
#include "platform/sys/Clock.h"

EventQueue::EventQueue(std::size_t capacity)
    : capacity_(capacity > 0 ? capacity : 1),
      pool_(sizeof(EventRecord), capacity_, capacity_),
      ring_(capacity_, nullptr) {}

EventQueue::~EventQueue() {
    // The pool releases its memory in one piece; records are trivial, so nothing else to undo.
}

EventRecord* EventQueue::TryPost(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    platform::ScopedLock guard(lock_);
    if (inUse_ >= capacity_) return nullptr;
    void* memory = pool_.malloc();
    if (!memory) return nullptr;
    ++inUse_;
    auto* record = new (memory) EventRecord{code, a, b, c};
    ring_[(head_ + count_) % capacity_] = record;
    ++count_;
    return record;
}

bool EventQueue::Post(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    for (int attempt = 0; attempt < kPostTries; ++attempt) {
        if (TryPost(code, a, b, c)) return true;
        if (attempt + 1 < kPostTries) platform::SleepMs(kPostRetrySleepMs);
    }
    {
        platform::ScopedLock guard(lock_);
        ++dropped_;
    }
    LogWrite(u"WARNING : event queue full, message %u (%u, %u, %u) dropped\n", code, a, b, c);
    return false;
}

EventRecord* EventQueue::Pop() {
    platform::ScopedLock guard(lock_);
    if (count_ == 0) return nullptr;
    EventRecord* record = ring_[head_];
    ring_[head_] = nullptr;
    head_ = (head_ + 1) % capacity_;
    --count_;
    return record;
}

void EventQueue::Free(EventRecord* record) {
    if (!record) return;
    platform::ScopedLock guard(lock_);
    record->~EventRecord();
    pool_.free(record);
    --inUse_;
}

std::size_t EventQueue::Count() const {
    platform::ScopedLock guard(lock_);
    return count_;
}

std::size_t EventQueue::InUse() const {
    platform::ScopedLock guard(lock_);
    return inUse_;
}

std::uint64_t EventQueue::DroppedCount() const {
    platform::ScopedLock guard(lock_);
    return dropped_;
}
