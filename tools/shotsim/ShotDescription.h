#pragma once
// The shot description that shotsim reads (JSON), checked once where it enters.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "physics/PhysicsModel.h"

namespace shotsim {

struct BallSpec {
    physics::F32 x, y;
    std::optional<physics::F32> z;
    physics::F32 radiusCm, mass;
    std::optional<std::uint32_t> seed;
    std::optional<physics::Quaternion> orientation;
};

struct SetUpStep {
    std::uint32_t model;
    std::uint32_t table;
};

struct ShotDescription {
    std::uint32_t model = 0;
    std::uint32_t table = 0;
    std::optional<std::uint32_t> subSteps;
    std::uint32_t maxCalls = 24000;
    std::vector<SetUpStep> setup;
    std::vector<BallSpec> balls;
    std::uint16_t strikeBall = 0;
    physics::F32 aimX, aimY;
    physics::ShotParams shot;
};

// Parses and validates; on failure returns nothing and sets `error` to a one-line message.
std::optional<ShotDescription> ParseShotDescription(const std::string& text, std::string& error);

}  // namespace shotsim
