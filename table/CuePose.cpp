#include "table/CuePose.h"

#include <cmath>
#include <cstring>

namespace table {

namespace {

std::uint32_t BitsOf(float f) {
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float FloatOf(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

}  // namespace

bool CuePose::IsResendDue(std::uint64_t nowMs) {
    if (nowMs - checkTimeMs_ <= kResendMs) return false;
    checkTimeMs_ = nowMs;
    return true;
}

bool CuePose::HasChanged(std::uint64_t nowMs) {
    // Compared as bits: the copy is what went out, and a NaN would never compare equal.
    for (std::size_t i = 0; i < values_.size(); ++i)
        if (BitsOf(values_[i]) != BitsOf(sent_[i])) return true;
    checkTimeMs_ = nowMs;
    return false;
}

void CuePose::WriteMessage(net::Packet& packet) const {
    packet.Init(net::MessageId::AimUpdate);
    for (float v : values_) packet.WriteU32(BitsOf(v));
    packet.WriteU32(BitsOf(elevation_));
}

bool ReadRemoteAim(net::Packet& packet, std::array<std::uint32_t, 5>& values) {
    std::array<std::uint32_t, 5> read{};
    for (auto& v : read) v = packet.U32();
    if (packet.IsBad()) return false;
    values = read;
    return true;
}

bool DecodeRemoteAim(const std::array<std::uint32_t, 5>& values, RemoteAim& aim) {
    RemoteAim a{FloatOf(values[0]), FloatOf(values[1]), FloatOf(values[2]), FloatOf(values[3]),
                FloatOf(values[4])};
    if (!std::isfinite(a.yawDegrees) || !std::isfinite(a.tipSide) || !std::isfinite(a.tipVertical) ||
        !std::isfinite(a.power) || !std::isfinite(a.elevationDegrees))
        return false;
    aim = a;
    return true;
}

}  // namespace table
