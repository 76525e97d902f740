// Cloth friction of the base model: the load is read from the downward velocity divided by the
// sub-step, and the friction amounts are multiplied by the sub-step where they act. It works on
// copies of velocity and spin and writes them back at the end (the vertical velocity unchanged).
#include "physics/PhysicsModel.h"

namespace physics {

namespace {

// Splits one sliding component into the part carried by the spin (a) and by the velocity (b).
void Split(F32 slide, F32 linear, F32 spinPart, F32& a, F32& b) {
    if (slide * linear > Ext(0.0f)) {
        a = slide;
        b = F32(0.0f);
        return;
    }
    a = spinPart;
    b = linear;
    if (slide * spinPart < Ext(0.0f)) {
        a = F32(0.0f);
        b = St(-slide);
    }
}

}  // namespace

void PhysicsModel::ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) {
    if (kind > 2) return;
    // The load is a rate over the sub-step: without a sub-step there is none.
    if (!(h > F32(0.0f))) return;
    const F32* set = Params().table.frictionSets[kind];
    const F32 slope = kind == 0 ? F32(0.00004f) : (kind == 1 ? F32(-0.002f) : F32(0.0f));
    Vector3 v = ball.velocity;
    Vector3 w = ball.spin;
    const F32 r = ball.radius;
    const F32 ia = ball.inertiaArm;

    const F32 a = St(v.z / h);
    if (-a < Ext(0.0f)) return;
    const F32 n = St(-a - (Length2D(v.x, v.y) * slope) / h);
    const F32 slideF = St(n * set[0]);
    const F32 rollF = St(n * set[2]);
    const F32 spinF = St(n * set[3]);

    const F32 rwy = St(r * w.y);
    const F32 rwx = St(-(r * w.x));
    const F32 sx = St(rwy - v.x);
    const F32 sy = St(rwx - v.y);
    F32 ax, bx, ay, by;
    Split(sx, v.x, rwy, ax, bx);
    Split(sy, v.y, rwx, ay, by);

    const F32 s = Length2D(sx, sy);
    // Spin about the vertical: the decay amount over this sub-step, per unit of spin.
    const Ext decay = (spinF * h) / r;
    const F32 wz = AbsF(w.z);
    bool spinStops = decay > wz || spinF == F32(0.0f);
    // A still contact point cannot slide (with a negative load the test below would divide by 0).
    if (s <= (slideF * h) * 3.5f || s == F32(0.0f)) {
        const F32 rollH = St(rollF * h);
        F32 decrement = rollH;
        if (Length2D(v.x, v.y) < rollH) decrement = F32(0.0f);
        w.x = St(-(v.y / r));
        w.y = St(v.x / r);
        F32 dx = v.x, dy = v.y;
        Normalize2D(dx, dy);
        if (decrement == F32(0.0f)) {
            v.x = v.y = w.x = w.y = F32(0.0f);
        } else {
            const F32 fx = St(dx * decrement);
            const F32 fy = St(dy * decrement);
            v.x = St(v.x - fx);
            v.y = St(v.y - fy);
            w.x = St(w.x + fy / r);
            w.y = St(w.y - fx / r);
        }
    } else {
        const F32 k = St((slideF * h) / s);
        const F32 f1 = set[1];
        const F32 nvx = St((v.x - k * bx) + (k * ax) * f1);
        const F32 nvy = St((v.y - k * by) + (k * ay) * f1);
        w.x = St(w.x + (k * ay - (k * by) * f1) / ia);
        w.y = St(w.y - (k * ax - (k * bx) * f1) / ia);
        v.x = nvx;
        v.y = nvy;
    }

    // A spin of exactly 0 stays 0 (the decay would divide by it).
    if (spinStops || wz == F32(0.0f))
        w.z = F32(0.0f);
    else
        w.z = St((Ext(1.0f) - decay / wz) * w.z);

    ball.velocity.x = v.x;
    ball.velocity.y = v.y;
    ball.spin = w;
}

}  // namespace physics
