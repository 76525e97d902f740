#pragma once
// A bounded queue of pooled four-word records that one thread posts to and another drains: the
// application's user-interface and update queues, and a scene's own work queue.

#include <boost/pool/pool.hpp>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/sys/CriticalSection.h"

struct EventRecord {
    std::uint32_t code = 0;
    std::uint32_t a = 0;
    std::uint32_t b = 0;
    std::uint32_t c = 0;
};

class EventQueue {
public:
    static constexpr std::size_t kDefaultCapacity = 1024;
    // How long Post waits for a free record before it drops the message: kPostTries sleeps of
    // kPostRetrySleepMs each.
    static constexpr int kPostTries = 5000;
    static constexpr std::uint32_t kPostRetrySleepMs = 1;

    explicit EventQueue(std::size_t capacity = kDefaultCapacity);
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // Takes a record from the pool, stores the four words and appends it. When every record is in
    // use it retries (sleeping through the platform clock); false when none freed up in time, in
    // which case the message is dropped and a WARNING line logged.
    bool Post(std::uint32_t code, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0);
    // The oldest record, or nullptr when the queue is empty. The caller owns it until Free.
    EventRecord* Pop();
    // Returns a record obtained from Pop to the pool; nullptr is ignored.
    void Free(EventRecord* record);

    std::size_t Capacity() const { return capacity_; }
    // Records waiting in the queue.
    std::size_t Count() const;
    // Records taken from the pool (queued or popped and not yet freed).
    std::size_t InUse() const;
    // Messages dropped because the pool stayed empty.
    std::uint64_t DroppedCount() const;

private:
    EventRecord* TryPost(std::uint32_t code, std::uint32_t a, std::uint32_t b, std::uint32_t c);

    const std::size_t capacity_;
    mutable platform::CriticalSection lock_;
    boost::pool<> pool_;
    std::size_t inUse_ = 0;
    // Ring of queued records, oldest at head_; never longer than the pool.
    std::vector<EventRecord*> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::uint64_t dropped_ = 0;
};
