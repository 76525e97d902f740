#pragma once
// Manual- and auto-reset events with timed waits, as the threads of the system signal each other.

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

class Event {
public:
    enum class Reset { Auto, Manual };
    explicit Event(Reset reset = Reset::Auto, bool initiallySet = false)
        : manual_(reset == Reset::Manual), set_(initiallySet) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void ResetEvent();
    // Waits until set; an auto-reset event is cleared by the wait that takes it.
    void Wait();
    // Returns true when the event was set within timeoutMs (real time).
    bool WaitFor(std::uint32_t timeoutMs);
    bool IsSet() const;

    static constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    const bool manual_;
    bool set_;
};

}  // namespace platform
