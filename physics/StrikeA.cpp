// The cue strike of branch A: the common steps (shot frame, miscue test, energy transfer from
// the cue, miscue deflection and the pulse), shared by every strike form of the branch.
#include "engine/core/Log.h"
#include "physics/PhysicsModelA.h"

namespace physics {

namespace {

Vector3 Cross(const Vector3& a, const Vector3& b) {
    return Vector3(St(a.y * b.z - a.z * b.y), St(a.z * b.x - a.x * b.z), St(a.x * b.y - a.y * b.x));
}

}  // namespace

bool PhysicsModelA::StrikeSetUp(Ball& ball, F32 aimX, F32 aimY, F32 tS, F32 tV, const ShotParams& shot,
                                const StrikeSetUpForm& form, StrikeSetUpResult& out) {
    const ModelParams& mp = Params().model;
    const F32 dx = St(aimX - ball.position.x);
    const F32 dy = St(aimY - ball.position.y);
    const F32 d2 = St(dy * dy + dx * dx);
    if (!(d2 > F32(0.0f))) return false;
    const F32 len = SqrtF(d2);
    if (!(len > F32(0.0f))) return false;

    F32 power = shot.power;
    const F32 cf = St(power * shot.contactFactor);
    const F32 contact = St((form.contactTimeGain * cf + 1.0f) * mp.cueContactTime);
    if (!(contact > F32(0.0f))) {
        // The pulse would never end and the ball never rest.
        LogWrite(u"physics: strike refused: the contact time is not positive\n");
        return false;
    }

    const F32 sE = SinF(shot.elevation);
    const F32 z = St(-(sE * len));
    F32 cE = CosF(shot.elevation);
    if (form.clampCosine && cE < F32(0.0f)) cE = F32(0.0f);

    Vector3 d(St(cE * dx), St(cE * dy), z);
    d.Normalize();
    Vector3 up(F32(0.0f), F32(0.0f), F32(1.0f));
    if (!(Ext(1.0f) / SqrtF(Opq(Ext(2.0f))) < cE))
        up = form.steepUpDivided ? Vector3(St(dx / cE), St(dy / cE), F32(0.0f)) : Vector3(dx, dy, F32(0.0f));
    up.Normalize();
    Vector3 rt = Cross(up, d);
    rt.Normalize();
    Vector3 vt = Cross(d, rt);
    vt.Normalize();

    F32 oS = shot.offsetLimitSide, oV = shot.offsetLimitVertical, oLen, spinLen;
    Normalize2D(oS, oV, &oLen);
    Normalize2D(tS, tV, &spinLen);
    Vector3 spinAxis(St(St(tV * rt.x) - St(tS * vt.x)), St(St(tV * rt.y) - St(tS * vt.y)),
                     St(St(tV * rt.z) - St(tS * vt.z)));
    spinAxis.Normalize();
    if (form.sineCurve) {
        const F32 k = traits_.spinCurve;
        const F32 arg = St(spinLen * 1.5707964f);
        spinLen = St((Ext(1.0f) - k) * spinLen + SinF(arg) * k);
    }
    const F32 speed0 = St(mp.strikeSpeedScale * power);

    F32 slide(0.0f), powerBefore(0.0f), deflect(0.0f);
    bool deflection = false;
    const F32 r = ball.radius;
    // An offset length beyond 1 has no contact angle, and without cue speed there is no miscue.
    if (oLen > F32(1.0f)) oLen = F32(1.0f);
    if (oLen > F32(0.000001f) && speed0 > F32(0.0f)) {
        const F32 q = SqrtF(St(Ext(4.0f) - (oLen * oLen) * 4.0f));
        const F32 h = St((Ext(2.0f) - q) / (oLen + oLen));
        const F32 tr = St(r / speed0);
        const F32 tHit = St(LogF(h) * tr);
        const F32 tMax = St(LogF(mp.tipOffsetLimitTan) * tr);
        F32 t = St(tHit + contact);
        F32 lim = St(Ext(1.0f) - (Ext(1.0f) - mp.tipOffsetLimit) * shot.limitFactor);
        if (lim > F32(1.0f)) lim = F32(1.0f);
        if (lim > F32(0.0f)) {
            const F32 qL = SqrtDouble(Ext(4.0f) - (lim * lim) * 4.0f);
            const F32 hL = St((Ext(2.0f) - qL) / (lim + lim));
            const F32 tLim = St(LogF(hL) * tr);
            slide = St(t - tLim);
        } else {
            // No offset is free of a miscue: the tip slides off at once.
            slide = contact;
        }
        if (!(contact > slide)) {
            deflection = true;
        } else {
            if (slide > F32(0.0f)) {
                const F32 y = St((slide / contact) * 0.9f + 0.1f);
                const F32 x = St(-Log10F(y));
                const F32 x2 = St(x * x);
                const F32 x4 = St(x2 * x2);
                const F32 x8 = St(x4 * x4);
                const F32 x12 = St(x4 * x8);
                const F32 w = St(Ext(1.0f) - x12);
                slide = St(w * contact);
                t = St(t - slide);
                if (t < tHit)
                    t = tHit;
                else if (t > tMax)
                    t = tMax;
                PhysicsEvent e;
                e.type = EventType::Miscue;
                e.ballId = ball.id;
                e.intensity = St(slide / contact);
                PushPhysicsEvent(e);
                deflection = slide > F32(0.0f);
            } else {
                slide = F32(0.0f);
            }
            const F32 a1 = St(((AtanF(ExpDouble((speed0 / r) * t)) * r) * 2.0f) / speed0);
            const F32 a0 = St(((AtanF(h) * r) * 2.0f) / speed0);
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
    const F32 cueSpeed = St(mp.strikeSpeedScale * power);
    power = St(f * power);
    powerBefore = St(f * powerBefore);
    const F32 ballSpeed = St(mp.strikeSpeedScale * power);
    const F32 spinRate = St(((spinLen * mp.strikeSpeedScale) * power) / ball.inertiaArm);

    Vector3 impulse;
    if (deflection) {
        const F32 a = St(deflect * tV);
        const F32 b = St(deflect * tS);
        Vector3 w(St(St(d.x - St(b * rt.x)) - St(a * vt.x)), St(St(d.y - St(b * rt.y)) - St(a * vt.y)),
                  St(St(d.z - St(b * rt.z)) - St(a * vt.z)));
        w.Normalize();
        const F32 wd = St((w.z * d.z + w.x * d.x) + w.y * d.y);
        auto component = [&](F32 wc) {
            F32 m = St(wc * wd);
            m = St(m * mp.strikeSpeedScale);
            m = St(m * powerBefore);
            m = St(m * slide);
            m = St(m / contact);
            return St(m * 0.6f);
        };
        impulse = Vector3(component(w.x), component(w.y), component(w.z));
    }

    ball.cueLinear = Vector3(St(impulse.x + d.x * ballSpeed), St(impulse.y + d.y * ballSpeed),
                             St(impulse.z + d.z * ballSpeed));
    ball.cueAngular =
        Vector3(St(spinAxis.x * spinRate), St(spinAxis.y * spinRate), St(spinAxis.z * spinRate));
    const F32 dur = St(contact * 5.0f);
    ball.cueTimeLeft = dur;
    ball.cueDuration = dur;
    ball.cueGain = St(kPi / dur);
    if (form.setCueActive) ball.cueActive = 1;

    out.direction = d;
    out.sideAxis = rt;
    out.upAxis = vt;
    out.tipSide = tS;
    out.tipVertical = tV;
    out.spinLength = spinLen;
    out.contact = contact;
    out.cueSpeed = cueSpeed;
    out.power = power;
    out.deflected = deflection;
    return true;
}

void PhysicsModelA::StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) {
    StrikeSetUpResult s;
    StrikeSetUpForm form;
    F32 tS = shot.tipOffsetSide, tV = shot.tipOffsetVertical;
    switch (traits_.forms.strike) {
        case StrikeForm::From10001:
            tV = ScaleTipHeight(shot.power, tV, shot.elevation);
            form.clampCosine = false;
            form.steepUpDivided = true;
            form.setCueActive = false;
            if (!StrikeSetUp(ball, aimX, aimY, tS, tV, shot, form, s) || s.deflected) return;
            return StrikeBedBounce(ball, s);
        case StrikeForm::From10005:
            if (traits_.id == 0x10005) {
                const F32 g0 = St(Ext(1.0f) - shot.power * 0.1f);
                tV = St(g0 * tV);
                tS = St(g0 * tS);
            }
            if (!StrikeSetUp(ball, aimX, aimY, tS, tV, shot, form, s) || s.deflected) return;
            return StrikeContact(ball, shot, s);
        case StrikeForm::From10008:
            form.contactTimeGain = traits_.contactTimeGain;
            if (traits_.id >= 0x1000C) {
                tS = St(tS * traits_.spinScaleX);
                tV = St(tV * traits_.spinScaleY);
                form.sineCurve = true;
            }
            if (!StrikeSetUp(ball, aimX, aimY, tS, tV, shot, form, s) || s.deflected) return;
            return StrikeContact(ball, shot, s);
        default:
            return PhysicsModel::StrikeBody(ball, aimX, aimY, shot);
    }
}

}  // namespace physics
