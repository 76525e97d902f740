#pragma once
// Re-entrant critical section: the lock embedded in most shared objects.

#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform {

class CriticalSection {
public:
    CriticalSection() = default;
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

    void Enter();
    bool TryEnter();
    void Leave();

    // Nesting depth held by the owner; 0 when free.
    int UseCount() const { return useCount_.load(std::memory_order_relaxed); }
    // Id of the owning thread, or kNoOwner when free.
    std::uint64_t Owner() const { return owner_.load(std::memory_order_relaxed); }
    bool HeldByCurrentThread() const;

    static constexpr std::uint64_t kNoOwner = ~std::uint64_t{0};

private:
    std::recursive_mutex mutex_;
    std::atomic<int> useCount_{0};
    std::atomic<std::uint64_t> owner_{kNoOwner};
};

// Enters on construction, leaves on destruction: never an Enter without its Leave.
class ScopedLock {
public:
    explicit ScopedLock(CriticalSection& section) : section_(section) { section_.Enter(); }
    ~ScopedLock() { section_.Leave(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;

private:
    CriticalSection& section_;
};

// A small stable number for the calling thread (not the kernel tid; unique while the process runs).
std::uint64_t CurrentThreadId();

}  // namespace platform
