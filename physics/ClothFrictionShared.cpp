// Cloth friction of the base model and of branch A: a contact's sliding, rolling and spinning
// friction, proportional to the normal load read from the ball's downward velocity. Three forms:
// that of 0x10000 (to 0x10004; the base model itself with its variant) scales by the sub-step,
// that of 0x10005 (to 0x10009) has a fixed load slope, that of 0x1000A (on) per-model shares.
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

// Splits one sliding component into the part carried by the spin (a) and by the velocity (b).
void SplitSlide(F32 slide, F32 linear, F32 spinPart, F32& a, F32& b) {
    a = spinPart;
    b = linear;
    if (slide * linear > Ext(0.0f)) {
        a = slide;
        b = F32(0.0f);
    } else if (slide * spinPart < Ext(0.0f)) {
        a = F32(0.0f);
        b = St(-slide);
    }
}

// How the contact point slides over the cloth: (sx, sy) = r (w.y, -w.x) - v, each axis split into
// its spin and linear parts (SplitSlide), and the length s of the slide.
struct ContactSlide {
    F32 sx, sy, ax, bx, ay, by, s;
};
ContactSlide SlideOfContact(const Vector3& v, const Vector3& w, F32 r) {
    ContactSlide c;
    const F32 rwy = St(r * w.y);
    const F32 rwx = St(-(r * w.x));
    c.sx = St(rwy - v.x);
    c.sy = St(rwx - v.y);
    SplitSlide(c.sx, v.x, rwy, c.ax, c.bx);
    SplitSlide(c.sy, v.y, rwx, c.ay, c.by);
    c.s = Length2D(c.sx, c.sy);
    return c;
}

// A rolling contact: the spin follows the velocity and the rolling friction `roll` slows both.
// True when roll is 0: the ball stops (its planar velocity and spin are cleared).
bool Roll(Vector3& v, Vector3& w, F32 r, F32 roll) {
    w.x = St(-(v.y / r));
    w.y = St(v.x / r);
    F32 dx = v.x, dy = v.y;
    Normalize2D(dx, dy);
    const F32 fx = St(dx * roll);
    const F32 fy = St(dy * roll);
    if (roll == F32(0.0f)) {
        v.x = v.y = w.x = w.y = F32(0.0f);
        return true;
    }
    v.x = St(v.x - fx);
    v.y = St(v.y - fy);
    w.x = St(w.x + fy / r);
    w.y = St(w.y - fx / r);
    return false;
}

F32 KindSlope(std::uint32_t kind, const ClothFrictionForm& form) {
    if (kind == 0) return form.kind0Slope;
    return kind == 1 ? F32(-0.002f) : F32(0.0f);
}

// Spin about the vertical: removed once the decay q reaches |w.z|.
void DecaySpinZ(Vector3& w, F32 spinF, F32 q) {
    // A spin of exactly 0 stays 0 (the decay would divide by it).
    if (q <= AbsF(w.z) && !(spinF == F32(0.0f)) && AbsF(w.z) > F32(0.0f))
        w.z = St((Ext(1.0f) - q / AbsF(w.z)) * w.z);
    else
        w.z = F32(0.0f);
}

