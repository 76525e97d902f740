// The candidate search that every ball-collision body shares: pairs in play that touch and
// approach, each reported once while it stays in contact. Pairs are tested in ascending
// (ia, ib) order, which the resolution and the repeated-event test rely on.
#include <bit>

#include "physics/PhysicsModel.h"

namespace physics {

void PhysicsModel::GatherCollisionCandidates(bool refreshTouchFlags, PairSearch search) {
    workCount_ = 0;
    const std::size_t count = balls_.size();
    if (count == 0) return;
    const Ball& b0 = *balls_[0];
    const F32 contact = St((b0.radiusCm + b0.radiusCm) + F32(0.1f));
    const F32 contact2 = St(contact * contact);
    std::vector<PhysicsEvent>& queue = PhysicsEventQueue();

    // The pair (ia < ib) of balls in play, not both at rest, nearer than `contact` along x and y.
    auto testPair = [&](std::size_t ia, Ball& a, std::size_t ib, Ball& b) {
        Vector3 d;
        Vec3Subtract(d, a.position, b.position);
        if (!(AbsF(d.x) < contact && AbsF(d.y) < contact && AbsF(d.z) < contact)) return;
        if (!((d.z * d.z + d.y * d.y) + d.x * d.x < contact2)) return;
        const F32 sa = St((d.z * a.velocity.z + d.y * a.velocity.y) + d.x * a.velocity.x);
        const F32 sb = St((d.z * b.velocity.z + d.y * b.velocity.y) + d.x * b.velocity.x);
        if (!(sb - sa > Ext(0.0f))) return;
        Vector3 n = d;
        n.Normalize();
        if (workCount_ >= workBuffer_.size()) workBuffer_.resize(workCount_ + 1);
        workBuffer_[workCount_++] =
            CollisionCandidate{static_cast<std::uint16_t>(ia), static_cast<std::uint16_t>(ib), n, F32(0.0f)};
        const F32 intensity = St(((n.z * b.velocity.z + n.y * b.velocity.y) + n.x * b.velocity.x) * b.mass -
                                 ((n.z * a.velocity.z + n.y * a.velocity.y) + n.x * a.velocity.x) * a.mass);
        const bool repeated = !queue.empty() && queue.back().type == EventType::BallCollision &&
                              queue.back().ballId == ia && queue.back().tag == ib;
        if (!repeated) {
            PhysicsEvent e;
            e.type = EventType::BallCollision;
            e.ballId = static_cast<std::uint16_t>(ia);
            e.intensity = intensity;
            e.vector[0] = St(-n.x);
            e.vector[1] = St(-n.y);
            e.vector[2] = St(-n.z);
            e.tag = static_cast<std::uint16_t>(ib);
            PushPhysicsEvent(e);
        }
        if (refreshTouchFlags) {
            a.RefreshTouchFlags();
            b.RefreshTouchFlags();
        }
    };

    if (!kFastPaths || count < BallPairSweep::kMinBalls || search == PairSearch::EveryPair) {
        for (std::size_t ia = 0; ia < count; ++ia) {
            Ball& a = *balls_[ia];
            if (a.outOfPlay != 0) continue;
            for (std::size_t ib = ia + 1; ib < count; ++ib) {
                Ball& b = *balls_[ib];
                if (b.outOfPlay != 0) continue;
                if (a.velocity.IsZero() && a.spin.IsZero() && a.cueActive == 0 && b.IsAtRest()) continue;
                // The chopped difference lies below `contact` exactly when the exact one does.
                if (!(AbsF(St(a.position.x - b.position.x)) < contact &&
                      AbsF(St(a.position.y - b.position.y)) < contact))
                    continue;
                testPair(ia, a, ib, b);
            }
        }
        return;
    }

    pairSweep_.Find(balls_, contact);
    for (std::size_t ia = 0; ia < count; ++ia) {
        std::uint64_t partners = pairSweep_.Partners(ia);
        if (partners == 0) continue;
        Ball& a = *balls_[ia];
        for (; partners != 0; partners &= partners - 1) {
            const auto ib = static_cast<std::size_t>(std::countr_zero(partners));
            testPair(ia, a, ib, *balls_[ib]);
        }
    }
}

}  // namespace physics
