// The candidate search that every ball-collision body shares: pairs in play that touch and
// approach, each reported once while it stays in contact.
#include "physics/PhysicsModel.h"

namespace physics {

void PhysicsModel::GatherCollisionCandidates(bool refreshTouchFlags) {
    workCount_ = 0;
    const std::size_t count = balls_.size();
    if (count == 0) return;
    const Ball& b0 = *balls_[0];
    const F32 contact = St((b0.radiusCm + b0.radiusCm) + 0.1f);
    const F32 contact2 = St(contact * contact);
    std::vector<PhysicsEvent>& queue = PhysicsEventQueue();

    for (std::size_t ia = 0; ia < count; ++ia) {
        Ball& a = *balls_[ia];
        if (a.outOfPlay != 0) continue;
        for (std::size_t ib = ia + 1; ib < count; ++ib) {
            Ball& b = *balls_[ib];
            if (b.outOfPlay != 0) continue;
            if (a.velocity.IsZero() && a.spin.IsZero() && a.cueActive == 0 && b.IsAtRest()) continue;
            // The chopped difference is below `contact` exactly when the difference is: test the
            // unstored one first, and store only for the pairs that pass.
            if (!(AbsE(a.position.x - b.position.x) < contact && AbsE(a.position.y - b.position.y) < contact))
                continue;
            Vector3 d;
            Vec3Subtract(d, a.position, b.position);
            if (!(AbsF(d.x) < contact && AbsF(d.y) < contact && AbsF(d.z) < contact)) continue;
            if (!((d.z * d.z + d.y * d.y) + d.x * d.x < contact2)) continue;
            const F32 sa = St((d.z * a.velocity.z + d.y * a.velocity.y) + d.x * a.velocity.x);
            const F32 sb = St((d.z * b.velocity.z + d.y * b.velocity.y) + d.x * b.velocity.x);
            if (!(sb - sa > Ext(0.0f))) continue;
            Vector3 n = d;
            n.Normalize();
            if (workCount_ >= workBuffer_.size()) workBuffer_.resize(workCount_ + 1);
            workBuffer_[workCount_++] = CollisionCandidate{static_cast<std::uint16_t>(ia),
                                                           static_cast<std::uint16_t>(ib), n, F32(0.0f)};
            const F32 intensity =
                St(((n.z * b.velocity.z + n.y * b.velocity.y) + n.x * b.velocity.x) * b.mass -
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
        }
    }
}

}  // namespace physics
