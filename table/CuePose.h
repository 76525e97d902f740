#pragma once
// The own aim as the other clients see it (message 2058): four aim values (yaw in degrees, the
// two tip offsets and the power drawn), the copy last sent and the time of the last check; the
// cue elevation travels as the fifth value.

#include <array>
#include <cstdint>

#include "net/Packet.h"

namespace table {

class CuePose {
public:
    static constexpr std::uint64_t kResendMs = 1000;

    void Set(float yawDegrees, float tipSide, float tipVertical, float power, float elevationDegrees) {
        values_ = {yawDegrees, tipSide, tipVertical, power};
        elevation_ = elevationDegrees;
    }
    const std::array<float, 4>& Values() const { return values_; }
    float Elevation() const { return elevation_; }

    // True, storing now, when more than a second passed since the stored time.
    bool IsResendDue(std::uint64_t nowMs);
    // True when any aim value differs from the copy last sent; else stores now and returns false.
    bool HasChanged(std::uint64_t nowMs);
    void MarkSent() { sent_ = values_; }
    void WriteMessage(net::Packet& packet) const;

private:
    std::array<float, 4> values_{};
    std::array<float, 4> sent_{};
    float elevation_ = 0;
    std::uint64_t checkTimeMs_ = 0;
};

// Another player's aim as message 2058 carries it: the five values in message order.
struct RemoteAim {
    float yawDegrees = 0, tipSide = 0, tipVertical = 0, power = 0, elevationDegrees = 0;
};
// False when a value is not a finite number or the body is short.
bool ReadRemoteAim(net::Packet& packet, std::array<std::uint32_t, 5>& values);
bool DecodeRemoteAim(const std::array<std::uint32_t, 5>& values, RemoteAim& aim);

}  // namespace table
