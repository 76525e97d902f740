// Ball collisions of the base model (also of 0x10001-0x10004): each touching pair is a stiff
// spring over slices of 2 microseconds until it separates, with each ball's own mass, radius
// and inertia, and a sliding-friction exchange at the contact.
#include "physics/CollisionExchange.h"
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

constexpr F32 kSliceTime = F32(2e-6f);

}  // namespace

bool PhysicsModel::ResolveCollisions() {
    GatherCollisionCandidates(false);
    if (workCount_ > 0) {
        const ModelParams& mp = Params().model;
        const F32 mu = mp.ballFrictionA, mix = mp.ballCollisionC;
        const F32 hs = kSliceTime;
        RunCollisionPasses<std::uint32_t>(
            balls_, workBuffer_.data(), workCount_,
            [&](CollisionCandidate& rec, Ball& a, Ball& b, std::uint32_t& negCount) {
                const Vector3& n = rec.n;
                Vector3& va = a.velocity;
                Vector3& vb = b.velocity;
                const F32 rel =
                    St(((vb.y * n.y + vb.x * n.x) + n.z * vb.z) - ((va.y * n.y + va.x * n.x) + va.z * n.z));
                rec.depth = St(rel * hs + rec.depth);
                if (!IsFinite(rec.depth)) {
                    // A value that is not finite never separates; drop the pair.
                    rec.depth = F32(-1.0f);
                    ++negCount;
                    return;
                }

                // Normal step; a pair separating in this slice still gets its impulse once.
                const F32 force = St(rec.depth * 5000000.0f + rel * 0.0f);
                F32 ib = St(-(force / b.mass));
                const F32 fh = St(force * hs);
                F32 ia = St(force / a.mass);
                ia = St(ia * hs);
                ib = St(ib * hs);
                va = Vector3(St(va.x + St(ia * n.x)), St(va.y + St(ia * n.y)), St(va.z + St(ia * n.z)));
                vb = Vector3(St(vb.x + St(ib * n.x)), St(vb.y + St(ib * n.y)), St(vb.z + St(ib * n.z)));

                const F32 pa = St((va.y * n.y + va.x * n.x) + va.z * n.z);
                const Vector3 ta(St(va.x - pa * n.x), St(va.y - pa * n.y), St(va.z - pa * n.z));
                const F32 pb = St((vb.x * n.x + vb.z * n.z) + vb.y * n.y);
                const Vector3 tb(St(vb.x - pb * n.x), St(vb.y - pb * n.y), St(vb.z - pb * n.z));
                const Vector3 ca = ContactSpin(a.spin, n, a.radius);
                const Vector3 cb = ContactSpin(b.spin, n, b.radius);
                Vector3 slideA(St(ta.x - ca.x), St(ta.y - ca.y), St(ta.z - ca.z));
                Vector3 slideB(St(tb.x - cb.x), St(tb.y - cb.y), St(tb.z - cb.z));
                Vector3 glide(St(slideB.x + -slideA.x), St(slideB.y + -slideA.y), St(slideB.z + -slideA.z));
                F32 len;
                glide.Normalize(&len);
                const F32 limit = St(fh * mu);
                // Without sliding there is nothing to exchange (and the bound would divide by 0).
                if (limit * 3.5f < len && len > F32(0.0f)) {
                    const F32 k = St(limit / len);
                    slideA *= k;
                    slideB *= k;
                    const PairFriction f = MixFriction(slideA, slideB, mix);
                    va = Vector3(St(va.x + f.onA.x), St(va.y + f.onA.y), St(va.z + f.onA.z));
                    vb = Vector3(St(vb.x - f.fromB.x), St(vb.y - f.fromB.y), St(vb.z - f.fromB.z));
                    TurnSpins(a, b, f, n, a.inertiaArm, b.inertiaArm);
                }
                if (rec.depth < F32(0.0f)) ++negCount;
            });
    }
    return AllBallsRest();
}

}  // namespace physics
