// The cushion impact of the base model: the cushion force as a velocity change along the contact
// normal (its vertical part reduced), then cushion friction along the two tangents of the face,
// with the spin entering through the real lever arms of the contact (its offset from the centre
// and its horizontal reach). Branch B carries this body too but never call it.
#include "physics/PhysicsModel.h"

namespace physics {

void PhysicsModel::ResolveCushionImpact(Vector3& v, Vector3& w, const CushionContact& c) {
    const Vector3& n = c.direction;
    const TableParams& p = *c.params;
    const F32 dirX = c.dirX, dirY = c.dirY, h = c.horizontalLength;
    const F32 o = c.offset, reach = c.reach, radius = c.radius, ia = c.inertiaArm;

    // Normal impulse, 0.9 of it in the vertical.
    const F32 j = St(c.force * c.dtStep);
    const F32 j9 = St(j * 0.9f);
    const Vector3 jv(St(n.x * j), St(n.y * j), St(n.z * j9));
    const F32 jn = St((jv.x * n.x + jv.z * n.z) + jv.y * n.y);

    // Tangential impulse.
    Vector3 jt(St(jv.x - St(jn * n.x)), St(jv.y - St(jn * n.y)), St(jv.z - St(jn * n.z)));
    const F32 scale = St(Ext(0.015f) / c.dtStep);
    jt = Vector3(St(jt.x * scale), St(jt.y * scale), St(jt.z * scale));

    // Velocity before the cushion pushed back, less the tangential impulse.
    const Vector3 va(St(St(c.approach * n.x) + v.x), St(St(c.approach * n.y) + v.y),
                     St(St(c.approach * n.z) + v.z));
    const Vector3 x(St(va.x - jt.x), St(va.y - jt.y), St(va.z - jt.z));

    // Projections on the horizontal tangent s = (dirY, -dirX, 0) and the vertical tangent e.
    F32 t1 = St(x.x * dirY - x.y * dirX);
    F32 t2 = St((x.x * dirX + x.y * dirY) * n.z - x.z * h);

    // Spin terms of the contact point.
    F32 c3 = St(-(reach * w.z));
    F32 pp = St(-((dirY * w.y) * o) - (dirX * w.x) * o);
    F32 rz = St((dirX * w.y - dirY * w.x) * radius);

    // Sliding velocities along s and e.
    F32 slide1 = St((pp - t1) + c3);
    F32 slide2 = St(rz - t2);

    // Terms that work against the sliding are dropped; the kept ones again add up to it.
    if (slide1 * t1 > Ext(0.0f)) t1 = F32(0.0f);
    if (slide1 * c3 < Ext(0.0f)) c3 = F32(0.0f);
    if (slide1 * pp < Ext(0.0f)) pp = F32(0.0f);
    const F32 sum = St((pp - t1) + c3);
    if (!(sum == F32(0.0f))) {
        const F32 q = St(slide1 / sum);
        t1 = St(q * t1);
        c3 = St(q * c3);
        pp = St(q * pp);
    }
    if (slide2 * t2 > Ext(0.0f)) {
        t2 = F32(0.0f);
        rz = slide2;
    } else if (slide2 * rz < Ext(0.0f)) {
        rz = F32(0.0f);
        t2 = St(-slide2);
    }

    v.x = St(jv.x + v.x);
    v.y = St(jv.y + v.y);
    v.z = St(jv.z + v.z);

    F32 length;
    Normalize2D(slide1, slide2, &length);
    const F32 a1 = St(slide1 * p.railParamA);
    const F32 a2 = St(slide2 * p.railParamB);
    const F32 m2 = St(a2 * a2 + a1 * a1);
    const F32 mu = m2 > F32(0.0f) ? SqrtF(m2) : F32(0.0f);

    F32 f1(0.0f), f2(0.0f);
    if ((mu * jn) * 3.5f < length) {
        f1 = St((jn * p.railParamA) / length);
        f2 = St((jn * p.railParamB) / length);
    }
    t1 = St(f1 * t1);
    c3 = St(f1 * c3);
    pp = St(f1 * pp);
    t2 = St(f2 * t2);
    rz = St(f2 * rz);

    const F32 k = p.cushionFrictionShare;
    const F32 g1 = St((pp + c3) * k - t1);
    const F32 j1 = St((pp - t1) * k + c3);
    const F32 jp = St((c3 - t1) * k + pp);
    const F32 g2 = St(rz * k - t2);
    const F32 j2 = St(rz - t2 * k);
    const F32 ri = St(radius * ia);

    v.x = St(((g2 * n.z) * dirX + g1 * dirY) + v.x);
    v.y = St(((g2 * n.z) * dirY - g1 * dirX) + v.y);
    v.z = St(v.z - g2 * h);

    w.z = St((j1 * reach) / ri + w.z);
    const F32 pw = St((jp * o) / ri);
    const F32 qw = St(j2 / ia);
    w.x = St((qw * dirY + pw * dirX) + w.x);
    w.y = St((pw * dirY - qw * dirX) + w.y);
}

}  // namespace physics
