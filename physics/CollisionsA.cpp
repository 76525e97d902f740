// Ball collisions and the rest test of branch A from 0x10005: each touching pair is a stiff spring
// over slices of 2e-6 s with a sliding-friction exchange, pair by pair until every pair has
// separated. The forms of 0x10005 (to 0x1000B) and of 0x1000C (on) differ in sum
// orders, the sign of ball b's spin term, an anisotropic friction bound and a velocity share.
#include "physics/CollisionExchange.h"
#include "physics/PhysicsModelA.h"

namespace physics {

bool PhysicsModelA::ResolveCollisions() {
    if (traits_.forms.collisions == CollisionForm::From10000) return PhysicsModel::ResolveCollisions();
    const bool third = traits_.forms.collisions == CollisionForm::From1000C;
    GatherCollisionCandidates();
    if (workCount_ > 0) {
        const Ball& b0 = *balls_[0];
        const F32 m0 = b0.mass, r0 = b0.radius, i0 = b0.inertiaArm;
        const ModelParams& mp = Params().model;
        const F32 mu = mp.ballFrictionA, muAcross = mp.ballFrictionB, mix = mp.ballCollisionC;
        const F32 share = traits_.collisionVelocityShare;
        const F32 hs(2e-6f);
        RunCollisionPasses<std::uint16_t>(
            balls_, workBuffer_.data(), workCount_,
            [&](CollisionCandidate& rec, Ball& a, Ball& b, std::uint32_t& negCount) {
                const Vector3& n = rec.n;
                Vector3& va = a.velocity;
                Vector3& vb = b.velocity;
                const F32 rel = third ? St(((vb.z * n.z + n.y * vb.y) + vb.x * n.x) -
                                           ((va.x * n.x + n.y * va.y) + va.z * n.z))
                                      : St(((n.z * vb.z + vb.x * n.x) + n.y * vb.y) -
                                           ((n.z * va.z + n.y * va.y) + va.x * n.x));
                rec.depth = St(rel * hs + rec.depth);
                const F32 imp = St(((rel * 0.0f + rec.depth * 5000000.0f) / m0) * hs);
                if (!PushApart(rec, imp, negCount, va, vb)) return;
                const F32 pa = third ? St((va.x * n.x + n.y * va.y) + va.z * n.z)
                                     : St((n.z * va.z + n.y * va.y) + va.x * n.x);
                const Vector3 pan(St(pa * n.x), St(pa * n.y), St(pa * n.z));
                const Vector3 ta(St(va.x - pan.x), St(va.y - pan.y), St(va.z - pan.z));
                const F32 pb = St((vb.z * n.z + vb.y * n.y) + vb.x * n.x);
                const Vector3 pbn(St(pb * n.x), St(pb * n.y), St(pb * n.z));
                const Vector3 tb(St(vb.x - pbn.x), St(vb.y - pbn.y), St(vb.z - pbn.z));
                const Vector3& wa = a.spin;
                const Vector3& wb = b.spin;
                const Vector3 ca(St(n.z * wa.y - wa.z * n.y), St(wa.z * n.x - n.z * wa.x),
                                 St(wa.x * n.y - wa.y * n.x));
                const Vector3 cb(St(n.z * wb.y - wb.z * n.y), St(wb.z * n.x - n.z * wb.x),
                                 St(wb.x * n.y - wb.y * n.x));
                Vector3 slideA(St(ta.x - St(r0 * ca.x)), St(ta.y - St(r0 * ca.y)), St(ta.z - St(r0 * ca.z)));
                Vector3 slideB = third ? Vector3(St(tb.x + St(r0 * cb.x)), St(tb.y + St(r0 * cb.y)),
                                                 St(tb.z + St(r0 * cb.z)))
                                       : Vector3(St(tb.x - St(r0 * cb.x)), St(tb.y - St(r0 * cb.y)),
                                                 St(tb.z - St(r0 * cb.z)));
                Vector3 gl(St(slideB.x + -slideA.x), St(slideB.y + -slideA.y), St(slideB.z + -slideA.z));
                F32 len;
                gl.Normalize(&len);
                F32 limit;
                if (third) {
                    // The bound is anisotropic: muAcross across the vertical plane of the pair
                    // normal, mu along it.
                    Vector3 across(St(n.y - n.z * 0.0f), St(n.z * 0.0f - n.x), St(n.x * 0.0f - n.y * 0.0f));
                    across.Normalize();
                    const F32 sp = St((gl.x * across.x + gl.z * across.z) + gl.y * across.y);
                    const Vector3 pp(St(sp * across.x), St(sp * across.y), St(sp * across.z));
                    const Vector3 qq(St(gl.x - pp.x), St(gl.y - pp.y), St(gl.z - pp.z));
                    const F32 qLen = SqrtDouble(St((qq.x * qq.x + qq.z * qq.z) + qq.y * qq.y));
                    const F32 pLen = SqrtDouble(St((pp.x * pp.x + pp.y * pp.y) + pp.z * pp.z));
                    const F32 aa = St(qLen * muAcross);
                    const F32 bb = St(pLen * mu);
                    const F32 mu2 = St(bb * bb + aa * aa);
                    const F32 muEff = mu2 > F32(0.0f) ? SqrtF(mu2) : F32(0.0f);
                    limit = St(muEff * imp);
                } else {
                    limit = St(imp * mu);
                }
                if (!(len > limit)) return;
                const F32 k = St(limit / len);
                slideA = Vector3(St(k * slideA.x), St(k * slideA.y), St(k * slideA.z));
                slideB = Vector3(St(k * slideB.x), St(k * slideB.y), St(k * slideB.z));
                const PairFriction f = MixFriction(slideA, slideB, mix);
                if (third) {
                    va = Vector3(St(va.x + share * f.onA.x), St(va.y + share * f.onA.y),
                                 St(va.z + share * f.onA.z));
                    vb = Vector3(St(vb.x - share * f.fromB.x), St(vb.y - share * f.fromB.y),
                                 St(vb.z - share * f.fromB.z));
                } else {
                    va = Vector3(St(va.x + f.onA.x), St(va.y + f.onA.y), St(va.z + f.onA.z));
                    vb = Vector3(St(vb.x - f.fromB.x), St(vb.y - f.fromB.y), St(vb.z - f.fromB.z));
                }
                TurnSpins(a, b, f, n, i0, i0);
            });
    }
    return AllBallsRest();
}

}  // namespace physics
