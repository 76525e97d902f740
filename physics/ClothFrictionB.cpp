// Cloth friction of branch B: slide or roll, the slow-roll boost, spin about z.
#include "physics/ClothFrictionStepsB.h"

namespace physics {

void PhysicsModelB::ApplyClothFriction(Ball& ball, F32, std::uint32_t kind) {
    if (kind > 2) return;
    if (ball.IsAtRest()) return;
    const F32* set = Params().table.frictionSets[kind];
    const F32 c = kind == 0 ? kind0Offset : (kind == 1 ? F32(-0.002f) : F32(0.0f));
    const Vector3& v = ball.velocity;

    // The planar speed: the rolling step needs it again for the unchanged velocity.
    const F32 speed = Length2D(v.x, v.y);
    FrictionBounds f;
    if (!BoundsOfFriction(v, speed, c, set, f)) return;
    const BedSlide d = SlideOnBed(ball);
    const F32 s = Length2D(d.sx, d.sy);
    if (f.a * 3.5f < s)
        FrictionSlide(ball, set, f.a, s, d.pp, d.qq, d.sx, d.sy);
    else
        FrictionRoll(ball, speed, f.b, f.t);
    FrictionSpinZ(ball, f.t);
}

}  // namespace physics
