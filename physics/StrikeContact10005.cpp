// The contact simulation of the branch-A strikes from 0x10005: the tip is a stiff spring pushing
// the ball, the cue can pivot sideways and the ball can press into the cloth, in slices of a
// thousandth of the contact time. One loop for the forms of 0x10005 (to 0x10007) and 0x10008 (on).
#include "engine/core/Log.h"
#include "physics/PhysicsModelA.h"

namespace physics {

namespace {

Ext CrossX(const Vector3& a, const Vector3& b) {
    return a.y * b.z - a.z * b.y;
}
Ext CrossY(const Vector3& a, const Vector3& b) {
    return a.z * b.x - a.x * b.z;
}
Ext CrossZ(const Vector3& a, const Vector3& b) {
    return a.x * b.y - a.y * b.x;
}

struct ContactVariant {
    bool form10005 = false;  // the strike form of 0x10005 (to 0x10007)
    F32 tipCap, bedCap;      // caps of the tip compression and the bed depth
    bool cueReprojected;     // 0x10008-0x1000D: the cue speed follows the capped tip
    bool bedOnlyOnBed;       // 0x1000E-0x1000F
    F32 mass;                // of the ball in the impulse steps
    F32 frictionDivisor;     // of the cloth friction on the spin
};

}  // namespace

void PhysicsModelA::StrikeContact(Ball& ball, const ShotParams& shot, const StrikeSetUpResult& s) {
    const std::uint32_t id = traits_.id;
    ContactVariant cv;
    cv.form10005 = traits_.forms.strike == StrikeForm::From10005;
    cv.tipCap = id >= 0x1000E ? F32(0.0052f) : F32(0.0048f);
    cv.bedCap = id >= 0x1000E ? F32(0.00133f) : F32(0.00124f);
    cv.cueReprojected = !cv.form10005 && id <= 0x1000D;
    cv.bedOnlyOnBed = id >= 0x1000E;
    cv.mass = cv.form10005 || id >= 0x1000E ? ball.mass : F32(0.25f);
    cv.frictionDivisor = cv.form10005 ? ball.mass : F32(0.25f);

    const Vector3& d = s.direction;
    const F32 spinLen = s.spinLength;
    const F32 power = s.power;
    const F32 cloth = Params().table.ClothFriction();
    const F32 r = ball.radius, m = cv.mass, k = ball.inertiaArm;

    // A spin-offset length above 1 (tip offsets from a peer beyond the ball) has no contact angle.
    const F32 c2sq = St(Ext(1.0f) - spinLen * spinLen);
    const F32 c2 = c2sq > F32(0.0f) ? SqrtF(c2sq) : F32(0.0f);
    const Vector3 q(St(St(s.tipSide * s.sideAxis.x) + St(s.tipVertical * s.upAxis.x)),
                    St(St(s.tipSide * s.sideAxis.y) + St(s.tipVertical * s.upAxis.y)),
                    St(St(s.tipSide * s.sideAxis.z) + St(s.tipVertical * s.upAxis.z)));
    auto normalPart = [&](F32 dc, F32 qc) { return St(St(St(dc * c2) - St(qc * spinLen)) * c2); };
    Vector3 nn(normalPart(d.x, q.x), normalPart(d.y, q.y), normalPart(d.z, q.z));
    nn.Normalize();

    Vector3 vc(St(d.x * s.cueSpeed), St(d.y * s.cueSpeed), St(d.z * s.cueSpeed));
    Vector3 vb, spin, pivot, tip;
    F32 zb(0.0f);
    const F32 dt = St(s.contact * 0.001f);

    const F32 cosE = CosF(shot.elevation);
    const Ext cueScale = cueMass_ * 1.3f;
    F32 lat;
    switch (id) {
        case 0x10005:
            lat = St((cosE * 4950.0f + 50.0f) / cueScale);
            break;
        case 0x10006:
            lat = St((cosE * 4960.0f + 40.0f) / cueScale);
            break;
        case 0x10007: {
            const F32 lat0 = shot.elevation < F32(0.005f)
                                 ? F32(5000.0f)
                                 : St((((cosE * 46.0f + 4.0f) * power) * 2.5f) / ball.mass);
            lat = St(lat0 / cueScale);
            break;
        }
        default:
            lat = St(St(((cosE * 496.0f + 4.0f) * power) * 10.0f) / cueScale);
            break;
    }
    const bool onBed = ball.position.z == ball.radiusCm;

    // Loop bounds of 0x10005-0x10007: a time limit, or the cue still moving forward.
    const bool timeLimited = id == 0x10005 || id == 0x10006;
    const bool cueBounded = id == 0x10007;
    const F32 limit = St(s.contact * 1.5f);
    F32 elapsed(0.0f);
    bool run = true;
    if (timeLimited) run = limit > F32(0.0f);
    if (cueBounded) run = (d.z * vc.z + d.y * vc.y) + vc.x * d.x > Ext(-0.3f);

    for (std::uint32_t slice = 0; run && slice < kMaxStrikeSlices; ++slice) {
        const Vector3 u(St(r * CrossX(spin, nn)), St(r * CrossY(spin, nn)), St(r * CrossZ(spin, nn)));
        const Vector3 sp(St(CrossX(pivot, d) * 1.3f), St(CrossY(pivot, d) * 1.3f),
                         St(CrossZ(pivot, d) * 1.3f));
        Vector3 vp;
        F32 comp;
        if (cv.form10005) {
            auto rel = [](F32 c, F32 sc, F32 b, F32 uc) { return St(St(St(c - sc) - b) + uc); };
            const Vector3 rv(rel(vc.x, sp.x, vb.x, u.x), rel(vc.y, sp.y, vb.y, u.y),
                             rel(vc.z, sp.z, vb.z, u.z));
            tip = Vector3(St(tip.x + St(rv.x * dt)), St(tip.y + St(rv.y * dt)), St(tip.z + St(rv.z * dt)));
            comp = St((tip.z * d.z + tip.x * d.x) + tip.y * d.y);
        } else {
            vp = Vector3(St((sp.x + vb.x) - u.x), St((vb.y + sp.y) - u.y), St((sp.z + vb.z) - u.z));
            auto grow = [dt](F32 t, F32 c, F32 p) { return St(t + St(St(c - p) * dt)); };
            tip = Vector3(grow(tip.x, vc.x, vp.x), grow(tip.y, vc.y, vp.y), grow(tip.z, vc.z, vp.z));
            comp = St((tip.x * d.x + tip.z * d.z) + tip.y * d.y);
            if (comp > cv.tipCap) {
                const F32 over = St(cv.tipCap - comp);
                tip = Vector3(St(tip.x + d.x * over), St(tip.y + d.y * over), St(tip.z + d.z * over));
                if (cv.cueReprojected) {
                    const Ext gap =
                        ((vp.z * d.z + vp.y * d.y) + vp.x * d.x) - ((vc.z * d.z + vc.x * d.x) + vc.y * d.y);
                    vc = Vector3(St(vc.x + d.x * gap), St(vc.y + d.y * gap), St(vc.z + d.z * gap));
                }
            }
        }
        if (comp <= F32(0.0f) && zb <= F32(0.0f)) break;
        if (!IsFinite(comp) || !IsFinite(zb)) {
            LogWrite(u"physics: strike contact stopped: a value is not finite\n");
            break;
        }

        Vector3 j;
        if (comp > F32(0.0f))
            j = Vector3(St((tip.x * 200000.0f) * dt), St((tip.y * 200000.0f) * dt),
                        St((tip.z * 200000.0f) * dt));
        if (cv.form10005) {
            vc = Vector3(St(vc.x - j.x / cueMass_), St(vc.y - j.y / cueMass_), St(vc.z - j.z / cueMass_));
        } else {
            const F32 along = St((vc.x * d.x + vc.z * d.z) + vc.y * d.y);
            F32 ramp(1.0f);
            if (!(along > F32(0.0f))) {
                ramp = St((along + 0.3f) / 0.3f);
                if (ramp < F32(0.0f)) ramp = F32(0.0f);
            }
            vc = Vector3(St(vc.x - (j.x * ramp) / cueMass_), St(vc.y - (j.y * ramp) / cueMass_),
                         St(vc.z - (j.z * ramp) / cueMass_));
        }
        const F32 ja = St((j.x * d.x + j.z * d.z) + j.y * d.y);
        const Vector3 kk(St((j.x - d.x * ja) * lat), St((j.y - d.y * ja) * lat), St((j.z - d.z * ja) * lat));
        pivot =
            Vector3(St(pivot.x - CrossX(kk, d)), St(pivot.y - CrossY(kk, d)), St(pivot.z - CrossZ(kk, d)));

        if (!cv.bedOnlyOnBed || onBed) zb = St(zb - vb.z * dt);
        if (!cv.form10005 && zb > cv.bedCap) {
            zb = cv.bedCap;
            if (vb.z < F32(0.0f)) vb.z = F32(0.0f);
        }
        F32 bed(0.0f);
        if (zb > F32(0.0f)) {
            switch (id) {
                case 0x10005:
                    bed = St((vb.z * 10.0f + zb * 1000000.0f) * dt);
                    break;
                case 0x10006: {
                    const F32 stiffness = tableRecord_->hasPockets != 0 ? F32(700000.0f) : F32(1000000.0f);
                    bed = St((stiffness * zb + vb.z * 10.0f) * dt);
                    break;
                }
                case 0x10007:
                    bed = St((vb.z * 30.0f + zb * 900000.0f) * dt);
                    break;
                default:
                    bed = St((vb.z * 0.0f + zb * 950000.0f) * dt);
                    break;
            }
        }
        if (bed < F32(0.0f)) {
            bed = F32(0.0f);
        } else {
            Vector3 h(spin.x, spin.y, F32(0.0f));
            F32 hl;
            h.Normalize(&hl);
            if ((bed * cloth) * 3.5f < hl) {
                auto slow = [&](F32 ac, F32 hc) {
                    F32 t = St(hc * bed);
                    t = St(t * cloth);
                    t = St(t / cv.frictionDivisor);
                    t = St(t / k);
                    t = St(t * 0.1f);
                    return St(ac - t);
                };
                spin = Vector3(slow(spin.x, h.x), slow(spin.y, h.y), slow(spin.z, h.z));
            }
        }
        vb = Vector3(St(vb.x + j.x / m), St(vb.y + j.y / m), St(vb.z + (j.z + bed) / m));

        const F32 jn = St((j.x * nn.x + j.z * nn.z) + j.y * nn.y);
        if (jn > F32(0.0f)) {
            const Vector3 g(St(((j.x - nn.x * jn) / m) / k), St(((j.y - nn.y * jn) / m) / k),
                            St(((j.z - nn.z * jn) / m) / k));
            spin =
                Vector3(St(spin.x + CrossX(g, nn)), St(spin.y + CrossY(g, nn)), St(spin.z + CrossZ(g, nn)));
        }

        if (timeLimited) {
            elapsed = St(elapsed + dt);
            run = elapsed < limit;
        }
        if (cueBounded) run = (vc.z * d.z + vc.x * d.x) + vc.y * d.y > Ext(-0.3f);
    }

    ball.velocity = Vector3(F32(0.0f), F32(0.0f), vb.z);
    ball.cueLinear = Vector3(vb.x, vb.y, F32(0.0f));
    if (!cv.form10005 && id >= 0x1000C) {
        const F32 transfer = traits_.spinTransfer;
        ball.cueAngular = Vector3(St(spin.x * transfer), St(spin.y * transfer), St(spin.z * transfer));
    } else {
        ball.cueAngular = spin;
    }
}

}  // namespace physics
