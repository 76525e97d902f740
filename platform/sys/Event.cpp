#include "platform/sys/Event.h"

#include <chrono>

namespace platform {

void Event::Set() {
    {
        std::lock_guard lock(mutex_);
        set_ = true;
    }
    if (manual_)
        changed_.notify_all();
    else
        changed_.notify_one();
}

void Event::ResetEvent() {
    std::lock_guard lock(mutex_);
    set_ = false;
}

void Event::Wait() {
    WaitFor(kInfinite);
}

bool Event::WaitFor(std::uint32_t timeoutMs) {
    std::unique_lock lock(mutex_);
    auto ready = [&] { return set_; };
    if (timeoutMs == kInfinite)
        changed_.wait(lock, ready);
    else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready))
        return false;
    if (!manual_) set_ = false;
    return true;
}

bool Event::IsSet() const {
    std::lock_guard lock(mutex_);
    return set_;
}

}  // namespace platform
