#include "platform/sys/Clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {

std::uint64_t RealClock::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::uint64_t RealClock::NowUs() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void RealClock::SleepMs(std::uint32_t ms) {
    if (ms == 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

std::uint64_t VirtualClock::NowMs() {
    std::lock_guard lock(mutex_);
    return nowUs_ / 1000;
}

std::uint64_t VirtualClock::NowUs() {
    std::lock_guard lock(mutex_);
    return nowUs_;
}

void VirtualClock::SleepMs(std::uint32_t ms) {
    std::unique_lock lock(mutex_);
    if (ms == 0) {
        lock.unlock();
        std::this_thread::yield();
        return;
    }
    const std::uint64_t deadline = nowUs_ + std::uint64_t{ms} * 1000;
    changed_.wait(lock, [&] { return nowUs_ >= deadline; });
}

void VirtualClock::AdvanceUs(std::uint64_t us) {
    {
        std::lock_guard lock(mutex_);
        nowUs_ += us;
    }
    changed_.notify_all();
}

namespace {
RealClock gRealClock;
std::atomic<Clock*> gClock{&gRealClock};
}  // namespace

Clock& GetClock() {
    return *gClock.load(std::memory_order_acquire);
}

void SetClock(Clock* clock) {
    gClock.store(clock ? clock : &gRealClock, std::memory_order_release);
}

}  // namespace platform
