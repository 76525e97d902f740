// Branch B's cushion impulse, ball collisions and the wiring of their rail contact.
#include "physics/CollisionExchange.h"
#include "physics/PhysicsModelB.h"
#include "physics/RailTouch.h"

namespace physics {

void PhysicsModelB::CollideRails(Ball& ball, F32 dt) {
    CollideRailsShared(ball, dt, RailForm::From10010);
}

bool PhysicsModelB::CollideRailZone(Vector3& position, const Vector3&, F32 radiusCm, Vector3& normal,
                                    RailZoneState& state, std::uint8_t railMask) {
    return CollideRailZoneShared(position, radiusCm, normal, state, railMask, RailZoneForm::From10010);
}

bool PhysicsModelB::RailImpulse(Vector3& v, Vector3& w, Vector3& rv, const CushionContact& c) {
    const Vector3& u = c.direction;
    const TableParams& p = *c.params;
    const F32 h = c.horizontalLength;
    const F32 ia = c.inertiaArm;

    const CushionFrame frame = MakeCushionFrame(c);
    const Vector3& e = frame.e;
    const Vector3& s = frame.s;
    const F32 a1 = e.y, a2 = e.x;

    const F32 lever = St(c.radius - ((u.x * rv.x + rv.z * u.z) + u.y * rv.y) * railLeverShare);
    const F32 k = St(lever / ia + F32(1.0f));

    const F32 vn = St((u.y * v.y + v.x * u.x) + v.z * u.z);
    const Vector3 vnu(St(vn * u.x), St(vn * u.y), St(vn * u.z));
    const Vector3 vt(St(v.x - vnu.x), St(v.y - vnu.y), St(v.z - vnu.z));

    Vector3 cp;
    cp.z = St(u.y * w.x - u.x * w.y);
    cp.y = St(u.x * w.z - w.x * u.z);
    cp.x = St(w.y * u.z - u.y * w.z);
    cp = Vector3(St(cp.x * lever), St(cp.y * lever), St(cp.z * lever));
    const F32 cn = St((cp.x * u.x + cp.z * u.z) + cp.y * u.y);
    const Vector3 cnu(St(cn * u.x), St(cn * u.y), St(cn * u.z));
    const Vector3 ct(St(cp.x - cnu.x), St(cp.y - cnu.y), St(cp.z - cnu.z));

    const Vector3 nn(St(vnu.x - cnu.x), St(vnu.y - cnu.y), St(vnu.z - cnu.z));
    const Vector3 tt(St(vt.x - ct.x), St(vt.y - ct.y), St(vt.z - ct.z));
    const Vector3 surface(St(tt.x + nn.x), St(tt.y + nn.y), St(tt.z + nn.z));

    auto deform = [&](F32 tc, F32 nc) {
        F32 q = DivF(tc, k);
        q = St(q + nc);
        return St(q * c.dtStep);
    };
    const Vector3 dd(deform(tt.x, nn.x), deform(tt.y, nn.y), deform(tt.z, nn.z));
    rv = Vector3(St(rv.x - dd.x), St(rv.y - dd.y), St(rv.z - dd.z));

    const F32 rn = St((rv.y * u.y + rv.z * u.z) + rv.x * u.x);
    if (rn < F32(0.0f)) return false;

    Vector3 rhat = rv;
    rhat.Normalize();
    const F32 sr = St((rhat.y * surface.y + rhat.z * surface.z) + surface.x * rhat.x);
    auto force = [&](F32 rc, F32 hc) {
        const F32 srh = St(sr * hc);
        const F32 spring = St(p.cushionStiffness * rc);
        const F32 damping = St(p.cushionParamA * srh);
        const F32 diff = St(spring - damping);
        return DivF(diff, c.mass);
    };
    const Vector3 a(force(rv.x, rhat.x), force(rv.y, rhat.y), force(rv.z, rhat.z));

    const F32 an = St((a.y * u.y + a.z * u.z) + a.x * u.x);
    if (an < F32(0.0f)) return true;

    const Vector3 anu(St(an * u.x), St(an * u.y), St(an * u.z));
    const Vector3 at(St(a.x - anu.x), St(a.y - anu.y), St(a.z - anu.z));
    const F32 pn = St(anu.Length() + anu.Length());
    const F32 qt = at.Length();

    const F32 rn2 = St((u.x * rv.x + rv.z * u.z) + u.y * rv.y);
    const Vector3 rt(St(rv.x - St(rn2 * u.x)), St(rv.y - St(rn2 * u.y)), St(rv.z - St(rn2 * u.z)));
    Vector3 glide;
    if ((pn * p.railParamA) * k < qt) {
        const F32 q1 = St((rt.x * s.x + rt.y * s.y) + rt.z * s.z);
        glide = Vector3(St(glide.x + St(q1 * s.x)), St(glide.y + St(q1 * s.y)), St(glide.z + St(q1 * s.z)));
    }
    if ((pn * p.railParamB) * k < qt) {
        const F32 q2 = St((rt.x * a2 + rt.y * a1) + rt.z * h);
        glide = Vector3(St(glide.x + St(q2 * e.x)), St(glide.y + St(q2 * e.y)), St(glide.z + St(q2 * e.z)));
    }
    rv.x = St(rv.x - glide.x);
    rv.y = St(rv.y - glide.y);
    rv.z = St(rv.z - glide.z);

    const Vector3 dv(St(a.x * c.dtStep), St(a.y * c.dtStep), St(a.z * c.dtStep));
    const F32 dvn = St((dv.y * u.y + dv.z * u.z) + dv.x * u.x);
    const Vector3 dvnu(St(dvn * u.x), St(dvn * u.y), St(dvn * u.z));
    const Vector3 ww(DivF(St(dv.x - dvnu.x), k), DivF(St(dv.y - dvnu.y), k), DivF(St(dv.z - dvnu.z), k));
    v.x = St(St(ww.x + dvnu.x) + v.x);
    v.y = St(St(ww.y + dvnu.y) + v.y);
    v.z = St(St(ww.z + dvnu.z) + v.z);

    const Vector3 g(DivF(ww.x, ia), DivF(ww.y, ia), DivF(ww.z, ia));
    Vector3 turn;
    Vec3Cross(turn, g, u);
    w.x = St(w.x + turn.x);
    w.y = St(w.y + turn.y);
    w.z = St(w.z + turn.z);
    return true;
}

bool PhysicsModelB::ResolveCollisions() {
    GatherCollisionCandidates();
    if (balls_.empty()) return true;
    const Ball& b0 = *balls_[0];
    const F32 m0 = b0.mass, r0 = b0.radius, i0 = b0.inertiaArm;
    const ModelParams& mp = Params().model;
    const F32 hs = mp.collisionParamE, mu = mp.ballFrictionA, mix = mp.ballCollisionC;

    if (workCount_ > 0) {
        RunCollisionPasses<std::uint32_t>(
            balls_, workBuffer_.data(), workCount_,
            [&](CollisionCandidate& rec, Ball& a, Ball& b, std::uint32_t& negCount) {
                const Vector3& n = rec.n;
                Vector3& va = a.velocity;
                Vector3& vb = b.velocity;
                const F32 rel =
                    St(((n.y * vb.y + n.z * vb.z) + vb.x * n.x) - ((va.x * n.x + va.z * n.z) + va.y * n.y));
                rec.depth = St(rel * hs + rec.depth);
                const F32 imp = St(((rec.depth * 5000000.0f + rel * 0.0f) / m0) * hs);
                if (!PushApart(rec, imp, negCount, va, vb)) return;
                const F32 pa = St((va.x * n.x + va.z * n.z) + va.y * n.y);
                const Vector3 ta(St(va.x - pa * n.x), St(va.y - pa * n.y), St(va.z - pa * n.z));
                const F32 pb = St((vb.z * n.z + vb.y * n.y) + vb.x * n.x);
                const Vector3 tb(St(vb.x - pb * n.x), St(vb.y - pb * n.y), St(vb.z - pb * n.z));
                const Vector3 ca = ContactSpin(a.spin, n, r0);
                const Vector3 cb = ContactSpin(b.spin, n, r0);
                Vector3 slideA(St(ta.x - ca.x), St(ta.y - ca.y), St(ta.z - ca.z));
                Vector3 slideB(St(tb.x + cb.x), St(tb.y + cb.y), St(tb.z + cb.z));
                Vector3 gl(St(slideB.x + -slideA.x), St(slideB.y + -slideA.y), St(slideB.z + -slideA.z));
                F32 len;
                gl.Normalize(&len);
                const F32 limit = St(imp * mu);
                if (!(limit * 3.5f < len)) return;
                const F32 k = DivF(limit, len);
                slideA *= k;
                slideB *= k;
                const PairFriction f = MixFriction(slideA, slideB, mix);
                va = Vector3(St(va.x + collisionShare * f.onA.x), St(va.y + collisionShare * f.onA.y),
                             St(va.z + collisionShare * f.onA.z));
                vb = Vector3(St(vb.x - collisionShare * f.fromB.x), St(vb.y - collisionShare * f.fromB.y),
                             St(vb.z - collisionShare * f.fromB.z));
                TurnSpins(a, b, f, n, i0, i0);
            });
    }

    return AllBallsRest();
}

}  // namespace physics
