// Cloth friction of branch B: slide or roll, the slow-roll boost, spin about z.
#include "physics/ClothFrictionStepsB.h"

namespace physics {

void PhysicsModelB::ApplyClothFriction(Ball& ball, F32, std::uint32_t kind) {
    if (kind > 2) return;
    if (ball.IsAtRest()) return;
    const F32* set = Params().table.frictionSets[kind];
    const F32 c = kind == 0 ? kind0Offset : (kind == 1 ? F32(-0.002f) : F32(0.0f));
    const Vector3& v = ball.velocity;
    const Vector3& w = ball.spin;
    const F32 r = ball.radius;

    // The planar speed: the rolling step needs it again for the unchanged velocity.
    const F32 speed = Length2D(v.x, v.y);
    const F32 n = St(-v.z - speed * c);
    if (n < F32(0.0f)) return;
    const F32 a = St(n * set[0]);
    const F32 b = St(n * set[2]);
    F32 t = St(n * set[3]);

    const F32 pp = St(r * w.y);
    const F32 qq = St(-(r * w.x));
    const F32 sx = St(pp - v.x);
    const F32 sy = St(qq - v.y);
    const F32 s = Length2D(sx, sy);
    if (a * 3.5f < s)
        FrictionSlide(ball, set, a, s, pp, qq, sx, sy);
    else
        FrictionRoll(ball, speed, b, t);
    FrictionSpinZ(ball, t);
}

}  // namespace physics
