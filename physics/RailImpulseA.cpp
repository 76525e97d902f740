// The cushion impulse of branch A from 0x10005: a spring-damper whose deformation
// is carried in Ball::railVectors; a friction limit decides whether its tangential part sticks.
// Three forms (of 0x10005, 0x1000A and 0x1000C) that differ in sum orders, the tangential deformation rate
// and the friction law.
#include "physics/PhysicsModelA.h"
#include "physics/RailTouch.h"

namespace physics {

bool PhysicsModelA::RailImpulse(Vector3& v, Vector3& w, Vector3& rv, const CushionContact& c) {
    const ImpulseForm form = traits_.forms.impulse;
    if (form == ImpulseForm::None) return PhysicsModel::RailImpulse(v, w, rv, c);
    const bool first = form == ImpulseForm::From10005;
    const bool third = form == ImpulseForm::From1000C;
    const Vector3& u = c.direction;
    const TableParams& p = *c.params;
    const F32 h = c.horizontalLength;
    const F32 ia = c.inertiaArm;

    const CushionFrame frame = MakeCushionFrame(c);
    const Vector3& e = frame.e;
    const Vector3& s = frame.s;
    const F32 a1 = e.y, a2 = e.x;

    const F32 lever = St(c.radius - ((u.x * rv.x + rv.z * u.z) + u.y * rv.y));
    const F32 k = St(lever / ia + 1.0f);

    const F32 vn = first ? St((v.z * u.z + v.y * u.y) + v.x * u.x) : St((u.y * v.y + v.x * u.x) + v.z * u.z);
    const Vector3 vnu(St(vn * u.x), St(vn * u.y), St(vn * u.z));
    const Vector3 vt(St(v.x - vnu.x), St(v.y - vnu.y), St(v.z - vnu.z));

    Vector3 cp(St(w.y * u.z - w.z * u.y), St(u.x * w.z - w.x * u.z), St(w.x * u.y - u.x * w.y));
    cp = Vector3(St(lever * cp.x), St(lever * cp.y), St(lever * cp.z));
    const F32 cn = St((cp.x * u.x + cp.y * u.y) + cp.z * u.z);
    const Vector3 cnu(St(cn * u.x), St(cn * u.y), St(cn * u.z));
    const Vector3 ct(St(cp.x - cnu.x), St(cp.y - cnu.y), St(cp.z - cnu.z));

    const Vector3 nn(St(vnu.x - cnu.x), St(vnu.y - cnu.y), St(vnu.z - cnu.z));
    const Vector3 tt(St(vt.x - ct.x), St(vt.y - ct.y), St(vt.z - ct.z));
    const Vector3 surface(St(tt.x + nn.x), St(tt.y + nn.y), St(tt.z + nn.z));

    // Form of 0x1000C: the velocity change along the cushion is cut when the spin works against the
    // slide.
    F32 share(1.0f);
    if (third &&
        ((vt.x * s.x + vt.y * s.y) + s.z * vt.z) * ((ct.x * s.x + ct.y * s.y) + s.z * ct.z) < Ext(0.0f))
        share = traits_.cushionCounterSpinShare;

    // The tangential deformation rate, scaled per tangent from the second form on.
    Vector3 rate = tt;
    if (!first) {
        const F32 ts = St((tt.x * s.x + tt.y * s.y) + tt.z * s.z);
        const F32 te = St((tt.x * a2 + tt.y * a1) + tt.z * h);
        auto scaled = [&](F32 ec, F32 sc) {
            const F32 lift = St(St(te * ec) * traits_.cushionLiftScale);
            const F32 slide = St(St(ts * sc) * traits_.cushionSlideScale);
            return St(lift + slide);
        };
        rate = Vector3(scaled(e.x, s.x), scaled(e.y, s.y), scaled(e.z, s.z));
    }
    auto deform = [&](F32 tc, F32 nc) {
        F32 q = St(tc / k);
        q = St(q + nc);
        return St(q * c.dtStep);
    };
    const Vector3 dd(deform(rate.x, nn.x), deform(rate.y, nn.y), deform(rate.z, nn.z));
    rv = Vector3(St(rv.x - dd.x), St(rv.y - dd.y), St(rv.z - dd.z));

    F32 rn;
    if (first)
        rn = St((rv.y * u.y + rv.z * u.z) + rv.x * u.x);
    else if (third)
        rn = St((rv.z * u.z + rv.y * u.y) + rv.x * u.x);
    else
        rn = St((rv.y * u.y + rv.x * u.x) + rv.z * u.z);
    if (rn < F32(0.0f)) return false;

    Vector3 rhat = rv;
    rhat.Normalize();
    const F32 sr = third ? St((rhat.x * surface.x + rhat.y * surface.y) + rhat.z * surface.z)
                         : St((rhat.y * surface.y + rhat.z * surface.z) + surface.x * rhat.x);
    auto force = [&](F32 rc, F32 hc) {
        const F32 srh = St(sr * hc);
        const F32 spring = St(p.cushionStiffness * rc);
        const F32 damping = St(p.cushionParamA * srh);
        const F32 diff = St(spring - damping);
        return St(diff / c.mass);
    };
    const Vector3 a(force(rv.x, rhat.x), force(rv.y, rhat.y), force(rv.z, rhat.z));

    const F32 an = St((a.y * u.y + a.z * u.z) + a.x * u.x);
    if (an < F32(0.0f)) return true;

    const Vector3 anu(St(an * u.x), St(an * u.y), St(an * u.z));
    Vector3 at(St(a.x - anu.x), St(a.y - anu.y), St(a.z - anu.z));
    const F32 normalLoad = anu.Length();
    const F32 tangential = at.Length();
    at.Normalize();

    const F32 q = St((at.y * a1 + at.x * a2) + at.z * h);
    const Vector3 qe(St(q * e.x), St(q * e.y), St(q * e.z));
    const Vector3 hh(St(at.x - qe.x), St(at.y - qe.y), St(at.z - qe.z));
    const F32 mu = Length2D(St(hh.Length() * p.railParamA), St(qe.Length() * p.railParamB));
    const F32 load = third ? PowF(normalLoad, traits_.cushionLoadExponent) : normalLoad;
    if (((mu * load) * k) * 2.0f < tangential) {
        // Slide: the deformation keeps only its part along the contact direction.
        const F32 rn2 = St((u.x * rv.x + rv.z * u.z) + u.y * rv.y);
        auto keepNormal = [&](F32 rc, F32 uc) { return St(rc - St(rc - St(rn2 * uc))); };
        rv = Vector3(keepNormal(rv.x, u.x), keepNormal(rv.y, u.y), keepNormal(rv.z, u.z));
    }

    const Vector3 dv(St(a.x * c.dtStep), St(a.y * c.dtStep), St(a.z * c.dtStep));
    const F32 dvn = St((dv.y * u.y + dv.z * u.z) + dv.x * u.x);
    const Vector3 dvnu(St(dvn * u.x), St(dvn * u.y), St(dvn * u.z));
    Vector3 ww(St(St(dv.x - dvnu.x) / k), St(St(dv.y - dvnu.y) / k), St(St(dv.z - dvnu.z) / k));
    if (third) {
        const Ext along = (ww.x * s.x + ww.y * s.y) + ww.z * s.z;
        const Vector3 ws(St(along * s.x), St(along * s.y), St(along * s.z));
        const Vector3 wr(St(ww.x - ws.x), St(ww.y - ws.y), St(ww.z - ws.z));
        ww = Vector3(St(wr.x + share * ws.x), St(wr.y + share * ws.y), St(wr.z + share * ws.z));
    }
    v.x = St(v.x + (ww.x + dvnu.x));
    v.y = St(v.y + (ww.y + dvnu.y));
    v.z = St(v.z + (ww.z + dvnu.z));

    const Vector3 g(St(ww.x / ia), St(ww.y / ia), St(ww.z / ia));
    Vector3 turn;
    Vec3Cross(turn, g, u);
    w.x = St(w.x + turn.x);
    w.y = St(w.y + turn.y);
    w.z = St(w.z + turn.z);
    return true;
}

}  // namespace physics
