// The cue strike of the first models of branch A (0x10001-0x10004): set-up, analytic miscue test,
// energy transfer from the cue and the pulse, with no contact simulation; a downward pulse of a
// ball lying on the table bounces off the bed instead. The strike leaves the velocity alone and
// does not set cueActive.
#include "physics/PhysicsModelA.h"

namespace physics {

void PhysicsModelA::StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) {
    if (traits_.strike == StrikeForm::A1) return StrikeFirstGeneration(ball, aimX, aimY, shot);
    PhysicsModel::StrikeBody(ball, aimX, aimY, shot);
}

void PhysicsModelA::StrikeFirstGeneration(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) {
    const ModelParams& mp = Params().model;
    F32 tS = shot.tipOffsetSide;
    F32 tV = ScaleTipHeight(shot.power, shot.tipOffsetVertical, shot.elevation);
    F32 oS = shot.offsetLimitSide, oV = shot.offsetLimitVertical;
    F32 power = shot.power;

    const F32 dx = St(aimX - ball.position.x);
    const F32 dy = St(aimY - ball.position.y);
    const F32 d2 = St(dy * dy + dx * dx);
    if (!(d2 > F32(0.0f))) return;
    const F32 len = SqrtF(d2);
    if (!(len > F32(0.0f))) return;

    const F32 sE = SinF(shot.elevation);
    const F32 z = St(-(sE * len));
    const F32 cE = CosF(shot.elevation);
    Vector3 dir(St(cE * dx), St(cE * dy), z);
    dir.Normalize();
    Vector3 up(F32(0.0f), F32(0.0f), F32(1.0f));
    if (!(Ext(1.0f) / SqrtF(Opq(Ext(2.0f))) < cE)) up = Vector3(St(dx / cE), St(dy / cE), F32(0.0f));
    up.Normalize();
    Vector3 rt(St(up.y * dir.z - up.z * dir.y), St(up.z * dir.x - up.x * dir.z), St(up.x * dir.y - up.y * dir.x));
    rt.Normalize();
    Vector3 vt(St(dir.y * rt.z - dir.z * rt.y), St(dir.z * rt.x - dir.x * rt.z), St(dir.x * rt.y - dir.y * rt.x));
    vt.Normalize();

    F32 oLen, spinLen;
    Normalize2D(oS, oV, &oLen);
    Normalize2D(tS, tV, &spinLen);
    Vector3 axis(St(St(tV * rt.x) - St(tS * vt.x)), St(St(tV * rt.y) - St(tS * vt.y)),
                 St(St(tV * rt.z) - St(tS * vt.z)));
    axis.Normalize();

    const F32 cf = St(power * shot.contactFactor);
    const F32 contact = St((cf * 0.2f + 1.0f) * mp.cueContactTime);
    const F32 speed0 = St(mp.strikeSpeedScale * power);
    const F32 r = ball.radius;
    F32 slide(0.0f), powerBefore(0.0f), deflect(0.0f);
    bool deflected = false;

    // A limit longer than 1 has no contact angle; without cue speed there is no miscue.
    if (oLen > F32(1.0f)) oLen = F32(1.0f);
    if (oLen > F32(0.000001f) && speed0 > F32(0.0f)) {
        const F32 q = SqrtF(St(Ext(4.0f) - (oLen * oLen) * 4.0f));
        const F32 hh = St((Ext(2.0f) - q) / (oLen + oLen));
        const F32 tr = St(r / speed0);
        const F32 tHit = St(LogF(hh) * tr);
        const F32 tMax = St(LogF(mp.tipOffsetLimitTan) * tr);
        F32 t = St(tHit + contact);
        const F32 lim = St(Ext(1.0f) - (Ext(1.0f) - mp.tipOffsetLimit) * shot.limitFactor);
        bool beyondLimit;
        if (lim > F32(0.0f) && lim <= F32(1.0f)) {
            const F32 qL = SqrtDouble(Ext(4.0f) - (lim * lim) * 4.0f);
            const F32 hL = St((Ext(2.0f) - qL) / (lim + lim));
            const F32 tLim = St(LogF(hL) * tr);
            slide = St(t - tLim);
            beyondLimit = !(contact > slide);
        } else {
            // A limit outside (0, 1] has no contact angle: the tip slides off at once.
            slide = contact;
            beyondLimit = true;
        }
        if (beyondLimit) {
            deflected = true;
        } else {
            if (slide > F32(0.0f)) {
                const F32 y = St((slide / contact) * 0.9f + 0.1f);
                const F32 x = St(-Log10F(y));
                const F32 x2 = St(x * x);
                const F32 x4 = St(x2 * x2);
                const F32 x8 = St(x4 * x4);
                const F32 x12 = St(x4 * x8);
                const F32 wgt = St(Ext(1.0f) - x12);
                slide = St(wgt * contact);
                t = St(t - slide);
                if (t < tHit)
                    t = tHit;
                else if (t > tMax)
                    t = tMax;
                PhysicsEvent e;
                e.type = EventType::Miscue;
                e.intensity = St(slide / contact);
                PushPhysicsEvent(e);
                deflected = true;
            } else {
                slide = F32(0.0f);
            }
            const F32 a1 = St(((AtanF(ExpDouble((speed0 / r) * t)) * r) * 2.0f) / speed0);
            const F32 a0 = St(((AtanF(hh) * r) * 2.0f) / speed0);
            const F32 g = t == tHit ? F32(0.0f) : St(((a1 - a0) / (t - tHit)) / oLen);
            spinLen = St(g * spinLen);
            deflect = mp.tipOffsetLimit;
            F32 frac = St((t - tHit) / contact);
            if (frac > F32(1.0f)) frac = F32(1.0f);
            powerBefore = power;
            power = St(frac * power);
        }
    }

    F32 f = St(Ext(1.0f) / (((r * spinLen) * spinLen) / ball.inertiaArm + 1.0f));
    F32 e = St(cueMass_ / (ball.mass * f));
    e = St((Ext(2.0f) / (e + 1.0f)) * e);
    f = St(e * f);
    power = St(f * power);
    powerBefore = St(f * powerBefore);
    const F32 ballSpeed = St(mp.strikeSpeedScale * power);
    const F32 spinRate = St(((spinLen * mp.strikeSpeedScale) * power) / ball.inertiaArm);

    Vector3 kick;
    if (deflected) {
        const F32 a = St(deflect * tV);
        const F32 b = St(deflect * tS);
        Vector3 wv(St(St(dir.x - St(b * rt.x)) - St(a * vt.x)), St(St(dir.y - St(b * rt.y)) - St(a * vt.y)),
                   St(St(dir.z - St(b * rt.z)) - St(a * vt.z)));
        wv.Normalize();
        const F32 wd = St((wv.z * dir.z + wv.x * dir.x) + wv.y * dir.y);
        auto component = [&](F32 c) {
            F32 m = St(c * wd);
            m = St(m * mp.strikeSpeedScale);
            m = St(m * powerBefore);
            m = St(m * slide);
            m = St(m / contact);
            return St(m * 0.6f);
        };
        kick = Vector3(component(wv.x), component(wv.y), component(wv.z));
    }

    ball.cueLinear = Vector3(St(kick.x + dir.x * ballSpeed), St(kick.y + dir.y * ballSpeed),
                             St(kick.z + dir.z * ballSpeed));
    ball.cueAngular = Vector3(St(axis.x * spinRate), St(axis.y * spinRate), St(axis.z * spinRate));
    const F32 dur = St(contact * 5.0f);
    ball.cueTimeLeft = dur;
    ball.cueDuration = dur;
    ball.cueGain = St(kPi / dur);
    if (deflected) return;

    // Bed bounce of a downward pulse on a ball lying on the table.
    const TableGeometry& g = tableRecord_->geometry;
    const Vector3& pos = ball.position;
    if (!(pos.x >= g.outer.xMin && pos.x <= g.outer.xMax && pos.y >= g.outer.yMin && pos.y <= g.outer.yMax &&
          pos.z <= ball.radiusCm && ball.cueLinear.z < F32(0.0f)))
        return;
    const TableParams& tp = Params().table;
    const F32 c2 = SqrtF(St(Ext(1.0f) - spinLen * spinLen));
    auto normalComponent = [&](F32 rc, F32 vc, F32 dc) {
        const F32 qc = St(St(rc * tS) + St(vc * tV));
        const F32 qs = St(qc * spinLen);
        const F32 dcs = St(dc * c2);
        return St(St(dcs - qs) * c2);
    };
    Vector3 nn(normalComponent(rt.x, vt.x, dir.x), normalComponent(rt.y, vt.y, dir.y),
               normalComponent(rt.z, vt.z, dir.z));
    nn.Normalize();
    const F32 vUp = St(-(tp.bounceFactor * ball.cueLinear.z));
    const F32 hb = St((Length2D(nn.x, nn.y) * nn.z) * 2.0f + 1.0f);
    const F32 q = St((nn.z * nn.z) * 2.0f);
    const F32 k1 = St(Ext(1.0f) - q);
    F32 vz = St(k1 * vUp);
    F32 vh = St(hb * vUp);
    F32 ka = q;
    if (vz < F32(0.0f)) {
        vz = F32(0.0f);
        const F32 wgt = St((k1 * tp.bounceFactor) * -0.5f);
        const F32 dd = St(Ext(1.0f) - wgt);
        vh = St(vh / dd);
        ka = St(ka / dd);
    }
    ball.cueLinear = Vector3(St(vh * nn.x + ball.cueLinear.x), St(vh * nn.y + ball.cueLinear.y), vz);
    ka = St(ka + 1.0f);
    ball.cueAngular = Vector3(St(ball.cueAngular.x * ka), St(ball.cueAngular.y * ka), St(ball.cueAngular.z * ka));
}

}  // namespace physics
