#include "platform/sys/CriticalSection.h"

namespace platform {

std::uint64_t CurrentThreadId() {
    static std::atomic<std::uint64_t> next{1};
    thread_local std::uint64_t id = next.fetch_add(1);
    return id;
}

void CriticalSection::Enter() {
    mutex_.lock();
    owner_.store(CurrentThreadId(), std::memory_order_relaxed);
    useCount_.fetch_add(1, std::memory_order_relaxed);
}

bool CriticalSection::TryEnter() {
    if (!mutex_.try_lock()) return false;
    owner_.store(CurrentThreadId(), std::memory_order_relaxed);
    useCount_.fetch_add(1, std::memory_order_relaxed);
    return true;
}

void CriticalSection::Leave() {
    if (useCount_.fetch_sub(1, std::memory_order_relaxed) == 1)
        owner_.store(kNoOwner, std::memory_order_relaxed);
    mutex_.unlock();
}

bool CriticalSection::HeldByCurrentThread() const {
    return owner_.load(std::memory_order_relaxed) == CurrentThreadId();
}

}  // namespace platform
