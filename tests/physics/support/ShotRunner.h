#pragma once
// Runs a shot the way the rules controller does (strike, then Simulate(0.005, subSteps, 1.0)
// each tick until rest) and records what the property tests look at.

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "physics/PhysicsFactory.h"

namespace physics::testing {

struct BallPlacement {
    F32 x, y;
    std::uint32_t seed = 1;
};

struct ShotSpec {
    std::uint32_t model = kDefaultPhysicsModelId;
    std::uint32_t table = 0;
    std::vector<BallPlacement> balls;
    std::uint16_t cueBall = 0;
    F32 aimX, aimY;
    ShotParams shot;
    std::uint32_t subSteps = 0;  // 0: 50 on carom tables, 15 on pocket tables
    std::uint32_t maxCalls = 24000;
    // Carom kind by default; pocket tables get the pool kind.
    F32 radiusCm, mass;
    // Set-ups (model, table type) run on a fresh parameter block before the shot, so that words
    // the shot's model leaves unwritten are the same in every process. Empty: the block as is.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> setup;
};

ShotParams DefaultShot();
// A shot with the vertical tip offset (and its limit) `vertical`, no side offset, limit factor 1.
ShotParams VerticalShot(float vertical, float power, float elevation);
// Places the balls and takes the ball kind of the table; the set-up history is the default model
// on the same table.
ShotSpec MakeShot(std::uint32_t model, std::uint32_t table, std::vector<BallPlacement> balls, F32 aimX,
                  F32 aimY, ShotParams shot);

struct CallRecord {
    std::vector<PhysicsEvent> events;
    std::vector<Ball> balls;
};

struct ShotResult {
    std::uint64_t hash = 0;
    std::uint32_t calls = 0;
    bool rest = false;
    bool allFinite = true;
    std::vector<PhysicsEvent> strikeEvents;
    std::vector<CallRecord> record;  // filled only when asked
    std::vector<Ball> final;
    std::uint32_t eventSevenCall = 0;
    // Keeps the table record that the copied balls point at.
    std::shared_ptr<PhysicsModel> model;
};

ShotResult RunShot(const ShotSpec& shotSpec, bool keepRecord = false,
                   const std::function<void(std::uint32_t call, PhysicsModel&)>& observer = {});

// Mirrors a shot about the long axis (y -> -y) or the short axis (x -> -x).
ShotSpec MirrorY(ShotSpec shotSpec);
ShotSpec MirrorX(ShotSpec shotSpec);

}  // namespace physics::testing
