// The cushion impact of 0x10001-0x10004 (called by their rail contact):
// the cushion force as a velocity change along the contact normal (0.9 of it in the vertical)
// and one combined friction impulse across the cushion face that also turns the spin. Every
// named value is stored where it is formed.
#include "physics/PhysicsModelA.h"

namespace physics {

namespace {

// Drops the terms that work against the sliding t = p - q - r and rescales the others so that
// they again add up to it.
void ShareOut(F32& p, F32& q, F32& r) {
    const F32 t = St((p - q) - r);
    if (t * p < Ext(0.0f)) p = F32(0.0f);
    if (t * q > Ext(0.0f)) q = F32(0.0f);
    if (t * r > Ext(0.0f)) r = F32(0.0f);
    const F32 kept = St((p - q) - r);
    if (!(kept == F32(0.0f))) {
        const F32 k = St(t / kept);
        p = St(p * k);
        q = St(q * k);
        r = St(r * k);
    }
}

}  // namespace

void PhysicsModelA::ResolveCushionImpact(Vector3& v, Vector3& w, const CushionContact& c) {
    const Vector3& n = c.direction;
    const TableParams& p = *c.params;
    const F32 h = c.horizontalLength;

    // Tangents: e vertical in the face, s = e x n horizontal along it.
    const F32 a1 = St(-(c.dirY * n.z));
    const F32 a2 = St(-(c.dirX * n.z));
    const Vector3 e(a2, a1, h);
    const Vector3 s(St(a1 * n.z - h * n.y), St(h * n.x - a2 * n.z), St(a2 * n.y - a1 * n.x));

    const F32 j = St(c.force * c.dtStep);
    const F32 j9 = St(j * 0.9f);
    const Vector3 jv(St(n.x * j), St(n.y * j), St(n.z * j9));
    const F32 jn = St((jv.x * n.x + jv.z * n.z) + jv.y * n.y);

    const F32 scale = St(Ext(0.02f) / c.dtStep);
    const Vector3 jt(St((jv.x - jn * n.x) * scale), St((jv.y - jn * n.y) * scale),
                     St((jv.z - jn * n.z) * scale));
    const Vector3 va(St(v.x + c.approach * n.x), St(v.y + c.approach * n.y), St(v.z + c.approach * n.z));
    v = Vector3(St(v.x + jv.x), St(v.y + jv.y), St(v.z + jv.z));

    const F32 radius = c.radius;
    const Vector3 cw(St((n.z * w.y - n.y * w.z) * radius), St((n.x * w.z - w.x * n.z) * radius),
                     St((w.x * n.y - n.x * w.y) * radius));

    auto alongS = [&s](const Vector3& x) { return St((s.x * x.x + s.y * x.y) + s.z * x.z); };
    auto alongE = [&](const Vector3& x) { return St((h * x.z + a2 * x.x) + a1 * x.y); };
    F32 p1 = alongS(va), q1 = alongS(jt), r1 = alongS(cw);
    F32 p2 = alongE(va), q2 = alongE(jt), r2 = alongE(cw);
    F32 t1 = St((p1 - q1) - r1);
    F32 t2 = St((p2 - q2) - r2);
    ShareOut(p1, q1, r1);
    ShareOut(p2, q2, r2);

    F32 length;
    Normalize2D(t1, t2, &length);
    const F32 m1 = St(t1 * p.railParamA);
    const F32 m2 = St(t2 * p.railParamB);
    const F32 sum = St(m1 * m1 + m2 * m2);
    const F32 mu = sum > F32(0.0f) ? SqrtF(sum) : F32(0.0f);
    if (!((mu * jn) * 3.5f < length)) return;

    const F32 f1 = St((jn * p.railParamA) / length);
    const F32 f2 = St((jn * p.railParamB) / length);
    const F32 k = p.cushionFrictionShare;
    const F32 g1 = St(f1 * p1 - (f1 * r1 + f1 * q1) * k);
    const F32 g2 = St(f2 * p2 - (f2 * r2 + f2 * q2) * k);
    v = Vector3(St(v.x - (g1 * s.x + g2 * e.x)), St(v.y - (g1 * s.y + g2 * e.y)),
                St(v.z - (g1 * s.z + g2 * e.z)));

    const F32 j1 = St((f1 * p1 - f1 * q1) * k - f1 * r1);
    const F32 j2 = St((f2 * p2 - f2 * q2) * k - f2 * r2);
    const Vector3 m(St(j1 * s.x + j2 * e.x), St(j1 * s.y + j2 * e.y), St(j1 * s.z + j2 * e.z));
    const Vector3 mn(St(m.y * n.z - m.z * n.y), St(m.z * n.x - m.x * n.z), St(m.x * n.y - m.y * n.x));
    const F32 ia = c.inertiaArm;
    w = Vector3(St(w.x - mn.x / ia), St(w.y - mn.y / ia), St(w.z - mn.z / ia));
}

}  // namespace physics
