// A wide regression anchor: every model of branch B on every table type with a varied shot, and full
// racks of 16 and 22 balls (many collisions; the 22 at 50 sub-steps). One hash over all of them,
// so that work on the speed of the physics cannot change a bit anywhere unnoticed.
#include <gtest/gtest.h>

#include "engine/core/Lcg.h"
#include "tests/physics/support/Hash.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

// A triangle rack in front of the cue ball, the balls almost touching.
std::vector<BallPlacement> Rack(int count, float spacing) {
    std::vector<BallPlacement> balls = {{F32(-60.0f), F32(1.0f), 7}};
    std::uint32_t seed = 2;
    for (int row = 0; static_cast<int>(balls.size()) < count; ++row)
        for (int j = 0; j <= row && static_cast<int>(balls.size()) < count; ++j)
            balls.push_back({F32(50.0f + static_cast<float>(row) * spacing * 0.8660254f),
                             F32((static_cast<float>(j) - static_cast<float>(row) * 0.5f) * spacing),
                             seed++});
    return balls;
}

TEST(GoldenSweep, LateModelsOnEveryTableAndFullRacks) {
    ClearParamsForTesting();
    Lcg lcg;
    lcg.Seed(777);
    auto uniform = [&lcg](float lo, float hi) {
        return F32(lo + (hi - lo) * static_cast<float>(lcg.Next() >> 8) / 16777216.0f);
    };
    Fnv1a hash;
    int shots = 0;
    for (std::uint32_t model = 0x10010; model <= 0x10014; ++model) {
        for (std::uint32_t table = 0; table < kTableTypeCount; ++table) {
            ShotParams s = DefaultShot();
            s.offsetLimitSide = s.tipOffsetSide = uniform(-0.7f, 0.7f);
            s.offsetLimitVertical = s.tipOffsetVertical = uniform(-0.7f, 0.7f);
            s.elevation = uniform(0.0f, 1.3f);
            s.power = uniform(0.05f, 1.0f);
            s.contactFactor = uniform(0.0f, 1.0f);
            s.limitFactor = uniform(0.0f, 1.0f);
            s.stiffnessFactor = uniform(0.0f, 1.0f);
            const std::vector<BallPlacement> balls = {{uniform(-100, 100), uniform(-50, 50), 1},
                                                      {uniform(-100, 100), uniform(-50, 50), 2},
                                                      {uniform(-100, 100), uniform(-50, 50), 3}};
            ShotSpec shotSpec =
                MakeShot(model, table, balls, uniform(-140.0f, 140.0f), uniform(-70.0f, 70.0f), s);
            shotSpec.maxCalls = 3000;
            const ShotResult r = RunShot(shotSpec);
            hash.Add(r.hash);
            hash.Add(r.calls);
            ++shots;
        }
    }
    struct RackShot {
        std::uint32_t model, table;
        int balls;
        std::uint32_t subSteps;
    };
    for (const RackShot& rack :
         {RackShot{0x10014, 1, 16, 0}, RackShot{0x10012, 9, 22, 50}, RackShot{0x10014, 0, 16, 0}}) {
        ShotParams s = DefaultShot();
        s.power = F32(1.0f);
        s.offsetLimitSide = s.tipOffsetSide = F32(0.1f);
        const bool pockets = rack.table != 0;
        ShotSpec shotSpec = MakeShot(rack.model, rack.table, Rack(rack.balls, pockets ? 5.75f : 6.2f),
                                     F32(60.0f), F32(0.5f), s);
        shotSpec.subSteps = rack.subSteps;
        shotSpec.maxCalls = 1500;
        const ShotResult r = RunShot(shotSpec);
        hash.Add(r.hash);
        hash.Add(r.calls);
        ++shots;
    }
    EXPECT_EQ(shots, 63);
    EXPECT_EQ(hash.value, 0x625d761bdc73b423ull) << std::hex << hash.value;
}

}  // namespace
}  // namespace physics::testing
