#include "app/lib/FrameTimer.h"

#include "platform/sys/Clock.h"

FrameTimer::FrameTimer() {
    update_.frequency = render_.frequency = Frequency();
    Reset();
}

std::uint64_t FrameTimer::Sample() const {
    platform::Clock& clock = platform::GetClock();
    return useCounter_ ? clock.NowUs() : clock.NowMs();
}

void FrameTimer::RecomputePeriod(Channel& channel) {
    const std::int32_t rate = channel.targetRate > 0 ? channel.targetRate : 1;
    channel.period = channel.frequency / static_cast<std::uint64_t>(rate);
    if (channel.period == 0) channel.period = 1;
}

void FrameTimer::Reset() {
    const std::uint64_t now = Sample();
    for (Channel* channel : {&update_, &render_}) {
        channel->measuredRate = 0;
        channel->tickCount = 0;
        channel->tickCountAtMeasure = 0;
        channel->current = now;
        channel->lastTick = channel->lastMeasure = now;
        RecomputePeriod(*channel);
    }
}

void FrameTimer::UseMilliseconds() {
    useCounter_ = false;
    update_.frequency = render_.frequency = 1000;
}

void FrameTimer::SetRate(Channel& channel, std::int32_t rate) {
    channel.targetRate = rate;
    channel.measureInterval = 1;
    RecomputePeriod(channel);
}

void FrameTimer::Restart(Channel& channel) {
    channel.frequency = Frequency();
    channel.current = Sample();
    channel.lastTick = channel.lastMeasure = channel.current;
    RecomputePeriod(channel);
}

bool FrameTimer::IsDue(Channel& channel) {
    const std::uint64_t current = Sample();
    channel.current = current;
    if (current - channel.lastTick < channel.period) return false;

    ++channel.tickCount;
    const std::uint32_t ticks = channel.tickCount - channel.tickCountAtMeasure;
    if (static_cast<std::int64_t>(ticks) >= channel.measureInterval) {
        const std::uint64_t elapsed = current - channel.lastMeasure;
        // Ticks of a catch-up burst share one counter value; with nothing elapsed there is no rate.
        if (elapsed > 0) {
            const float perTick = static_cast<float>(elapsed) / static_cast<float>(ticks);
            channel.measuredRate =
                static_cast<std::int32_t>(static_cast<float>(channel.frequency) / perTick + 0.5f);
            channel.tickCountAtMeasure = channel.tickCount;
            channel.lastMeasure = current;
            channel.measureInterval =
                (channel.measuredRate > channel.targetRate ? channel.targetRate : channel.measuredRate) / 2;
        }
    }

    if (channel.lastTick + 5 * channel.period >= current) {
        channel.lastTick += channel.period;
    } else {
        // Far behind: keep about four ticks of the backlog and drop the rest.
        channel.lastTick = current - 4 * channel.period - (current - channel.lastTick) % channel.period;
    }
    return true;
}

std::uint32_t FrameTimer::DueInMs(const Channel& channel) const {
    const std::uint64_t now = Sample();
    const std::uint64_t due = channel.lastTick + channel.period;
    if (now >= due) return 0;
    const std::uint64_t frequency = channel.frequency > 0 ? channel.frequency : 1;
    return static_cast<std::uint32_t>(((due - now) * 1000 + frequency - 1) / frequency);
}

std::uint64_t FrameTimer::GetTimeMs() const {
    return static_cast<std::uint64_t>(static_cast<double>(update_.current.load()) * 1000.0 /
                                      static_cast<double>(Frequency()));
}

std::uint64_t FrameTimer::GetTime100us() const {
    return static_cast<std::uint64_t>(static_cast<double>(update_.current.load()) * 10000.0 /
                                      static_cast<double>(Frequency()));
}
