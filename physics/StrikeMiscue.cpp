#include "physics/StrikeMiscue.h"

namespace physics {

// (2 - sqrt(4 - q q 4)) / (q + q): the tangent of half the contact angle for the offset q.
F32 HalfAngleTangent(F32 q) {
    const F32 root = SqrtF(St(Ext(4.0f) - (q * q) * 4.0f));
    return St((Ext(2.0f) - root) / (q + q));
}

StrikeFrame MakeStrikeFrame(F32 dx, F32 dy, F32 hc, F32 zc, bool divideSteepUp, ShotParams& shot) {
    StrikeFrame f;
    Vector3& d = f.direction;
    Vector3& s = f.side;
    Vector3& v = f.up;
    d = Vector3(St(hc * dx), St(hc * dy), zc);
    d.Normalize();
    Vector3 u(F32(0.0f), F32(0.0f), F32(1.0f));
    if (!(Ext(1.0f) / SqrtF(Opq(Ext(2.0f))) < hc))
        u = divideSteepUp ? Vector3(St(dx / hc), St(dy / hc), F32(0.0f)) : Vector3(dx, dy, F32(0.0f));
    u.Normalize();
    s = Vector3(St(u.y * d.z - u.z * d.y), St(u.z * d.x - d.z * u.x), St(d.y * u.x - u.y * d.x));
    s.Normalize();
    v = Vector3(St(d.y * s.z - s.y * d.z), St(d.z * s.x - s.z * d.x), St(s.y * d.x - d.y * s.x));
    v.Normalize();

    Normalize2D(shot.offsetLimitSide, shot.offsetLimitVertical, &f.limitLength);
    Normalize2D(shot.tipOffsetSide, shot.tipOffsetVertical, &f.tipLength);
    // A limit longer than 1 has no contact angle.
    if (f.limitLength > F32(1.0f)) f.limitLength = F32(1.0f);

    f.spinAxis = Vector3(St(s.x * shot.tipOffsetVertical + v.x * -shot.tipOffsetSide),
                         St(s.y * shot.tipOffsetVertical + v.y * -shot.tipOffsetSide),
                         St(s.z * shot.tipOffsetVertical + v.z * -shot.tipOffsetSide));
    f.spinAxis.Normalize();
    return f;
}

void ShapeMiscue(MiscueContact& m, F32 contact, F32 tHit, F32 tMax, F32 hitTangent, F32 speed, F32 r,
                 F32 limitLength) {
    F32& ms = m.slide;
    F32& t = m.t;
    if (ms > F32(0.0f)) {
        const F32 l = Log10F(St((ms / contact) * 0.9f + 0.1f));
        const F32 l2 = St(-l * -l);
        const F32 l4 = St(l2 * l2);
        const F32 l8 = St(l4 * l4);
        const F32 p = St(l4 * l8);
        ms = St((Ext(1.0f) - p) * contact);
        t = St(t - ms);
        if (t < tHit)
            t = tHit;
        else if (t > tMax)
            t = tMax;
        PhysicsEvent e;
        e.type = EventType::Miscue;
        e.intensity = St(ms / contact);
        PushPhysicsEvent(e);
    } else {
        ms = F32(0.0f);
    }
    const F32 phiT = St(((AtanF(ExpF(St((speed / r) * t))) * r) * 2.0f) / speed);
    const F32 phi1 = St(((AtanF(hitTangent) * r) * 2.0f) / speed);
    const F32 g = t == tHit ? F32(0.0f) : St(((phiT - phi1) / (t - tHit)) / limitLength);
    m.tipLength = St(g * m.tipLength);
    F32 share = St((t - tHit) / contact);
    if (share > F32(1.0f)) share = F32(1.0f);
    m.powerBefore = m.power;
    m.power = St(share * m.power);
}

Vector3 MiscueDeflection(const StrikeFrame& f, F32 limit, F32 tipSide, F32 tipVertical, F32 speedScale,
                         F32 power, F32 slide, F32 contact, F32 share) {
    const Vector3& d = f.direction;
    const Vector3& s = f.side;
    const Vector3& v = f.up;
    Vector3 n(St((d.x - s.x * (limit * tipSide)) - v.x * (limit * tipVertical)),
              St((d.y - s.y * (limit * tipSide)) - v.y * (limit * tipVertical)),
              St((d.z - s.z * (limit * tipSide)) - v.z * (limit * tipVertical)));
    n.Normalize();
    const F32 nd = St((n.x * d.x + n.z * d.z) + n.y * d.y);
    auto component = [&](F32 nc) {
        F32 x = St(nc * nd);
        x = St(x * speedScale);
        x = St(x * power);
        x = St(x * slide);
        x = St(x / contact);
        return St(x * share);
    };
    return Vector3(component(n.x), component(n.y), component(n.z));
}

}  // namespace physics
