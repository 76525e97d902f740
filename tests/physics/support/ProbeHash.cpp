#include "tests/physics/support/ProbeHash.h"

#include "engine/core/Lcg.h"
#include "physics/PhysicsFactory.h"
#include "tests/physics/support/Hash.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {

// Both start from a fresh block: words a set-up leaves unwritten keep earlier values.
std::uint64_t SetUpHash() {
    ClearParamsForTesting();
    Fnv1a hash;
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id)
        for (std::uint32_t type = 0; type < kTableTypeCount; ++type) {
            auto model = CreatePhysicsModel(id, type, 3, false);
            for (std::uint32_t w : Params().Words()) hash.Add(w);
            for (std::uint32_t w : model->Geometry().Words()) hash.Add(w);
            model->GetBall(1).RandomizeOrientation(id * 31 + type);
            const Quaternion& q = model->GetBall(1).orientation;
            hash.Add(q.x.Bits());
            hash.Add(q.y.Bits());
            hash.Add(q.z.Bits());
            hash.Add(q.w.Bits());
        }
    return hash.value;
}

}  // namespace physics::testing

namespace physics::testing {

std::uint64_t ShotHash() {
    ClearParamsForTesting();
    Fnv1a hash;
    const std::vector<BallPlacement> balls = {
        {F32(-50.0f), F32(-7.0f), 1}, {F32(40.0f), F32(10.0f), 2}, {F32(20.0f), F32(-30.0f), 3}};
    ShotParams shot = DefaultShot();
    hash.Add(RunShot(MakeShot(kDefaultPhysicsModelId, 0, balls, F32(40.0f), F32(8.0f), shot)).hash);
    shot.offsetLimitSide = shot.tipOffsetSide = F32(0.2f);
    shot.offsetLimitVertical = shot.tipOffsetVertical = F32(-0.3f);
    shot.power = F32(1.0f);
    hash.Add(RunShot(MakeShot(kDefaultPhysicsModelId, 9, balls, F32(40.0f), F32(8.0f), shot)).hash);
    shot.elevation = F32(0.7f);
    hash.Add(RunShot(MakeShot(0x10012, 11, balls, F32(40.0f), F32(8.0f), shot)).hash);
    // One shot per mid strike form and rail generation.
    shot.elevation = F32(0.2f);
    hash.Add(RunShot(MakeShot(0x10007, 1, balls, F32(40.0f), F32(8.0f), shot)).hash);
    hash.Add(RunShot(MakeShot(0x1000B, 4, balls, F32(40.0f), F32(8.0f), shot)).hash);
    hash.Add(RunShot(MakeShot(0x1000F, 9, balls, F32(40.0f), F32(8.0f), shot)).hash);

    // Every model id once, on a carom or a pocket table by turns (MakeShot sets the history up).
    shot = DefaultShot();
    shot.offsetLimitSide = shot.tipOffsetSide = F32(0.1f);
    shot.offsetLimitVertical = shot.tipOffsetVertical = F32(-0.2f);
    shot.power = F32(0.3f);
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id) {
        const std::uint32_t table = id % 2 == 0 ? 0 : 1;
        hash.Add(RunShot(MakeShot(id, table, balls, F32(40.0f), F32(8.0f), shot)).hash);
    }

    // A rack of 16: the pair sweep and the side-by-side bed step run.
    std::vector<BallPlacement> rack = {{F32(-60.0f), F32(1.0f), 7}};
    for (int row = 0; rack.size() < 16; ++row)
        for (int j = 0; j <= row && rack.size() < 16; ++j)
            rack.push_back({F32(50.0f + static_cast<float>(row) * 4.98f),
                            F32((static_cast<float>(j) - static_cast<float>(row) * 0.5f) * 5.75f),
                            static_cast<std::uint32_t>(rack.size() + 1)});
    shot = DefaultShot();
    shot.power = F32(1.0f);
    ShotSpec rackShot = MakeShot(kDefaultPhysicsModelId, 1, rack, F32(60.0f), F32(0.5f), shot);
    rackShot.maxCalls = 1500;
    hash.Add(RunShot(rackShot).hash);
    return hash.value;
}

}  // namespace physics::testing
