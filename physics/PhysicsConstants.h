#pragma once
// Ids, codes and limits of the ball physics.

#include <cstdint>

namespace physics {

constexpr std::uint32_t kFirstModelId = 0x10000;
constexpr std::uint32_t kLastModelId = 0x10014;
constexpr std::uint32_t kDefaultPhysicsModelId = 0x10014;

constexpr std::uint32_t kTableTypeCount = 12;
// The games use at most 22 balls; counts from records or peers are capped here.
constexpr std::uint16_t kMaxBallCount = 64;

// Guards against endless loops on input that is not finite; far above any finite shot.
constexpr std::uint32_t kMaxStrikeSlices = 1000000;
constexpr std::uint32_t kMaxCollisionPasses = 100000;

enum class EventType : std::uint32_t {
    BallCollision = 0,
    Cushion = 1,
    PocketZone = 2,
    RailTop = 3,
    BedImpact = 4,
    PocketJaw = 5,
    PocketDrop = 6,
    CueContactEnd = 7,
    Miscue = 8,
    BedRest = 13,
};

// Rail bits of Ball::railContact and of cushion events.
enum RailBit : std::uint8_t {
    kRailLowX = 1,
    kRailHighX = 2,
    kRailLowY = 4,
    kRailHighY = 8,
};

}  // namespace physics
