#include "tests/physics/support/ProbeHash.h"

#include "engine/core/Lcg.h"
#include "physics/PhysicsFactory.h"
#include "tests/physics/support/Hash.h"

namespace physics::testing {

std::uint64_t SetUpHash() {
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
    Fnv1a hash;
    auto model = CreatePhysicsModel(kDefaultPhysicsModelId, 0, 3, false);
    Lcg lcg;
    lcg.Seed(7);
    for (int i = 0; i < 2000; ++i) {
        Ball& ball = model->GetBall(0);
        ball.spin = Vector3(F32::FromBits(lcg.Next() & 0x43FFFFFFu), F32::FromBits(lcg.Next() & 0xC3FFFFFFu),
                            F32::FromBits(lcg.Next() & 0x41FFFFFFu));
        ball.RandomizeOrientation(lcg.Next());
        hash.Add(ball.orientation.x.Bits());
        hash.Add(ball.orientation.w.Bits());
    }
    return hash.value;
}

}  // namespace physics::testing
