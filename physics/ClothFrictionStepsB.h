#pragma once
// The steps of branch B's cloth friction, used by ApplyClothFriction and by the side-by-side bed
// step (which runs each step for all its balls before the next), so that both run the same
// operations.

#include "physics/PhysicsModelB.h"

namespace physics {

// The bounds of the friction of a ball of planar speed `speed` on the friction set `set`, from the
// load n = -v.z - speed c: a for the slide, b for the roll, t for the spin about z. False when the
// load is negative: no friction then.
struct FrictionBounds {
    F32 a, b, t;
};
[[gnu::always_inline]] inline bool BoundsOfFriction(const Vector3& v, F32 speed, F32 c, const F32* set,
                                                    FrictionBounds& out) {
    const F32 n = St(-v.z - speed * c);
    out.a = St(n * set[0]);
    out.b = St(n * set[2]);
    out.t = St(n * set[3]);
    return !(n < F32(0.0f));
}

// How the contact point slides: (sx, sy) = (pp, qq) - v with (pp, qq) = r (w.y, -w.x).
struct BedSlide {
    F32 pp, qq, sx, sy;
};
[[gnu::always_inline]] inline BedSlide SlideOnBed(const Ball& ball) {
    BedSlide d;
    d.pp = St(ball.radius * ball.spin.y);
    d.qq = St(-(ball.radius * ball.spin.x));
    d.sx = St(d.pp - ball.velocity.x);
    d.sy = St(d.qq - ball.velocity.y);
    return d;
}

namespace detail {

// Splits one sliding component into its linear and spin parts.
[[gnu::always_inline]] inline void SplitSlide(F32 slide, F32 linear, F32 spinPart, F32& l, F32& s) {
    l = linear;
    s = spinPart;
    if (slide * linear > F32(0.0f)) {
        l = F32(0.0f);
        s = slide;
    } else if (slide * spinPart < F32(0.0f)) {
        s = F32(0.0f);
        l = St(-slide);
    }
}

// The factor on the rolling friction of a slow ball (len at most slow, slow above 0): a boost
// that grows as the ball slows, scaled down again over the lowest three quarters, never below 0.4.
[[gnu::always_inline]] inline F32 SlowRollFactor(F32 len, F32 slow, F32 gain) {
    // A ball that spins in place (len 0) gets the floor: the boost, always finite, is scaled by
    // 0 / (slow / 4). Skipping it saves an exact sum that the chain's margin cannot decide.
    if (len == F32(0.0f) && slow * 0.25f > len) return F32(0.4f);
    F32 g = St(((slow - len) * gain) / slow + F32(1.0f));
    if (slow * 0.25f > len) {
        g = St((len / (slow * 0.25f)) * g);
    } else {
        const F32 half = St(slow * 0.5f);
        if (len < half) {
            g = St((len / half) * g);
        } else {
            const F32 threeQuarters = St(slow * 0.75f);
            if (len < threeQuarters) g = St((len / threeQuarters) * g);
        }
    }
    if (g < F32(0.4f)) g = F32(0.4f);
    return g;
}

}  // namespace detail

// The sliding ball: friction a against the sliding components (sx, sy) of length s, split into
// linear and spin parts here (only this branch reads them: for a rolling ball their signs are
// rounding noise, which branches would mispredict).
[[gnu::always_inline]] inline void PhysicsModelB::FrictionSlide(Ball& ball, const F32* set, F32 a, F32 s,
                                                                F32 pp, F32 qq, F32 sx, F32 sy) {
    Vector3& v = ball.velocity;
    Vector3& w = ball.spin;
    const F32 ia = ball.inertiaArm;
    F32 lx, px, ly, py;
    detail::SplitSlide(sx, v.x, pp, lx, px);
    detail::SplitSlide(sy, v.y, qq, ly, py);
    const F32 k = DivF(a, s);
    lx = St(k * lx);
    ly = St(k * ly);
    px = St(k * px);
    py = St(k * py);
    v.x = St(v.x - lx);
    v.y = St(v.y - ly);
    w.x = St(w.x + py / ia);
    w.y = St(w.y - px / ia);
    lx = St(lx * set[1]);
    ly = St(ly * set[1]);
    px = St(px * set[1]);
    py = St(py * set[1]);
    v.x = St(px + v.x);
    v.y = St(py + v.y);
    w.x = St(w.x - ly / ia);
    w.y = St(lx / ia + w.y);
}

// The rolling ball of planar speed `speed`: rolling friction b (with the slow-roll boost), the spin
// made to roll, and a stop (which scales the spin-about-z load t) when b exceeds the speed.
[[gnu::always_inline]] inline void PhysicsModelB::FrictionRoll(Ball& ball, F32 speed, F32 b, F32& t) const {
    Vector3& v = ball.velocity;
    Vector3& w = ball.spin;
    const F32 r = ball.radius;
    const F32 len = speed;
    if (len <= clothSlowSpeed && clothSlowSpeed > F32(0.0f))
        b = St(detail::SlowRollFactor(len, clothSlowSpeed, clothSlowGain) * b);
    if (len < b) b = F32(0.0f);
    w.x = -DivF(v.y, r);
    w.y = DivF(v.x, r);
    // Normalize2D of the velocity: its root is the planar speed.
    F32 dx = v.x, dy = v.y;
    ScaleByInverse2D(speed, dx, dy);
    const F32 fx = St(dx * b);
    const F32 fy = St(dy * b);
    if (b == F32(0.0f)) {
        v.x = v.y = w.x = w.y = F32(0.0f);
        t = St(t * frictionScale);
    } else {
        v.x = St(v.x - fx);
        v.y = St(v.y - fy);
        w.x = St(w.x + fy / r);
        w.y = St(w.y - fx / r);
    }
}

// The spin about z decays by the load t, stopping below it.
[[gnu::always_inline]] inline void PhysicsModelB::FrictionSpinZ(Ball& ball, F32 t) {
    Vector3& w = ball.spin;
    const F32 zLimit = DivF(t, ball.radius);
    const F32 wz = AbsF(w.z);
    if (wz < zLimit || t == F32(0.0f))
        w.z = F32(0.0f);
    else
        w.z = St((F32(1.0f) - zLimit / wz) * w.z);
}

}  // namespace physics
