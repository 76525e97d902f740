#pragma once
// A bounded queue of pooled four-word records that one thread posts to and another drains: the
// application's user-interface and update queues.
//
// Posting never waits. Posters hold locks that the draining thread needs (a scene's widget lock
// around every call into the scene) or are the draining thread itself, so a poster that waited for
// a free record could wait on the very thread it blocks. A full queue drops the message instead:
// counted, with a WARNING line (the log limits its rate).

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

    bool operator==(const EventRecord&) const = default;
};

class EventQueue {
public:
    static constexpr std::size_t kDefaultCapacity = 1024;

    explicit EventQueue(std::size_t capacity = kDefaultCapacity);
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // Takes a record from the pool, stores the four words and appends it. When every record is in
    // use the message is dropped at once: false, counted and logged.
    bool Post(std::uint32_t code, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0);
    // Like Post, but a message equal in all four words to one still waiting in the queue is not
    // added again (true): for notices whose handler reads the latest state anyway. A record
    // already popped does not count, so a notice posted while its handler runs is delivered again.
    bool PostUnique(std::uint32_t code, std::uint32_t a = 0, std::uint32_t b = 0, std::uint32_t c = 0);
    // The oldest record, or nullptr when the queue is empty. The caller owns it until Free.
    EventRecord* Pop();
    // Returns a record obtained from Pop to the pool; nullptr is ignored.
    void Free(EventRecord* record);

    std::size_t Capacity() const { return capacity_; }
    // Records waiting in the queue.
    std::size_t Count() const;
    // Records taken from the pool (queued or popped and not yet freed).
    std::size_t InUse() const;
    // Messages dropped because the pool was empty.
    std::uint64_t DroppedCount() const;
    // Messages PostUnique folded into one already waiting.
    std::uint64_t CoalescedCount() const;

private:
    // Under lock_: appends the record, or false when the pool is empty.
    bool Append(const EventRecord& record);
    bool Dropped(const EventRecord& record);

    const std::size_t capacity_;
    mutable platform::CriticalSection lock_;
    boost::pool<> pool_;
    std::size_t inUse_ = 0;
    // Ring of queued records, oldest at head_; never longer than the pool.
    std::vector<EventRecord*> ring_;
    std::size_t head_ = 0;
    std::size_t count_ = 0;
    std::uint64_t dropped_ = 0;
    std::uint64_t coalesced_ = 0;
};
