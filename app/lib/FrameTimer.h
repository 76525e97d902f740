#pragma once
// Two-channel fixed-rate timer: channel A paces the update ticks, channel B the rendered frames.
// Time is read through platform::GetClock(), so tests drive it with a VirtualClock.

#include <atomic>
#include <cstdint>

class FrameTimer {
public:
    FrameTimer();
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    void Reset();
    // Counts in milliseconds instead of the microsecond counter.
    void UseMilliseconds();
    void SetUpdateRate(std::int32_t rate) { SetRate(update_, rate); }
    void SetRenderRate(std::int32_t rate) { SetRate(render_, rate); }
    void RestartUpdate() { Restart(update_); }
    void RestartRender() { Restart(render_); }
    // True when a tick of the channel is due; the call advances the channel.
    bool IsUpdateDue() { return IsDue(update_); }
    bool IsRenderDue() { return IsDue(render_); }
    // Milliseconds, rounded up, until the channel's next tick falls due; 0 when one is due now.
    // Read by the channel's own thread, which sleeps that long.
    std::uint32_t UpdateDueInMs() const { return DueInMs(update_); }
    std::uint32_t RenderDueInMs() const { return DueInMs(render_); }

    // Channel A's last sampled counter, in milliseconds and in units of 0.1 ms (any thread).
    std::uint64_t GetTimeMs() const;
    std::uint64_t GetTime100us() const;

    std::uint32_t UpdateTickCount() const { return update_.tickCount; }
    std::uint32_t RenderTickCount() const { return render_.tickCount; }
    std::int32_t MeasuredUpdateRate() const { return update_.measuredRate; }

private:
    struct Channel {
        std::int32_t measuredRate = 0;
        std::uint32_t tickCount = 0;
        std::uint32_t tickCountAtMeasure = 0;
        std::int32_t targetRate = 85;
        std::int32_t measureInterval = 42;
        std::uint64_t frequency = 1'000'000;
        std::atomic<std::uint64_t> current{0};  // read by the render step on the main thread
        std::uint64_t lastTick = 0;
        std::uint64_t lastMeasure = 0;
        std::uint64_t period = 0;
    };

    std::uint64_t Sample() const;
    std::uint64_t Frequency() const { return useCounter_ ? 1'000'000 : 1000; }
    void SetRate(Channel& channel, std::int32_t rate);
    void Restart(Channel& channel);
    bool IsDue(Channel& channel);
    std::uint32_t DueInMs(const Channel& channel) const;
    static void RecomputePeriod(Channel& channel);

    bool useCounter_ = true;
    Channel update_;
    Channel render_;
};
