// Cloth friction of the late models: slide or roll, the slow-roll boost, spin about z.
#include "physics/PhysicsModelB.h"

namespace physics {

namespace {

// Splits one sliding component into its linear and spin parts.
void Split(F32 slide, F32 linear, F32 spinPart, F32& l, F32& s) {
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
F32 SlowRollFactor(F32 len, F32 slow, F32 gain) {
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

}  // namespace

void PhysicsModelB::ApplyClothFriction(Ball& ball, F32, std::uint32_t kind) {
    if (kind > 2) return;
    if (ball.IsAtRest()) return;
    const F32* set = Params().table.frictionSets[kind];
    const F32 c = kind == 0 ? kind0Offset : (kind == 1 ? F32(-0.002f) : F32(0.0f));
    Vector3& v = ball.velocity;
    Vector3& w = ball.spin;
    const F32 r = ball.radius;
    const F32 ia = ball.inertiaArm;

    // The planar speed: the rolling branch below needs it again for the unchanged velocity.
    const F32 speed = Length2D(v.x, v.y);
    const F32 n = St(-v.z - speed * c);
    if (n < F32(0.0f)) return;
    const F32 a = St(n * set[0]);
    F32 b = St(n * set[2]);
    F32 t = St(n * set[3]);

    const F32 pp = St(r * w.y);
    const F32 qq = St(-(r * w.x));
    const F32 sx = St(pp - v.x);
    const F32 sy = St(qq - v.y);
    F32 lx, px, ly, py;
    Split(sx, v.x, pp, lx, px);
    Split(sy, v.y, qq, ly, py);

    const F32 s = Length2D(sx, sy);
    if (a * 3.5f < s) {
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
    } else {
        const F32 len = speed;
        if (len <= clothSlowSpeed && clothSlowSpeed > F32(0.0f))
            b = St(SlowRollFactor(len, clothSlowSpeed, clothSlowGain) * b);
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

    const F32 zLimit = DivF(t, r);
    const F32 wz = AbsF(w.z);
    if (wz < zLimit || t == F32(0.0f))
        w.z = F32(0.0f);
    else
        w.z = St((F32(1.0f) - zLimit / wz) * w.z);
}

}  // namespace physics
