#pragma once
// The high-resolution counter: ticks of the platform clock's microsecond counter, so that tests
// running on a virtual clock see virtual time here too.

#include <cstdint>

class HiResTimer {
public:
    static constexpr std::uint64_t kFrequency = 1'000'000;  // ticks per second

    std::uint64_t Frequency() const { return kFrequency; }
    std::uint64_t Counter() const;
    double Seconds() const { return static_cast<double>(Counter()) / static_cast<double>(kFrequency); }
    // Ticks since `start` (a Counter value), never negative if the clock was swapped meanwhile.
    std::uint64_t TicksSince(std::uint64_t start) const;
    double MillisecondsSince(std::uint64_t start) const {
        return static_cast<double>(TicksSince(start)) * 1000.0 / static_cast<double>(kFrequency);
    }
};

HiResTimer& GetHiResTimer();