void FirstForm(Ball& ball, F32 h, const F32* set, F32 slope, const ClothFrictionForm& form) {
    Vector3 v = ball.velocity;
    Vector3 w = ball.spin;
    const F32 r = ball.radius;
    const F32 ia = ball.inertiaArm;

    // The load is a rate over the sub-step: without a sub-step there is none.
    if (!(h > F32(0.0f))) return;
    const F32 a = St(v.z / h);
    if (-a < Ext(0.0f)) return;
    const F32 n = St(-a - (Length2D(v.x, v.y) * slope) / h);
    const F32 f = St(n * set[0]);
    const F32 rollF = St(n * set[2]);
    F32 spinF = St(n * set[3]);

    const ContactSlide slide = SlideOfContact(v, w, r);
    const F32 ax = slide.ax, bx = slide.bx, ay = slide.ay, by = slide.by;
    const F32 s = slide.s;
    // A still contact point cannot slide (with a negative load the test alone would let it, and
    // divide by 0).
    if (s <= (f * h) * 3.5f || s == F32(0.0f)) {
        const F32 len = Length2D(v.x, v.y);
        F32 roll = St(rollF * h);
        if (len < roll) roll = F32(0.0f);
        if (Roll(v, w, r, roll) && !form.baseVariant) spinF = St(form.railSpeedFactor * spinF);
    } else {
        // The new velocity and spin are formed in extended precision and stored once.
        const F32 k = St((f * h) / s);
        const F32 f1 = set[1];
        const F32 vx = St((v.x - k * bx) + (k * ax) * f1);
        const F32 vy = St((v.y - k * by) + (k * ay) * f1);
        const F32 wx = St(w.x + ((k * ay) - (k * by) * f1) / ia);
        const F32 wy = St(w.y - ((k * ax) - (k * bx) * f1) / ia);
        v.x = vx;
        v.y = vy;
        w.x = wx;
        w.y = wy;
    }

    if (form.baseVariant) {
        const Ext amount = (spinF * h) / r;
        if (amount > AbsF(w.z) || spinF == F32(0.0f) || AbsF(w.z) == F32(0.0f))
            w.z = F32(0.0f);
        else
            w.z = St((Ext(1.0f) - amount / AbsF(w.z)) * w.z);
    } else {
        DecaySpinZ(w, spinF, St((spinF * h) / r));
    }
    ball.velocity.x = v.x;
    ball.velocity.y = v.y;
    ball.spin = w;
}

}  // namespace

void PhysicsModel::ApplyClothFrictionShared(Ball& ball, F32 h, std::uint32_t kind,
                                            const ClothFrictionForm& form) {
    if (kind > 2) return;
    const F32* set = Params().table.frictionSets[kind];
    const F32 slope = KindSlope(kind, form);
    if (form.form == FrictionForm::From10000) return FirstForm(ball, h, set, slope, form);

    if (ball.IsAtRest()) return;
    Vector3& v = ball.velocity;
    Vector3& w = ball.spin;
    const F32 r = ball.radius;
    const F32 ia = ball.inertiaArm;

    const F32 down = St(-v.z);
    if (form.form == FrictionForm::From10005 && down < F32(0.0f)) return;
    const F32 n = St(down - Length2D(v.x, v.y) * slope);
    if (form.form != FrictionForm::From10005 && n < F32(0.0f)) return;
    const F32 f = St(n * set[0]);
    F32 rollF = St(n * set[2]);
    F32 spinF = St(n * set[3]);

    const ContactSlide slide = SlideOfContact(v, w, r);
    const F32 ax = slide.ax, bx = slide.bx, ay = slide.ay, by = slide.by;
    const F32 s = slide.s;
    if (s <= f * 3.5f || s == F32(0.0f)) {
        if (Length2D(v.x, v.y) < rollF) rollF = F32(0.0f);
        if (Roll(v, w, r, rollF)) spinF = St(form.railSpeedFactor * spinF);
    } else {
        const F32 k = St(f / s);
        const F32 f1 = set[1];
        const F32 c12 = form.slideShareLinear;
        const F32 c13 = form.slideShareSpin;
        v.x = St(v.x - (c12 * k) * bx);
        v.y = St(v.y - (c12 * k) * by);
        w.x = St(w.x + (k * ay) / ia);
        w.y = St(w.y - (k * ax) / ia);
        v.x = St(v.x + (k * ax) * f1);
        v.y = St(v.y + (k * ay) * f1);
        w.x = St(w.x - (((k * by) * f1) / ia) * c13);
        w.y = St(w.y + (((k * bx) * f1) / ia) * c13);
    }
    DecaySpinZ(w, spinF, St(spinF / r));
}

}  // namespace physics
