// Branch A: each operation picks the body of its generation from the model's traits.
#include "physics/PhysicsModelA.h"

namespace physics {

void PhysicsModelA::ApplyClothFriction(Ball& ball, F32 h, std::uint32_t kind) {
    ClothFrictionForm form;
    form.form = traits_.friction;
    form.kind0Slope = traits_.friction == FrictionForm::Third ? traits_.clothLoadSlope : F32(0.00002f);
    if (traits_.friction == FrictionForm::Third) {
        form.slideShareLinear = traits_.slideShareLinear;
        form.slideShareSpin = traits_.slideShareSpin;
    }
    form.railSpeedFactor = traits_.railSpeedFactor;
    ApplyClothFrictionMid(ball, h, kind, form);
}

void PhysicsModelA::CollideRails(Ball& ball, F32 dt) {
    if (traits_.rails == RailGeneration::First)
        CollideRailsFirst(ball, dt);
    else
        CollideRailsMid(ball, dt, traits_.rails);
}

bool PhysicsModelA::CollideRailZone(Vector3& position, const Vector3&, F32 radiusCm, Vector3& normal,
                                    RailZoneState& state, std::uint8_t railMask) {
    return CollideRailZoneMid(position, radiusCm, normal, state, railMask, traits_.railZone);
}

}  // namespace physics
