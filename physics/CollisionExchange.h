#pragma once
// The steps of the ball-collision bodies that every form runs alike: the passes over the pairs, the
// spin of a contact point, the sliding-friction forces of a pair and the spin they turn.

#include <memory>
#include <vector>

#include "engine/core/Log.h"
#include "physics/Ball.h"
#include "physics/PhysicsConstants.h"
#include "physics/PhysicsModel.h"

namespace physics {

// Passes over the first `count` candidates until every pair has separated: `step(rec, a, b,
// negCount)` runs one slice of a pair of balls still touching and counts the pairs it sees
// separate. The count is
// compared as a `Count` (the forms of branch A compare its low 16 bits). Stops, logged, after
// kMaxCollisionPasses passes.
template <class Count, class Step>
void RunCollisionPasses(const std::vector<std::shared_ptr<Ball>>& balls, CollisionCandidate* candidates,
                        std::uint32_t count, Step step) {
    std::uint32_t negCount = 0;
    std::uint32_t passes = 0;
    while (static_cast<Count>(negCount) < count) {
        if (++passes > kMaxCollisionPasses) {
            LogWrite(u"physics: collision passes stopped after %u passes\n", kMaxCollisionPasses);
            break;
        }
        for (std::uint32_t i = 0; i < count; ++i) {
            CollisionCandidate& rec = candidates[i];
            if (rec.depth < F32(0.0f)) continue;
            step(rec, *balls[rec.a], *balls[rec.b], negCount);
        }
    }
}

// The normal step of a slice once the pair's depth is updated: counts the pair when it separated,
// drops (and counts) it when its depth is not finite, and pushes the balls apart along the normal
// by the impulse `imp`. False when the slice ends here: a dropped pair or a negative impulse.
inline bool PushApart(CollisionCandidate& rec, F32 imp, std::uint32_t& negCount, Vector3& va, Vector3& vb) {
    if (rec.depth < F32(0.0f)) {
        ++negCount;
    } else if (!IsFinite(rec.depth)) {
        // A value that is not finite never separates; drop the pair.
        rec.depth = F32(-1.0f);
        ++negCount;
        return false;
    }
    if (imp < F32(0.0f)) return false;
    const Vector3& n = rec.n;
    const Vector3 j(St(imp * n.x), St(imp * n.y), St(imp * n.z));
    va = Vector3(St(va.x + j.x), St(va.y + j.y), St(va.z + j.z));
    vb = Vector3(St(vb.x - j.x), St(vb.y - j.y), St(vb.z - j.z));
    return true;
}

// (n x spin) r per component as the bodies of 0x10000 and of branch B take it, the cross product stored
// before the lever.
Vector3 ContactSpin(const Vector3& w, const Vector3& n, F32 r);

// The friction forces of a sliding pair: `onA` is added to ball a, `fromB` taken from ball b;
// each is the ball's own slide against the other's, mixed by `mix`.
struct PairFriction {
    Vector3 onA, fromB;
};
PairFriction MixFriction(const Vector3& slideA, const Vector3& slideB, F32 mix);

// Turns the spins of a and b by (f x n) / inertia arm of the friction forces of `f`.
void TurnSpins(Ball& a, Ball& b, const PairFriction& f, const Vector3& n, F32 inertiaA, F32 inertiaB);

}  // namespace physics
