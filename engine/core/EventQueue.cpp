#include "engine/core/EventQueue.h"

#include <new>

#include "engine/core/Log.h"

EventQueue::EventQueue(std::size_t capacity)
    : capacity_(capacity > 0 ? capacity : 1),
      pool_(sizeof(EventRecord), capacity_, capacity_),
      ring_(capacity_, nullptr) {}

EventQueue::~EventQueue() {
    // The pool releases its memory in one piece; records are trivial, so nothing else to undo.
}

bool EventQueue::Append(const EventRecord& record) {
    if (inUse_ >= capacity_) return false;
    void* memory = pool_.malloc();
    if (!memory) return false;
    ++inUse_;
    ring_[(head_ + count_) % capacity_] = new (memory) EventRecord(record);
    ++count_;
    return true;
}

bool EventQueue::Dropped(const EventRecord& record) {
    LogWrite(u"WARNING : event queue full, message %u (%u, %u, %u) dropped\n", record.code, record.a,
             record.b, record.c);
    return false;
}

bool EventQueue::Post(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const EventRecord record{code, a, b, c};
    {
        platform::ScopedLock guard(lock_);
        if (Append(record)) return true;
        ++dropped_;
    }
    return Dropped(record);
}

bool EventQueue::PostUnique(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    const EventRecord record{code, a, b, c};
    {
        platform::ScopedLock guard(lock_);
        for (std::size_t i = 0; i < count_; ++i) {
            if (*ring_[(head_ + i) % capacity_] == record) {
                ++coalesced_;
                return true;
            }
        }
        if (Append(record)) return true;
        ++dropped_;
    }
    return Dropped(record);
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

std::uint64_t EventQueue::CoalescedCount() const {
    platform::ScopedLock guard(lock_);
    return coalesced_;
}
