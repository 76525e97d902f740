// The cue strike of branch B: an analytic miscue contact, or a full contact simulated as
// tip and bed springs in small slices. Dot products run x, then z, then y.
#include "engine/core/Log.h"
#include "physics/PhysicsModelB.h"
#include "physics/StrikeMiscue.h"

namespace physics {

namespace {

F32 Dot(const Vector3& a, const Vector3& b) {
    return St((a.x * b.x + a.z * b.z) + a.y * b.y);
}

Ext CrossX(const Vector3& a, const Vector3& b) {
    return a.y * b.z - a.z * b.y;
}
Ext CrossY(const Vector3& a, const Vector3& b) {
    return a.z * b.x - a.x * b.z;
}
Ext CrossZ(const Vector3& a, const Vector3& b) {
    return a.x * b.y - a.y * b.x;
}

}  // namespace

void PhysicsModelB::StrikeBody(Ball& ball, F32 aimX, F32 aimY, ShotParams shot) {
    const ModelParams& mp = Params().model;
    frictionScale = frictionScaleBase;

    const F32 dx = St(aimX - ball.position.x);
    const F32 dy = St(aimY - ball.position.y);
    const F32 d2 = St(dy * dy + dx * dx);
    if (d2 <= F32(0.0f)) return;
    const F32 dist = SqrtF(d2);
    if (dist <= F32(0.0f)) return;
    const F32 tc = St((shot.contactFactor * contactTimeFactor + 1.0f) * mp.cueContactTime);
    if (!(tc > F32(0.0f))) {
        // The pulse would never end and the ball never rest (a contact factor of -2.5 or below).
        LogWrite(u"physics: strike refused: the contact time is not positive\n");
        return;
    }

    const F32 gain = StrikeGain();
    F32 cs =
        shot.offsetLimitSide > F32(0.0f) ? St((shot.tipOffsetSide / shot.offsetLimitSide) * gain) : F32(0.0f);
    F32 cv = shot.offsetLimitVertical > F32(0.0f)
                 ? St((shot.tipOffsetVertical / shot.offsetLimitVertical) * gain)
                 : F32(0.0f);
    if (cs > gain)
        shot.tipOffsetSide = shot.offsetLimitSide;
    else
        cs = gain;
    if (cv > gain)
        shot.tipOffsetVertical = shot.offsetLimitVertical;
    else
        cv = gain;

    const F32 c = CosF(shot.elevation);
    const F32 sn = SinF(shot.elevation);
    const F32 zc = St(-(sn * dist));
    const F32 hc = c < F32(0.0f) ? F32(0.0f) : c;

    const StrikeFrame frame = MakeStrikeFrame(dx, dy, hc, zc, false, shot);
    const Vector3& d = frame.direction;
    const Vector3& s = frame.side;
    const Vector3& v = frame.up;
    const Vector3& w = frame.spinAxis;
    const F32 lq = frame.limitLength;

    const F32 r = ball.radius;
    const F32 speed = St(mp.strikeSpeedScale * shot.power);
    MiscueContact m{F32(0.0f), F32(0.0f), frame.tipLength, shot.power, F32(0.0f)};

    // Without cue speed there is no miscue: the contact is a zero impulse, as for a centre hit.
    if (lq > F32(1e-6f) && speed > F32(0.0f)) {
        const F32 e1 = HalfAngleTangent(lq);
        const F32 rv = St(r / speed);
        const F32 tau1 = St(LogF(e1) * rv);
        const F32 a4 = traits_.contactFactorOne ? F32(1.0f) : shot.contactFactor;
        const F32 q = TipOffsetLimit(mp.tipOffsetLimit, limitSlope, limitBoost, shot.limitFactor, a4);
        m.t = St(tau1 + tc);
        F32 tau2;
        if (q > F32(0.0f)) {
            const F32 e2 = HalfAngleTangent(q);
            tau2 = St(LogF(e2) * rv);
            m.slide = e2 == F32(1.0f) ? F32(0.0f) : St(m.t - tau2);
        } else {
            // No miscue-free offset at all: the whole contact slides.
            tau2 = tau1;
            m.slide = tc;
        }
        if (m.slide > tc) {
            m.slide = tc;
            tau2 = St(m.t - tc);
        }
        ShapeMiscue(m, tc, tau1, tau2, e1, speed, r, lq);
    }
    const F32 ms = m.slide;
    const F32 p0 = m.powerBefore;
    const F32 power = m.power;
    F32 lt = m.tipLength;

    if (lt > F32(0.98f)) lt = F32(0.98f);
    const F32 k1 = St(Ext(1.0f) / ((r * lt * lt) / ball.inertiaArm + 1.0f));
    const F32 rho = St(cueMass / (ball.mass * k1));
    F32 kk = St((Ext(2.0f) / (rho + 1.0f)) * rho);
    kk = St(kk * k1);
    const F32 vc = St(mp.strikeSpeedScale * power);
    const F32 kp = St(kk * power);
    const F32 kp0 = St(kk * p0);
    const F32 vLin = St(kp * mp.strikeSpeedScale);
    const F32 wMag = St(((kp * lt) * mp.strikeSpeedScale) / ball.inertiaArm);

    Vector3 q;
    if (ms > F32(0.0f))
        q = MiscueDeflection(frame, mp.tipOffsetLimit, shot.tipOffsetSide, shot.tipOffsetVertical,
                             mp.strikeSpeedScale, kp0, ms, tc, F32(0.6f));

    ball.cueLinear = Vector3(St(d.x * vLin + q.x), St(d.y * vLin + q.y), St(d.z * vLin + q.z));
    ball.cueAngular = Vector3(St(w.x * wMag), St(w.y * wMag), St(w.z * wMag));
    ball.cueTimeLeft = ball.cueDuration = St(tc + tc);
    ball.cueGain = St(kPi / (tc + tc));
    ball.cueActive = 1;
    if (ms > F32(0.0f)) return;

    // Full contact.
    const F32 ct = SqrtF(St(Ext(1.0f) - lt * lt));
    const Vector3 e(St(s.x * shot.tipOffsetSide + v.x * shot.tipOffsetVertical),
                    St(s.y * shot.tipOffsetSide + v.y * shot.tipOffsetVertical),
                    St(s.z * shot.tipOffsetSide + v.z * shot.tipOffsetVertical));
    Vector3 nn(St((d.x * ct - e.x * lt) * ct), St((d.y * ct - e.y * lt) * ct),
               St((d.z * ct - e.z * lt) * ct));
    nn.Normalize();

    Vector3 vC(St(d.x * vc), St(d.y * vc), St(d.z * vc));
    Vector3 vB, wB, wC, x;
    F32 zb(0.0f);
    const F32 h = St(tc * 0.001f);
    const F32 kappa =
        St(TipStiffness(CosF(shot.elevation), shot.stiffnessFactor, power, kp) / (cueMass * 1.3f));
    const bool onBed = ball.position.z == ball.radiusCm;
    const F32 cloth = Params().table.ClothFriction();

    for (std::uint32_t slice = 0; slice < kMaxStrikeSlices; ++slice) {
        const Vector3 rel(St(vC.x - ((CrossX(wC, d) * 1.3f + vB.x) - CrossX(wB, nn) * r)),
                          St(vC.y - ((CrossY(wC, d) * 1.3f + vB.y) - CrossY(wB, nn) * r)),
                          St(vC.z - ((CrossZ(wC, d) * 1.3f + vB.z) - CrossZ(wB, nn) * r)));
        x = Vector3(St(x.x + rel.x * h), St(x.y + rel.y * h), St(x.z + rel.z * h));
        const F32 xn = Dot(x, d);
        if (xn > tipCompressionMax) {
            const F32 over = St(tipCompressionMax - xn);
            x = Vector3(St(x.x + d.x * over), St(x.y + d.y * over), St(x.z + d.z * over));
        }
        if (xn <= F32(0.0f) && zb <= F32(0.0f)) break;
        if (!IsFinite(xn) || !IsFinite(zb)) {
            LogWrite(u"physics: strike contact stopped: a value is not finite\n");
            break;
        }
        Vector3 j;
        if (xn > F32(0.0f))
            j = Vector3(St((x.x * tipStiffness) * h), St((x.y * tipStiffness) * h),
                        St((x.z * tipStiffness) * h));

        const F32 vd = Dot(vC, d);
        F32 damp(1.0f);
        if (!(vd > F32(0.0f))) {
            damp = St((vd + 0.3f) / 0.3f);
            if (damp < F32(0.0f)) damp = F32(0.0f);
        }
        vC = Vector3(St(vC.x - (j.x * damp) / cueMass), St(vC.y - (j.y * damp) / cueMass),
                     St(vC.z - (j.z * damp) / cueMass));

        const F32 jd = Dot(j, d);
        const Vector3 pp(St((j.x - d.x * jd) * kappa), St((j.y - d.y * jd) * kappa),
                         St((j.z - d.z * jd) * kappa));
        wC = Vector3(St(wC.x - CrossX(pp, d)), St(wC.y - CrossY(pp, d)), St(wC.z - CrossZ(pp, d)));

        if (onBed) zb = St(zb - vB.z * h);
        if (zb > bedCompressionMax) {
            zb = bedCompressionMax;
            if (vB.z < F32(0.0f)) vB.z = F32(0.0f);
        }
        F32 fb = zb > F32(0.0f) ? St((bedStiffness * zb) * h) : F32(0.0f);
        if (fb < F32(0.0f)) fb = F32(0.0f);

        Vector3 spinDir(wB.x, wB.y, F32(0.0f));
        F32 la;
        spinDir.Normalize(&la);
        if ((fb * cloth) * 3.5f < la) {
            auto slow = [&](F32 wc, F32 ac) {
                F32 t = St(ac * fb);
                t = St(t * cloth);
                t = St(t / 0.25f);
                t = St(t / ball.inertiaArm);
                t = St(t * 0.1f);
                return St(wc - t);
            };
            wB = Vector3(slow(wB.x, spinDir.x), slow(wB.y, spinDir.y), slow(wB.z, spinDir.z));
        }
        vB = Vector3(St(vB.x + j.x / ball.mass), St(vB.y + j.y / ball.mass),
                     St(vB.z + (j.z + fb) / ball.mass));

        const F32 jn = Dot(j, nn);
        if (jn > F32(0.0f)) {
            const Vector3 jt(St(j.x - nn.x * jn), St(j.y - nn.y * jn), St(j.z - nn.z * jn));
            const Vector3 at(St((jt.x / ball.mass) / ball.inertiaArm),
                             St((jt.y / ball.mass) / ball.inertiaArm),
                             St((jt.z / ball.mass) / ball.inertiaArm));
            wB = Vector3(St(wB.x + CrossX(at, nn)), St(wB.y + CrossY(at, nn)), St(wB.z + CrossZ(at, nn)));
        }
    }

    ball.velocity = Vector3(F32(0.0f), F32(0.0f), vB.z);
    ball.cueLinear = Vector3(vB.x, vB.y, F32(0.0f));
    ball.cueAngular = Vector3(St(wB.x * cs), St(wB.y * cv), St(wB.z * cs));
}

}  // namespace physics
