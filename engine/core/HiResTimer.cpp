#include "engine/core/HiResTimer.h"

#include "platform/sys/Clock.h"

std::uint64_t HiResTimer::Counter() const {
    return platform::GetClock().NowUs();
}

std::uint64_t HiResTimer::TicksSince(std::uint64_t start) const {
    const std::uint64_t now = Counter();
    return now > start ? now - start : 0;
}

HiResTimer& GetHiResTimer() {
    static HiResTimer timer;
    return timer;
}
