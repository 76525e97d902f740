#pragma once
// The one clock every time read goes through. Tests install a VirtualClock so that timers of
// seconds or minutes run in virtual time and never sleep for them.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start (like GetTickCount, but 64-bit).
    virtual std::uint64_t NowMs() = 0;
    // High-resolution counter in microseconds.
    virtual std::uint64_t NowUs() = 0;
    // Sleeps the calling thread; 0 yields the rest of its time slice.
    virtual void SleepMs(std::uint32_t ms) = 0;
};

class RealClock final : public Clock {
public:
    std::uint64_t NowMs() override;
    std::uint64_t NowUs() override;
    void SleepMs(std::uint32_t ms) override;
};

// Time moves only when Advance is called; sleepers wake when their deadline has passed.
class VirtualClock final : public Clock {
public:
    explicit VirtualClock(std::uint64_t startMs = 1000) : nowUs_(startMs * 1000) {}
    std::uint64_t NowMs() override;
    std::uint64_t NowUs() override;
    void SleepMs(std::uint32_t ms) override;
    void AdvanceMs(std::uint64_t ms) { AdvanceUs(ms * 1000); }
    void AdvanceUs(std::uint64_t us);

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::uint64_t nowUs_;
};

// The process clock; a RealClock unless a test installed another. The caller keeps ownership.
Clock& GetClock();
void SetClock(Clock* clock);  // nullptr restores the real clock

inline std::uint64_t NowMs() {
    return GetClock().NowMs();
}
inline void SleepMs(std::uint32_t ms) {
    GetClock().SleepMs(ms);
}

// Milliseconds from `startMs` to `nowMs`. Two threads' stamps may reach a comparison out of order
// (one read the clock, the other stamped a later start before the first compared): a start after
// now counts as no time waited instead of wrapping round to a huge age.
constexpr std::uint64_t ElapsedMs(std::uint64_t startMs, std::uint64_t nowMs) {
    return nowMs > startMs ? nowMs - startMs : 0;
}

}  // namespace platform
