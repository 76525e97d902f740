// The cue strike of the base model: branch B's strike's set-up and analytic miscue test without
// its contact simulation; a downward pulse of a ball lying on the bed is shared with the bed.
// Dot products run x, then z, then y.
#include "physics/StrikeMiscue.h"

namespace physics {

namespace {

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

    const StrikeFrame frame = MakeStrikeFrame(dx, dy, hc, zc, true, shot);
    const Vector3& d = frame.direction;
    const Vector3& s = frame.side;
    const Vector3& v = frame.up;
    const Vector3& w = frame.spinAxis;
    const F32 lq = frame.limitLength;

    const F32 r = ball.radius;
    const F32 speed = St(mp.strikeSpeedScale * shot.power);
    const F32 tc =
        St((((shot.contactFactor * 0.4f) + 1.0f) * (Ext(4.0f) - shot.power) * mp.cueContactTime) / 4.0f);
    MiscueContact m{F32(0.0f), F32(0.0f), frame.tipLength, shot.power, F32(0.0f)};

    // Without cue speed there is no miscue: the contact is a zero impulse, as for a centre hit.
    if (lq > F32(0.0f) && speed > F32(0.0f)) {
        const F32 e1 = HalfAngleTangent(lq);
        const F32 rv = St(r / speed);
        const F32 tau1 = St(LogF(e1) * rv);
        F32 q = St(Ext(1.0f) - (Ext(1.0f) - mp.tipOffsetLimit) * shot.limitFactor);
        // A limit above 1 has no contact angle either.
        if (q > F32(1.0f)) q = F32(1.0f);
        const F32 tauL = St(LogF(mp.tipOffsetLimitTan) * rv);
        m.t = St(tau1 + tc);
        if (q > F32(0.0f)) {
            const F32 tau2 = St(LogF(HalfAngleTangent(q)) * rv);
            m.slide = St(m.t - tau2);
        } else {
            // No miscue-free offset at all: the whole contact slides.
            m.slide = tc;
        }
        ShapeMiscue(m, tc, tau1, tauL, e1, speed, r, lq);
    }
    const F32 ms = m.slide;
    const F32 lt = m.tipLength;

    const F32 dd = St(((r * lt) * lt) / ball.inertiaArm + 1.0f);
    const F32 power = St(m.power / dd);
    const F32 p0 = St(m.powerBefore / dd);
    const F32 vc = St(mp.strikeSpeedScale * power);
    const F32 wMag = St(((lt * mp.strikeSpeedScale) * power) / ball.inertiaArm);

    Vector3 q;
    if (ms > F32(0.0f))
        q = MiscueDeflection(frame, mp.tipOffsetLimit, shot.tipOffsetSide, shot.tipOffsetVertical,
                             mp.strikeSpeedScale, p0, ms, tc, F32(0.5f));

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
