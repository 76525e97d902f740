// The cue strike of the base model: the late strike's set-up and analytic miscue test without
// its contact simulation; a downward pulse of a ball lying on the bed is shared with the bed.
// Dot products run x, then z, then y.
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

// (2 - sqrt(4 - q q 4)) / (q + q): the tangent of half the contact angle for the offset q.
F32 HalfAngleTangent(F32 q) {
    const F32 root = SqrtF(St(Ext(4.0f) - (q * q) * 4.0f));
    return St((Ext(2.0f) - root) / (q + q));
}

Vector3 Scaled(const Vector3& v, F32 s) {
    Vector3 out;
    return Vec3Scale(out, v, s);
}

}  // namespace

void PhysicsModel::StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) {
    const ModelParams& mp = Params().model;
    const TableParams& tp = Params().table;

    // A power of 4 or more would make the contact time 0 or negative.
    if (shot.power < F32(0.0f)) shot.power = F32(0.0f);
    if (shot.power > F32(1.0f)) shot.power = F32(1.0f);

    shot.offsetLimitSide = St(shot.offsetLimitSide * 0.85f);
    shot.offsetLimitVertical = St(shot.offsetLimitVertical * 0.85f);
    shot.tipOffsetSide = St(shot.tipOffsetSide * 0.85f);
    shot.tipOffsetVertical = St(shot.tipOffsetVertical * 0.85f);

    const F32 dx = St(aimX - ball.position.x);
    const F32 dy = St(aimY - ball.position.y);
    const F32 d2 = St(dy * dy + dx * dx);
    if (d2 <= F32(0.0f)) return;
    const F32 dist = SqrtF(d2);
    if (dist <= F32(0.0f)) return;

    const F32 hc = CosF(shot.elevation);
    const F32 sn = SinF(shot.elevation);
    const F32 zc = St(-(sn * dist));

    Vector3 d(St(hc * dx), St(hc * dy), zc);
    d.Normalize();
    Vector3 u(F32(0.0f), F32(0.0f), F32(1.0f));
    if (!(Ext(1.0f) / SqrtF(Opq(Ext(2.0f))) < hc)) u = Vector3(St(dx / hc), St(dy / hc), F32(0.0f));
    u.Normalize();
    Vector3 s(St(u.y * d.z - u.z * d.y), St(u.z * d.x - d.z * u.x), St(d.y * u.x - u.y * d.x));
    s.Normalize();
    Vector3 v(St(d.y * s.z - s.y * d.z), St(d.z * s.x - s.z * d.x), St(s.y * d.x - d.y * s.x));
    v.Normalize();

    F32 lq, lt;
    Normalize2D(shot.offsetLimitSide, shot.offsetLimitVertical, &lq);
    Normalize2D(shot.tipOffsetSide, shot.tipOffsetVertical, &lt);
    // A limit longer than 1 has no contact angle.
    if (lq > F32(1.0f)) lq = F32(1.0f);

    Vector3 w(St(s.x * shot.tipOffsetVertical + v.x * -shot.tipOffsetSide),
              St(s.y * shot.tipOffsetVertical + v.y * -shot.tipOffsetSide),
              St(s.z * shot.tipOffsetVertical + v.z * -shot.tipOffsetSide));
    w.Normalize();

    const F32 r = ball.radius;
    F32 power = shot.power;
    const F32 speed = St(mp.strikeSpeedScale * power);
    const F32 tc =
        St((((shot.contactFactor * 0.4f) + 1.0f) * (Ext(4.0f) - power) * mp.cueContactTime) / 4.0f);
    F32 ms(0.0f), p0(0.0f);

    // Without cue speed there is no miscue: the contact is a zero impulse, as for a centre hit.
    if (lq > F32(0.0f) && speed > F32(0.0f)) {
        const F32 e1 = HalfAngleTangent(lq);
        const F32 rv = St(r / speed);
        const F32 tau1 = St(LogF(e1) * rv);
        F32 q = St(Ext(1.0f) - (Ext(1.0f) - mp.tipOffsetLimit) * shot.limitFactor);
        // A limit above 1 has no contact angle either.
        if (q > F32(1.0f)) q = F32(1.0f);
        const F32 tauL = St(LogF(mp.tipOffsetLimitTan) * rv);
        F32 t = St(tau1 + tc);
        if (q > F32(0.0f)) {
            const F32 tau2 = St(LogF(HalfAngleTangent(q)) * rv);
            ms = St(t - tau2);
        } else {
            // No miscue-free offset at all: the whole contact slides.
            ms = tc;
        }
        if (ms > F32(0.0f)) {
            const F32 l = Log10F(St((ms / tc) * 0.9f + 0.1f));
            const F32 l2 = St(-l * -l);
            const F32 l4 = St(l2 * l2);
            const F32 l8 = St(l4 * l4);
            const F32 p = St(l4 * l8);
            ms = St((Ext(1.0f) - p) * tc);
            t = St(t - ms);
            if (t < tau1)
                t = tau1;
            else if (t > tauL)
                t = tauL;
            PhysicsEvent e;
            e.type = EventType::Miscue;
            e.intensity = St(ms / tc);
            PushPhysicsEvent(e);
        } else {
            ms = F32(0.0f);
        }
        const F32 phiT = St(((AtanF(ExpF(St((speed / r) * t))) * r) * 2.0f) / speed);
        const F32 phi1 = St(((AtanF(e1) * r) * 2.0f) / speed);
        const F32 g = t == tau1 ? F32(0.0f) : St(((phiT - phi1) / (t - tau1)) / lq);
        lt = St(g * lt);
        F32 f = St((t - tau1) / tc);
        if (f > F32(1.0f)) f = F32(1.0f);
        p0 = power;
        power = St(f * power);
    }

    const F32 dd = St(((r * lt) * lt) / ball.inertiaArm + 1.0f);
    power = St(power / dd);
    p0 = St(p0 / dd);
    const F32 vc = St(mp.strikeSpeedScale * power);
    const F32 wMag = St(((lt * mp.strikeSpeedScale) * power) / ball.inertiaArm);

    Vector3 q;
    if (ms > F32(0.0f)) {
        const F32 big = mp.tipOffsetLimit;
        Vector3 n(St((d.x - s.x * (big * shot.tipOffsetSide)) - v.x * (big * shot.tipOffsetVertical)),
                  St((d.y - s.y * (big * shot.tipOffsetSide)) - v.y * (big * shot.tipOffsetVertical)),
                  St((d.z - s.z * (big * shot.tipOffsetSide)) - v.z * (big * shot.tipOffsetVertical)));
        n.Normalize();
        const F32 nd = St((n.x * d.x + n.z * d.z) + n.y * d.y);
        auto component = [&](F32 nc) {
            F32 x = St(nc * nd);
            x = St(x * mp.strikeSpeedScale);
            x = St(x * p0);
            x = St(x * ms);
            x = St(x / tc);
            return St(x * 0.5f);
        };
        q = Vector3(component(n.x), component(n.y), component(n.z));
    }

    ball.cueLinear = Vector3(St(d.x * vc + q.x), St(d.y * vc + q.y), St(d.z * vc + q.z));
    ball.cueAngular = Vector3(St(w.x * wMag), St(w.y * wMag), St(w.z * wMag));
    ball.cueTimeLeft = ball.cueDuration = St(tc * 5.0f);
    ball.cueGain = St(kPi / (tc * 5.0f));
    if (ms > F32(0.0f)) return;

    // The bed takes part of a downward pulse of a ball lying on it.
    const TableGeometry& g = tableRecord_->geometry;
    const Vector3& p = ball.position;
    if (!(p.x >= g.outer.xMin && p.x <= g.outer.xMax && p.y >= g.outer.yMin && p.y <= g.outer.yMax &&
          p.z <= ball.radiusCm && ball.cueLinear.z < F32(0.0f)))
        return;
    const F32 ct = SqrtF(St(Ext(1.0f) - lt * lt));
    Vector3 e = Scaled(s, shot.tipOffsetSide);
    e += Scaled(v, shot.tipOffsetVertical);
    Vector3 nn;
    Vec3Subtract(nn, Scaled(d, ct), Scaled(e, lt));
    nn = Scaled(nn, ct);
    nn.Normalize();
    const F32 share = tp.bounceFactor;
    const F32 b = St(-(share * ball.cueLinear.z));
    const F32 h2 = Length2D(nn.x, nn.y);
    F32 a = St((h2 * nn.z + h2 * nn.z + 1.0f) * b);
    F32 bb = St(nn.z * nn.z + nn.z * nn.z);
    const F32 cz = St(Ext(1.0f) - bb);
    F32 z = St(cz * b);
    if (z < F32(0.0f)) {
        z = F32(0.0f);
        const F32 dd2 = St(Ext(1.0f) - (-(cz * share)));
        a = St(a / dd2);
        bb = St(bb / dd2);
    }
    ball.cueLinear = Vector3(St(a * nn.x + ball.cueLinear.x), St(a * nn.y + ball.cueLinear.y), z);
    bb = St(bb + 1.0f);
    ball.cueAngular =
        Vector3(St(ball.cueAngular.x * bb), St(ball.cueAngular.y * bb), St(ball.cueAngular.z * bb));
}

}  // namespace physics
